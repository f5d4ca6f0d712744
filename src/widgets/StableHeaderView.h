#pragma once

#include <QHeaderView>
#include <QList>
#include <QPalette>

// A grid header that hands its sections the same palette for the same colours. The style
// keeps a picture of each header section in the pixmap cache under a key that includes the
// section's palette. The plain header gives a section with colours of its own (the chosen
// search column's navy title) a palette made anew at every paint, and the grid's own
// palette is made anew whenever the selection colours follow the focus: every repaint then
// left pictures in the cache that were never found again, and the program grew with each
// search and each sale until the cache was full.
class StableHeaderView : public QHeaderView
{
    Q_OBJECT

public:
    // How many sets of colours are remembered: the plain sections and the chosen one, each
    // in the focused and the unfocused grid, with room to spare.
    static constexpr int RememberedPalettes = 8;

    // Clickable and highlighting its sections, like the header a table makes for itself.
    explicit StableHeaderView(Qt::Orientation orientation, QWidget *parent = nullptr);

protected:
    void initStyleOptionForIndex(QStyleOptionHeader *option, int logicalIndex) const override;

private:
    mutable QList<QPalette> m_palettes; // most recently used first
};

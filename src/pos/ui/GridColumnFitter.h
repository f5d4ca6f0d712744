#pragma once

#include <QList>
#include <QObject>

class QTableView;

// Keeps a grid's columns readable and the grid filled: after the user resizes
// a column every column is held between 50 and 280 pixels and the last one
// takes up the room that is left.
class GridColumnFitter : public QObject
{
    Q_OBJECT

public:
    static constexpr int MinimumWidth = 50;
    static constexpr int MaximumWidth = 280;

    explicit GridColumnFitter(QTableView *grid);

    // Widens the last column until the columns fill `available` pixels.
    static QList<int> filled(QList<int> widths, int available);
    static QList<int> clamped(QList<int> widths);

    void fillGrid();
    QList<int> widths() const;
    void setWidths(const QList<int> &widths);

private:
    void userResized();
    void apply(const QList<int> &widths);

    QTableView *m_grid;
    bool m_applying = false;
};

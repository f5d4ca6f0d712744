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
    static constexpr int DefaultWidth = 70;

    explicit GridColumnFitter(QTableView *grid);

    // Widens the last column until the columns fill `available` pixels.
    static QList<int> filled(QList<int> widths, int available, int fillColumn = -1);
    static QList<int> clamped(QList<int> widths);

    // Widens the column that takes the room left: the last one, or the one given
    // by fillWithColumn() when no widths were stored.
    void fillGrid();
    QList<int> widths() const;
    void setWidths(const QList<int> &widths);
    // Without stored widths every column gets DefaultWidth and `column` (the names)
    // the room the others leave, instead of the last column taking it all.
    void fillWithColumn(int column);
    // `column` always takes the room left, also after stored widths and the user's
    // resizing (a grid whose first column holds the names).
    void alwaysFillWithColumn(int column);

private:
    void userResized();
    void apply(const QList<int> &widths);

    QTableView *m_grid;
    bool m_applying = false;
    int m_fillColumn = -1; // -1: the last column
    bool m_fillColumnFixed = false;
};

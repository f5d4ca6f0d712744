#pragma once

#include <QList>
#include <QObject>

class QTableView;

// Keeps a grid's columns readable and the grid filled. A column is never narrower than
// its title and the values it shows need in the grid's fonts, whatever width was stored
// or dragged; the column of the names (or, in a grid without one, the last column)
// takes the room the others leave, and it is the one that gives way when room is short.
// After the user resizes a column every column is held between 50 and 280 pixels.
class GridColumnFitter : public QObject
{
    Q_OBJECT

public:
    static constexpr int MinimumWidth = 50;
    static constexpr int MaximumWidth = 280;
    static constexpr int DefaultWidth = 70;
    // How many rows are measured for a column's values: the rows shown and around them.
    static constexpr int MeasuredRows = 200;

    explicit GridColumnFitter(QTableView *grid);

    // The widths shown for the `wanted` ones: each column at least as wide as it
    // `needs`; the `fillColumn` (-1: the last) takes what is left of `available`, but
    // never less than it needs.
    static QList<int> fitted(QList<int> wanted, const QList<int> &needs, int available, int fillColumn = -1);
    static QList<int> clamped(QList<int> widths);

    // The width each column needs for its title and its values (a chosen fill column, the
    // names, only for its title: its values may be cut at its end).
    QList<int> neededWidths() const;

    // Fits the columns to the grid as it is now; also done by itself whenever the rows
    // or the grid's width change.
    void fillGrid();
    QList<int> widths() const;
    void setWidths(const QList<int> &widths);
    // Without stored widths every column gets DefaultWidth and `column` (the names)
    // the room the others leave, instead of the last column taking it all.
    void fillWithColumn(int column);
    // `column` always takes the room left, also after stored widths and the user's
    // resizing (a grid whose column holds the names); -1: the last column, as usual.
    void alwaysFillWithColumn(int column);
    // Whether a user's resize holds every column between MinimumWidth and MaximumWidth
    // (the default) or leaves the widths as dragged.
    void setHeldBetweenLimits(bool held) { m_heldBetweenLimits = held; }
    // What `column` shows beyond its rows (a total under it) needs `width` pixels.
    void setNeededAtLeast(int column, int width);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void userResized();
    void apply(const QList<int> &widths);
    int fillColumn() const;
    int valuesWidth(int column) const;
    void watchModel();

    QTableView *m_grid;
    QObject *m_viewport;
    QList<int> m_wanted; // the stored or dragged widths, before fitting
    bool m_applying = false;
    bool m_fitting = false;
    int m_fillColumn = -1; // -1: the last column
    bool m_fillColumnFixed = false;
    bool m_heldBetweenLimits = true;
    QList<int> m_neededAtLeast;
    QObject *m_watchedModel = nullptr;
};

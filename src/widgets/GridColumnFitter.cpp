#include "widgets/GridColumnFitter.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>

#include <algorithm>
#include <numeric>

GridColumnFitter::GridColumnFitter(QTableView *grid) : QObject(grid), m_grid(grid)
{
    connect(grid->horizontalHeader(), &QHeaderView::sectionResized, this, [this] {
        if (!m_applying)
            userResized();
    });
}

QList<int> GridColumnFitter::clamped(QList<int> widths)
{
    for (int &width : widths)
        width = std::clamp(width, MinimumWidth, MaximumWidth);
    return widths;
}

QList<int> GridColumnFitter::filled(QList<int> widths, int available, int fillColumn)
{
    if (widths.isEmpty())
        return widths;
    const int used = std::accumulate(widths.cbegin(), widths.cend(), 0);
    const qsizetype widened = fillColumn >= 0 && fillColumn < widths.size() ? fillColumn : widths.size() - 1;
    if (used < available)
        widths[widened] += available - used;
    return widths;
}

QList<int> GridColumnFitter::widths() const
{
    QList<int> result;
    const QHeaderView *header = m_grid->horizontalHeader();
    for (int column = 0; column < header->count(); ++column)
        result.append(header->sectionSize(column));
    return result;
}

void GridColumnFitter::apply(const QList<int> &widths)
{
    m_applying = true;
    QHeaderView *header = m_grid->horizontalHeader();
    for (int column = 0; column < widths.size() && column < header->count(); ++column)
        header->resizeSection(column, widths.at(column));
    m_applying = false;
}

void GridColumnFitter::setWidths(const QList<int> &widths)
{
    if (!m_fillColumnFixed)
        m_fillColumn = -1;
    apply(widths);
}

void GridColumnFitter::fillWithColumn(int column)
{
    m_fillColumn = column;
    apply(QList<int>(m_grid->horizontalHeader()->count(), DefaultWidth));
}

void GridColumnFitter::alwaysFillWithColumn(int column)
{
    m_fillColumn = column;
    m_fillColumnFixed = true;
}

void GridColumnFitter::fillGrid()
{
    apply(filled(widths(), m_grid->viewport()->width(), m_fillColumn));
}

void GridColumnFitter::userResized()
{
    // Once the cashier sizes a column, the widths are the cashier's and the last
    // column fills the rest as usual.
    if (!m_fillColumnFixed)
        m_fillColumn = -1;
    apply(filled(clamped(widths()), m_grid->viewport()->width(), m_fillColumn));
}

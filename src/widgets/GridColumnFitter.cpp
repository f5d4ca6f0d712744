#include "widgets/GridColumnFitter.h"

#include <QAbstractItemDelegate>
#include <QAbstractItemModel>
#include <QEvent>
#include <QHeaderView>
#include <QStyleOptionViewItem>
#include <QTableView>

#include <algorithm>

GridColumnFitter::GridColumnFitter(QTableView *grid)
    : QObject(grid), m_grid(grid), m_viewport(grid->viewport())
{
    connect(grid->horizontalHeader(), &QHeaderView::sectionResized, this, [this] {
        if (!m_applying)
            userResized();
    });
    // The viewport's own resize: the grid's comes before the viewport has its new width.
    m_viewport->installEventFilter(this);
    watchModel();
}

void GridColumnFitter::watchModel()
{
    QAbstractItemModel *model = m_grid->model();
    if (!model || model == m_watchedModel)
        return;
    if (m_watchedModel)
        disconnect(m_watchedModel, nullptr, this, nullptr);
    m_watchedModel = model;
    connect(model, &QAbstractItemModel::modelReset, this, &GridColumnFitter::fillGrid);
    connect(model, &QAbstractItemModel::layoutChanged, this, &GridColumnFitter::fillGrid);
    connect(model, &QAbstractItemModel::rowsInserted, this, &GridColumnFitter::fillGrid);
    connect(model, &QAbstractItemModel::dataChanged, this, &GridColumnFitter::fillGrid);
    connect(model, &QAbstractItemModel::headerDataChanged, this, &GridColumnFitter::fillGrid);
}

bool GridColumnFitter::eventFilter(QObject *watched, QEvent *event)
{
    // Compared by the pointer kept: while the grid is destroyed its viewport still sends
    // events, and the grid is no longer a grid to ask.
    if (watched == m_viewport && event->type() == QEvent::Resize && !m_applying)
        fillGrid();
    return QObject::eventFilter(watched, event);
}

QList<int> GridColumnFitter::clamped(QList<int> widths)
{
    for (int &width : widths)
        width = std::clamp(width, MinimumWidth, MaximumWidth);
    return widths;
}

QList<int> GridColumnFitter::fitted(QList<int> wanted, const QList<int> &needs, int available, int fillColumn)
{
    if (wanted.isEmpty())
        return wanted;
    const qsizetype fill = fillColumn >= 0 && fillColumn < wanted.size() ? fillColumn : wanted.size() - 1;
    int others = 0;
    for (qsizetype column = 0; column < wanted.size(); ++column) {
        wanted[column] = std::max(wanted[column], needs.value(column));
        if (column != fill)
            others += wanted[column];
    }
    const int left = available - others;
    // The last column only grows into the room left; a chosen fill column also gives
    // room up, down to what it needs.
    if (fill == fillColumn)
        wanted[fill] = std::max(needs.value(fill), left);
    else
        wanted[fill] = std::max(wanted[fill], left);
    return wanted;
}

QList<int> GridColumnFitter::neededWidths() const
{
    QList<int> needs;
    const QHeaderView *header = m_grid->horizontalHeader();
    // The names may be cut at their column's end; a last column of numbers may not.
    const int names = m_fillColumn >= 0 ? fillColumn() : -1;
    for (int column = 0; column < header->count(); ++column) {
        if (header->isSectionHidden(column)) {
            needs.append(0);
            continue;
        }
        int need = std::max(header->sectionSizeHint(column), m_neededAtLeast.value(column));
        if (column != names)
            need = std::max(need, valuesWidth(column));
        needs.append(need);
    }
    return needs;
}

int GridColumnFitter::valuesWidth(int column) const
{
    const QAbstractItemModel *model = m_grid->model();
    if (!model)
        return 0;
    // The rows shown and those after them, as the grid's delegate draws them.
    const int first = std::max(0, m_grid->rowAt(0));
    const int last = std::min(model->rowCount(), first + MeasuredRows);
    QStyleOptionViewItem option;
    option.initFrom(m_grid);
    option.widget = m_grid;
    option.font = m_grid->font();
    int width = 0;
    for (int row = first; row < last; ++row) {
        const QModelIndex index = model->index(row, column);
        width = std::max(width, m_grid->itemDelegateForIndex(index)->sizeHint(option, index).width());
    }
    // The grid's line at the cell's right edge.
    return width > 0 && m_grid->showGrid() ? width + 1 : width;
}

int GridColumnFitter::fillColumn() const
{
    const int count = m_grid->horizontalHeader()->count();
    return m_fillColumn >= 0 && m_fillColumn < count ? m_fillColumn : count - 1;
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
    for (int column = 0; column < widths.size() && column < header->count(); ++column) {
        if (!header->isSectionHidden(column) && header->sectionSize(column) != widths.at(column))
            header->resizeSection(column, widths.at(column));
    }
    m_applying = false;
}

void GridColumnFitter::setWidths(const QList<int> &widths)
{
    if (!m_fillColumnFixed)
        m_fillColumn = -1;
    m_wanted = widths;
    apply(widths);
    fillGrid();
}

void GridColumnFitter::fillWithColumn(int column)
{
    m_fillColumn = column;
    m_wanted = QList<int>(m_grid->horizontalHeader()->count(), DefaultWidth);
    apply(m_wanted);
    fillGrid();
}

void GridColumnFitter::alwaysFillWithColumn(int column)
{
    m_fillColumn = std::max(column, -1);
    m_fillColumnFixed = column >= 0;
}

void GridColumnFitter::fillGrid()
{
    watchModel();
    const int count = m_grid->horizontalHeader()->count();
    // Measuring reads rows, which a model may announce as changed.
    if (count == 0 || m_applying || m_fitting)
        return;
    QList<int> wanted = m_wanted.size() == count ? m_wanted : widths();
    const QHeaderView *header = m_grid->horizontalHeader();
    int hidden = 0;
    for (int column = 0; column < count; ++column) {
        if (header->isSectionHidden(column)) {
            wanted[column] = 0;
            ++hidden;
        }
    }
    if (hidden == count)
        return;
    m_fitting = true;
    const QList<int> needs = neededWidths();
    m_fitting = false;
    apply(fitted(wanted, needs, m_grid->viewport()->width(), m_fillColumn));
}

void GridColumnFitter::userResized()
{
    // Once the cashier sizes a column, the widths are the cashier's; the names (or the
    // last column) fill the rest as usual.
    if (!m_fillColumnFixed)
        m_fillColumn = -1;
    QList<int> wanted = widths();
    const QHeaderView *header = m_grid->horizontalHeader();
    for (int column = 0; column < wanted.size(); ++column) {
        // A hidden column keeps the width it had when it is shown again.
        if (header->isSectionHidden(column) && column < m_wanted.size())
            wanted[column] = m_wanted.at(column);
    }
    m_wanted = m_heldBetweenLimits ? clamped(wanted) : wanted;
    fillGrid();
}

void GridColumnFitter::setNeededAtLeast(int column, int width)
{
    if (column < 0)
        return;
    if (m_neededAtLeast.size() <= column)
        m_neededAtLeast.resize(column + 1);
    if (m_neededAtLeast.at(column) == width)
        return;
    m_neededAtLeast[column] = width;
    fillGrid();
}

#include "stock/ui/SalesOverviewReport.h"

#include "stock/SalesOverview.h"
#include "stock/SalesOverviewColumns.h"

#include <memory>

using namespace Qt::StringLiterals;

namespace {

using Columns = SalesOverviewColumns;

QList<TableReport::Column> reportColumns(const QList<Columns::Column> &columns)
{
    QList<TableReport::Column> result;
    for (const Columns::Column &column : columns) {
        const bool left = column.kind == Columns::Kind::Text;
        result.append({column.caption, column.widthMm,
                       column.kind == Columns::Kind::Date ? Qt::AlignHCenter
                       : left                             ? Qt::AlignLeft
                                                          : Qt::AlignRight});
    }
    return result;
}

// The rows read ahead from the overview: the report asks for them one by one and
// in order, the overview is best read a page at a time.
struct ReadAhead
{
    SalesOverview &overview;
    QList<SalesOverviewRows::Item> items;
    qint64 first = 0;
};

TableReport::RowSource rowSource(SalesOverview &overview, const QList<Columns::Column> &columns)
{
    auto cache = std::make_shared<ReadAhead>(ReadAhead{overview, {}, 0});
    return [cache, columns](int row) -> std::optional<QStringList> {
        if (row < cache->first || row >= cache->first + cache->items.size()) {
            cache->first = row;
            cache->items = cache->overview.items(row, SalesOverviewReport::RowsPerRead);
        }
        const qint64 at = row - cache->first;
        if (at >= cache->items.size())
            return std::nullopt;
        QStringList cells;
        for (const Columns::Column &column : columns)
            cells.append(Columns::text(cache->items.at(at), column));
        return cells;
    };
}

QStringList totalLine(const QList<Columns::Column> &columns, double total)
{
    QStringList cells(columns.size());
    cells[0] = u"Spolu"_s;
    cells[Columns::totalColumn(columns)] = Columns::totalText(total);
    return cells;
}

} // namespace

SalesOverviewReport::SalesOverviewReport(SalesOverview &overview, SalesOverviewChoices::Grouping grouping,
                                         const QString &selectionLine, QDate date)
    : m_table(u"Prehľad predaja"_s, {selectionLine}, reportColumns(Columns::of(grouping)),
              int(overview.itemSummary().rows), rowSource(overview, Columns::of(grouping)), date)
{
    m_table.setClosingLine(totalLine(Columns::of(grouping), overview.itemSummary().total));
}

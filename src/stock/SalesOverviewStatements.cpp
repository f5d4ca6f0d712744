#include "stock/SalesOverviewStatements.h"

#include "stock/TableLayouts.h"

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

using Choices = SalesOverviewChoices;

// The columns an item row is grouped by, per grouping.
QString groupedColumns(Choices::Grouping grouping)
{
    switch (grouping) {
    case Choices::Grouping::ByDocument:
        return u"DU,ID_DOKLAD,DATUM,KOD,NAZOV,MJ,JC,DPH"_s;
    case Choices::Grouping::ByClosing:
        return u"DU,KOD,NAZOV,MJ,JC,DPH"_s;
    case Choices::Grouping::Summary:
        break;
    }
    return u"KOD,NAZOV,MJ,JC,DPH"_s;
}

struct SortKey
{
    Choices::Column column;
    QString field;
};

SortKey sortKey(Choices::Sort sort)
{
    switch (sort) {
    case Choices::Sort::Code:
        return {Choices::Column::Code, u"KOD"_s};
    case Choices::Sort::Name:
        return {Choices::Column::Name, u"NAZOV"_s};
    case Choices::Sort::Document:
        return {Choices::Column::Document, u"ID_DOKLAD"_s};
    case Choices::Sort::Date:
        return {Choices::Column::Date, u"DATUM"_s};
    case Choices::Sort::Closing:
        break;
    }
    return {Choices::Column::Closing, u"DU"_s};
}

// The chosen key first, in the chosen direction, then the other grouped columns:
// they keep rows of equal keys in one order, so that the pages a screen reads one
// after another neither repeat nor skip a row. A key whose column the grouping
// sums away does not order.
struct Order
{
    QString columns; // the grouped columns, the key first
    QString line;    // the ORDER BY line
};

Order orderOf(const Choices &choices)
{
    const QString grouped = groupedColumns(choices.grouping);
    const SortKey key = sortKey(choices.sort);
    if (!Choices::shows(choices.grouping, key.column))
        return {grouped, u"ORDER BY "_s + grouped};
    QStringList rest = grouped.split(u',');
    rest.removeAll(key.field);
    // The grouping is written in the order's column order too: an index in that
    // order then serves both, and the rows stream out without being sorted.
    const QString columns = QStringList{key.field, rest.join(u',')}.join(u',');
    return {columns, u"ORDER BY %1 %2, %3"_s.arg(key.field, choices.descending ? u"DESC"_s : u"ASC"_s,
                                                 rest.join(u','))};
}

QString filterField(Choices::Column column)
{
    switch (column) {
    case Choices::Column::Closing:
        return u"DU"_s;
    case Choices::Column::Document:
        return u"ID_DOKLAD"_s;
    case Choices::Column::Code:
        return u"KOD"_s;
    case Choices::Column::Name:
        return u"NAZOV"_s;
    case Choices::Column::Date:
        break;
    }
    return {};
}

// The indexes that the item rows are grouped through, one per grouping, each in
// the order of the grouping's first sort on the screen and holding every column
// the statements read, so that grouping a year needs no sort and no table row.
// FISK comes last: it orders nothing, and the printed rows are told from the open
// ones within the index.
struct OverviewIndex
{
    const char16_t *name;
    const char16_t *columns;
};

constexpr OverviewIndex kByDocumentIndex{u"IDXPREHLAD_DUBL",
                                         u"DU,ID_DOKLAD,DATUM,KOD,NAZOV,MJ,JC,DPH,SKLAD,CENA,POCET,FISK"};
constexpr OverviewIndex kByClosingIndex{u"IDXPREHLAD_DU",
                                        u"DU,KOD,NAZOV,MJ,JC,DPH,DATUM,SKLAD,CENA,POCET,FISK"};
constexpr OverviewIndex kSummaryIndex{u"IDXPREHLAD_KOD",
                                      u"KOD,NAZOV,MJ,JC,DPH,DU,DATUM,SKLAD,CENA,POCET,FISK"};
// The document grid's own: its documents in the grid's order with their prices,
// so that the last documents of a year are read from the end of the index.
constexpr OverviewIndex kDocumentIndex{u"IDXPREHLAD_DOK", u"DU,ID_DOKLAD,DATUM,DOKLAD,CENA,FISK"};
constexpr const OverviewIndex *kOverviewIndexes[] = {&kByDocumentIndex, &kByClosingIndex, &kSummaryIndex,
                                                     &kDocumentIndex};

const OverviewIndex &indexOf(Choices::Grouping grouping)
{
    switch (grouping) {
    case Choices::Grouping::ByDocument:
        return kByDocumentIndex;
    case Choices::Grouping::ByClosing:
        return kByClosingIndex;
    case Choices::Grouping::Summary:
        break;
    }
    return kSummaryIndex;
}

// A month of daily closings or less: its rows are sought by their closing numbers
// and sorted sooner than the grouping's index is read whole.
constexpr int kNarrowClosings = 31;

bool isNarrow(const Choices &choices)
{
    return choices.rangeMode == Choices::RangeMode::Closings &&
           qint64(choices.closingTo) - choices.closingFrom < kNarrowClosings;
}

// The grouped columns in the order the grouping's index holds them.
QString indexOrder(Choices::Grouping grouping)
{
    const QStringList columns = QString::fromUtf16(indexOf(grouping).columns).split(u',');
    return columns.mid(0, groupedColumns(grouping).count(u',') + 1).join(u',');
}

} // namespace

QStringList SalesOverviewStatements::overviewIndexNames(const QString &tableName, DataServer::Kind kind)
{
    QStringList names;
    for (const OverviewIndex *index : kOverviewIndexes)
        names.append(TableLayouts::indexName(QString::fromUtf16(index->name), tableName, kind));
    return names;
}

QStringList SalesOverviewStatements::createOverviewIndexes(const QString &tableName, DataServer::Kind kind)
{
    // An earlier version grouped by document through an index led by the document
    // number; the screen first orders by closing, so that index was never read.
    QStringList statements{u"DROP INDEX IF EXISTS IDXPREHLAD_BL"_s};
    for (const OverviewIndex *index : kOverviewIndexes) {
        statements.append(u"CREATE INDEX IF NOT EXISTS %1 ON %2 (%3)"_s.arg(
            TableLayouts::indexName(QString::fromUtf16(index->name), tableName, kind), tableName,
            QString::fromUtf16(index->columns)));
    }
    return statements;
}

SalesOverviewStatements::Statement SalesOverviewStatements::indexDefinitions(const QString &tableName,
                                                                             DataServer::Kind kind)
{
    // The server folds the unquoted names it was given to lower case.
    return {
        kind == DataServer::Kind::PostgreSql
            ? u"SELECT indexname, indexdef FROM pg_indexes WHERE schemaname = current_schema() AND "
              "upper(tablename) = upper(?)"_s
            : u"SELECT name, sql FROM sqlite_master WHERE type = 'index' AND tbl_name = ? COLLATE NOCASE"_s,
        {tableName}};
}

// An earlier version made the overview's indexes without FISK.
QStringList SalesOverviewStatements::outdatedOverviewIndexes(const IndexDefinitions &definitions,
                                                             const QString &tableName, DataServer::Kind kind)
{
    QStringList outdated;
    for (const QString &name : overviewIndexNames(tableName, kind)) {
        for (auto it = definitions.cbegin(); it != definitions.cend(); ++it) {
            if (it.key().compare(name, Qt::CaseInsensitive) == 0 &&
                !it.value().contains(u"FISK"_s, Qt::CaseInsensitive))
                outdated.append(name);
        }
    }
    return outdated;
}

void SalesOverviewStatements::setIndexes(const IndexDefinitions &definitions)
{
    m_indexes = definitions.keys();
    // The server's indexes hold no row keys: there FISK is read where the index lacks it.
    m_printedIndexed = onServer() || outdatedOverviewIndexes(definitions, m_table, m_kind).isEmpty();
}

// The grouping's own index where the table has it, the range is wider than a
// month's closings and the order can stream from it (or, for `forOrder` false,
// where no order is asked for): SQLite would rather seek the closing range
// through another index and then sort the whole range, which for a year is most
// of a million rows.
QString SalesOverviewStatements::indexedBy(const Choices &choices, bool forOrder) const
{
    // The server has no index hints; its planner weighs the indexes itself.
    if (onServer())
        return {};
    const QString name = QString::fromUtf16(indexOf(choices.grouping).name);
    if (!m_indexes.contains(name, Qt::CaseInsensitive) || isNarrow(choices))
        return {};
    if (forOrder && (choices.descending || orderOf(choices).columns != indexOrder(choices.grouping)))
        return {};
    return u" INDEXED BY "_s + name;
}

SalesOverviewStatements::SalesOverviewStatements(const QString &tableName, DataServer::Kind kind)
    : m_table(tableName), m_kind(kind)
{}

// The connection's own table: SQLite's temporary database, or the server's
// temporary schema of this session.
QString SalesOverviewStatements::itemTable() const
{
    return (onServer() ? u"pg_temp."_s : u"temp."_s) + QString::fromUtf16(ItemTable);
}

// The sum of `column` that is 0, not NULL, for no rows.
QString SalesOverviewStatements::total(const QString &column) const
{
    return onServer() ? u"COALESCE(SUM(%1), 0)"_s.arg(column) : u"TOTAL(%1)"_s.arg(column);
}

// A LIMIT of every row: -1 for SQLite, NULL for the server.
QVariant SalesOverviewStatements::limitValue(qint64 limit) const
{
    if (limit >= 0)
        return limit;
    return onServer() ? QVariant() : QVariant(qint64(-1));
}

// The open document (rows with FISK 0, not printed yet) is no sale: every statement
// reads the printed rows only. The overview's indexes hold FISK, so they still give
// every column read. The ones an earlier version made do not (until the till makes
// them anew): the open rows are then left out by their keys, which every index of
// a file holds; they are few and found through the table's own index of them.
// On a file FISK is written "+FISK": SQLite would otherwise take the index of the
// open rows (IDXOTVORENE) as the way to the printed ones, most of a year's rows,
// rather than the range.
QString SalesOverviewStatements::printedOnly() const
{
    if (m_printedIndexed)
        return onServer() ? u"FISK=1"_s : u"+FISK=1"_s;
    return u"ID_PRIMARY NOT IN (SELECT ID_PRIMARY FROM %1 WHERE FISK=0 OR FISK IS NULL)"_s.arg(m_table);
}

QString SalesOverviewStatements::rangeLines(const Choices &choices, QVariantList &values) const
{
    if (choices.rangeMode == Choices::RangeMode::Dates) {
        values << choices.dateFrom.toString(Qt::ISODate) << choices.dateTo.toString(Qt::ISODate);
        return u"WHERE DATUM >= ?\nAND DATUM <= ?\nAND "_s + printedOnly();
    }
    values << choices.closingFrom << choices.closingTo;
    return u"WHERE DU>=? AND DU<=?\nAND "_s + printedOnly();
}

// False when the filter cannot match any row.
bool SalesOverviewStatements::addFilterLine(const Choices &choices, QString &text, QVariantList &values) const
{
    const QString field = filterField(choices.filterColumn);
    if (choices.filterText.isEmpty() || field.isEmpty())
        return true;
    if (choices.filterColumn == Choices::Column::Code || choices.filterColumn == Choices::Column::Name) {
        // instr() rather than LIKE: '%' and '_' typed by the operator are
        // letters of a name here, not wildcards.
        text += onServer() ? u"\nAND strpos(upper(%1), upper(?)) > 0"_s.arg(field)
                           : u"\nAND instr(%1(%2), %1(?)) > 0"_s.arg(QLatin1StringView(FoldFunction), field);
        values << choices.filterText;
        return true;
    }
    bool isNumber = false;
    const int number = choices.filterText.trimmed().toInt(&isNumber);
    if (!isNumber)
        return false;
    text += u"\nAND %1=?"_s.arg(field);
    values << number;
    return true;
}

SalesOverviewStatements::Statement SalesOverviewStatements::grouped(const Choices &choices,
                                                                    bool ordered) const
{
    const Order order = orderOf(choices);
    const QString columns = ordered ? order.columns : indexOrder(choices.grouping);
    Statement statement;
    statement.text = u"SELECT "_s + columns + u", SUM(CENA) AS SUM_CENA, SUM(POCET) AS SUM_POCET\nFROM "_s +
                     m_table + indexedBy(choices, ordered) + u'\n' + rangeLines(choices, statement.values);
    statement.matchesNothing = !addFilterLine(choices, statement.text, statement.values);
    if (choices.group) {
        statement.text += u"\nAND SKLAD=?"_s;
        statement.values << *choices.group;
    }
    statement.text += u"\nGROUP BY "_s + columns;
    if (ordered)
        statement.text += u'\n' + order.line;
    return statement;
}

SalesOverviewStatements::Statement SalesOverviewStatements::itemTotal(const Choices &choices) const
{
    Statement statement;
    statement.text = u"SELECT %1 AS SUM_CENA\nFROM "_s.arg(total(u"CENA"_s)) + m_table + u'\n' +
                     rangeLines(choices, statement.values);
    statement.matchesNothing = !addFilterLine(choices, statement.text, statement.values);
    if (choices.group) {
        statement.text += u"\nAND SKLAD=?"_s;
        statement.values << *choices.group;
    }
    return statement;
}

SalesOverviewStatements::Statement SalesOverviewStatements::items(const Choices &choices) const
{
    return grouped(choices, true);
}

SalesOverviewStatements::Statement SalesOverviewStatements::itemsPage(const Choices &choices, qint64 offset,
                                                                      qint64 limit) const
{
    Statement statement = items(choices);
    statement.text += u"\nLIMIT ? OFFSET ?"_s;
    statement.values << limitValue(limit) << std::max<qint64>(offset, 0);
    return statement;
}

SalesOverviewStatements::Statement SalesOverviewStatements::itemSummary(const Choices &choices) const
{
    Statement statement = grouped(choices, false);
    statement.text = u"SELECT COUNT(*) AS COUNT_POL, %1 AS SUM_CENA FROM (\n"_s.arg(total(u"SUM_CENA"_s)) +
                     statement.text + u"\n) AS GROUPED"_s;
    return statement;
}

QStringList SalesOverviewStatements::createItemTable() const
{
    // On the server the rows are numbered by a column of their own, as SQLite's row ids number them.
    const QString rowNumber = onServer() ? u"rowid BIGINT GENERATED ALWAYS AS IDENTITY, "_s : QString();
    return {
        u"DROP TABLE IF EXISTS %1"_s.arg(itemTable()),
        u"CREATE TEMP TABLE %1 (%2DU INTEGER, ID_DOKLAD INTEGER, DATUM DATE, KOD TEXT, NAZOV TEXT, "
        "MJ TEXT, JC DOUBLE PRECISION, DPH INTEGER, SUM_CENA DOUBLE PRECISION, SUM_POCET DOUBLE PRECISION)"_s
            .arg(QString::fromUtf16(ItemTable), rowNumber)};
}

// The rows go in in the statement's order, so that their row ids number them.
SalesOverviewStatements::Statement SalesOverviewStatements::storeItems(const Choices &choices) const
{
    Statement statement = items(choices);
    statement.text =
        u"INSERT INTO %1 (%2,SUM_CENA,SUM_POCET)\n"_s.arg(itemTable(), orderOf(choices).columns) +
        statement.text;
    return statement;
}

SalesOverviewStatements::Statement SalesOverviewStatements::itemSummary() const
{
    return {u"SELECT COUNT(*) AS COUNT_POL, %1 AS SUM_CENA FROM %2"_s.arg(total(u"SUM_CENA"_s), itemTable()),
            {}};
}

SalesOverviewStatements::Statement SalesOverviewStatements::itemPage(qint64 offset, qint64 limit) const
{
    offset = std::max<qint64>(offset, 0);
    const qint64 most = std::numeric_limits<qint64>::max();
    const qint64 last = limit < 0 || limit > most - offset ? most : offset + limit;
    return {u"SELECT * FROM %1 WHERE rowid > ? AND rowid <= ? ORDER BY rowid"_s.arg(itemTable()),
            {offset, last}};
}

// Read from the last document backwards, so that a year's grid shows its last
// documents without every document of the year being grouped first.
SalesOverviewStatements::Statement SalesOverviewStatements::documentsBefore(
    const Choices &choices, const std::optional<SalesOverviewRows::Document> &before, qint64 limit) const
{
    const QString index = QString::fromUtf16(kDocumentIndex.name);
    const QString indexed =
        !onServer() && m_indexes.contains(index, Qt::CaseInsensitive) ? u" INDEXED BY "_s + index : QString();
    Statement statement;
    statement.text = u"SELECT DU,DOKLAD,ID_DOKLAD,DATUM,SUM(CENA) AS SUM_CENA\nFROM "_s + m_table + indexed +
                     u'\n' + rangeLines(choices, statement.values);
    if (before) {
        statement.text += u"\nAND (DU,ID_DOKLAD,DATUM,DOKLAD) < (?,?,?,?)"_s;
        statement.values << before->closing << before->document << before->date.toString(Qt::ISODate)
                         << before->number;
    }
    statement.text += u"\nGROUP BY DU,ID_DOKLAD,DATUM,DOKLAD"
                      "\nORDER BY DU DESC,ID_DOKLAD DESC,DATUM DESC,DOKLAD DESC\nLIMIT ?"_s;
    statement.values << limitValue(limit);
    return statement;
}

SalesOverviewStatements::Statement SalesOverviewStatements::documentLines(int closing, int document,
                                                                          const QDate &date) const
{
    return {u"SELECT * FROM "_s + m_table + u"\nWHERE DU=? AND ID_DOKLAD=? AND DATUM=?\nAND "_s +
                printedOnly() + u"\nORDER BY ID_PRIMARY"_s,
            {closing, document, date.toString(Qt::ISODate)}};
}

SalesOverviewStatements::Statement SalesOverviewStatements::closingRange() const
{
    return {u"SELECT MAX(DU) AS MAX_DU, MIN(DU) AS MIN_DU\nFROM "_s + m_table + u"\nWHERE "_s + printedOnly(),
            {}};
}

SalesOverviewStatements::Statement SalesOverviewStatements::dateOfClosing(int closing) const
{
    return {u"SELECT DATUM\nFROM "_s + m_table + u"\nWHERE DU=?\nAND "_s + printedOnly() + u"\nLIMIT 1"_s,
            {closing}};
}

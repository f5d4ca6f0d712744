#include "stock/SalesOverviewStatements.h"

using namespace Qt::StringLiterals;

namespace {

using Choices = SalesOverviewChoices;

struct GroupingLines
{
    QString select;
    QString groupBy;
};

GroupingLines groupingLines(Choices::Grouping grouping)
{
    const QString sums = u", SUM(CENA) AS SUM_CENA, SUM(POCET) AS SUM_POCET"_s;
    switch (grouping) {
    case Choices::Grouping::ByDocument:
        return {u"SELECT DU,ID_DOKLAD,DATUM,KOD,NAZOV,MJ,JC,DPH"_s + sums,
                u"GROUP BY DU,ID_DOKLAD,DATUM,KOD,NAZOV,MJ,JC,DPH"_s};
    case Choices::Grouping::ByClosing:
        return {u"SELECT DU,KOD,NAZOV,MJ,JC,DPH"_s + sums, u"GROUP BY DU,KOD,NAZOV,MJ,JC,DPH"_s};
    case Choices::Grouping::Summary:
        break;
    }
    return {u"SELECT KOD,NAZOV,MJ,JC,DPH"_s + sums, u"GROUP BY KOD,NAZOV,MJ,JC,DPH"_s};
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

// The chosen key first, in the chosen direction; the grouped columns after it
// keep rows of equal keys in one order, so that the pages a screen reads one
// after another neither repeat nor skip a row. A key whose column the grouping
// sums away does not order.
QString orderLine(const Choices &choices)
{
    const QString groupedColumns = groupingLines(choices.grouping).groupBy.mid(9);
    const SortKey key = sortKey(choices.sort);
    if (!Choices::shows(choices.grouping, key.column))
        return u"ORDER BY "_s + groupedColumns;
    return u"ORDER BY %1 %2, %3"_s.arg(key.field, choices.descending ? u"DESC"_s : u"ASC"_s, groupedColumns);
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

} // namespace

SalesOverviewStatements::SalesOverviewStatements(const QString &tableName) : m_table(tableName) {}

QString SalesOverviewStatements::rangeLines(const Choices &choices, QVariantList &values) const
{
    if (choices.rangeMode == Choices::RangeMode::Dates) {
        values << choices.dateFrom.toString(Qt::ISODate) << choices.dateTo.toString(Qt::ISODate);
        return u"WHERE DATUM >= ?\nAND DATUM <= ?"_s;
    }
    values << choices.closingFrom << choices.closingTo;
    return u"WHERE DU>=? AND DU<=?"_s;
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
        text += u"\nAND instr(%1(%2), %1(?)) > 0"_s.arg(QLatin1StringView(FoldFunction), field);
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

SalesOverviewStatements::Statement SalesOverviewStatements::itemQuery(const Choices &choices) const
{
    const GroupingLines lines = groupingLines(choices.grouping);
    Statement statement;
    statement.text = lines.select + u"\nFROM "_s + m_table + u'\n' + rangeLines(choices, statement.values);
    statement.matchesNothing = !addFilterLine(choices, statement.text, statement.values);
    if (choices.group) {
        statement.text += u"\nAND SKLAD=?"_s;
        statement.values << *choices.group;
    }
    statement.text += u'\n' + lines.groupBy;
    return statement;
}

SalesOverviewStatements::Statement SalesOverviewStatements::items(const Choices &choices, qint64 offset,
                                                                  qint64 limit) const
{
    Statement statement = itemQuery(choices);
    statement.text += u'\n' + orderLine(choices) + u"\nLIMIT ? OFFSET ?"_s;
    statement.values << (limit < 0 ? qint64(-1) : limit) << std::max<qint64>(offset, 0);
    return statement;
}

SalesOverviewStatements::Statement SalesOverviewStatements::itemSummary(const Choices &choices) const
{
    Statement statement = itemQuery(choices);
    statement.text =
        u"SELECT COUNT(*) AS COUNT_POL, TOTAL(SUM_CENA) AS SUM_CENA FROM (\n"_s + statement.text + u"\n)"_s;
    return statement;
}

SalesOverviewStatements::Statement SalesOverviewStatements::documents(const Choices &choices) const
{
    Statement statement;
    statement.text = u"SELECT DU,DOKLAD,ID_DOKLAD,DATUM,SUM(CENA) AS SUM_CENA\nFROM "_s + m_table + u'\n' +
                     rangeLines(choices, statement.values) +
                     u"\nGROUP BY DU,ID_DOKLAD,DOKLAD,DATUM\nORDER BY DU,ID_DOKLAD,DATUM,DOKLAD"_s;
    return statement;
}

SalesOverviewStatements::Statement SalesOverviewStatements::documentLines(int closing, int document,
                                                                          const QDate &date) const
{
    return {u"SELECT * FROM "_s + m_table +
                u"\nWHERE DU=? AND ID_DOKLAD=? AND DATUM=?\nORDER BY ID_PRIMARY"_s,
            {closing, document, date.toString(Qt::ISODate)}};
}

SalesOverviewStatements::Statement SalesOverviewStatements::closingRange() const
{
    return {u"SELECT MAX(DU) AS MAX_DU, MIN(DU) AS MIN_DU\nFROM "_s + m_table, {}};
}

SalesOverviewStatements::Statement SalesOverviewStatements::dateOfClosing(int closing) const
{
    return {u"SELECT DATUM\nFROM "_s + m_table + u"\nWHERE DU=?\nLIMIT 1"_s, {closing}};
}

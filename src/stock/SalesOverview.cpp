#include "stock/SalesOverview.h"

#include "stock/SalesFiles.h"
#include "stock/StockSearch.h"

#include <QDir>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

// The folding of the sale search, as an SQL function: SQLite's own upper()
// leaves every letter outside ASCII alone ("č" would not find "Č").
void foldFunction(sqlite3_context *context, int, sqlite3_value **arguments)
{
    if (sqlite3_value_type(arguments[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(arguments[0]));
    const int size = sqlite3_value_bytes(arguments[0]);
    const QByteArray folded = StockSearch::fold(QString::fromUtf8(text, size)).toUtf8();
    sqlite3_result_text(context, folded.constData(), int(folded.size()), SQLITE_TRANSIENT);
}

// Where the columns of an item row are in a result, found once per result: the
// columns the grouping sums away are NULL in the stored rows and missing from
// the rows read straight from the table; either way they read as 0 or as no date.
struct ItemColumns
{
    int closing, document, date, code, name, unit, unitPrice, vatRate, quantity, total;

    explicit ItemColumns(const QSqlRecord &record)
        : closing(record.indexOf(u"DU"_s)), document(record.indexOf(u"ID_DOKLAD"_s)),
          date(record.indexOf(u"DATUM"_s)), code(record.indexOf(u"KOD"_s)), name(record.indexOf(u"NAZOV"_s)),
          unit(record.indexOf(u"MJ"_s)), unitPrice(record.indexOf(u"JC"_s)),
          vatRate(record.indexOf(u"DPH"_s)), quantity(record.indexOf(u"SUM_POCET"_s)),
          total(record.indexOf(u"SUM_CENA"_s))
    {}
};

QVariant valueAt(const QSqlQuery &query, int column)
{
    return column < 0 ? QVariant() : query.value(column);
}

SalesOverviewRows::Item itemOf(const QSqlQuery &query, const ItemColumns &columns)
{
    SalesOverviewRows::Item item;
    item.closing = valueAt(query, columns.closing).toInt();
    item.document = valueAt(query, columns.document).toInt();
    item.date = QDate::fromString(valueAt(query, columns.date).toString(), Qt::ISODate);
    item.code = valueAt(query, columns.code).toString();
    item.name = valueAt(query, columns.name).toString();
    item.unit = valueAt(query, columns.unit).toString();
    item.unitPrice = valueAt(query, columns.unitPrice).toDouble();
    item.vatRate = valueAt(query, columns.vatRate).toInt();
    item.quantity = valueAt(query, columns.quantity).toDouble();
    item.total = valueAt(query, columns.total).toDouble();
    return item;
}

} // namespace

bool SalesOverview::open(const QString &dataFolder, const QString &fileName, const DataServer &server)
{
    close();
    const QString table = SalesFiles::tableNameOf(fileName);
    if (table.isEmpty()) {
        m_error = u"Not a sales file: %1"_s.arg(fileName);
        return false;
    }
    // Never created nor upgraded here: a year that is only looked at stays as it is.
    m_file.setServer(server);
    if (!m_file.open(QDir(dataFolder).filePath(fileName), false)) {
        m_error = m_file.lastError();
        return false;
    }
    if (server.isServer() && !m_file.hasTable(table)) {
        m_error =
            m_file.lastError().isEmpty() ? u"No table %1 on the server"_s.arg(table) : m_file.lastError();
        close();
        return false;
    }
    m_statements = SalesOverviewStatements(table, server.kind);
    m_statements.setIndexes(indexDefinitions(table));
    if (!server.isServer() && !registerFold()) {
        close();
        return false;
    }
    m_error.clear();
    return true;
}

void SalesOverview::close()
{
    m_chosen.reset();
    m_chosenSummary.reset();
    m_file.close();
}

SalesOverviewStatements::IndexDefinitions SalesOverview::indexDefinitions(const QString &table)
{
    SalesOverviewStatements::IndexDefinitions definitions;
    const SalesOverviewStatements::Statement statement =
        SalesOverviewStatements::indexDefinitions(table, m_file.server().kind);
    QSqlQuery query(m_file.database());
    query.setForwardOnly(true);
    query.prepare(statement.text);
    for (const QVariant &value : statement.values)
        query.addBindValue(value);
    if (query.exec()) {
        while (query.next())
            definitions.insert(query.value(0).toString(), query.value(1).toString());
    }
    return definitions;
}

bool SalesOverview::registerFold()
{
    const QVariant handle = m_file.database().driver()->handle();
    sqlite3 *connection = nullptr;
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
        connection = *static_cast<sqlite3 *const *>(handle.constData());
    if (!connection) {
        m_error = u"No SQLite connection"_s;
        return false;
    }
    const int result = sqlite3_create_function_v2(connection, SalesOverviewStatements::FoldFunction, 1,
                                                  SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, foldFunction,
                                                  nullptr, nullptr, nullptr);
    if (result != SQLITE_OK) {
        m_error = QString::fromUtf8(sqlite3_errstr(result));
        return false;
    }
    return true;
}

bool SalesOverview::run(QSqlQuery &query, const SalesOverviewStatements::Statement &statement)
{
    if (!isOpen()) {
        m_error = u"No sales file is open"_s;
        return false;
    }
    query.setForwardOnly(true);
    if (statement.matchesNothing) {
        m_error.clear();
        return false;
    }
    if (query.prepare(statement.text)) {
        for (const QVariant &value : statement.values)
            query.addBindValue(value);
        if (query.exec()) {
            m_error.clear();
            return true;
        }
    }
    m_error = DataFile::engineText(query.lastError());
    return false;
}

SalesOverviewRows::ClosingRange SalesOverview::closingRange()
{
    QSqlQuery query(m_file.database());
    if (!run(query, m_statements.closingRange()) || !query.next())
        return {};
    // MAX and MIN of no rows are NULL, which reads as 0.
    return {query.value(u"MIN_DU"_s).toInt(), query.value(u"MAX_DU"_s).toInt()};
}

std::optional<QDate> SalesOverview::dateOfClosing(int closing)
{
    QSqlQuery query(m_file.database());
    if (!run(query, m_statements.dateOfClosing(closing)) || !query.next())
        return std::nullopt;
    return QDate::fromString(query.value(0).toString(), Qt::ISODate);
}

QList<SalesOverviewRows::Document>
SalesOverview::documents(const SalesOverviewChoices &choices,
                         const std::optional<SalesOverviewRows::Document> &before, qint64 limit)
{
    QList<SalesOverviewRows::Document> documents;
    QSqlQuery query(m_file.database());
    if (!run(query, m_statements.documentsBefore(choices, before, limit)))
        return documents;
    while (query.next()) {
        documents.prepend({query.value(u"DU"_s).toInt(), query.value(u"DOKLAD"_s).toInt(),
                           query.value(u"ID_DOKLAD"_s).toInt(),
                           QDate::fromString(query.value(u"DATUM"_s).toString(), Qt::ISODate),
                           query.value(u"SUM_CENA"_s).toDouble()});
    }
    return documents;
}

QList<SalesOverviewRows::Line> SalesOverview::documentLines(int closing, int document, const QDate &date)
{
    QList<SalesOverviewRows::Line> lines;
    QSqlQuery query(m_file.database());
    if (!run(query, m_statements.documentLines(closing, document, date)))
        return lines;
    while (query.next()) {
        lines.append({query.value(u"KOD"_s).toString(), query.value(u"NAZOV"_s).toString(),
                      query.value(u"POCET"_s).toDouble(), query.value(u"MJ"_s).toString(),
                      query.value(u"JC"_s).toDouble(), query.value(u"CENA"_s).toDouble(),
                      QTime::fromString(query.value(u"CAS"_s).toString(), Qt::ISODate)});
    }
    return lines;
}

SalesOverviewRows::ItemSummary SalesOverview::selectItems(const SalesOverviewChoices &choices)
{
    m_chosen.reset();
    m_chosenSummary.reset();
    if (!storeItems(choices))
        return {};
    return itemSummary();
}

bool SalesOverview::storeItems(const SalesOverviewChoices &choices)
{
    if (!isOpen()) {
        m_error = u"No sales file is open"_s;
        return false;
    }
    for (const QString &statement : m_statements.createItemTable()) {
        if (!m_file.exec(statement)) {
            m_error = m_file.lastError();
            return false;
        }
    }
    QSqlQuery query(m_file.database());
    return run(query, m_statements.storeItems(choices));
}

void SalesOverview::chooseItems(const SalesOverviewChoices &choices)
{
    // The rows kept for earlier choices must not be read for these.
    m_file.exec(m_statements.createItemTable().constFirst());
    m_chosen = choices;
    m_chosenSummary.reset();
}

QList<SalesOverviewRows::Item> SalesOverview::readItems(const SalesOverviewStatements::Statement &statement)
{
    QList<SalesOverviewRows::Item> items;
    QSqlQuery query(m_file.database());
    if (!run(query, statement))
        return items;
    const ItemColumns columns(query.record());
    while (query.next())
        items.append(itemOf(query, columns));
    return items;
}

QList<SalesOverviewRows::Item> SalesOverview::items(qint64 offset, qint64 limit)
{
    if (m_chosen) {
        if (limit >= 0 && offset + limit <= DirectRows)
            return readItems(m_statements.itemsPage(*m_chosen, offset, limit));
        // Deeper pages are read by row number from rows grouped once.
        const SalesOverviewChoices choices = *m_chosen;
        m_chosen.reset();
        if (!storeItems(choices))
            return {};
    }
    return readItems(m_statements.itemPage(offset, limit));
}

SalesOverviewRows::ItemSummary SalesOverview::itemSummary()
{
    if (m_chosenSummary)
        return *m_chosenSummary;
    QSqlQuery query(m_file.database());
    const SalesOverviewStatements::Statement statement =
        m_chosen ? m_statements.itemSummary(*m_chosen) : m_statements.itemSummary();
    if (!run(query, statement) || !query.next())
        return {};
    const SalesOverviewRows::ItemSummary summary{query.value(u"COUNT_POL"_s).toLongLong(),
                                                 query.value(u"SUM_CENA"_s).toDouble()};
    if (m_chosen)
        m_chosenSummary = summary;
    return summary;
}

double SalesOverview::itemTotal()
{
    if (!m_chosen || m_chosenSummary)
        return itemSummary().total;
    QSqlQuery query(m_file.database());
    if (!run(query, m_statements.itemTotal(*m_chosen)) || !query.next())
        return 0;
    return query.value(u"SUM_CENA"_s).toDouble();
}

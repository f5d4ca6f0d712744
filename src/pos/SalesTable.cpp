#include "pos/SalesTable.h"

#include "stock/DataFile.h"
#include "stock/SalesOverviewStatements.h"
#include "stock/TableLayouts.h"
#include "stock/WriteTransaction.h"

#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

QStringList salesColumnNames()
{
    QStringList names;
    for (const TableLayouts::Field &field : TableLayouts::salesFields())
        names << QString::fromUtf16(field.name);
    return names;
}

QVariant dateValue(const QDate &date)
{
    return date.isValid() ? QVariant(date.toString(u"yyyy-MM-dd"_s))
                          : QVariant(QMetaType(QMetaType::QString));
}

QVariant timeValue(const QTime &time)
{
    return time.isValid() ? QVariant(time.toString(u"HH:mm:ss"_s)) : QVariant(QMetaType(QMetaType::QString));
}

QList<QVariant> rowValues(const SaleRow &row, int key)
{
    return {key,
            row.kod,
            row.nazov,
            row.nazov1,
            row.nazov2,
            row.mj,
            row.pocet,
            row.jc,
            row.dph,
            row.du,
            row.doklad,
            dateValue(row.datum),
            timeValue(row.cas),
            row.idDoklad,
            row.verDb,
            row.idxDph,
            row.cena,
            row.cenaInt,
            int(row.obal),
            int(row.fisk),
            row.sklad,
            row.polCount,
            row.ucet,
            row.zlavaInt,
            row.zlavaPerc};
}

// The files keep dates and times as text; the server gives its own types back.
QDate dateFrom(const QVariant &value)
{
    if (value.metaType().id() == QMetaType::QDate)
        return value.toDate();
    return QDate::fromString(value.toString(), u"yyyy-MM-dd"_s);
}

QTime timeFrom(const QVariant &value)
{
    if (value.metaType().id() == QMetaType::QTime)
        return value.toTime();
    return QTime::fromString(value.toString(), u"HH:mm:ss"_s);
}

SaleRow rowFrom(const QSqlQuery &query)
{
    SaleRow row;
    int i = 0;
    auto next = [&] { return query.value(i++); };
    row.idPrimary = next().toInt();
    row.kod = next().toString();
    row.nazov = next().toString();
    row.nazov1 = next().toString();
    row.nazov2 = next().toString();
    row.mj = next().toString();
    row.pocet = next().toDouble();
    row.jc = next().toDouble();
    row.dph = next().toInt();
    row.du = next().toInt();
    row.doklad = next().toInt();
    row.datum = dateFrom(next());
    row.cas = timeFrom(next());
    row.idDoklad = next().toInt();
    row.verDb = next().toInt();
    row.idxDph = next().toInt();
    row.cena = next().toDouble();
    row.cenaInt = next().toInt();
    row.obal = next().toInt() != 0;
    row.fisk = next().toInt() != 0;
    row.sklad = next().toInt();
    row.polCount = next().toInt();
    row.ucet = next().toInt();
    row.zlavaInt = next().toInt();
    row.zlavaPerc = next().toInt();
    return row;
}

} // namespace

SalesTable::SalesTable(DataFile &file, QString tableName, int till)
    : m_file(file), m_name(std::move(tableName)), m_till(till)
{}

QString SalesTable::openFilter() const
{
    return u"FISK=0 AND UCET=%1"_s.arg(m_till);
}

QString SalesTable::lastError() const
{
    return m_file.lastError();
}

bool SalesTable::run(QSqlQuery &query)
{
    if (query.exec())
        return true;
    m_file.setError(DataFile::engineText(query.lastError()));
    return false;
}

bool SalesTable::exists()
{
    return m_file.hasTable(m_name);
}

bool SalesTable::create()
{
    WriteTransaction transaction(m_file);
    if (!transaction.isOpen())
        return false;
    if (!m_file.hasTable(m_name)) {
        for (const QString &statement : TableLayouts::salesTableStatements(m_name, m_file.server().kind)) {
            if (!m_file.exec(statement))
                return false;
        }
    }
    return transaction.commit();
}

bool SalesTable::overviewIndexDefinitions(SalesOverviewStatements::IndexDefinitions &definitions)
{
    const SalesOverviewStatements::Statement statement =
        SalesOverviewStatements::indexDefinitions(m_name, m_file.server().kind);
    QSqlQuery query(m_file.database());
    query.setForwardOnly(true);
    query.prepare(statement.text);
    for (const QVariant &value : statement.values)
        query.addBindValue(value);
    if (!run(query))
        return false;
    definitions.clear();
    while (query.next())
        definitions.insert(query.value(0).toString(), query.value(1).toString());
    return true;
}

bool SalesTable::hasOverviewIndexes(bool &has)
{
    SalesOverviewStatements::IndexDefinitions definitions;
    if (!overviewIndexDefinitions(definitions))
        return false;
    QStringList names;
    for (const QString &name : definitions.keys())
        names.append(name.toUpper());
    const DataServer::Kind kind = m_file.server().kind;
    has = SalesOverviewStatements::outdatedOverviewIndexes(definitions, m_name, kind).isEmpty();
    for (const QString &index : SalesOverviewStatements::overviewIndexNames(m_name, kind))
        has = has && names.contains(index.toUpper());
    return true;
}

bool SalesTable::addOverviewIndexes()
{
    WriteTransaction transaction(m_file);
    if (!transaction.isOpen())
        return false;
    // Those of an earlier version lack FISK: they are made anew.
    SalesOverviewStatements::IndexDefinitions definitions;
    if (!overviewIndexDefinitions(definitions))
        return false;
    const DataServer::Kind kind = m_file.server().kind;
    for (const QString &outdated :
         SalesOverviewStatements::outdatedOverviewIndexes(definitions, m_name, kind)) {
        if (!m_file.exec(u"DROP INDEX IF EXISTS "_s + outdated))
            return false;
    }
    // IF NOT EXISTS: another till may have added them while this one waited for the lock.
    for (const QString &statement : SalesOverviewStatements::createOverviewIndexes(m_name, kind)) {
        if (!m_file.exec(statement))
            return false;
    }
    return transaction.commit();
}

bool SalesTable::probeRows(bool &rows)
{
    QSqlQuery query(m_file.database());
    query.setForwardOnly(true);
    // The server's driver would carry every row of the year across before the
    // query is dropped; one is all the test needs.
    query.prepare(u"SELECT * FROM "_s + m_name + (m_file.isOnServer() ? u" LIMIT 1"_s : QString()));
    if (!run(query))
        return false;
    rows = query.next();
    return true;
}

bool SalesTable::hasDiscountColumns(bool &has)
{
    const QStringList columns = m_file.columnNames(m_name);
    if (columns.isEmpty())
        return false;
    has = true;
    for (const TableLayouts::Field &field : TableLayouts::discountFields())
        has = has && columns.contains(QString::fromUtf16(field.name), Qt::CaseInsensitive);
    return true;
}

bool SalesTable::addDiscountColumns()
{
    WriteTransaction transaction(m_file);
    if (!transaction.isOpen())
        return false;
    // Another till may have upgraded the table while this one waited for the lock.
    const QStringList columns = m_file.columnNames(m_name);
    bool ok = !columns.isEmpty();
    for (const TableLayouts::Field &field : TableLayouts::discountFields()) {
        const QString name = QString::fromUtf16(field.name);
        if (ok && !columns.contains(name, Qt::CaseInsensitive))
            ok = m_file.exec(u"ALTER TABLE %1 ADD COLUMN %2"_s.arg(
                m_name, TableLayouts::columnDefinition(field, m_file.server().kind)));
    }
    ok = ok && m_file.exec(u"UPDATE %1 SET ZLAVA_INT=0, ZLAVA_PERC=0"_s.arg(m_name));
    return ok && transaction.commit();
}

bool SalesTable::hasTillColumn(bool &has)
{
    const QStringList columns = m_file.columnNames(m_name);
    if (columns.isEmpty())
        return false;
    has = columns.contains(QString::fromUtf16(TableLayouts::tillField().name), Qt::CaseInsensitive);
    return true;
}

bool SalesTable::addTillColumn()
{
    WriteTransaction transaction(m_file);
    if (!transaction.isOpen())
        return false;
    bool has = false;
    bool ok = hasTillColumn(has);
    if (ok && !has)
        ok = m_file.exec(u"ALTER TABLE %1 ADD COLUMN %2"_s.arg(
            m_name, TableLayouts::columnDefinition(TableLayouts::tillField(), m_file.server().kind)));
    return ok && transaction.commit();
}

std::optional<qint64> SalesTable::maxKey(QSqlQuery &query)
{
    query.setForwardOnly(true);
    query.prepare(u"SELECT MAX(ID_PRIMARY) AS MAX_IDX\nFROM "_s + m_name);
    if (!run(query) || !query.next())
        return std::nullopt;
    return query.value(0).toLongLong(); // an empty table gives NULL, read as 0
}

std::optional<int> SalesTable::nextKey()
{
    QSqlQuery query(m_file.database());
    const std::optional<qint64> max = maxKey(query);
    if (!max)
        return std::nullopt;
    return int(*max + 1);
}

bool SalesTable::insert(QSqlQuery &query, const SaleRow &row, int key)
{
    const QStringList columns = salesColumnNames();
    QStringList marks;
    marks.fill(u"?"_s, columns.size());
    query.prepare(
        u"INSERT INTO %1 (%2) VALUES (%3)"_s.arg(m_name, columns.join(u", "_s), marks.join(u", "_s)));
    for (const QVariant &value : rowValues(row, key))
        query.addBindValue(value);
    return run(query);
}

std::optional<qint64> SalesTable::sumOpen(QSqlQuery &query)
{
    query.setForwardOnly(true);
    query.prepare(u"SELECT SUM(CENA_INT) FROM %1 WHERE FISK=0 AND UCET=?"_s.arg(m_name));
    query.addBindValue(m_till);
    if (!run(query) || !query.next())
        return std::nullopt;
    return query.value(0).toLongLong();
}

SalesTable::StoreResult SalesTable::storeOpenRow(const SaleRow &row)
{
    StoreResult result;
    // Made before the transaction, so that it is freed after it: on the server a
    // failed statement aborts the transaction, and its prepared statement can only
    // be freed once the transaction is rolled back.
    QSqlQuery query(m_file.database());
    WriteTransaction transaction(m_file);
    const std::optional<qint64> max = transaction.isOpen() ? maxKey(query) : std::nullopt;
    if (!max) {
        result.failure = Failure::Key;
        return result;
    }
    if (*max >= std::numeric_limits<qint32>::max()) {
        m_file.setError(u"No row key is left in the table."_s);
        result.failure = Failure::Key;
        return result;
    }
    result.key = int(*max + 1);
    SaleRow ours = row;
    ours.ucet = m_till;
    const std::optional<qint64> total = insert(query, ours, result.key) ? sumOpen(query) : std::nullopt;
    if (!total || !transaction.commit()) {
        result.failure = Failure::Insert;
        return result;
    }
    result.openTotal = *total;
    return result;
}

std::optional<qint64> SalesTable::openTotal()
{
    QSqlQuery query(m_file.database());
    return sumOpen(query);
}

std::optional<QList<SaleRow>> SalesTable::openRows()
{
    QSqlQuery query(m_file.database());
    query.setForwardOnly(true);
    query.prepare(u"SELECT %1 FROM %2 WHERE FISK=0 AND UCET=? ORDER BY ID_PRIMARY"_s.arg(
        salesColumnNames().join(u", "_s), m_name));
    query.addBindValue(m_till);
    if (!run(query))
        return std::nullopt;
    QList<SaleRow> rows;
    while (query.next())
        rows.append(rowFrom(query));
    return rows;
}

bool SalesTable::deleteOpenRow(int key)
{
    QSqlQuery query(m_file.database());
    query.prepare(u"DELETE FROM %1 WHERE ID_PRIMARY=? AND FISK=0 AND UCET=?"_s.arg(m_name));
    query.addBindValue(key);
    query.addBindValue(m_till);
    return run(query);
}

bool SalesTable::changeOpenAmounts(const QList<AmountChange> &changes)
{
    QSqlQuery query(m_file.database()); // freed after the transaction, see storeOpenRow()
    WriteTransaction transaction(m_file);
    if (!transaction.isOpen())
        return false;
    query.prepare(
        u"UPDATE %1 SET CENA=?, CENA_INT=?, ZLAVA_INT=?, ZLAVA_PERC=? WHERE ID_PRIMARY=? AND FISK=0 AND UCET=?"_s
            .arg(m_name));
    for (const AmountChange &change : changes) {
        query.addBindValue(change.cenaInt / 100.0);
        query.addBindValue(change.cenaInt);
        query.addBindValue(change.zlavaInt);
        query.addBindValue(change.zlavaPerc);
        query.addBindValue(change.key);
        query.addBindValue(m_till);
        if (!run(query))
            return false;
    }
    return transaction.commit();
}

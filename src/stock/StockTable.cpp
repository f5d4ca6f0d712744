#include "stock/StockTable.h"

#include "stock/DataFile.h"
#include "stock/StockChangeLog.h"
#include "stock/TableLayouts.h"
#include "stock/WriteTransaction.h"

#include <QHash>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

using namespace Qt::StringLiterals;

StockTable::StockTable(DataFile &file) : m_file(file) {}

QString StockTable::lastError() const
{
    return m_file.lastError();
}

QString StockTable::columnList()
{
    QStringList names;
    for (const TableLayouts::Field &field : TableLayouts::stockFields())
        names << QString::fromUtf16(field.name);
    return names.join(u", "_s);
}

StockRow StockTable::rowFrom(const QSqlQuery &query, int firstColumn)
{
    StockRow row;
    int i = firstColumn;
    auto next = [&] { return query.value(i++); };
    row.kod = next().toString();
    row.kodIdx = next().toInt();
    row.nazov = next().toString();
    row.nazov1 = next().toString();
    row.nazov2 = next().toString();
    row.barcode = next().toString();
    row.mj = next().toString();
    row.mjIdx = next().toInt();
    row.pocet = next().toDouble();
    row.jc = next().toDouble();
    row.jc1 = next().toDouble();
    row.jc2 = next().toDouble();
    row.jcNakup = next().toDouble();
    row.dphIdx = next().toInt();
    row.pref = next().toInt() != 0;
    row.obal = next().toInt() != 0;
    row.skladIdx = next().toInt();
    row.verDb = next().toInt();
    return row;
}

bool StockTable::exists()
{
    return m_file.hasTable(TableLayouts::StockTableName);
}

bool StockTable::create()
{
    WriteTransaction transaction(m_file);
    if (!transaction.isOpen())
        return false;
    if (!m_file.hasTable(TableLayouts::StockTableName)) {
        const DataServer::Kind kind = m_file.server().kind;
        for (const QString &statement :
             TableLayouts::stockTableStatements(kind) + StockChangeLog::statements(kind)) {
            if (!m_file.exec(statement))
                return false;
        }
    }
    return transaction.commit();
}

bool StockTable::ensureChangeLog()
{
    return StockChangeLog(m_file).install();
}

bool StockTable::cardByCode(const QString &kod, std::optional<StockRow> &card)
{
    QSqlQuery query(m_file.database());
    query.setForwardOnly(true);
    query.prepare(u"SELECT %1 FROM VX60_SKLAD WHERE KOD = ?"_s.arg(columnList()));
    query.addBindValue(kod);
    if (!query.exec()) {
        m_file.setError(DataFile::engineText(query.lastError()));
        return false;
    }
    card.reset();
    if (query.next())
        card = rowFrom(query);
    return true;
}

std::optional<QList<StockRow>> StockTable::cards(std::span<const qint64> rowIds)
{
    QList<StockRow> result;
    if (rowIds.empty())
        return result;
    QStringList marks;
    marks.fill(u"?"_s, qsizetype(rowIds.size()));
    QSqlQuery query(m_file.database());
    query.setForwardOnly(true);
    query.prepare(
        u"SELECT rowid, %1 FROM VX60_SKLAD WHERE rowid IN (%2)"_s.arg(columnList(), marks.join(u',')));
    for (qint64 id : rowIds)
        query.addBindValue(id);
    if (!query.exec()) {
        m_file.setError(DataFile::engineText(query.lastError()));
        return std::nullopt;
    }
    QHash<qint64, StockRow> byId;
    while (query.next())
        byId.insert(query.value(0).toLongLong(), rowFrom(query, 1));
    for (qint64 id : rowIds) {
        auto it = byId.constFind(id);
        if (it != byId.cend())
            result.append(*it);
    }
    return result;
}

bool StockTable::insert(const StockRow &row, qint64 *rowId)
{
    QStringList marks;
    marks.fill(u"?"_s, qsizetype(TableLayouts::stockFields().size()));
    QSqlQuery query(m_file.database());
    QString statement = u"INSERT INTO VX60_SKLAD (%1) VALUES (%2)"_s.arg(columnList(), marks.join(u','));
    // The server tells no last row id of a connection: the insert returns it.
    const bool returning = rowId && m_file.isOnServer();
    if (returning)
        statement += u" RETURNING rowid"_s;
    query.prepare(statement);
    const QList<QVariant> values{row.kod,       row.kodIdx,   row.nazov,   row.nazov1, row.nazov2,
                                 row.barcode,   row.mj,       row.mjIdx,   row.pocet,  row.jc,
                                 row.jc1,       row.jc2,      row.jcNakup, row.dphIdx, int(row.pref),
                                 int(row.obal), row.skladIdx, row.verDb};
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec() || (returning && !query.next())) {
        m_file.setError(DataFile::engineText(query.lastError()));
        return false;
    }
    if (rowId)
        *rowId = returning ? query.value(0).toLongLong() : query.lastInsertId().toLongLong();
    return true;
}

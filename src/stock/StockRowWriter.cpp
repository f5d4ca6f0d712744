#include "stock/StockRowWriter.h"

#include "stock/DataFile.h"
#include "stock/TableLayouts.h"

#include <QSqlError>
#include <QStringList>
#include <QVariant>

using namespace Qt::StringLiterals;

namespace {

constexpr int SqliteConstraint = 19;
constexpr int SqliteMismatch = 20;

// Whether the engine refused the values rather than failed to write: the
// native code may be SQLite's extended code, whose low byte is the primary one;
// the server's is its SQLSTATE, class 22 (a value out of range, a text too
// long) or 23 (a constraint).
bool isRefusal(const QSqlError &error, bool onServer)
{
    if (onServer) {
        const QString state = error.nativeErrorCode();
        return state.startsWith(u"22"_s) || state.startsWith(u"23"_s);
    }
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok) & 0xff;
    return ok && (code == SqliteConstraint || code == SqliteMismatch);
}

QStringList columnNames()
{
    QStringList names;
    for (const TableLayouts::Field &field : TableLayouts::stockFields())
        names << QString::fromUtf16(field.name);
    return names;
}

} // namespace

StockRowWriter::StockRowWriter(DataFile &file)
    : m_file(file), m_find(file.database()), m_insert(file.database()), m_update(file.database())
{
    const QStringList names = columnNames();
    QStringList marks;
    marks.fill(u"?"_s, names.size());
    m_find.setForwardOnly(true);
    m_find.prepare(u"SELECT rowid FROM VX60_SKLAD WHERE KOD = ?"_s);
    m_insert.prepare(
        u"INSERT INTO VX60_SKLAD (%1) VALUES (%2)"_s.arg(names.join(u", "_s), marks.join(u", "_s)));
    m_update.prepare(u"UPDATE VX60_SKLAD SET %1 = ? WHERE rowid = ?"_s.arg(names.join(u" = ?, "_s)));
}

std::optional<std::optional<qint64>> StockRowWriter::rowIdOf(const QString &kod)
{
    m_find.addBindValue(kod);
    if (!m_find.exec()) {
        m_error = DataFile::engineText(m_find.lastError());
        return std::nullopt;
    }
    std::optional<qint64> rowId;
    if (m_find.next())
        rowId = m_find.value(0).toLongLong();
    m_find.finish();
    return rowId;
}

StockRowWriter::Write StockRowWriter::insert(const StockRow &card)
{
    bind(m_insert, card);
    return run(m_insert);
}

StockRowWriter::Write StockRowWriter::update(qint64 rowId, const StockRow &card)
{
    bind(m_update, card);
    m_update.addBindValue(rowId);
    return run(m_update);
}

void StockRowWriter::bind(QSqlQuery &query, const StockRow &card)
{
    const QVariant values[] = {card.kod,       card.kodIdx,   card.nazov,   card.nazov1, card.nazov2,
                               card.barcode,   card.mj,       card.mjIdx,   card.pocet,  card.jc,
                               card.jc1,       card.jc2,      card.jcNakup, card.dphIdx, int(card.pref),
                               int(card.obal), card.skladIdx, card.verDb};
    for (const QVariant &value : values)
        query.addBindValue(value);
}

// A refused statement aborts the server's whole transaction: each card is
// written under a savepoint there, so that a refused one takes back only itself
// and the caller goes on with the next, as on the files.
StockRowWriter::Write StockRowWriter::run(QSqlQuery &query)
{
    const bool onServer = m_file.isOnServer();
    if (onServer && !m_file.exec(u"SAVEPOINT karta"_s)) {
        m_error = m_file.lastError();
        return Write::Failed;
    }
    if (query.exec()) {
        if (!onServer || m_file.exec(u"RELEASE SAVEPOINT karta"_s))
            return Write::Done;
        m_error = m_file.lastError();
        return Write::Failed;
    }
    m_error = DataFile::engineText(query.lastError());
    const bool refused = isRefusal(query.lastError(), onServer);
    if (onServer && !m_file.exec(u"ROLLBACK TO SAVEPOINT karta"_s))
        return Write::Failed;
    return refused ? Write::Refused : Write::Failed;
}

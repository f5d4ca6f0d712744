#include "stock/StockCards.h"

#include "stock/DataFile.h"
#include "stock/StockTable.h"
#include "stock/WriteTransaction.h"

#include <QSqlQuery>
#include <QVariant>

#include <array>

using namespace Qt::StringLiterals;

StockCards::StockCards(DataFile &file) : m_file(file) {}

StockCards::Result StockCards::failed()
{
    if (m_error.isEmpty())
        m_error = m_file.lastError();
    return {Outcome::Failed, 0, m_error};
}

std::optional<bool> StockCards::codeTaken(const QString &code, qint64 exceptRowId)
{
    QSqlQuery query(m_file.database());
    query.setForwardOnly(true);
    query.prepare(u"SELECT 1 FROM VX60_SKLAD WHERE KOD = ? AND rowid <> ?"_s);
    query.addBindValue(code);
    query.addBindValue(exceptRowId);
    if (!query.exec()) {
        m_error = DataFile::engineText(query.lastError());
        return std::nullopt;
    }
    return query.next();
}

StockCards::Result StockCards::insert(const StockRow &card)
{
    m_error.clear();
    WriteTransaction transaction(m_file);
    if (!transaction.isOpen())
        return failed();
    const std::optional<bool> taken = codeTaken(card.kod, 0);
    if (!taken)
        return failed();
    if (*taken)
        return {Outcome::DuplicateCode, 0, {}};
    StockTable table(m_file);
    qint64 rowId = 0;
    if (!table.insert(card, &rowId))
        return failed();
    if (!transaction.commit())
        return failed();
    return {Outcome::Saved, rowId, {}};
}

std::optional<StockRow> StockCards::card(qint64 rowId)
{
    StockTable table(m_file);
    const std::array<qint64, 1> ids{rowId};
    const auto cards = table.cards(ids);
    if (!cards) {
        m_error = m_file.lastError();
        return std::nullopt;
    }
    if (cards->isEmpty())
        return std::nullopt;
    return cards->first();
}

StockCards::Result StockCards::update(qint64 rowId, const StockRow &shown, const StockRow &edited,
                                      bool overwrite)
{
    m_error.clear();
    WriteTransaction transaction(m_file);
    if (!transaction.isOpen())
        return failed();
    m_error.clear();
    const std::optional<StockRow> stored = card(rowId);
    if (!stored)
        return m_error.isEmpty() ? Result{Outcome::Vanished, rowId, {}} : failed();
    if (!overwrite && !(*stored == shown))
        return {Outcome::ChangedElsewhere, rowId, {}};
    const std::optional<bool> taken = codeTaken(edited.kod, rowId);
    if (!taken)
        return failed();
    if (*taken)
        return {Outcome::DuplicateCode, rowId, {}};

    QSqlQuery query(m_file.database());
    query.prepare(u"UPDATE VX60_SKLAD SET DPH_IDX = ?, MJ_IDX = ?, MJ = ?, SKLAD_IDX = ?, PREF = ?, KOD = ?, "
                  "BARCODE = ?, NAZOV = ?, Nazov1 = ?, Nazov2 = ?, OBAL = ?, JC = ?, POCET = ? "
                  "WHERE rowid = ?"_s);
    const QList<QVariant> values{edited.dphIdx,    edited.mjIdx,  edited.mj,        edited.skladIdx,
                                 int(edited.pref), edited.kod,    edited.barcode,   edited.nazov,
                                 edited.nazov1,    edited.nazov2, int(edited.obal), edited.jc,
                                 edited.pocet,     rowId};
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec()) {
        m_error = DataFile::engineText(query.lastError());
        return failed();
    }
    if (!transaction.commit())
        return failed();
    return {Outcome::Saved, rowId, {}};
}

// Under the write lock as every change of the table, so that the change log's
// numbers are handed out in the order of the commits (StockChangeLog).
bool StockCards::remove(qint64 rowId)
{
    m_error.clear();
    WriteTransaction transaction(m_file);
    if (!transaction.isOpen()) {
        m_error = m_file.lastError();
        return false;
    }
    QSqlQuery query(m_file.database());
    query.prepare(u"DELETE FROM VX60_SKLAD WHERE rowid = ?"_s);
    query.addBindValue(rowId);
    if (!query.exec()) {
        m_error = DataFile::engineText(query.lastError());
        return false;
    }
    if (transaction.commit())
        return true;
    m_error = m_file.lastError();
    return false;
}

#include "pos/SaleDocument.h"

#include "base/UserDialogs.h"
#include "lang/MessageTable.h"
#include "pos/DataModule.h"
#include "pos/SaleAmounts.h"

using namespace Qt::StringLiterals;

namespace {

QString errorOr(const QString &error, const QString &fallback)
{
    return error.isEmpty() ? fallback : error;
}

const QString kTableClosed = u"Tabuľka predaja nie je otvorená."_s;

} // namespace

SaleDocument::SaleDocument(DataModule &data, const MessageTable &messages, UserDialogs &dialogs)
    : m_data(data), m_messages(messages), m_dialogs(dialogs)
{}

void SaleDocument::tellDatabaseError(const QString &prefix)
{
    m_dialogs.warn(prefix + errorOr(m_data.lastError(), kTableClosed),
                   m_messages.text(Msg::SaleWarningCaption));
}

std::optional<qint64> SaleDocument::recomputeTotal()
{
    const std::optional<qint64> total = m_data.openTotal();
    if (!total) {
        m_totalCents = 0;
        tellDatabaseError(QString());
        return std::nullopt;
    }
    m_totalCents = *total;
    return total;
}

bool SaleDocument::exceedsLimit() const
{
    return m_totalCents > SaleAmounts::DocumentLimitCents;
}

void SaleDocument::warnWhenAboveLimit()
{
    if (exceedsLimit())
        m_dialogs.warn(m_messages.text(Msg::AmountTooHigh), m_messages.text(Msg::AmountTooHighCaption));
}

bool SaleDocument::reloadRows()
{
    std::optional<QList<SaleRow>> rows = m_data.openRows();
    if (!rows) {
        m_rows.clear();
        tellDatabaseError(QString());
        return false;
    }
    m_rows = std::move(*rows);
    return true;
}

bool SaleDocument::deleteRow(int index)
{
    if (index < 0 || index >= m_rows.size())
        return false;
    const bool deleted = m_data.deleteOpenRow(m_rows.at(index).idPrimary);
    if (!deleted)
        tellDatabaseError(m_messages.text(Msg::ItemStoreDatabaseError) + u"\r\n"_s);
    reloadRows();
    recomputeTotal();
    return deleted;
}

bool SaleDocument::applyDocumentDiscount(int percent)
{
    if (!reloadRows())
        return false;
    DocumentDiscount result;
    result.percent = percent;
    result.applied = true;
    QList<SalesTable::AmountChange> changes;
    for (const SaleRow &row : std::as_const(m_rows)) {
        const std::optional<SaleAmounts::DiscountedLine> line =
            SaleAmounts::documentDiscountLine(row.pocet, row.jc, percent);
        if (!line) {
            m_dialogs.warn(m_messages.text(Msg::ItemStoreDatabaseError) + u"\r\n"_s +
                               u"Suma položky \"%1\" je príliš veľká."_s.arg(row.nazov),
                           m_messages.text(Msg::SaleWarningCaption));
            return false;
        }
        result.gross += line->gross;
        result.discountCents += line->discount;
        changes.append({row.idPrimary, line->line, line->discount, percent});
    }
    if (!m_data.changeOpenAmounts(changes)) {
        tellDatabaseError(m_messages.text(Msg::ItemStoreDatabaseError) + u"\r\n"_s);
        return false;
    }
    reloadRows();
    if (!recomputeTotal())
        return false;
    result.net = total();
    discount = result;
    warnWhenAboveLimit();
    return true;
}

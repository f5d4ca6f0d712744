#include "pos/SaleItemEntry.h"

#include "base/UserDialogs.h"
#include "lang/MessageTable.h"
#include "pos/DataModule.h"
#include "pos/SaleAmounts.h"
#include "pos/SaleDocument.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr double kLargeQuantity = 1000;
constexpr int kShortestName = 3;

} // namespace

SaleItemEntry::SaleItemEntry(SaleDocument &document, DataModule &data, const MessageTable &messages,
                             UserDialogs &dialogs)
    : m_document(document), m_data(data), m_messages(messages), m_dialogs(dialogs)
{}

std::optional<double> SaleItemEntry::parseNumber(const QString &text, const QLocale &locale)
{
    const QString trimmed = text.trimmed();
    bool ok = false;
    double value = locale.toDouble(trimmed, &ok);
    if (!ok)
        value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool SaleItemEntry::confirmed(const QString &question, bool noIsDefault)
{
    return m_dialogs.askYesNo(question, m_messages.text(Msg::SaleWarningCaption),
                              noIsDefault ? UserDialogs::Answer::No : UserDialogs::Answer::Yes,
                              UserDialogs::Icon::Question);
}

void SaleItemEntry::tellNotANumber(const QString &what, const QString &text, const QLocale &locale)
{
    m_dialogs.warn(u"%1 \"%2\" nie je číslo.\r\nZadajte číslo, napríklad %3."_s.arg(
                       what, text, locale.toString(12.5, 'f', 2)),
                   m_messages.text(Msg::SaleWarningCaption));
}

SaleItemEntry::Result SaleItemEntry::store(const SaleItemInput &input, const SaleItemContext &context)
{
    const std::optional<double> price = parseNumber(input.price, context.locale);
    if (!price) {
        tellNotANumber(u"Cena"_s, input.price, context.locale);
        return {Outcome::FocusPrice};
    }
    const std::optional<double> quantity = parseNumber(input.quantity, context.locale);
    if (!quantity) {
        tellNotANumber(u"Počet"_s, input.quantity, context.locale);
        return {Outcome::FocusQuantity};
    }
    if (*price == 0 && !confirmed(m_messages.text(Msg::ZeroPriceQuestion), true))
        return {Outcome::FocusPrice};
    if (*quantity > kLargeQuantity && !confirmed(m_messages.text(Msg::LargeQuantityQuestion), false))
        return {Outcome::FocusQuantity};
    if (input.nazov.size() < kShortestName) {
        m_dialogs.warn(m_messages.text(Msg::NameTooShort), m_messages.text(Msg::SaleWarningCaption));
        return {Outcome::FocusName};
    }
    Result result = insert(input, context, *price, *quantity);
    if (result.outcome != Outcome::Stored)
        m_dialogs.warn(m_messages.text(Msg::ItemNotStored), m_messages.text(Msg::SaleWarningCaption));
    return result;
}

SaleItemEntry::Result SaleItemEntry::insert(const SaleItemInput &input, const SaleItemContext &context,
                                            double price, double quantity)
{
    Result result;
    const std::optional<qint32> line = SaleAmounts::lineCents(quantity, price);
    std::optional<qint32> discount = 0;
    if (quantity > 0)
        discount = SaleAmounts::discountCents(parseNumber(input.discountAmount, context.locale).value_or(0));
    else
        result.clearDiscount = true;
    if (!line || !discount) {
        m_dialogs.warn(u"Suma položky je príliš veľká."_s, m_messages.text(Msg::SaleWarningCaption));
        return result;
    }
    if (m_document.isEmpty())
        m_document.resetDiscount();

    SaleRow row;
    row.kod = input.kod;
    row.nazov = input.nazov;
    row.nazov1 = input.nazov1;
    row.nazov2 = input.nazov2;
    row.obal = input.obal;
    row.mj = input.unit;
    row.pocet = quantity;
    row.jc = price;
    row.cenaInt = qint32(qint64(*line) - *discount);
    row.cena = row.cenaInt / 100.0;
    row.dph = input.vatText.trimmed().toInt();
    row.idxDph = input.vatIndex;
    row.du = context.dailyClosingNumber + 1;
    row.idDoklad = context.documentNumber + 1;
    row.doklad = context.documentNumber + 1;
    row.datum = context.now.date();
    row.cas = context.now.time();
    row.verDb = 2;
    row.sklad = input.stockGroup;
    row.zlavaInt = *discount;
    row.zlavaPerc = result.clearDiscount ? 0 : input.discountPercent.trimmed().toInt();

    const SalesTable::StoreResult stored = m_data.storeItem(row);
    if (stored.failure == SalesTable::Failure::Key) {
        m_dialogs.warn(u"sql_max_idx()"_s, m_messages.text(Msg::SaleWarningCaption));
        return result;
    }
    if (stored.failure == SalesTable::Failure::Insert) {
        m_dialogs.warn(m_messages.text(Msg::ItemStoreDatabaseError) + u"\r\n"_s + m_data.lastError(),
                       m_messages.text(Msg::SaleWarningCaption));
        return result;
    }
    m_document.reloadRows();
    if (m_document.recomputeTotal())
        m_document.warnWhenAboveLimit();
    result.outcome = Outcome::Stored;
    result.key = stored.key;
    return result;
}

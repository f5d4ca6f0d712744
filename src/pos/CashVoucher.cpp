#include "pos/CashVoucher.h"

#include "base/Cp1250.h"

#include <QList>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// Amounts are compared in cents: 0.10 + 0.20 paid for 0.30 is paid in full.
qint64 toCents(double amount)
{
    return std::llround(amount * 100.0);
}

bool printable(char32_t code)
{
    const bool control = code < 0x20 || (code >= 0x7F && code < 0xA0);
    return !control && code <= 0xFFFF && Cp1250::canEncode(QChar(char16_t(code)));
}

} // namespace

void CashVoucher::start(Mode mode)
{
    m_mode = mode;
    m_amount = 0;
    m_payments.fill(0);
    m_change = 0;
    m_text.clear();
    m_cashier.clear();
}

void CashVoucher::setPayment(int means, double amount)
{
    if (means >= 0 && means < MeansCount)
        m_payments[std::size_t(means)] = amount;
}

bool CashVoucher::allPaymentsZero() const
{
    for (const double payment : m_payments) {
        if (payment != 0)
            return false;
    }
    return true;
}

bool CashVoucher::outsideMeansUsed() const
{
    for (int means = FirstOutsideMeans; means < MeansCount; ++means) {
        if (m_payments[std::size_t(means)] != 0)
            return true;
    }
    return false;
}

double CashVoucher::tillMeansSum() const
{
    double sum = 0;
    for (int means = 0; means < FirstOutsideMeans; ++means)
        sum += m_payments[std::size_t(means)];
    return sum;
}

bool CashVoucher::paidInFull() const
{
    return outsideMeansUsed() || toCents(tillMeansSum()) >= toCents(m_amount);
}

QString CashVoucher::remainingText() const
{
    // In cents: 0.30 less 0.10 + 0.20 is a hair below zero in doubles, which prints "-0.00".
    return outsideMeansUsed() ? QString()
                              : format(double(toCents(m_amount) - toCents(tillMeansSum())) / 100.0);
}

CashVoucher::Settlement CashVoucher::settle()
{
    m_change = 0;
    if (outsideMeansUsed())
        return Settlement::Settled;
    if (toCents(tillMeansSum()) < toCents(m_amount))
        return Settlement::Short;
    m_change = m_amount - tillMeansSum();
    if (toCents(m_change) == 0)
        m_change = 0;
    m_payments[0] += m_change;
    return Settlement::Settled;
}

ReceiptComposer::Document CashVoucher::compose() const
{
    VoucherContent content;
    content.withdrawal = withdrawal();
    content.amount = m_amount;
    content.payments = m_payments;
    content.text = m_text;
    content.cashier = m_cashier;
    return ReceiptComposer::voucher(content);
}

QString CashVoucher::describe(Mode mode, double amount)
{
    return (mode == Mode::Deposit ? u"Vklad %1 EUR"_s : u"Výber %1 EUR"_s).arg(format(amount));
}

CashVoucher::AmountCheck CashVoucher::readAmount(const QString &text, bool negativeAllowed, double &value)
{
    value = 0;
    QString plain = text.trimmed();
    if (plain.isEmpty())
        return AmountCheck::Empty;
    plain.replace(u',', u'.');
    bool ok = false;
    const double number = plain.toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return AmountCheck::NotANumber;
    if (number < 0 && !negativeAllowed)
        return AmountCheck::Negative;
    if (std::fabs(number) > LargestAmount + 0.004)
        return AmountCheck::TooLarge;
    value = number;
    return AmountCheck::Valid;
}

QString CashVoucher::amountProblemText(AmountCheck check)
{
    switch (check) {
    case AmountCheck::Empty:
        return u"Zadajte sumu."_s;
    case AmountCheck::NotANumber:
        return u"Zadaná suma nie je číslo."_s;
    case AmountCheck::Negative:
        return u"Suma nemôže byť záporná."_s;
    case AmountCheck::TooLarge:
        return u"Suma je väčšia, ako pokladňa dokáže vytlačiť (najviac %1)."_s.arg(format(LargestAmount));
    case AmountCheck::Valid:
        break;
    }
    return {};
}

QString CashVoucher::unprintable(const QString &text)
{
    // By code points: a character beyond the basic plane is two UTF-16 units, and either
    // half on its own would show as nothing the cashier typed.
    QList<char32_t> found;
    for (const char32_t code : text.toUcs4()) {
        if (!printable(code) && !found.contains(code))
            found << code;
    }
    return QString::fromUcs4(found.constData(), found.size());
}

QString CashVoucher::format(double amount)
{
    return QString::asprintf("%0.2f", amount);
}

#include "pos/PaymentCalculation.h"

#include <QRegularExpression>

#include <algorithm>

#include <numeric>

using namespace Qt::StringLiterals;

namespace {
// Below this the payment counts as exact: the amounts are doubles typed with two decimals.
constexpr double Tolerance = 0.001;
} // namespace

PaymentCalculation::PaymentCalculation(const std::array<QString, MeansCount> &names, const QLocale &locale)
    : m_locale(locale)
{
    for (int i = 0; i < MeansCount; ++i) {
        if (names[std::size_t(i)].isEmpty())
            continue;
        m_listNames << names[std::size_t(i)];
        m_entryMeans << i;
    }
}

int PaymentCalculation::meansOfEntry(int listEntry) const
{
    return listEntry >= 0 && listEntry < m_entryMeans.size() ? m_entryMeans[listEntry] : -1;
}

void PaymentCalculation::start(qint64 totalCents)
{
    m_totalCents = totalCents;
    m_tendered = 0;
    clearAmounts();
}

void PaymentCalculation::setAmount(int listEntry, double value)
{
    const int means = meansOfEntry(listEntry);
    if (means >= 0)
        m_amounts[std::size_t(means)] = value;
}

double PaymentCalculation::amountOfEntry(int listEntry) const
{
    const int means = meansOfEntry(listEntry);
    return means >= 0 ? m_amounts[std::size_t(means)] : 0.0;
}

bool PaymentCalculation::allAmountsZero() const
{
    return std::all_of(m_amounts.begin(), m_amounts.end(), [](double value) { return value == 0; });
}

double PaymentCalculation::paidSum() const
{
    return std::accumulate(m_amounts.begin(), m_amounts.end(), 0.0);
}

QString PaymentCalculation::suggestionFor(int listEntry) const
{
    if (m_totalCents < 0)
        return amountText(total());
    const double own = amountOfEntry(listEntry);
    if (own != 0)
        return amountText(own);
    const double remaining = total() - paidSum();
    return remaining >= 0 ? amountText(remaining) : QString();
}

PaymentCalculation::Outcome PaymentCalculation::confirm()
{
    m_tendered = paidSum();
    if (m_totalCents > 0 && m_tendered - total() + Tolerance < 0)
        return Outcome::Short;
    if (m_tendered > total())
        m_amounts[0] -= m_tendered - total();
    return Outcome::Paid;
}

double PaymentCalculation::parseAmount(const QString &text)
{
    static const QRegularExpression leadingNumber(u"^\\s*[-+]?(\\d+(\\.\\d*)?|\\.\\d+)"_s);
    QString plain = text;
    plain.replace(u',', u'.');
    const QRegularExpressionMatch match = leadingNumber.match(plain);
    return match.hasMatch() ? match.captured(0).trimmed().toDouble() : 0.0;
}

QString PaymentCalculation::format(double value, const QLocale &locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    // Rounded as printf rounds, so that the screen and the printed lines agree.
    return plain.toString(QString::asprintf("%0.2f", value).toDouble(), 'f', 2);
}

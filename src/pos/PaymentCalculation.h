#pragma once

#include "pos/PaymentSession.h"

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <array>

// The arithmetic of the payment dialog, without widgets: which payment means the list
// offers, what each amount field suggests, what is left to pay and how the change is
// booked when the payment is confirmed.
class PaymentCalculation
{
public:
    static constexpr int MeansCount = PaymentSession::MeansCount;
    static constexpr double WarningAmount = 1000.0;

    // Amounts are shown in `locale`'s form.
    explicit PaymentCalculation(const std::array<QString, MeansCount> &names,
                                const QLocale &locale = QLocale::c());

    // The configured names that are not empty, in order.
    const QStringList &listNames() const { return m_listNames; }
    // The payment means (0-based) that a list entry stands for: the position of its name
    // in the configuration, so that a gap never shifts a payment to another means.
    int meansOfEntry(int listEntry) const;

    // Starts a payment of `totalCents` with every amount cleared.
    void start(qint64 totalCents);
    void setTotal(qint64 totalCents) { m_totalCents = totalCents; }
    qint64 totalCents() const { return m_totalCents; }
    double total() const { return double(m_totalCents) / 100.0; }

    void clearAmounts() { m_amounts.fill(0); }
    void setAmount(int listEntry, double amount);
    double amountOfEntry(int listEntry) const;
    double amount(int means) const { return m_amounts[std::size_t(means)]; }
    const std::array<double, MeansCount> &amounts() const { return m_amounts; }
    bool allAmountsZero() const;
    double paidSum() const;
    // Paid minus total: negative while something is left to pay, positive for change.
    double difference() const { return paidSum() - total(); }

    // What the amount field shows when a list entry is chosen: the entry's own amount,
    // else what is still to pay; empty when neither applies.
    QString suggestionFor(int listEntry) const;

    enum class Outcome { Short, Paid };
    // Confirms the payment: the tendered sum is what was given; a short payment of a
    // positive total is refused; change is taken off payment means 1 so that the
    // booked amounts add up to the total.
    Outcome confirm();
    double tendered() const { return m_tendered; }

    // The number at the start of `text`, "," or "." as decimal point; 0 when none.
    static double parseAmount(const QString &text);
    // Two decimals with the locale's decimal mark and no thousands separators: what the
    // amount field holds (at most eight characters) and reads back.
    static QString format(double amount, const QLocale &locale = QLocale::c());
    QString amountText(double amount) const { return format(amount, m_locale); }

private:
    QLocale m_locale;
    QStringList m_listNames;
    QList<int> m_entryMeans;
    qint64 m_totalCents = 0;
    std::array<double, MeansCount> m_amounts{};
    double m_tendered = 0;
};

#pragma once

#include "pos/ReceiptComposer.h"

#include <QString>

#include <array>

// A cash deposit or withdrawal as the cash-operations dialog builds it, without widgets:
// the amount, how it is split over the payment means, the change, the checks of what the
// cashier typed and the voucher's document lines.
class CashVoucher
{
public:
    enum class Mode { Deposit, Withdrawal };

    static constexpr int MeansCount = ReceiptContent::PaymentMeansCount;
    // Payment means 6..10 are settled outside the till: any of them skips the shortage test.
    static constexpr int FirstOutsideMeans = 5;
    static constexpr double WarningAmount = 5000.0;
    // The printer's amount fields ("%12.2f") hold -99999999.99 at the most.
    static constexpr double LargestAmount = 99999999.99;
    static constexpr int TextLength = 39;

    enum class AmountCheck { Valid, Empty, NotANumber, Negative, TooLarge };

    // Clears the amount, the payments, the change and the texts for a new voucher.
    void start(Mode mode);
    Mode mode() const { return m_mode; }
    bool withdrawal() const { return m_mode == Mode::Withdrawal; }

    void setAmount(double amount) { m_amount = amount; }
    double amount() const { return m_amount; }
    void setPayment(int means, double amount); // means 0..9
    double payment(int means) const { return m_payments[std::size_t(means)]; }
    const std::array<double, MeansCount> &payments() const { return m_payments; }
    bool allPaymentsZero() const;
    bool outsideMeansUsed() const;
    double tillMeansSum() const; // payment means 1..5
    // The sum of means 1..5 reaches the amount, or an outside means is used.
    bool paidInFull() const;
    // "Zostáva uhradiť": empty when an outside means is used, else amount - means 1..5.
    QString remainingText() const;

    void setText(const QString &text) { m_text = text; }
    const QString &text() const { return m_text; }
    void setCashier(const QString &name) { m_cashier = name; }
    const QString &cashier() const { return m_cashier; }

    enum class Settlement { Short, Settled };
    // Before the voucher is made: a short payment in the till's means is refused; otherwise
    // the change (amount - means 1..5) is worked out and taken off payment means 1, so that
    // the voucher's payments add up to its amount. Outside means skip both.
    Settlement settle();
    double change() const { return m_change; }

    ReceiptComposer::Document compose() const;
    // "Vklad 100.00 EUR": how messages name the voucher.
    static QString describe(Mode mode, double amount);

    // Reads an amount typed with "," or "." as decimal point. Negative amounts are refused
    // unless allowed; anything the printer's fields cannot hold is too large.
    static AmountCheck readAmount(const QString &text, bool negativeAllowed, double &value);
    static QString amountProblemText(AmountCheck check);
    // The characters of `text` the printer cannot print: controls and what code page 1250
    // has no code for, each once, in order.
    static QString unprintable(const QString &text);
    static QString format(double amount); // "%0.2f"

private:
    Mode m_mode = Mode::Deposit;
    double m_amount = 0;
    std::array<double, MeansCount> m_payments{};
    double m_change = 0;
    QString m_text;
    QString m_cashier;
};

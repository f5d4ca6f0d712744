#pragma once

#include <QStringList>
#include <QtGlobal>

#include <array>
#include <functional>
#include <optional>

// The whole-document percent discount as the sale screen keeps it.
struct DocumentDiscount
{
    int percent = 0;
    double gross = 0;         // sum of quantity x price over the open rows
    double net = 0;           // total after the discount
    qint64 discountCents = 0; // sum of the line discounts
    // Set only by an application to the current document; a percent merely copied from
    // the item discount field leaves it clear, and then gross and net mean nothing.
    bool applied = false;
};

// The sale screen's state that the payment dialog reads and writes for one print.
struct PaymentSession
{
    static constexpr int MeansCount = 10;

    qint64 totalCents = 0;
    DocumentDiscount discount;
    std::array<double, MeansCount> amounts{};
    double tendered = 0;
    bool cancelled = false;
    QStringList closingText;

    void clearPayments()
    {
        amounts.fill(0);
        tendered = 0;
    }
};

// Applies a percent to every open row and recomputes the document (the sale screen does
// it); the new discount with `applied` set, or nothing when the rows could not be changed.
struct DocumentDiscountResult
{
    DocumentDiscount discount;
    qint64 totalCents = 0;
};
using DocumentDiscountOperation = std::function<std::optional<DocumentDiscountResult>(int percent)>;

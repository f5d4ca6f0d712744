#pragma once

#include <QtGlobal>

#include <optional>

// Money of the sale in cents. Prices and quantities are doubles as the cashier
// types them; every amount that is added up is a whole number of cents, rounded
// once, the same way on every till.
namespace SaleAmounts {

// Totals above this are refused by the print and warned about while entering.
inline constexpr qint64 DocumentLimitCents = 1500000;

// truncate((quantity * price ± 0.005) * 100), the sign of the product deciding
// the sign of the 0.005. Empty when the amount does not fit a 32-bit cent count.
std::optional<qint32> lineCents(double quantity, double price);
// truncate((amount + 0.005) * 100): the discount amount shown on screen in cents.
std::optional<qint32> discountCents(double amount);
// The discount amount shown while the cashier types: price * quantity * percent / 100.
double liveDiscount(double price, double quantity, int percent);

// One open row under a whole-document discount of `percent`.
struct DiscountedLine
{
    double gross = 0; // quantity * price
    qint32 discount = 0;
    qint32 line = 0;
};
// Here 0.005 is added for returns too, so a returned line rounds the other way
// than a line stored by hand; totals printed by the register were made so.
std::optional<DiscountedLine> documentDiscountLine(double quantity, double price, int percent);

} // namespace SaleAmounts

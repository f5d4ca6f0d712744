#include "pos/SaleAmounts.h"

#include <cmath>
#include <limits>

namespace {

std::optional<qint32> truncatedCents(double value)
{
    const double cents = std::trunc(value * 100);
    if (!std::isfinite(cents) || cents > std::numeric_limits<qint32>::max() ||
        cents < std::numeric_limits<qint32>::min())
        return std::nullopt;
    return qint32(cents);
}

} // namespace

std::optional<qint32> SaleAmounts::lineCents(double quantity, double price)
{
    const double product = quantity * price;
    return truncatedCents(product >= 0 ? product + 0.005 : product - 0.005);
}

std::optional<qint32> SaleAmounts::discountCents(double amount)
{
    return truncatedCents(amount + 0.005);
}

double SaleAmounts::liveDiscount(double price, double quantity, int percent)
{
    return price * quantity * percent / 100;
}

std::optional<SaleAmounts::DiscountedLine> SaleAmounts::documentDiscountLine(double quantity, double price,
                                                                             int percent)
{
    DiscountedLine result;
    result.gross = quantity * price;
    const std::optional<qint32> discount = truncatedCents(percent * result.gross / 100 + 0.005);
    const std::optional<qint32> gross = truncatedCents(result.gross + 0.005);
    if (!discount || !gross)
        return std::nullopt;
    const qint64 line = qint64(*gross) - *discount;
    if (line > std::numeric_limits<qint32>::max() || line < std::numeric_limits<qint32>::min())
        return std::nullopt;
    result.discount = *discount;
    result.line = qint32(line);
    return result;
}

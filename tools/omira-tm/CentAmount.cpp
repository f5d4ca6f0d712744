#include "omira-tm/CentAmount.h"

#include <QtNumeric>

#include <limits>

using namespace Qt::StringLiterals;

namespace CentAmount {

QString format(qint64 cents)
{
    const bool negative = cents < 0;
    const qint64 magnitude = negative ? -cents : cents;
    return u"%1%2.%3"_s.arg(negative ? u"-"_s : QString())
        .arg(magnitude / 100)
        .arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

std::optional<qint64> parse(QByteArrayView text)
{
    qsizetype at = 0;
    const bool negative = !text.isEmpty() && text[0] == '-';
    if (!text.isEmpty() && (text[0] == '-' || text[0] == '+'))
        ++at;

    qint64 whole = 0;
    int wholeDigits = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at, ++wholeDigits) {
        whole = whole * 10 + (text[at] - '0');
        if (whole > LargestWholeUnits)
            return std::nullopt;
    }

    int fraction = 0; // in thousandths, for rounding
    int fractionDigits = 0;
    if (at < text.size() && text[at] == '.') {
        for (++at; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at, ++fractionDigits) {
            if (fractionDigits < 3)
                fraction = fraction * 10 + (text[at] - '0');
        }
    }
    if (at != text.size() || wholeDigits + fractionDigits == 0)
        return std::nullopt;
    for (int digits = std::min(fractionDigits, 3); digits < 3; ++digits)
        fraction *= 10;

    const qint64 cents = whole * 100 + (fraction + 5) / 10;
    return negative ? -cents : cents;
}

qint64 add(qint64 a, qint64 b)
{
    qint64 sum = 0;
    if (!qAddOverflow(a, b, &sum))
        return sum;
    return b > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
}

} // namespace CentAmount

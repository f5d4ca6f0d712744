#pragma once

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include <optional>

// Money as the printer keeps it: whole cents, so that turnovers summed over thousands
// of documents stay exact.
namespace CentAmount {

// Amounts larger than this (in whole units) are no till amounts; refusing them keeps
// every sum far from the end of the 64-bit range.
inline constexpr qint64 LargestWholeUnits = 999'999'999'999LL;

// Two decimals with "." as decimal point, whatever the locale: "12.30", "-1.00".
QString format(qint64 cents);
// Optional sign, digits, optionally "." and more digits; the third decimal rounds.
// Nothing else may follow. Empty when it is no such number or too large.
std::optional<qint64> parse(QByteArrayView text);
// a + b, held at the ends of the 64-bit range instead of wrapping round.
qint64 add(qint64 a, qint64 b);

} // namespace CentAmount

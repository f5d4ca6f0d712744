#include "stock/ImportCellText.h"

#include <QLocale>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// Beyond 2^53 a double holds no odd whole numbers, so none of its whole
// values needs more than this to be exact.
constexpr double LargestExactWhole = 9007199254740992.0;
// Dates spreadsheets can show: 1 Jan 1900 to 31 Dec 9999.
constexpr double LastSerialDay = 2958465;

} // namespace

QString ImportCellText::number(double value)
{
    if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) <= LargestExactWhole)
        return QString::number(qint64(value));
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString ImportCellText::date(const QDate &date)
{
    return date.toString(u"dd.MM.yyyy"_s);
}

QString ImportCellText::serialDate(double serial, bool from1904)
{
    if (!std::isfinite(serial) || serial < 0 || serial > LastSerialDay)
        return number(serial);
    const QDate epoch = from1904 ? QDate(1904, 1, 1) : QDate(1899, 12, 30);
    return date(epoch.addDays(qint64(std::floor(serial))));
}

QString ImportCellText::isoDate(const QString &text)
{
    const QDate day = QDate::fromString(text.left(10), Qt::ISODate);
    return day.isValid() ? date(day) : text;
}

#include "stock/ImportCells.h"

#include <QLocale>

#include <cmath>

namespace {

// Whole numbers up to this size are exact in a double and written digit by digit.
constexpr double LargestWholeNumber = 1e15;

} // namespace

void ImportCells::text(const QString &text)
{
    m_row.cells << text;
    m_row.numbers << false;
}

void ImportCells::number(double value)
{
    m_row.cells << numberText(value);
    m_row.numbers << true;
}

void ImportCells::date(const QDate &date)
{
    text(date.isValid() ? date.toString(QStringLiteral("dd.MM.yyyy")) : QString());
}

void ImportCells::trimEnd()
{
    while (!m_row.cells.isEmpty() && m_row.cells.constLast().isEmpty()) {
        m_row.cells.removeLast();
        m_row.numbers.removeLast();
    }
}

QString ImportCells::numberText(double value)
{
    if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < LargestWholeNumber)
        return QString::number(qint64(value));
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

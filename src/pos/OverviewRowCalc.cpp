#include "pos/OverviewRowCalc.h"

double OverviewRowCalc::discount(const Row &row)
{
    return row.sumCena - row.sumPocet * row.jc;
}

std::optional<QString> OverviewRowCalc::addToFooter(const Row &row, bool summingOn, bool gridHasSumColumn,
                                                    const QLocale &locale)
{
    if (!summingOn)
        return std::nullopt;
    if (row.firstRecord)
        m_sum = 0;
    if (!gridHasSumColumn)
        return std::nullopt;
    m_sum += float(row.sumCena);
    return locale.toString(double(m_sum), 'f', 2);
}

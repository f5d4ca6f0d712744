#pragma once

#include "SalesFixture.h"

#include <QString>

#include <span>

// A small year of sales for the print and the export of the overview: a discount
// (2 × 1.50 for 2.70), a return, names with Slovak letters and with the
// separators of a CSV file in them, two stock groups.
namespace SalesOverviewFixture {

using Sale = SalesFixture::SaleRow;

inline constexpr int Year = 2026;
inline constexpr const char16_t *FileName = u"predaj_2026.db";

inline constexpr Sale Sales[] = {
    {3, 10, u"2026-03-02", u"100", u"Mlieko 1,5%", u"ks", 2, 1.50, 2.70, 20, 1},
    {3, 10, u"2026-03-02", u"200", u"Čaj zelený; \"sypaný\"", u"bal", 1, 2.10, 2.10, 20, 2},
    {4, 12, u"2026-03-03", u"300", u"ČOKOLÁDA mliečna", u"ks", 3, 1.20, 3.60, 20, 1},
    {4, 13, u"2026-03-03", u"100", u"Mlieko 1,5%", u"ks", -1, 1.50, -1.50, 20, 1},
    {7, 14, u"2026-03-05", u"100", u"Mlieko 1,5%", u"ks", 1, 1.50, 1.50, 20, 1},
};

// Creates the sales file of `year` with the program's own table layout (without
// the overview's indexes, as an earlier version left it) and `sales` in it.
inline void write(const QString &path, std::span<const Sale> sales, int year = Year)
{
    SalesFixture::writeSalesFile(path, year, sales);
}

} // namespace SalesOverviewFixture

#pragma once

#include "base/DataServer.h"
#include "stock/SalesOverviewChoices.h"

#include <QString>

#include <span>

// A year of sales as the sale screen records them, for the tests of the sales
// overview and its screen.
namespace SalesFixture {

struct SaleRow
{
    int closing, document;
    const char16_t *date, *code, *name, *unit;
    double quantity, unitPrice, price;
    int vat, group;
    bool printed = true; // FISK: false for a row of the open document
};

// Three closings of one year: a discounted line (2 × 1.50 for 2.70), a return
// (−1), an item taken twice in one document, two stock groups, and names with
// Slovak letters, a quote and SQL in them.
constexpr SaleRow FixtureRows[] = {
    {3, 10, u"2026-03-02", u"100", u"Mlieko 1,5%", u"ks", 2, 1.50, 2.70, 20, 1},
    {3, 10, u"2026-03-02", u"200", u"Čaj zelený", u"ks", 1, 2.10, 2.10, 20, 2},
    {3, 11, u"2026-03-02", u"100", u"Mlieko 1,5%", u"ks", 1, 1.50, 1.50, 20, 1},
    {4, 12, u"2026-03-03", u"300", u"ČOKOLÁDA mliečna", u"ks", 3, 1.20, 3.60, 20, 1},
    {4, 12, u"2026-03-03", u"120", u"Jack's ' OR ''='", u"ks", 1, 25.0, 25.0, 23, 2},
    {4, 13, u"2026-03-03", u"100", u"Mlieko 1,5%", u"ks", -1, 1.50, -1.50, 20, 1},
    {7, 14, u"2026-03-05", u"200", u"Čaj zelený", u"ks", 2, 2.10, 4.20, 20, 2},
    {7, 14, u"2026-03-05", u"100", u"Mlieko 1,5%", u"ks", 1, 1.50, 1.50, 20, 1},
    {7, 14, u"2026-03-05", u"100", u"Mlieko 1,5%", u"ks", 1, 1.50, 1.50, 20, 1},
};

// Creates a sales file with the program's own layout, holding `rows` (on a
// server, the year's table in its database).
void writeSalesFile(const QString &path, int year, std::span<const SaleRow> rows,
                    const DataServer &server = {});

// The overview's choices of the closings `from` to `to`, summed up by `grouping`.
inline SalesOverviewChoices closings(int from, int to, SalesOverviewChoices::Grouping grouping)
{
    SalesOverviewChoices choices;
    choices.closingFrom = from;
    choices.closingTo = to;
    choices.grouping = grouping;
    return choices;
}

} // namespace SalesFixture

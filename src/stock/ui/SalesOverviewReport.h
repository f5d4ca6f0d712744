#pragma once

#include "stock/SalesOverviewChoices.h"
#include "stock/ui/TableReport.h"

#include <QDate>
#include <QString>

class SalesOverview;

// The printed sales overview "Prehľad predaja": the item rows selected in a
// SalesOverview, in their order and with the columns their grouping shows, under
// the title and a line that says what was selected (file, range, grouping,
// filter), and after them a bold line with the footer total. The rows are read
// from the overview a page at a time while the pages are drawn, so a year of a
// million rows never sits in memory whole; the overview must outlive the report.
class SalesOverviewReport
{
public:
    // How many item rows are read from the overview at a time.
    static constexpr int RowsPerRead = 500;

    SalesOverviewReport(SalesOverview &overview, SalesOverviewChoices::Grouping grouping,
                        const QString &selectionLine, QDate date);

    const TableReport &table() const { return m_table; }
    bool writePdf(const QString &path) const { return m_table.writePdf(path); }

private:
    TableReport m_table;
};

#include "stock/ui/SalesOverviewPrint.h"

#include "stock/ui/SalesOverviewReport.h"
#include "stock/ui/TForm_tlac_cennik.h"

void SalesOverviewPrint::preview(QWidget *parent, SalesOverview &overview,
                                 const SalesOverviewChoices &choices, const QString &selectionLine)
{
    const SalesOverviewReport report(overview, choices.grouping, selectionLine, QDate::currentDate());
    TForm_tlac_cennik form(report.table(), parent);
    form.exec();
}

#pragma once

#include "stock/SalesOverviewChoices.h"

#include <QString>

class QWidget;
class SalesOverview;

// The print of the sales overview: the item rows selected in the overview, in the
// price list's print preview, from which the operator prints.
class SalesOverviewPrint
{
public:
    // Shows the preview modally; `selectionLine` says under the title what was
    // selected (file, range, grouping, filter). The overview keeps its selection.
    static void preview(QWidget *parent, SalesOverview &overview, const SalesOverviewChoices &choices,
                        const QString &selectionLine);
};

#pragma once

#include "stock/SalesOverviewChoices.h"
#include "stock/SalesOverviewExport.h"

#include <QString>

#include <optional>

class SalesOverview;
class UserDialogs;

// The export of the sales overview as the operator asks for it: the file name and
// kind (workbook, or separated text in code page 1250 or UTF-8) are chosen in a
// save dialog, the selected item rows are written, and a failure is told in a box.
class SalesOverviewExportRequest
{
public:
    static constexpr const char16_t *Caption = u"Export prehľadu predaja";

    explicit SalesOverviewExportRequest(UserDialogs &dialogs) : m_dialogs(dialogs) {}

    // Asks for the file, starting in `folder` with `proposedName` (no extension),
    // and writes it. The path written, or empty when the operator cancelled or the
    // file could not be written (then after the box that says why).
    QString run(SalesOverview &overview, const SalesOverviewChoices &choices, const QString &folder,
                const QString &proposedName);

    // The save dialog's entries, one per format.
    static QString filter();
    // The format of a chosen filter entry, or else of the file's extension; the
    // path gains the format's extension where it has none of its own.
    static SalesOverviewExport::Format formatOf(const QString &chosenFilter, QString &path);

private:
    UserDialogs &m_dialogs;
};

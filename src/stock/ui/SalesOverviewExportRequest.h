#pragma once

#include "stock/SalesOverviewChoices.h"
#include "stock/SalesOverviewExport.h"

#include <QString>

#include <optional>

class SalesOverview;
class UserDialogs;

// The export of the sales overview as the operator asks for it: the file name and
// kind (workbook, or separated text in code page 1250 or UTF-8) are chosen in a
// save dialog, the selected item rows are written, and a box names the file
// written or tells why it could not be. The dialog starts in the folder of the
// last file written during this run, or else in the data folder.
class SalesOverviewExportRequest
{
public:
    static constexpr const char16_t *Caption = u"Export prehľadu predaja";

    explicit SalesOverviewExportRequest(UserDialogs &dialogs) : m_dialogs(dialogs) {}

    // Asks for the file, starting in the folder of the last file written or else in
    // `dataFolder`, with `nameProposed` (no extension), and writes it. The path
    // written (after the box that names it), or empty when the operator cancelled or
    // the file could not be written (then after the box that says why).
    QString run(SalesOverview &overview, const SalesOverviewChoices &choices, const QString &dataFolder,
                const QString &nameProposed);

    // A file name (no extension) that says what is exported: the year of the sales
    // file `salesFile` and the range of `choices`, such as "prehlad_2026_uzavierky_3-7".
    static QString proposedName(const QString &salesFile, const SalesOverviewChoices &choices);
    // The save dialog's entries, one per format.
    static QString filter();
    // The format of a chosen filter entry, or else of the file's extension; the
    // path gains the format's extension where it has none of its own.
    static SalesOverviewExport::Format formatOf(const QString &chosenFilter, QString &path);

private:
    UserDialogs &m_dialogs;
    QString m_lastFolder; // of the last file written
};

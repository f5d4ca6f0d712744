#pragma once

#include "stock/SalesOverviewChoices.h"

#include <QString>

class SalesOverview;

// Writes the item rows selected in a SalesOverview to a file, as the print shows
// them: the columns of the grouping under a row of their captions, the rows in
// their order, and a last row with the footer total. A workbook keeps numbers as
// numbers and dates as dates; separated text (semicolons, decimal comma) is
// written in code page 1250 or in UTF-8 with a byte-order mark. The rows are read
// a page at a time, so a year of a million rows never sits in memory whole. A file
// that cannot be written is never left half written under its name.
class SalesOverviewExport
{
public:
    enum class Format { Xlsx, CsvCp1250, CsvUtf8 };

    // How many item rows are read from the overview at a time.
    static constexpr int RowsPerRead = 2000;
    // A sheet holds at most this many rows, the caption and total rows among them.
    static constexpr qint64 SheetRows = 1048576;

    SalesOverviewExport(SalesOverview &overview, SalesOverviewChoices::Grouping grouping);

    bool write(const QString &path, Format format);
    // Why the last write failed, as Slovak text for the user.
    const QString &lastError() const { return m_error; }

private:
    bool writeCsv(const QString &path, bool utf8);
    bool writeXlsx(const QString &path);
    bool fail(const QString &text);
    QString unreadText(const QString &path) const;

    SalesOverview &m_overview;
    SalesOverviewChoices::Grouping m_grouping;
    QString m_error;
};

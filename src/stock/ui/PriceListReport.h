#pragma once

#include "stock/StockRow.h"
#include "stock/ui/TableReport.h"

#include <QDate>
#include <QString>

#include <functional>
#include <optional>

class QPageLayout;
class QPagedPaintDevice;

// The printed price list "Cenník": the cards of the item list, one line each and in
// the list's order, under a title with the group line and a framed column header, a
// framed footer with the page number and the date at the bottom of every page.
// Cards are asked for one at a time while the pages are drawn, so a list of any
// length never sits in memory whole. The drawing is the table report's; this class
// gives it the price list's columns.
class PriceListReport
{
public:
    // The card of a row of the list; empty when the card vanished since the search,
    // which then takes no line.
    using RowSource = std::function<std::optional<StockRow>(int row)>;
    // Told the rows done after every row; returning false stops the drawing.
    using Progress = TableReport::Progress;
    using Outcome = TableReport::Outcome;

    // Heights of the bands, in millimetres.
    static constexpr double PageHeaderHeight = TableReport::TitleHeight + TableReport::HeaderLineHeight;
    static constexpr double ColumnHeaderHeight = TableReport::ColumnHeaderHeight;
    static constexpr double DetailHeight = TableReport::DetailHeight;
    static constexpr double PageFooterHeight = TableReport::PageFooterHeight;

    PriceListReport(int rowCount, RowSource rows, QString groupLine, QDate date);

    int rowCount() const { return m_table.rowCount(); }
    bool isEmpty() const { return m_table.isEmpty(); }
    // The report as a table, for the preview that shows any table report.
    const TableReport &table() const { return m_table; }

    // A4 portrait with margins of 10 mm on every side.
    static QPageLayout pageLayout();
    // Detail lines between the column header and the footer of a printable area
    // `heightMm` high; at least one.
    static int rowsPerPage(double heightMm);

    // Draws every page onto `device`, starting a new page where the lines of one are
    // full; the device's page layout stays as the caller set it.
    Outcome paint(QPagedPaintDevice &device, const Progress &progress = {}) const;

    // Writes the report as a PDF file. A list without cards writes no file (a PDF
    // of no page is no document) and, like a file that cannot be written, gives false.
    bool writePdf(const QString &path) const;

private:
    TableReport m_table;
};

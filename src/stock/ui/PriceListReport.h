#pragma once

#include "stock/StockRow.h"

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
// length never sits in memory whole. Measurements are millimetres from the top left
// corner inside the margins; the same drawing serves the preview, the printer and
// a PDF file.
class PriceListReport
{
public:
    // The card of a row of the list; empty when the card vanished since the search,
    // which then takes no line.
    using RowSource = std::function<std::optional<StockRow>(int row)>;
    // Told the rows done after every row; returning false stops the drawing.
    using Progress = std::function<bool(int rowsDone, int rowCount)>;

    enum class Outcome {
        Painted,
        NothingToPrint, // no card: the device was not touched, so no page exists
        Canceled,       // the progress said stop; the pages begun so far are on the device
        DeviceFailed,   // the device could not be opened for painting (e.g. a file not writable)
    };

    // Heights of the bands, in millimetres.
    static constexpr double PageHeaderHeight = 14.6;
    static constexpr double ColumnHeaderHeight = 10.6;
    static constexpr double DetailHeight = 6.9;
    static constexpr double PageFooterHeight = 8.5;

    PriceListReport(int rowCount, RowSource rows, QString groupLine, QDate date);

    int rowCount() const { return m_rowCount; }
    bool isEmpty() const { return m_rowCount <= 0; }

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
    int m_rowCount;
    RowSource m_rows;
    QString m_groupLine;
    QDate m_date;
};

#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QPageLayout;
class QPagedPaintDevice;

// A printed table on A4 portrait: a page header with a bold title and lines under
// it, a framed column header, one framed detail line per row, an optional closing
// line after the last row (a total) and a framed footer with the page number and
// the date at the bottom of every page. Rows are asked for one at a time while the
// pages are drawn, so a table of any length never sits in memory whole.
// Measurements are millimetres from the top left corner inside the margins; the
// same drawing serves the preview, the printer and a PDF file.
class TableReport
{
public:
    struct Column
    {
        QString caption;
        double widthMm = 0;
        Qt::Alignment alignment = Qt::AlignLeft;
    };

    // The cells of a row, one per column; empty when the row vanished since the
    // rows were counted, which then takes no line.
    using RowSource = std::function<std::optional<QStringList>(int row)>;
    // Told the rows done after every row; returning false stops the drawing.
    using Progress = std::function<bool(int rowsDone, int rowCount)>;

    enum class Outcome {
        Painted,
        NothingToPrint, // no line: the device was not touched, so no page exists
        Canceled,       // the progress said stop; the pages begun so far are on the device
        DeviceFailed,   // the device could not be opened for painting (e.g. a file not writable)
    };

    // Heights of the bands, in millimetres. The page header grows by one line
    // height for every line under the title.
    static constexpr double TitleHeight = 8.6;
    static constexpr double HeaderLineHeight = 6.0;
    static constexpr double ColumnHeaderHeight = 10.6;
    static constexpr double DetailHeight = 6.9;
    static constexpr double PageFooterHeight = 8.5;
    // The room between a cell's text and the edges of its column.
    static constexpr double CellPadding = 1.0;

    // Columns run from the left margin, one after another. A caption runs on over
    // the following columns that have none, aligned as its own column is.
    TableReport(QString title, QStringList headerLines, QList<Column> columns, int rowCount, RowSource rows,
                QDate date);

    // A last line after every row, drawn in bold (a total); it prints even when
    // there is no row.
    void setClosingLine(const QStringList &cells) { m_closingLine = cells; }

    const QString &title() const { return m_title; }
    int rowCount() const { return m_rowCount; }
    bool isEmpty() const { return m_rowCount <= 0 && !m_closingLine; }

    // A4 portrait with margins of 10 mm on every side.
    static QPageLayout pageLayout();
    // Detail lines between the column header and the footer of a printable area
    // `heightMm` high under a page header of `headerLines` lines; at least one.
    static int rowsPerPage(double heightMm, int headerLines = 1);

    // Draws every page onto `device`, starting a new page where the lines of one are
    // full; the device's page layout stays as the caller set it.
    Outcome paint(QPagedPaintDevice &device, const Progress &progress = {}) const;

    // Writes the report as a PDF file. A report without lines writes no file (a PDF
    // of no page is no document) and, like a file that cannot be written, gives false.
    bool writePdf(const QString &path) const;

private:
    struct Painting;
    bool drawLine(Painting &painting, const QStringList &cells, bool bold) const;

    QString m_title;
    QStringList m_headerLines;
    QList<Column> m_columns;
    int m_rowCount;
    RowSource m_rows;
    QDate m_date;
    std::optional<QStringList> m_closingLine;
};

#include "stock/ui/TableReport.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr double kMmPerInch = 25.4;
constexpr double kLine = 0.2; // mm; the frames of the column header and the footer are twice as wide
constexpr double kTitleTop = 0.6;
constexpr double kTitleHeight = 7.2;
constexpr double kFooterPageLeft = 3.2;
constexpr double kFooterDateLabelRight = 164;
constexpr double kFooterDateRight = 185;

QFont reportFont(double points, bool bold = false)
{
    // Arial where it exists; elsewhere the sans font that stands in for it.
    QFont font(u"Arial"_s);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

double pageHeaderHeight(qsizetype headerLines)
{
    return TableReport::TitleHeight + double(headerLines) * TableReport::HeaderLineHeight;
}

// What drawing a page needs: the painter with its device's scale and the fonts of
// the bands with their metrics taken once, since a long table draws many thousands
// of lines.
struct Canvas
{
    QPainter &painter;
    double pxPerMm;
    double widthMm;
    double heightMm;
    QFont titleFont = reportFont(15, true);
    QFont lineFont = reportFont(12);
    QFont boldFont = reportFont(10, true);
    QFont textFont = reportFont(10);
    QFontMetricsF boldMetrics;
    QFontMetricsF textMetrics;
    QPen thinPen;
    QPen doublePen;

    Canvas(QPainter &p, QPaintDevice &device)
        : painter(p), pxPerMm(device.logicalDpiX() / kMmPerInch), widthMm(device.width() / pxPerMm),
          heightMm(device.height() / pxPerMm), boldMetrics(boldFont, &device), textMetrics(textFont, &device),
          thinPen(Qt::black, kLine * pxPerMm), doublePen(Qt::black, 2 * kLine * pxPerMm)
    {}

    double px(double mm) const { return mm * pxPerMm; }
    // The baseline that centres a line of `metrics` in a band.
    double baseline(const QFontMetricsF &metrics, double topMm, double bandMm) const
    {
        return px(topMm) + (px(bandMm) - metrics.ascent() - metrics.descent()) / 2 + metrics.ascent();
    }
};

// A text in the span from `leftMm` to `rightMm`, aligned as its column is. A text
// aligned left is cut short with an ellipsis where it would run into the next
// column; one aligned right or centred (a number, a unit) is never cut, since a
// number without its last digits would read as another number.
void drawCell(Canvas &c, const QFontMetricsF &metrics, const QString &text, double leftMm, double rightMm,
              Qt::Alignment alignment, double topMm, double heightMm)
{
    const double room = c.px(rightMm - leftMm - 2 * TableReport::CellPadding);
    const bool fits = !(alignment & Qt::AlignLeft) || metrics.horizontalAdvance(text) <= room;
    const QString shown = fits ? text : metrics.elidedText(text, Qt::ElideRight, room);
    const double width = metrics.horizontalAdvance(shown);
    double x = c.px(leftMm + TableReport::CellPadding);
    if (alignment & Qt::AlignRight)
        x = c.px(rightMm - TableReport::CellPadding) - width;
    else if (alignment & Qt::AlignHCenter)
        x = c.px((leftMm + rightMm) / 2) - width / 2;
    c.painter.drawText(QPointF(x, c.baseline(metrics, topMm, heightMm)), shown);
}

void drawRight(Canvas &c, const QFontMetricsF &metrics, const QString &text, double rightMm, double topMm,
               double heightMm)
{
    const double x = c.px(rightMm) - metrics.horizontalAdvance(text);
    c.painter.drawText(QPointF(x, c.baseline(metrics, topMm, heightMm)), text);
}

void drawCentred(Canvas &c, const QFont &font, const QString &text, double topMm, double heightMm)
{
    c.painter.setFont(font);
    c.painter.drawText(QRectF(0, c.px(topMm), c.px(c.widthMm), c.px(heightMm)), Qt::AlignCenter, text);
}

void drawPageHeader(Canvas &c, const QString &title, const QStringList &lines)
{
    drawCentred(c, c.titleFont, title, kTitleTop, kTitleHeight);
    double top = kTitleTop + kTitleHeight;
    for (const QString &line : lines) {
        drawCentred(c, c.lineFont, line, top, TableReport::HeaderLineHeight);
        top += TableReport::HeaderLineHeight;
    }
}

void drawColumnHeader(Canvas &c, const QList<TableReport::Column> &columns, double top)
{
    constexpr double height = TableReport::ColumnHeaderHeight;
    c.painter.setPen(c.doublePen);
    c.painter.drawRect(QRectF(0, c.px(top), c.px(c.widthMm), c.px(height)));
    c.painter.setFont(c.boldFont);
    double left = 0;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        double right = left + columns[i].widthMm;
        qsizetype next = i + 1;
        for (; next < columns.size() && columns[next].caption.isEmpty(); ++next)
            right += columns[next].widthMm;
        if (!columns[i].caption.isEmpty())
            drawCell(c, c.boldMetrics, columns[i].caption, left, right, columns[i].alignment, top, height);
        left = right;
        i = next - 1;
    }
}

void drawPageFooter(Canvas &c, int page, const QString &date)
{
    const double height = TableReport::PageFooterHeight;
    const double top = c.heightMm - height;
    c.painter.setPen(c.doublePen);
    c.painter.drawRect(QRectF(0, c.px(top), c.px(c.widthMm), c.px(height)));
    c.painter.setFont(c.textFont);
    c.painter.drawText(QPointF(c.px(kFooterPageLeft), c.baseline(c.textMetrics, top, height)),
                       u"Strana: "_s + QString::number(page));
    drawRight(c, c.textMetrics, u"Dátum:"_s, kFooterDateLabelRight, top, height);
    drawRight(c, c.textMetrics, date, kFooterDateRight, top, height);
}

void drawDetail(Canvas &c, const QList<TableReport::Column> &columns, const QStringList &cells, double top,
                bool bold)
{
    constexpr double height = TableReport::DetailHeight;
    const double bottom = c.px(top + height);
    c.painter.setPen(c.thinPen);
    c.painter.drawLine(QPointF(0, c.px(top)), QPointF(0, bottom));
    c.painter.drawLine(QPointF(c.px(c.widthMm), c.px(top)), QPointF(c.px(c.widthMm), bottom));
    c.painter.drawLine(QPointF(0, bottom), QPointF(c.px(c.widthMm), bottom));
    c.painter.setFont(bold ? c.boldFont : c.textFont);
    const QFontMetricsF &metrics = bold ? c.boldMetrics : c.textMetrics;
    double left = 0;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const double right = left + columns[i].widthMm;
        const QString cell = cells.value(i);
        if (!cell.isEmpty())
            drawCell(c, metrics, cell, left, right, columns[i].alignment, top, height);
        left = right;
    }
}

} // namespace

// The state of one drawing: the painter begins only with the first line, so that a
// table of vanished rows leaves the device untouched, as an empty one does.
struct TableReport::Painting
{
    QPagedPaintDevice &device;
    QPainter painter;
    std::optional<Canvas> canvas;
    QString date;
    int page = 0;
    int line = 0;
    int perPage = 0;
    double firstDetailTop = 0;
};

TableReport::TableReport(QString title, QStringList headerLines, QList<Column> columns, int rowCount,
                         RowSource rows, QDate date)
    : m_title(std::move(title)), m_headerLines(std::move(headerLines)), m_columns(std::move(columns)),
      m_rowCount(rowCount), m_rows(std::move(rows)), m_date(date)
{}

QPageLayout TableReport::pageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

int TableReport::rowsPerPage(double heightMm, int headerLines)
{
    const double room = heightMm - pageHeaderHeight(headerLines) - ColumnHeaderHeight - PageFooterHeight;
    // A hair of slack so that rounding of the device's size never loses a line.
    return std::max(1, int(std::floor((room + 0.01) / DetailHeight)));
}

bool TableReport::drawLine(Painting &p, const QStringList &cells, bool bold) const
{
    if (!p.canvas) {
        if (!p.painter.begin(&p.device))
            return false;
        p.canvas.emplace(p.painter, p.device);
        p.perPage = rowsPerPage(p.canvas->heightMm, int(m_headerLines.size()));
        p.firstDetailTop = pageHeaderHeight(m_headerLines.size()) + ColumnHeaderHeight;
        p.line = p.perPage;
    }
    Canvas &c = *p.canvas;
    if (p.line == p.perPage) {
        if (p.page > 0)
            p.device.newPage();
        c.painter.setPen(Qt::black);
        drawPageHeader(c, m_title, m_headerLines);
        drawColumnHeader(c, m_columns, pageHeaderHeight(m_headerLines.size()));
        drawPageFooter(c, ++p.page, p.date);
        p.line = 0;
    }
    drawDetail(c, m_columns, cells, p.firstDetailTop + p.line++ * DetailHeight, bold);
    return true;
}

TableReport::Outcome TableReport::paint(QPagedPaintDevice &device, const Progress &progress) const
{
    Painting painting{device, {}, {}, m_date.toString(u"d.M.yyyy"_s)};
    for (int row = 0; row < m_rowCount; ++row) {
        if (const std::optional<QStringList> cells = m_rows(row)) {
            if (!drawLine(painting, *cells, false))
                return Outcome::DeviceFailed;
        }
        if (progress && !progress(row + 1, m_rowCount))
            return Outcome::Canceled;
    }
    if (m_closingLine && !drawLine(painting, *m_closingLine, true))
        return Outcome::DeviceFailed;
    return painting.canvas ? Outcome::Painted : Outcome::NothingToPrint;
}

bool TableReport::writePdf(const QString &path) const
{
    if (isEmpty())
        return false;
    QPdfWriter writer(path);
    writer.setPageLayout(pageLayout());
    writer.setTitle(m_title);
    writer.setCreator(u"Omira Predaj"_s);
    return paint(writer) == Outcome::Painted;
}

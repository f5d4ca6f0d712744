#include "stock/ui/PriceListReport.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLocale>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr double kMmPerInch = 25.4;
constexpr double kLine = 0.2; // mm; the frames of the column header and the footer are twice as wide
constexpr double kColumnHeaderTop = PriceListReport::PageHeaderHeight;
constexpr double kFirstDetailTop = kColumnHeaderTop + PriceListReport::ColumnHeaderHeight;

// Columns, in millimetres from the left margin.
constexpr double kNameLeft = 2.1;
constexpr double kNameWidth = 146;
constexpr double kPriceRight = 165;
constexpr double kCurrencyLeft = 167;
constexpr double kUnitRight = 187;
constexpr double kHeaderNameLeft = 1.9;
constexpr double kHeaderPriceRight = 179;
constexpr double kHeaderUnitLeft = 182;
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

QLocale priceLocale()
{
    // Without a thousands separator, as prices are written on the shelf.
    QLocale locale(QLocale::Slovak, QLocale::Slovakia);
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

// What drawing a page needs: the painter with its device's scale and the fonts of
// the bands with their metrics taken once, since a long list draws many thousands
// of lines.
struct Canvas
{
    QPainter &painter;
    double pxPerMm;
    double widthMm;
    double heightMm;
    QFont titleFont = reportFont(15, true);
    QFont groupFont = reportFont(12);
    QFont boldFont = reportFont(10, true);
    QFont textFont = reportFont(10);
    QFontMetricsF boldMetrics;
    QFontMetricsF textMetrics;
    QPen thinPen;
    QPen doublePen;
    QLocale slovak = priceLocale();

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

void drawLeft(Canvas &c, const QFontMetricsF &metrics, const QString &text, double xMm, double topMm,
              double heightMm)
{
    c.painter.drawText(QPointF(c.px(xMm), c.baseline(metrics, topMm, heightMm)), text);
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

void drawPageHeader(Canvas &c, const QString &groupLine)
{
    drawCentred(c, c.titleFont, u"Cenník"_s, 0.6, 7.2);
    drawCentred(c, c.groupFont, groupLine, 7.8, 6.0);
}

void drawColumnHeader(Canvas &c)
{
    constexpr double top = kColumnHeaderTop;
    constexpr double height = PriceListReport::ColumnHeaderHeight;
    c.painter.setPen(c.doublePen);
    c.painter.drawRect(QRectF(0, c.px(top), c.px(c.widthMm), c.px(height)));
    c.painter.setFont(c.boldFont);
    drawLeft(c, c.boldMetrics, u"Názov položky"_s, kHeaderNameLeft, top, height);
    drawRight(c, c.boldMetrics, u"Jednotková cena"_s, kHeaderPriceRight, top, height);
    drawLeft(c, c.boldMetrics, u"MJ"_s, kHeaderUnitLeft, top, height);
}

void drawPageFooter(Canvas &c, int page, const QString &date)
{
    const double height = PriceListReport::PageFooterHeight;
    const double top = c.heightMm - height;
    c.painter.setPen(c.doublePen);
    c.painter.drawRect(QRectF(0, c.px(top), c.px(c.widthMm), c.px(height)));
    c.painter.setFont(c.textFont);
    drawLeft(c, c.textMetrics, u"Strana: "_s + QString::number(page), kFooterPageLeft, top, height);
    drawRight(c, c.textMetrics, u"Dátum:"_s, kFooterDateLabelRight, top, height);
    drawRight(c, c.textMetrics, date, kFooterDateRight, top, height);
}

// Starts page `page`: everything but the detail lines, leaving the painter set for them.
void drawPageFrame(Canvas &c, int page, const QString &groupLine, const QString &date)
{
    c.painter.setPen(Qt::black);
    drawPageHeader(c, groupLine);
    drawColumnHeader(c);
    drawPageFooter(c, page, date);
    c.painter.setPen(c.thinPen);
    c.painter.setFont(c.textFont);
}

void drawDetail(Canvas &c, const StockRow &card, double top)
{
    constexpr double height = PriceListReport::DetailHeight;
    const double bottom = c.px(top + height);
    c.painter.drawLine(QPointF(0, c.px(top)), QPointF(0, bottom));
    c.painter.drawLine(QPointF(c.px(c.widthMm), c.px(top)), QPointF(c.px(c.widthMm), bottom));
    c.painter.drawLine(QPointF(0, bottom), QPointF(c.px(c.widthMm), bottom));

    const QString name = card.nazov + u' ' + card.nazov1 + u' ' + card.nazov2;
    const double nameWidth = c.px(kNameWidth);
    const bool fits = c.textMetrics.horizontalAdvance(name) <= nameWidth;
    drawLeft(c, c.textMetrics, fits ? name : c.textMetrics.elidedText(name, Qt::ElideRight, nameWidth),
             kNameLeft, top, height);
    drawRight(c, c.textMetrics, c.slovak.toString(card.jc, 'f', 2), kPriceRight, top, height);
    drawLeft(c, c.textMetrics, u"EUR"_s, kCurrencyLeft, top, height);
    drawRight(c, c.textMetrics, card.mj, kUnitRight, top, height);
}

} // namespace

PriceListReport::PriceListReport(int rowCount, RowSource rows, QString groupLine, QDate date)
    : m_rowCount(rowCount), m_rows(std::move(rows)), m_groupLine(std::move(groupLine)), m_date(date)
{}

QPageLayout PriceListReport::pageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

int PriceListReport::rowsPerPage(double heightMm)
{
    const double room = heightMm - PageHeaderHeight - ColumnHeaderHeight - PageFooterHeight;
    // A hair of slack so that rounding of the device's size never loses a line.
    return std::max(1, int(std::floor((room + 0.01) / DetailHeight)));
}

PriceListReport::Outcome PriceListReport::paint(QPagedPaintDevice &device, const Progress &progress) const
{
    // The painter begins only with the first card, so that a list of vanished cards
    // leaves the device untouched, as an empty one does.
    QPainter painter;
    std::optional<Canvas> canvas;
    const QString date = m_date.toString(u"d.M.yyyy"_s);
    int page = 0;
    int line = 0;
    int perPage = 0;
    for (int row = 0; row < m_rowCount; ++row) {
        if (const std::optional<StockRow> card = m_rows(row)) {
            if (!canvas) {
                if (!painter.begin(&device))
                    return Outcome::DeviceFailed;
                canvas.emplace(painter, device);
                perPage = rowsPerPage(canvas->heightMm);
                line = perPage;
            }
            if (line == perPage) {
                if (page > 0)
                    device.newPage();
                drawPageFrame(*canvas, ++page, m_groupLine, date);
                line = 0;
            }
            drawDetail(*canvas, *card, kFirstDetailTop + line++ * DetailHeight);
        }
        if (progress && !progress(row + 1, m_rowCount))
            return Outcome::Canceled;
    }
    return canvas ? Outcome::Painted : Outcome::NothingToPrint;
}

bool PriceListReport::writePdf(const QString &path) const
{
    if (isEmpty())
        return false;
    QPdfWriter writer(path);
    writer.setPageLayout(pageLayout());
    writer.setTitle(u"Cenník"_s);
    writer.setCreator(u"Omira Predaj"_s);
    return paint(writer) == Outcome::Painted;
}

#include "stock/ui/PriceListReport.h"

#include <QLocale>
#include <QPageLayout>

using namespace Qt::StringLiterals;

namespace {

// The price list's columns across the 190 mm of the page: the name, the price
// ending at 165 mm with its currency at 167 mm under one caption "Jednotková
// cena", and the unit ending at 187 mm.
QList<TableReport::Column> priceListColumns()
{
    return {{u"Názov položky"_s, 149, Qt::AlignLeft},
            {u"Jednotková cena"_s, 17, Qt::AlignRight},
            {QString(), 14, Qt::AlignLeft},
            {u"MJ"_s, 8, Qt::AlignRight}};
}

QLocale priceLocale()
{
    // Without a thousands separator, as prices are written on the shelf.
    QLocale locale(QLocale::Slovak, QLocale::Slovakia);
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

TableReport::RowSource cellsOf(PriceListReport::RowSource rows)
{
    return [rows = std::move(rows), slovak = priceLocale()](int row) -> std::optional<QStringList> {
        const std::optional<StockRow> card = rows(row);
        if (!card)
            return std::nullopt;
        return QStringList{card->nazov + u' ' + card->nazov1 + u' ' + card->nazov2,
                           slovak.toString(card->jc, 'f', 2), u"EUR"_s, card->mj};
    };
}

} // namespace

PriceListReport::PriceListReport(int rowCount, RowSource rows, QString groupLine, QDate date)
    : m_table(u"Cenník"_s, {std::move(groupLine)}, priceListColumns(), rowCount, cellsOf(std::move(rows)),
              date)
{}

QPageLayout PriceListReport::pageLayout()
{
    return TableReport::pageLayout();
}

int PriceListReport::rowsPerPage(double heightMm)
{
    return TableReport::rowsPerPage(heightMm, 1);
}

PriceListReport::Outcome PriceListReport::paint(QPagedPaintDevice &device, const Progress &progress) const
{
    return m_table.paint(device, progress);
}

bool PriceListReport::writePdf(const QString &path) const
{
    return m_table.writePdf(path);
}

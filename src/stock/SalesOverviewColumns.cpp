#include "stock/SalesOverviewColumns.h"

#include <QLocale>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

using Column = SalesOverviewColumns::Column;
using Field = SalesOverviewColumns::Field;
using Kind = SalesOverviewColumns::Kind;
using Choices = SalesOverviewChoices;

// The printable width of A4 portrait between margins of 10 mm.
constexpr double kPageWidthMm = 190;

QList<Column> allColumns()
{
    return {{Field::Closing, u"DU"_s, Kind::Integer, 10},    {Field::Document, u"BL"_s, Kind::Integer, 14},
            {Field::Date, u"DATUM"_s, Kind::Date, 20},       {Field::Code, u"KOD"_s, Kind::Text, 18},
            {Field::Name, u"NAZOV"_s, Kind::Text, 0},        {Field::Quantity, u"POCET"_s, Kind::Amount, 16},
            {Field::Unit, u"MJ"_s, Kind::Text, 10},          {Field::UnitPrice, u"JC"_s, Kind::Amount, 16},
            {Field::Discount, u"ZLAVA"_s, Kind::Amount, 16}, {Field::Total, u"SPOLU"_s, Kind::Amount, 20},
            {Field::VatRate, u"DPH"_s, Kind::Integer, 10}};
}

// The grid's columns 0..4 are the ones a grouping can hide.
bool isShown(Choices::Grouping grouping, Field field)
{
    switch (field) {
    case Field::Closing:
        return Choices::shows(grouping, Choices::Column::Closing);
    case Field::Document:
        return Choices::shows(grouping, Choices::Column::Document);
    case Field::Date:
        return Choices::shows(grouping, Choices::Column::Date);
    default:
        return true;
    }
}

QLocale slovak()
{
    QLocale locale(QLocale::Slovak, QLocale::Slovakia);
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

} // namespace

QList<Column> SalesOverviewColumns::of(Choices::Grouping grouping)
{
    QList<Column> columns;
    double used = 0;
    for (const Column &column : allColumns()) {
        if (isShown(grouping, column.field)) {
            columns.append(column);
            used += column.widthMm;
        }
    }
    for (Column &column : columns) {
        if (column.field == Field::Name)
            column.widthMm = kPageWidthMm - used;
    }
    return columns;
}

qsizetype SalesOverviewColumns::totalColumn(const QList<Column> &columns)
{
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (columns[i].field == Field::Total)
            return i;
    }
    return -1;
}

QVariant SalesOverviewColumns::value(const SalesOverviewRows::Item &item, Field field)
{
    switch (field) {
    case Field::Closing:
        return item.closing;
    case Field::Document:
        return item.document;
    case Field::Date:
        return item.date;
    case Field::Code:
        return item.code;
    case Field::Name:
        return item.name;
    case Field::Quantity:
        return item.quantity;
    case Field::Unit:
        return item.unit;
    case Field::UnitPrice:
        return item.unitPrice;
    case Field::Discount:
        // A difference of prices: to the cent, without the binary rest of the subtraction.
        return std::round(item.discount() * 100) / 100 + 0.0;
    case Field::Total:
        return item.total;
    case Field::VatRate:
        return item.vatRate;
    }
    return {};
}

QString SalesOverviewColumns::text(const SalesOverviewRows::Item &item, const Column &column)
{
    const QVariant cell = value(item, column.field);
    switch (column.kind) {
    case Kind::Integer:
        return QString::number(cell.toInt());
    case Kind::Amount:
        return amountText(cell.toDouble());
    case Kind::Date:
        return cell.toDate().toString(u"dd.MM.yyyy"_s);
    case Kind::Text:
        break;
    }
    return cell.toString();
}

QString SalesOverviewColumns::amountText(double amount)
{
    // A sum of prices that rounds to zero is shown as 0,00, never as -0,00.
    const double rounded = std::round(amount * 100) / 100;
    return slovak().toString(rounded == 0 ? 0.0 : rounded, 'f', 2);
}

QString SalesOverviewColumns::totalText(double total)
{
    const double rounded = std::round(total * 100) / 100;
    return QLocale(QLocale::Slovak, QLocale::Slovakia).toString(rounded == 0 ? 0.0 : rounded, 'f', 2);
}

#pragma once

#include "stock/SalesOverviewChoices.h"
#include "stock/SalesOverviewRows.h"

#include <QList>
#include <QString>
#include <QVariant>

// The columns of the sales overview's item rows as the print and the export give
// them: the item grid's columns that the grouping shows, in the grid's order, with
// the grid's captions. One place for both, so that a printed page and an exported
// sheet of the same selection always agree.
class SalesOverviewColumns
{
public:
    enum class Field {
        Closing,
        Document,
        Date,
        Code,
        Name,
        Quantity,
        Unit,
        UnitPrice,
        Discount,
        Total,
        VatRate
    };
    enum class Kind { Integer, Amount, Date, Text };

    struct Column
    {
        Field field;
        QString caption;
        Kind kind;
        double widthMm; // on the printed A4 page
    };

    // The shown columns of `grouping`; the name column takes the page's width that
    // the others leave.
    static QList<Column> of(SalesOverviewChoices::Grouping grouping);
    // The position of the total (SPOLU) column among `columns`.
    static qsizetype totalColumn(const QList<Column> &columns);

    // A cell as a typed value: int for Integer, double for Amount, QDate (null when
    // the row has none) for Date, QString for Text.
    static QVariant value(const SalesOverviewRows::Item &item, Field field);
    // A cell as the overview shows it: amounts with two decimals and a decimal
    // comma, dates as dd.mm.yyyy.
    static QString text(const SalesOverviewRows::Item &item, const Column &column);
    static QString amountText(double amount);
    // The footer total: with thousands separators, like the grid's footer.
    static QString totalText(double total);
};

#pragma once

#include "stock/StockRow.h"

#include <QLocale>
#include <QString>

// The sale screen's item fields filled from the item list's current stock row
// (the data part of Query_predajAfterScroll).
struct SaleItemFields
{
    QString nazov;
    QString nazov1;
    QString nazov2;
    QString kod;
    QString jc;
    int stockGroup = 0; // becomes the screen's current stock group
    QString mj;
    int vatEntry = 0; // index into the VAT list
    QString quantity;

    static SaleItemFields fromStockRow(const StockRow &row, const QLocale &locale);
};

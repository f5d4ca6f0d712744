#include "pos/SaleItemFields.h"

#include "stock/FieldText.h"

using namespace Qt::StringLiterals;

SaleItemFields SaleItemFields::fromStockRow(const StockRow &row, const QLocale &locale)
{
    SaleItemFields fields;
    fields.nazov = row.nazov;
    fields.nazov1 = row.nazov1;
    fields.nazov2 = row.nazov2;
    fields.kod = row.kod;
    fields.jc = numberFieldText(row.jc, locale);
    fields.stockGroup = row.skladIdx;
    fields.mj = row.mj;
    fields.vatEntry = row.dphIdx;
    fields.quantity = u"1"_s;
    return fields;
}

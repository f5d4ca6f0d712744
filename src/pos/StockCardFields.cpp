#include "pos/StockCardFields.h"

#include "pos/FieldText.h"

std::optional<StockCardFields> StockCardFields::fromCard(const StockRow &card, bool codeFieldFocused,
                                                         const QLocale &locale)
{
    if (codeFieldFocused)
        return std::nullopt;
    StockCardFields fields;
    fields.unitIndex = card.mjIdx;
    fields.vatIndex = card.dphIdx;
    fields.groupIndex = card.skladIdx;
    fields.preferred = card.pref;
    fields.kod = card.kod;
    fields.barcode = card.barcode;
    fields.nazov = card.nazov;
    fields.nazov1 = card.nazov1;
    fields.nazov2 = card.nazov2;
    fields.jc = numberFieldText(card.jc, locale);
    fields.pocet = numberFieldText(card.pocet, locale);
    fields.packaging = card.obal;
    return fields;
}

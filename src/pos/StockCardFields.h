#pragma once

#include "pos/StockRow.h"

#include <QLocale>
#include <QString>

#include <optional>

// The stock-card screen's card fields filled when its stock list moves to
// another row (the data part of Query_skladAfterScroll). The card is the
// stock table's row with the list row's code, looked up with
// StockTable::cardByCode (a bound value, so any code works).
struct StockCardFields
{
    int unitIndex = 0;  // MJ_IDX
    int vatIndex = 0;   // DPH_IDX
    int groupIndex = 0; // SKLAD_IDX
    bool preferred = false;
    QString kod;
    QString barcode;
    QString nazov;
    QString nazov1;
    QString nazov2;
    QString jc;
    QString pocet;
    bool packaging = false;

    // Nothing is filled while the card's code field has the focus: the cashier
    // is typing a code there.
    static std::optional<StockCardFields> fromCard(const StockRow &card, bool codeFieldFocused,
                                                   const QLocale &locale);
};

#pragma once

#include "stock/StockSearch.h"

#include <QString>

// What the stock-card screen's grid lists: the cards whose name or code holds the
// search text anywhere, in one group or all, or while a code is typed, the cards
// whose code begins with it.
struct CardListQuery
{
    StockSearch::Column column = StockSearch::Column::Name; // Name or Code
    QString text;                                           // literal: ' % _ are plain characters
    int group = -1;                                         // >= 0: only cards with SKLAD_IDX == group
    QString codePrefix;                                     // not empty: instead of the group
};

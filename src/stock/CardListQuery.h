#pragma once

#include "stock/StockSearch.h"

#include <QString>

// What the stock-card screen's list shows (StockSearch::cardList): the cards
// whose name (Name) or code (Code) holds the text anywhere, folded like the
// sale screen's search and taken literally, "'", "%" and "_" included, listed
// by that column.
struct CardListQuery
{
    StockSearch::Column column = StockSearch::Column::Name; // Name or Code; Price lists as Name
    QString text;
    int group = -1;     // >= 0: only the cards of this stock group (SKLAD_IDX)
    QString codePrefix; // not empty: instead of the group, only the cards whose code begins with it
};

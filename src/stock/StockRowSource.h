#pragma once

#include "stock/StockRow.h"

#include <QString>

// Stock cards read one by one from a price list outside the data folder: a stock
// table of another installation, in our own format or in the old one.
class StockRowSource
{
public:
    enum class Read {
        Row,    // `row` holds the next card
        End,    // no more cards
        Failed, // the source cannot be read further; error() tells why
    };

    virtual ~StockRowSource() = default;

    // Whether the source's columns are the stock table's, in the same order and
    // of the same types. Cards are taken over column by column, so a table of
    // another layout must be refused before anything is written. False with
    // error() telling what differs.
    virtual bool checkLayout() = 0;
    // The number of cards, or -1 when the source cannot tell in advance.
    virtual qint64 rowCount() const = 0;
    virtual Read next(StockRow &row) = 0;
    virtual QString error() const = 0;
};

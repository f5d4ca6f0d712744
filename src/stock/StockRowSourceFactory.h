#pragma once

#include "stock/StockRowSource.h"

#include <QString>

#include <memory>

// The reader for the price-list table in `path`, picked by what the file holds.
struct OpenedStockRowSource
{
    std::unique_ptr<StockRowSource> source; // none when the file cannot be read
    QString error;                          // why not, for the user
};

OpenedStockRowSource openStockRowSource(const QString &path);

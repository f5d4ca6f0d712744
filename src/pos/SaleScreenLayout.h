#pragma once

#include "stock/ScreenLayoutSettings.h"

#include <QList>
#include <QStringList>

// The sale window's place and its grids' columns as pokladna.ini keeps them
// between runs (section POKL). Saving touches only these keys, so the stock-card
// and overview screens' keys and everything else in the file stay as they are.
struct SaleScreenLayout
{
    ScreenLayoutSettings::Placement placement;
    // Empty when the file keeps no width for the grid (a first start).
    QList<int> documentColumns;
    QList<int> stockColumns;
    QStringList stockFields; // the field shown in each item-list column; "" for the default

    static SaleScreenLayout load(const QString &programFolder, int documentColumnCount, int stockColumnCount);
    // False when the file could not be written.
    bool save(const QString &programFolder) const;
};

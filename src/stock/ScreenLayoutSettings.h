#pragma once

#include <QList>
#include <QStringList>

class IniFile;

// Window places and grid column widths that the point-of-sale screens keep in
// pokladna.ini between runs (sections POKL, SKLAD and PREHLAD).
namespace ScreenLayoutSettings {

enum class Window {
    Sale,       // POKL
    StockCards, // SKLAD
};

enum class Grid {
    SaleDocument,      // POKL COL_D_n
    SaleStock,         // POKL COL_S_n
    StockCards,        // SKLAD COL_n
    OverviewItems,     // PREHLAD COL_n
    OverviewDocuments, // PREHLAD COL_BL_n
};

struct Placement
{
    int left = 0;
    int top = 0;
    int height = 0; // 0: the screen's own default placement
    bool operator==(const Placement &) const = default;
};

constexpr int DefaultColumnWidth = 50;

Placement readPlacement(const IniFile &ini, Window window);
void writePlacement(IniFile &ini, Window window, const Placement &placement);

// Widths of columns 0..count-1; a missing width is 50.
QList<int> readColumnWidths(const IniFile &ini, Grid grid, int count);
// Whether the file keeps a width for any of the first `count` columns of `grid`.
bool hasColumnWidths(const IniFile &ini, Grid grid, int count);
void writeColumnWidths(IniFile &ini, Grid grid, const QList<int> &widths);

// The field shown in each column of the sale screen's stock grid (COL_S_NAME_n).
QStringList readSaleStockFields(const IniFile &ini, int count);
void writeSaleStockFields(IniFile &ini, const QStringList &fields);

} // namespace ScreenLayoutSettings

#include "pos/SaleScreenLayout.h"

#include "base/IniFile.h"
#include "stock/PointOfSaleKeys.h"

using namespace ScreenLayoutSettings;

SaleScreenLayout SaleScreenLayout::load(const QString &programFolder, int documentColumnCount,
                                        int stockColumnCount)
{
    IniFile ini(PointOfSaleKeys::filePath(programFolder));
    ini.load();
    SaleScreenLayout layout;
    layout.placement = readPlacement(ini, Window::Sale);
    if (hasColumnWidths(ini, Grid::SaleDocument, documentColumnCount))
        layout.documentColumns = readColumnWidths(ini, Grid::SaleDocument, documentColumnCount);
    if (hasColumnWidths(ini, Grid::SaleStock, stockColumnCount))
        layout.stockColumns = readColumnWidths(ini, Grid::SaleStock, stockColumnCount);
    layout.stockFields = readSaleStockFields(ini, stockColumnCount);
    return layout;
}

bool SaleScreenLayout::save(const QString &programFolder) const
{
    IniFile ini(PointOfSaleKeys::filePath(programFolder));
    ini.load();
    writePlacement(ini, Window::Sale, placement);
    writeColumnWidths(ini, Grid::SaleDocument, documentColumns);
    writeColumnWidths(ini, Grid::SaleStock, stockColumns);
    writeSaleStockFields(ini, stockFields);
    return ini.save();
}

#include "stock/ScreenLayoutSettings.h"

#include "base/IniFile.h"
#include "base/ProfileAccess.h"

using namespace Qt::StringLiterals;

namespace {

using namespace ScreenLayoutSettings;

QString windowSection(Window window)
{
    return window == Window::Sale ? u"POKL"_s : u"SKLAD"_s;
}

ProfileKey columnKey(Grid grid, int column)
{
    const QString number = QString::number(column);
    switch (grid) {
    case Grid::SaleDocument:
        return {u"POKL"_s, u"COL_D_"_s + number};
    case Grid::SaleStock:
        return {u"POKL"_s, u"COL_S_"_s + number};
    case Grid::StockCards:
        return {u"SKLAD"_s, u"COL_"_s + number};
    case Grid::OverviewItems:
        return {u"PREHLAD"_s, u"COL_"_s + number};
    case Grid::OverviewDocuments:
        return {u"PREHLAD"_s, u"COL_BL_"_s + number};
    }
    return {};
}

ProfileKey saleStockFieldKey(int column)
{
    return {u"POKL"_s, u"COL_S_NAME_"_s + QString::number(column)};
}

} // namespace

Placement ScreenLayoutSettings::readPlacement(const IniFile &ini, Window window)
{
    const QString section = windowSection(window);
    Placement placement;
    placement.left = ProfileAccess::readInt(ini, {section, u"LEFT"_s}, 0);
    placement.top = ProfileAccess::readInt(ini, {section, u"TOP"_s}, 0);
    placement.height = ProfileAccess::readInt(ini, {section, u"HEIGHT"_s}, 0);
    return placement;
}

void ScreenLayoutSettings::writePlacement(IniFile &ini, Window window, const Placement &placement)
{
    const QString section = windowSection(window);
    ProfileAccess::writeInt(ini, {section, u"LEFT"_s}, placement.left);
    ProfileAccess::writeInt(ini, {section, u"TOP"_s}, placement.top);
    ProfileAccess::writeInt(ini, {section, u"HEIGHT"_s}, placement.height);
}

QList<int> ScreenLayoutSettings::readColumnWidths(const IniFile &ini, Grid grid, int count)
{
    QList<int> widths;
    for (int column = 0; column < count; ++column)
        widths.append(ProfileAccess::readInt(ini, columnKey(grid, column), DefaultColumnWidth));
    return widths;
}

bool ScreenLayoutSettings::hasColumnWidths(const IniFile &ini, Grid grid, int count)
{
    for (int column = 0; column < count; ++column) {
        const ProfileKey key = columnKey(grid, column);
        if (ini.hasKey(key.section, key.name))
            return true;
    }
    return false;
}

void ScreenLayoutSettings::writeColumnWidths(IniFile &ini, Grid grid, const QList<int> &widths)
{
    for (int column = 0; column < widths.size(); ++column)
        ProfileAccess::writeInt(ini, columnKey(grid, column), widths[column]);
}

QStringList ScreenLayoutSettings::readSaleStockFields(const IniFile &ini, int count)
{
    QStringList fields;
    for (int column = 0; column < count; ++column)
        fields.append(ProfileAccess::readString(ini, saleStockFieldKey(column), QString()));
    return fields;
}

void ScreenLayoutSettings::writeSaleStockFields(IniFile &ini, const QStringList &fields)
{
    for (int column = 0; column < fields.size(); ++column)
        ProfileAccess::writeString(ini, saleStockFieldKey(column), fields[column]);
}

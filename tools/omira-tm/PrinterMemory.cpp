#include "omira-tm/PrinterMemory.h"

using namespace Qt::StringLiterals;

PrinterMemory PrinterMemory::factoryDefaults()
{
    PrinterMemory state;
    state.headerLines = {u"Cvičná predajňa Omira"_s, u"Hlavná 1, 811 01 Bratislava"_s,
                         u"IČO: 12345678  DIČ: 2020123456"_s};
    state.taxCode = u"2020123456"_s;
    state.build = u"0417"_s;
    return state;
}

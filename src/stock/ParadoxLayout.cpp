#include "stock/ParadoxLayout.h"

using namespace Qt::StringLiterals;

namespace ParadoxLayout {
namespace {

ParadoxTable::FieldType paradoxType(TableLayouts::FieldType type)
{
    using enum TableLayouts::FieldType;
    switch (type) {
    case Alpha:
        return ParadoxTable::FieldType::Alpha;
    case LongInteger:
        return ParadoxTable::FieldType::LongInteger;
    case Number:
        return ParadoxTable::FieldType::Number;
    case Logical:
        return ParadoxTable::FieldType::Logical;
    case Date:
        return ParadoxTable::FieldType::Date;
    case Time:
        return ParadoxTable::FieldType::Time;
    }
    return ParadoxTable::FieldType::Other;
}

QString typeName(ParadoxTable::FieldType type)
{
    using enum ParadoxTable::FieldType;
    switch (type) {
    case Alpha:
        return u"text"_s;
    case LongInteger:
        return u"celé číslo"_s;
    case Number:
        return u"číslo"_s;
    case Logical:
        return u"logická hodnota"_s;
    case Date:
        return u"dátum"_s;
    case Time:
        return u"čas"_s;
    case Short:
        return u"krátke celé číslo"_s;
    case Currency:
        return u"peňažná suma"_s;
    case AutoIncrement:
        return u"počítadlo"_s;
    case Other:
        break;
    }
    return u"iný typ"_s;
}

} // namespace

QString difference(const QList<ParadoxTable::Field> &fields, std::span<const TableLayouts::Field> layout)
{
    const qsizetype common = std::min(fields.size(), qsizetype(layout.size()));
    for (qsizetype i = 0; i < common; ++i) {
        const QString expected = QString::fromUtf16(layout[i].name);
        const ParadoxTable::FieldType type = paradoxType(layout[i].type);
        if (fields[i].name.compare(expected, Qt::CaseInsensitive) != 0 || fields[i].type != type)
            return u"Stĺpec č. %1 má byť %2 (%3), tabuľka má %4 (%5)."_s.arg(i + 1).arg(
                expected, typeName(type), fields[i].name, typeName(fields[i].type));
    }
    if (fields.size() != qsizetype(layout.size()))
        return u"Tabuľka má %1 stĺpcov, očakáva sa %2."_s.arg(fields.size()).arg(layout.size());
    return {};
}

} // namespace ParadoxLayout

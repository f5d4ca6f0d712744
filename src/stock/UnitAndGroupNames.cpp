#include "stock/UnitAndGroupNames.h"

#include "base/IniFile.h"
#include "base/Paths.h"
#include "base/ProfileAccess.h"
#include "stock/DataFolder.h"

using namespace Qt::StringLiterals;

namespace {

ProfileKey unitKey(int index)
{
    return {u"SKLAD"_s, u"MJ_"_s + QString::number(index)};
}

ProfileKey groupKey(int index)
{
    return {u"SKLAD"_s, u"SKUP_"_s + QString::number(index)};
}

template <std::size_t N> void fillFromList(std::array<QString, N> &table, const QStringList &list, int length)
{
    for (std::size_t i = 0; i < N; ++i)
        table[i] = i < std::size_t(list.size()) ? fitToSlot(list[qsizetype(i)], length) : QString();
}

template <std::size_t N> QStringList usedEntries(const std::array<QString, N> &table)
{
    QStringList list;
    for (const QString &entry : table) {
        if (!entry.isEmpty())
            list.append(entry);
    }
    return list;
}

} // namespace

UnitAndGroupNames UnitAndGroupNames::defaults()
{
    UnitAndGroupNames names;
    names.units[0] = u"krát"_s;
    names.units[1] = u"ks"_s;
    return names;
}

UnitAndGroupNames UnitAndGroupNames::read(const IniFile &ini)
{
    const UnitAndGroupNames preset = defaults();
    UnitAndGroupNames names;
    for (int i = 0; i < UnitCount; ++i)
        names.units[i] =
            fitToSlot(ProfileAccess::readString(ini, unitKey(i), preset.units[i]), UnitNameLength);
    for (int i = 0; i < GroupCount; ++i)
        names.groups[i] =
            fitToSlot(ProfileAccess::readString(ini, groupKey(i), preset.groups[i]), GroupNameLength);
    return names;
}

UnitAndGroupNames UnitAndGroupNames::load(const QString &dataFolder)
{
    IniFile ini(filePath(dataFolder));
    ini.load();
    return read(ini);
}

UnitAndGroupNames UnitAndGroupNames::fromLists(const QStringList &units, const QStringList &groups)
{
    UnitAndGroupNames names;
    fillFromList(names.units, units, UnitNameLength);
    fillFromList(names.groups, groups, GroupNameLength);
    return names;
}

void UnitAndGroupNames::write(IniFile &ini) const
{
    for (int i = 0; i < UnitCount; ++i)
        ProfileAccess::writeString(ini, unitKey(i), fitToSlot(units[i], UnitNameLength));
    for (int i = 0; i < GroupCount; ++i)
        ProfileAccess::writeString(ini, groupKey(i), fitToSlot(groups[i], GroupNameLength));
}

bool UnitAndGroupNames::save(const QString &dataFolder) const
{
    return ProfileAccess::update(filePath(dataFolder), [this](IniFile &ini) { write(ini); });
}

QStringList UnitAndGroupNames::unitList() const
{
    return usedEntries(units);
}

QStringList UnitAndGroupNames::groupList() const
{
    return usedEntries(groups);
}

QString UnitAndGroupNames::fileName()
{
    return u"vx60_sklad.ini"_s;
}

QString UnitAndGroupNames::filePath(const QString &dataFolder)
{
    return DataFolder::file(dataFolder, fileName());
}

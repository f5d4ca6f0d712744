#pragma once

#include <QString>
#include <QStringList>

#include <array>

class IniFile;

// The unit-name and group-name tables of the stock cards, kept in the data
// folder's vx60_sklad.ini. Stock cards store positions in these tables, so an
// empty entry is a slot of its own and entries never move on reading or writing.
struct UnitAndGroupNames
{
    static constexpr int UnitCount = 15;
    static constexpr int UnitNameLength = 6; // 7-byte slots
    static constexpr int GroupCount = 15;
    static constexpr int GroupNameLength = 99; // 100-byte slots

    std::array<QString, UnitCount> units;
    std::array<QString, GroupCount> groups;

    // "krát" and "ks" as units 0 and 1, nothing else.
    static UnitAndGroupNames defaults();
    // Defaults apply only to missing keys: an empty MJ_0 stays empty. A name
    // longer than its slot is cut to the slot, as a fixed slot would hold it.
    static UnitAndGroupNames read(const IniFile &ini);
    static UnitAndGroupNames load(const QString &dataFolder);

    // Tables without gaps, as the maintenance screen builds them: entries
    // 0..n-1 from the lists (cut to their slots, anything past 15 dropped).
    static UnitAndGroupNames fromLists(const QStringList &units, const QStringList &groups);

    // All 30 keys, units first, an unused entry as an empty value.
    void write(IniFile &ini) const;
    bool save(const QString &dataFolder) const;

    // The used entries in table order, as the screens' lists show them.
    QStringList unitList() const;
    QStringList groupList() const;

    static QString fileName(); // "vx60_sklad.ini"
    static QString filePath(const QString &dataFolder);

    bool operator==(const UnitAndGroupNames &) const = default;
};

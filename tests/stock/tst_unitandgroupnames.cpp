#include "TestPaths.h"
#include "base/Cp1250.h"
#include "base/IniFile.h"
#include "stock/UnitAndGroupNames.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

static IniFile iniOf(const QByteArray &content)
{
    IniFile ini(QString{});
    ini.setBytes(content);
    return ini;
}

class TestUnitAndGroupNames : public QObject
{
    Q_OBJECT

private slots:
    void missingFileGivesTwoUnitsAndNoGroups();
    void saveWritesAllKeysUnitsFirst();
    void emptyEntriesStayEmptyAndInPlace();
    void saveKeepsCommentsAndOtherKeys();
    void namesLongerThanTheirSlotAreCut_data();
    void namesLongerThanTheirSlotAreCut();
    void listsBecomeTablesWithoutGaps();
    void filePathInTheDataFolder_data();
    void filePathInTheDataFolder();
};

void TestUnitAndGroupNames::missingFileGivesTwoUnitsAndNoGroups()
{
    QTemporaryDir dir;
    const UnitAndGroupNames names = UnitAndGroupNames::load(dir.path() + u'/');
    QCOMPARE(names.unitList(), (QStringList{u"krát"_s, u"ks"_s}));
    QVERIFY(names.groupList().isEmpty());
    QCOMPARE(names, UnitAndGroupNames::defaults());
}

void TestUnitAndGroupNames::saveWritesAllKeysUnitsFirst()
{
    QTemporaryDir dir;
    UnitAndGroupNames names = UnitAndGroupNames::defaults();
    names.units[2] = u"kg"_s;
    names.groups[0] = u"Pečivo"_s;
    QVERIFY(names.save(dir.path() + u'/'));

    QByteArray expected = "[SKLAD]\r\nMJ_0=kr\xe1t\r\nMJ_1=ks\r\nMJ_2=kg\r\n";
    for (int i = 3; i < 15; ++i)
        expected += "MJ_" + QByteArray::number(i) + "=\r\n";
    expected += "SKUP_0=Pe\xe8ivo\r\n";
    for (int i = 1; i < 15; ++i)
        expected += "SKUP_" + QByteArray::number(i) + "=\r\n";
    QCOMPARE(TestPaths::readFile(dir.filePath(u"vx60_sklad.ini"_s)), expected);
}

void TestUnitAndGroupNames::emptyEntriesStayEmptyAndInPlace()
{
    // Defaults fill only missing keys; an emptied entry keeps the positions of
    // the entries after it, which stock cards refer to.
    QTemporaryDir dir;
    UnitAndGroupNames names;
    names.units[1] = u"l"_s;
    names.groups[3] = u"Nápoje"_s;
    QVERIFY(names.save(dir.path()));
    const UnitAndGroupNames reread = UnitAndGroupNames::load(dir.path());
    QCOMPARE(reread, names);
    QVERIFY(reread.units[0].isEmpty());
    QCOMPARE(reread.groups[3], u"Nápoje"_s);

    const UnitAndGroupNames mixedCase =
        UnitAndGroupNames::read(iniOf("[sklad]\r\nmj_0=\r\nSkup_14=Posledn\xe1\r\n"));
    QVERIFY(mixedCase.units[0].isEmpty());
    QCOMPARE(mixedCase.units[1], u"ks"_s);
    QCOMPARE(mixedCase.groups[14], u"Posledná"_s);
}

void TestUnitAndGroupNames::saveKeepsCommentsAndOtherKeys()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"vx60_sklad.ini"_s);
    TestPaths::writeFile(path, "; jednotky a skupiny\n[SKLAD]\nMJ_0=bal\n; koniec jednotiek\nPOZNAMKA=x\n"
                               "[INE]\nA=1\n");
    UnitAndGroupNames names = UnitAndGroupNames::load(dir.path());
    QCOMPARE(names.units[0], u"bal"_s);
    names.units[0] = u"krab"_s;
    QVERIFY(names.save(dir.path()));

    const QByteArray saved = TestPaths::readFile(path);
    QVERIFY(saved.startsWith(
        "; jednotky a skupiny\n[SKLAD]\nMJ_0=krab\n; koniec jednotiek\nPOZNAMKA=x\nMJ_1=ks\n"));
    QVERIFY(saved.endsWith("SKUP_14=\n[INE]\nA=1\n"));
    QCOMPARE(UnitAndGroupNames::load(dir.path()), names);
}

void TestUnitAndGroupNames::namesLongerThanTheirSlotAreCut_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("kept");

    QTest::newRow("unit of 6 kept whole") << u"MJ_3"_s << 6 << 6;
    QTest::newRow("unit of 7 cut") << u"MJ_3"_s << 7 << 6;
    QTest::newRow("unit far too long") << u"MJ_0"_s << 500 << 6;
    QTest::newRow("group of 99 kept whole") << u"SKUP_2"_s << 99 << 99;
    QTest::newRow("group of 100 cut") << u"SKUP_2"_s << 100 << 99;
}

void TestUnitAndGroupNames::namesLongerThanTheirSlotAreCut()
{
    QFETCH(QString, key);
    QFETCH(int, length);
    QFETCH(int, kept);

    const QString name = QString(length, u'ľ');
    const UnitAndGroupNames names =
        UnitAndGroupNames::read(iniOf("[SKLAD]\r\n" + key.toLatin1() + '=' + Cp1250::encode(name) + "\r\n"));
    const int index = key.section(u'_', 1).toInt();
    QCOMPARE(key.startsWith(u"MJ"_s) ? names.units[index] : names.groups[index], name.first(kept));

    // What a screen puts into memory is cut on saving as well.
    UnitAndGroupNames changed;
    changed.units[5] = name;
    changed.groups[5] = name;
    IniFile ini(QString{});
    changed.write(ini);
    QCOMPARE(ini.readString(u"SKLAD"_s, u"MJ_5"_s, {}).size(), std::min(length, 6));
    QCOMPARE(ini.readString(u"SKLAD"_s, u"SKUP_5"_s, {}).size(), std::min(length, 99));
}

void TestUnitAndGroupNames::listsBecomeTablesWithoutGaps()
{
    QStringList units;
    for (int i = 0; i < 17; ++i)
        units.append(u"u%1"_s.arg(i));
    const UnitAndGroupNames names = UnitAndGroupNames::fromLists(units, {u"A"_s, u"Dlhá skupina"_s});
    QCOMPARE(names.unitList(), units.first(15));
    QCOMPARE(names.groups[0], u"A"_s);
    QCOMPARE(names.groups[1], u"Dlhá skupina"_s);
    for (int i = 2; i < 15; ++i)
        QVERIFY(names.groups[i].isEmpty());
    QCOMPARE(UnitAndGroupNames::fromLists({u"kilogram"_s}, {}).units[0], u"kilogr"_s);
}

void TestUnitAndGroupNames::filePathInTheDataFolder_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("path");

    QTest::newRow("with separator") << u"/data/cennik/"_s << u"/data/cennik/vx60_sklad.ini"_s;
    QTest::newRow("Windows separator") << u"X:\\cennik\\"_s << u"X:\\cennik\\vx60_sklad.ini"_s;
    QTest::newRow("without separator") << u"/data/cennik"_s << u"/data/cennik/vx60_sklad.ini"_s;
    QTest::newRow("empty is the current folder, not the root") << QString() << u"vx60_sklad.ini"_s;
}

void TestUnitAndGroupNames::filePathInTheDataFolder()
{
    QFETCH(QString, folder);
    QFETCH(QString, path);
    QCOMPARE(UnitAndGroupNames::filePath(folder), path);
}

QTEST_GUILESS_MAIN(TestUnitAndGroupNames)
#include "tst_unitandgroupnames.moc"

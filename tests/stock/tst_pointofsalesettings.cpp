#include "TestPaths.h"
#include "app/ConfigurationLoader.h"
#include "base/Cp1250.h"
#include "base/IniFile.h"
#include "base/ProfileAccess.h"
#include "stock/PointOfSaleSettings.h"
#include "stock/ScreenLayoutSettings.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

// A program folder whose cennik/pokladna.ini the test writes.
class ProgramFolder
{
public:
    ProgramFolder() { QDir(m_dir.path()).mkpath(u"cennik"_s); }
    QString path() const { return m_dir.path(); }
    QString settingsFile() const { return m_dir.filePath(u"cennik/pokladna.ini"_s); }
    void write(const QByteArray &content) const { TestPaths::writeFile(settingsFile(), content); }
    QByteArray content() const { return TestPaths::readFile(settingsFile()); }

private:
    QTemporaryDir m_dir;
};

static IniFile iniOf(const QByteArray &content)
{
    IniFile ini(QString{});
    ini.setBytes(content);
    return ini;
}

// A settings value of every kind, different from its default.
static PointOfSaleSettings changedSettings(const QString &programFolder)
{
    PointOfSaleSettings settings = PointOfSaleSettings::defaults(programFolder);
    settings.serialNumber = u"ZX-0042"_s;
    settings.printerModel = 9;
    settings.saleScreenAtStart = 0;
    settings.demo = true;
    settings.printManagerInput = u"D:\\pm\\in\\blocek*.txt"_s;
    settings.infoTimeout = 20000;
    settings.statusTimeout = 9000;
    settings.repeatPeriod = 250;
    settings.cashierRequired = 1;
    settings.qlerk = u"QLERKXYZ"_s;
    settings.printManagerTitle = u"TM okno"_s;
    settings.terminatePrintManager = false;
    settings.dataFolder = u"\\\\server\\cennik\\"_s;
    settings.paymentMeans[0] = u"Hotovosť €:"_s;
    settings.paymentMeans[9] = u"  Poukážky "_s;
    settings.cashiers[0] = u"Ľubica Šťastná"_s;
    settings.cashiers[4] = u"\"Jano\""_s;
    settings.paymentDialog = 0;
    settings.serviceTelephone = u"0905 123 456"_s;
    settings.serviceName = u"Servis Žilina, s.r.o."_s;
    return settings;
}

class TestPointOfSaleSettings : public QObject
{
    Q_OBJECT

private slots:
    void missingFileGivesDefaults();
    void missingPaymentSectionGivesDefaultNames();
    void freshFileHasKeysInSaveOrder();
    void saveKeepsCommentsUnknownKeysAndLayout();
    void roundTrip();
    void namesLongerThanTheirSlotAreCut_data();
    void namesLongerThanTheirSlotAreCut();
    void unreadableFileIsNotReplaced();
    void applyToGivesWhatTheStartupLoaderReads_data();
    void applyToGivesWhatTheStartupLoaderReads();
    void storedValueReadsBackUnchanged_data();
    void storedValueReadsBackUnchanged();
    void tillNumber_data();
    void tillNumber();
    void databaseServer_data();
    void databaseServer();
    void printerModelNames();
    void screenLayoutDefaultsAndRoundTrip();
};

void TestPointOfSaleSettings::missingFileGivesDefaults()
{
    ProgramFolder folder;
    const PointOfSaleSettings settings = PointOfSaleSettings::load(folder.path());
    QCOMPARE(settings, PointOfSaleSettings::defaults(folder.path()));
    QCOMPARE(settings.printManagerInput, folder.path() + u"/blocek.txt"_s);
    QCOMPARE(settings.dataFolder, folder.path() + u"/cennik/"_s);
    QCOMPARE(settings.printManagerTitle, u"RL70ZQ"_s);
    QCOMPARE(settings.qlerk, u"QLERKQWYN"_s);
    QCOMPARE(settings.infoTimeout, 15000);
    QCOMPARE(settings.statusTimeout, 8000);
    QCOMPARE(settings.repeatPeriod, 300);
    QCOMPARE(settings.saleScreenAtStart, 1);
    QCOMPARE(settings.paymentDialog, 1);
    QVERIFY(settings.terminatePrintManager && !settings.demo);
    QCOMPARE(settings.printerModel, 0);
    QVERIFY(settings.serialNumber.isEmpty());
    QVERIFY(!settings.serviceName.isEmpty() && !settings.serviceTelephone.isEmpty());
    for (const QString &cashier : settings.cashiers)
        QVERIFY(cashier.isEmpty());
}

void TestPointOfSaleSettings::missingPaymentSectionGivesDefaultNames()
{
    ProgramFolder folder;
    folder.write("[CONFIG]\r\nVC=123\r\n");
    const PointOfSaleSettings settings = PointOfSaleSettings::load(folder.path());
    const std::array<QString, 10> expected = {u"Hotovosť:"_s, u"Platobná karta:"_s, u"Stravné lístky:"_s,
                                              u"Šeky:"_s, u"Platba faktúr:"_s};
    QCOMPARE(settings.paymentMeans, expected);
    QCOMPARE(settings.serialNumber, u"123"_s);
}

void TestPointOfSaleSettings::freshFileHasKeysInSaveOrder()
{
    ProgramFolder folder;
    PointOfSaleSettings settings = PointOfSaleSettings::defaults(folder.path());
    settings.printManagerInput = u"C:\\Omira\\blocek.txt"_s;
    settings.dataFolder = u"C:\\Omira\\cennik\\"_s;
    settings.serialNumber = u"VC1"_s;
    settings.cashiers[1] = u"Mária"_s;
    QVERIFY(settings.save(folder.path()));

    QByteArray expected =
        "[CONFIG]\r\nVC=VC1\r\nMODEL=0\r\nPOKL_START=1\r\nDEMO=0\r\nLAN=1\r\n"
        "TL_MAN=C:\\Omira\\blocek.txt\r\nLAN_INFO=15000\r\nLAN_DC=8000\r\nLAN_REPEAT=300\r\n"
        "POKLADNIK=0\r\nQLERK=QLERKQWYN\r\nTM=RL70ZQ\r\nENDTM=1\r\n"
        "LAN_PATH=C:\\Omira\\cennik\\\r\n\r\n[PLATBA]\r\n"
        "PLAT_1=Hotovos\x9d:\r\nPLAT_2=Platobn\xe1 karta:\r\nPLAT_3=Stravn\xe9 l\xedstky:\r\n"
        "PLAT_4=\x8a"
        "eky:\r\nPLAT_5=Platba fakt\xfar:\r\nPLAT_6=\r\nPLAT_7=\r\nPLAT_8=\r\n"
        "PLAT_9=\r\nPLAT_10=\r\nSHOW=1\r\n\r\n[POKLADNIK]\r\nPOKL_1=\r\nPOKL_2=M\xe1ria\r\n"
        "POKL_3=\r\nPOKL_4=\r\nPOKL_5=\r\nPOKL_6=\r\nPOKL_7=\r\nPOKL_8=\r\nPOKL_9=\r\n"
        "POKL_10=\r\n\r\n[SERVIS]\r\n";
    expected += "TEL=" + Cp1250::encode(settings.serviceTelephone) +
                "\r\nNAZOV=" + Cp1250::encode(settings.serviceName) + "\r\n";
    QCOMPARE(folder.content(), expected);
}

void TestPointOfSaleSettings::saveKeepsCommentsUnknownKeysAndLayout()
{
    ProgramFolder folder;
    const QByteArray original = "; nastavenie pokladne\r\n"
                                "[CONFIG]\r\n"
                                "VC=OLD\r\n"
                                "; model tlaciarne\r\n"
                                "  model = 3\r\n"
                                "VLASTNY=ponechat\r\n"
                                "\r\n"
                                "[POKL]\r\n"
                                "LEFT=10\r\n"
                                "COL_D_0=77\r\n"
                                "\r\n"
                                "[INE]\r\n"
                                "X=1\r\n";
    folder.write(original);
    PointOfSaleSettings settings = PointOfSaleSettings::load(folder.path());
    QCOMPARE(settings.printerModel, 3);
    settings.serialNumber = u"NEW"_s;
    QVERIFY(settings.save(folder.path()));

    const QByteArray saved = folder.content();
    QVERIFY(
        saved.startsWith("; nastavenie pokladne\r\n[CONFIG]\r\nVC=NEW\r\n; model tlaciarne\r\n  model=3\r\n"
                         "VLASTNY=ponechat\r\nPOKL_START=1\r\n"));
    QVERIFY(saved.contains("\r\n[POKL]\r\nLEFT=10\r\nCOL_D_0=77\r\n\r\n[INE]\r\nX=1\r\n"));
    const IniFile ini = iniOf(saved);
    QCOMPARE(ini.readString(u"INE"_s, u"X"_s, {}), u"1"_s);
    QCOMPARE(PointOfSaleSettings::read(ini, folder.path()), settings);
}

void TestPointOfSaleSettings::roundTrip()
{
    ProgramFolder folder;
    const PointOfSaleSettings settings = changedSettings(folder.path());
    QVERIFY(settings.save(folder.path()));
    QCOMPARE(PointOfSaleSettings::load(folder.path()), settings);

    // A second save of unchanged values leaves the file as it was.
    const QByteArray first = folder.content();
    QVERIFY(PointOfSaleSettings::load(folder.path()).save(folder.path()));
    QCOMPARE(folder.content(), first);
}

void TestPointOfSaleSettings::namesLongerThanTheirSlotAreCut_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("kept");

    QTest::newRow("payment means of 31 kept whole") << QByteArray("[PLATBA]\r\nPLAT_2=") << 31 << 31;
    QTest::newRow("payment means of 32 cut") << QByteArray("[PLATBA]\r\nPLAT_2=") << 32 << 31;
    QTest::newRow("tenth payment means, lower case") << QByteArray("[platba]\r\nplat_10=") << 80 << 31;
    QTest::newRow("cashier of 39 kept whole") << QByteArray("[POKLADNIK]\r\nPOKL_2=") << 39 << 39;
    QTest::newRow("cashier of 40 cut") << QByteArray("[POKLADNIK]\r\nPOKL_2=") << 40 << 39;
}

void TestPointOfSaleSettings::namesLongerThanTheirSlotAreCut()
{
    QFETCH(QByteArray, key);
    QFETCH(int, length);
    QFETCH(int, kept);

    const QString name = QString(length, u'ž');
    const PointOfSaleSettings settings =
        PointOfSaleSettings::read(iniOf(key + Cp1250::encode(name) + "\r\n"), u"/p"_s);
    const bool payment = key.toUpper().contains("PLAT");
    const QString value = payment ? settings.paymentMeans[key.endsWith("10=") ? 9 : 1] : settings.cashiers[1];
    QCOMPARE(value, name.first(kept));

    // A name set in memory is cut on saving too, never written past its slot.
    PointOfSaleSettings changed = settings;
    changed.paymentMeans[3] = name;
    changed.cashiers[3] = name;
    IniFile ini(QString{});
    changed.write(ini);
    QCOMPARE(ini.readString(u"PLATBA"_s, u"PLAT_4"_s, {}).size(), std::min(length, 31));
    QCOMPARE(ini.readString(u"POKLADNIK"_s, u"POKL_4"_s, {}).size(), std::min(length, 39));
}

void TestPointOfSaleSettings::unreadableFileIsNotReplaced()
{
    // A folder where the file should be cannot be read as a file, whoever runs the test.
    ProgramFolder folder;
    QVERIFY(QDir().mkpath(folder.settingsFile()));
    QVERIFY(!changedSettings(folder.path()).save(folder.path()));
    QVERIFY(QFileInfo(folder.settingsFile()).isDir());

    // Not writable: reported, never claimed as saved.
    ProgramFolder other;
    QVERIFY(QDir(other.path()).rmdir(u"cennik"_s));
    QVERIFY(!changedSettings(other.path()).save(other.path()));
}

void TestPointOfSaleSettings::applyToGivesWhatTheStartupLoaderReads_data()
{
    QTest::addColumn<QByteArray>("content");

    QTest::newRow("no file") << QByteArray();
    QTest::newRow("every key") << QByteArray(
        "[CONFIG]\r\nTL_MAN=D:\\pm\\in\\blocek*.txt\r\nPOKL_START=2\r\nDEMO=5\r\nLAN=0\r\nLAN_INFO=1\r\n"
        "LAN_DC=2\r\nLAN_REPEAT=3\r\nPOKLADNIK=7\r\nENDTM=0\r\nTM=Okno\r\nLAN_PATH=E:\\data\r\nPOKLADNA=4\r\n"
        "[POKLADNIK]\r\nPOKL_1=Anna\r\nPOKL_10=0123456789012345678901234567890123456789xyz\r\n"
        "[PLATBA]\r\nSHOW=0\r\nPLAT_1=Kar\x9ata\r\nplat_10=Desiata\r\n");
    QTest::newRow("values that are not numbers") << QByteArray("[CONFIG]\r\nLAN_INFO=abc\r\nPOKL_START=\r\n"
                                                               "[PLATBA]\r\nSHOW=x\r\n");
    QTest::newRow("empty data folder and input file") << QByteArray("[CONFIG]\r\nLAN_PATH=\r\nTL_MAN=\r\n");
}

void TestPointOfSaleSettings::applyToGivesWhatTheStartupLoaderReads()
{
    QFETCH(QByteArray, content);
    ProgramFolder folder;
    if (!content.isEmpty())
        folder.write(content);
    const Configuration loaded = LoadConfiguration(folder.path(), CommandLine{});

    Configuration applied;
    PointOfSaleSettings::load(folder.path()).applyTo(applied);
    QCOMPARE(applied.printManagerInput, loaded.printManagerInput);
    QCOMPARE(applied.exchangeFolder, loaded.exchangeFolder);
    QCOMPARE(applied.saleScreenAtStart, loaded.saleScreenAtStart);
    QCOMPARE(applied.demo, loaded.demo);
    QCOMPARE(applied.lan, loaded.lan);
    QCOMPARE(applied.infoTimeout, loaded.infoTimeout);
    QCOMPARE(applied.statusTimeout, loaded.statusTimeout);
    QCOMPARE(applied.repeatPeriod, loaded.repeatPeriod);
    QCOMPARE(applied.cashierRequired, loaded.cashierRequired);
    QCOMPARE(applied.terminatePrintManager, loaded.terminatePrintManager);
    QCOMPARE(applied.printManagerTitle, loaded.printManagerTitle);
    QCOMPARE(applied.dataFolder, loaded.dataFolder);
    QCOMPARE(applied.tillNumber, loaded.tillNumber);
    QCOMPARE(applied.cashiers, loaded.cashiers);
    QCOMPARE(applied.paymentDialog, loaded.paymentDialog);
    QCOMPARE(applied.paymentMeans, loaded.paymentMeans);
}

void TestPointOfSaleSettings::storedValueReadsBackUnchanged_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("readBack");

    QTest::newRow("plain") << u"Hotovosť:"_s << u"Hotovosť:"_s;
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("blanks at the ends") << u"  Karta "_s << u"  Karta "_s;
    QTest::newRow("tab at the start") << u"\tKarta"_s << u"\tKarta"_s;
    QTest::newRow("double quotes around") << u"\"Šeky\""_s << u"\"Šeky\""_s;
    QTest::newRow("single quotes around") << u"'x'"_s << u"'x'"_s;
    QTest::newRow("two quotes only") << u"\"\""_s << u"\"\""_s;
    QTest::newRow("quote inside") << u"Jack's \"bar\" x"_s << u"Jack's \"bar\" x"_s;
    QTest::newRow("equals sign and semicolon") << u"a=b;c"_s << u"a=b;c"_s;
    // A line break would start a new line of the file, a NUL end the value.
    QTest::newRow("line breaks become blanks") << u"a\r\nb\nc\rd"_s << u"a b c d"_s;
    QTest::newRow("NUL becomes a blank") << u"a"_s + QChar(0) + u"b"_s << u"a b"_s;
}

void TestPointOfSaleSettings::storedValueReadsBackUnchanged()
{
    QFETCH(QString, value);
    QFETCH(QString, readBack);

    IniFile ini(QString{});
    ini.setString(u"S"_s, u"BEFORE"_s, u"1"_s);
    ProfileAccess::writeString(ini, {u"S"_s, u"K"_s}, value);
    ini.setString(u"S"_s, u"AFTER"_s, u"2"_s);
    const IniFile reread = iniOf(ini.toBytes());
    QCOMPARE(reread.readString(u"S"_s, u"K"_s, u"missing"_s), readBack);
    QCOMPARE(reread.readString(u"S"_s, u"AFTER"_s, {}), u"2"_s);
}

void TestPointOfSaleSettings::tillNumber_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("number");
    QTest::newRow("missing: a folder of one till") << QByteArray() << 1;
    QTest::newRow("set") << QByteArray("POKLADNA=3") << 3;
    QTest::newRow("lower case") << QByteArray("pokladna=12") << 12;
    QTest::newRow("zero") << QByteArray("POKLADNA=0") << 1;
    QTest::newRow("negative") << QByteArray("POKLADNA=-2") << 1;
    QTest::newRow("not a number") << QByteArray("POKLADNA=druha") << 1;
}

// The confirmed save leaves the key as the hand that set it wrote it.
void TestPointOfSaleSettings::tillNumber()
{
    QFETCH(QByteArray, line);
    QFETCH(int, number);
    ProgramFolder folder;
    folder.write("[CONFIG]\r\nVC=1\r\n" + line + "\r\n");
    const PointOfSaleSettings settings = PointOfSaleSettings::load(folder.path());
    QCOMPARE(settings.tillNumber, number);
    QCOMPARE(LoadConfiguration(folder.path(), CommandLine{}).tillNumber, number);
    QVERIFY(settings.save(folder.path()));
    QCOMPARE(folder.content().toUpper().count("POKLADNA="), line.isEmpty() ? 0 : 1);
    QVERIFY(folder.content().contains(line));
}

void TestPointOfSaleSettings::databaseServer_data()
{
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("connection");
    using Kind = DataServer::Kind;
    QTest::newRow("missing: the folder's files") << QByteArray() << int(Kind::Files) << QString();
    QTest::newRow("SQLITE") << QByteArray("[DATABAZA]\r\nSERVER=SQLITE\r\n") << int(Kind::Files) << QString();
    QTest::newRow("server by service name")
        << QByteArray("[DATABAZA]\r\nSERVER=PostgreSQL\r\nSPOJENIE=service=obchod\r\n")
        << int(Kind::PostgreSql) << u"service=obchod"_s;
    QTest::newRow("server by host")
        << QByteArray("[DATABAZA]\r\nSERVER=POSTGRESQL\r\nSPOJENIE=host=192.168.1.10 dbname=obchod\r\n")
        << int(Kind::PostgreSql) << u"host=192.168.1.10 dbname=obchod"_s;
    // A misspelt server must not leave this till writing into files the others no longer read.
    QTest::newRow("misspelt") << QByteArray("[DATABAZA]\r\nSERVER=POSTGRES\r\n") << int(Kind::Unknown)
                              << QString();
}

// Set by hand like POKLADNA: read into the configuration, never written by the save.
void TestPointOfSaleSettings::databaseServer()
{
    QFETCH(QByteArray, section);
    QFETCH(int, kind);
    QFETCH(QString, connection);
    ProgramFolder folder;
    folder.write("[CONFIG]\r\nVC=1\r\n" + section);
    const DataServer server = LoadConfiguration(folder.path(), CommandLine{}).dataServer;
    QCOMPARE(int(server.kind), kind);
    QCOMPARE(server.connection, connection);
    QVERIFY(PointOfSaleSettings::load(folder.path()).save(folder.path()));
    QVERIFY(folder.content().contains(section));
    QCOMPARE(folder.content().count("[DATABAZA]"), section.isEmpty() ? 0 : 1);
}

void TestPointOfSaleSettings::printerModelNames()
{
    QCOMPARE(printerModels().size(), 15);
    QCOMPARE(printerModelName(0), u"SRP350"_s);
    QCOMPARE(printerModelName(14), u"SP500"_s);
    QVERIFY(printerModelName(15).isEmpty());
    QVERIFY(printerModelName(-1).isEmpty());
}

void TestPointOfSaleSettings::screenLayoutDefaultsAndRoundTrip()
{
    using namespace ScreenLayoutSettings;
    const IniFile empty = iniOf({});
    QCOMPARE(readPlacement(empty, Window::Sale), Placement{});
    QCOMPARE(readColumnWidths(empty, Grid::OverviewDocuments, 3), (QList<int>{50, 50, 50}));
    QCOMPARE(readSaleStockFields(empty, 2), (QStringList{QString(), QString()}));

    IniFile ini = iniOf("[CONFIG]\r\nVC=1\r\n");
    writePlacement(ini, Window::Sale, {10, 20, 300});
    writePlacement(ini, Window::StockCards, {1, 2, 3});
    writeColumnWidths(ini, Grid::SaleDocument, {11, 12});
    writeColumnWidths(ini, Grid::SaleStock, {21});
    writeColumnWidths(ini, Grid::StockCards, {31});
    writeColumnWidths(ini, Grid::OverviewItems, {41});
    writeColumnWidths(ini, Grid::OverviewDocuments, {51});
    writeSaleStockFields(ini, {u"KOD"_s, u"NAZOV"_s});

    const IniFile reread = iniOf(ini.toBytes());
    QCOMPARE(reread.readString(u"POKL"_s, u"COL_D_1"_s, {}), u"12"_s);
    QCOMPARE(reread.readString(u"PREHLAD"_s, u"COL_BL_0"_s, {}), u"51"_s);
    QCOMPARE(reread.readString(u"SKLAD"_s, u"HEIGHT"_s, {}), u"3"_s);
    QCOMPARE(readPlacement(reread, Window::Sale), (Placement{10, 20, 300}));
    QCOMPARE(readColumnWidths(reread, Grid::SaleDocument, 3), (QList<int>{11, 12, 50}));
    QCOMPARE(readColumnWidths(reread, Grid::SaleStock, 1), QList<int>{21});
    QCOMPARE(readColumnWidths(reread, Grid::StockCards, 1), QList<int>{31});
    QCOMPARE(readColumnWidths(reread, Grid::OverviewItems, 1), QList<int>{41});
    QCOMPARE(readSaleStockFields(reread, 2), (QStringList{u"KOD"_s, u"NAZOV"_s}));
    QCOMPARE(reread.readString(u"CONFIG"_s, u"VC"_s, {}), u"1"_s);
}

QTEST_GUILESS_MAIN(TestPointOfSaleSettings)
#include "tst_pointofsalesettings.moc"

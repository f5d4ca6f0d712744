#include "TestPaths.h"
#include "app/ConfigurationLoader.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

// A program folder with the two configuration files written by the test.
class ProgramFolder
{
public:
    ProgramFolder() { QDir(m_dir.path()).mkpath(u"cennik"_s); }
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }
    void writeMain(const QByteArray &content) const
    {
        TestPaths::writeFile(file(u"qd60_cfg.ini"_s), content);
    }
    void writePointOfSale(const QByteArray &content) const
    {
        TestPaths::writeFile(file(u"cennik/pokladna.ini"_s), content);
    }
    Configuration load(const QStringList &arguments = {}) const
    {
        return LoadConfiguration(path(), CommandLine::parse(QStringList{u"omira-predaj"_s} + arguments));
    }

private:
    QTemporaryDir m_dir;
};

class TestConfiguration : public QObject
{
    Q_OBJECT

private slots:
    void defaultsWithoutAnyFile();
    void keysAreRead();
    void switchesThatOnlyOneTurnsOn_data();
    void switchesThatOnlyOneTurnsOn();
    void commandLineReplacesPathsWithoutReadingThem();
    void inputPattern_data();
    void inputPattern();
    void fixedSlotsKeepNamesUpToTheirLength();
    void languageIndexOutsideTheTableFallsBack_data();
    void languageIndexOutsideTheTableFallsBack();
    void priorityClassIsApplied();
    void commandLine_data();
    void commandLine();
};

void TestConfiguration::defaultsWithoutAnyFile()
{
    QTemporaryDir dir;
    const Configuration config = LoadConfiguration(dir.path(), CommandLine{});
    const QString app = dir.path();
    QCOMPARE(config.inputFile, app + u"/blocek.txt"_s);
    QCOMPARE(config.outputFile, app + u"/zurnal.txt"_s);
    QCOMPARE(config.infoFolder, app);
    QCOMPARE(config.errorLogPath, app + u"/fm_err.txt"_s);
    QCOMPARE(config.debugPath, app + u"/debug.txt"_s);
    QCOMPARE(config.configPath, app + u"/qd60_cfg.ini"_s);
    QCOMPARE(config.printManagerInput, app + u"/blocek.txt"_s);
    QCOMPARE(config.exchangeFolder, app + u"/"_s);
    QCOMPARE(config.printManagerTitle, u"RL70ZQ"_s);
    QCOMPARE(config.dataFolder, app + u"/cennik/"_s);
    QCOMPARE(config.messageFile(), app + u"/vx60_sk.msg"_s);
    QCOMPARE(config.captionFile(), app + u"/vx60_sk.lng"_s);
    QVERIFY(config.errorLogOn && config.accessTests && config.databaseOn && config.terminatePrintManager);
    QVERIFY(!config.traceLog && !config.repeatDeletion && !config.demo && !config.skipInputAccessTest);
    QVERIFY(config.lan);
    QCOMPARE(config.startupDelay, 2000);
    QCOMPARE(config.priorityClass, 32);
    QCOMPARE(config.infoTimeout, 15000);
    QCOMPARE(config.statusTimeout, 8000);
    QCOMPARE(config.repeatPeriod, 300);
    QCOMPARE(config.saleScreenAtStart, 1);
    QCOMPARE(config.paymentDialog, 1);
    QCOMPARE(config.paymentMeans[0], u"Hotovosť:"_s);
    QCOMPARE(config.paymentMeans[4], u"Platba faktúr:"_s);
    QCOMPARE(config.paymentMeans[5], QString());
    QCOMPARE(config.cashiers[0], QString());
    QVERIFY(config.loaded);
}

void TestConfiguration::keysAreRead()
{
    ProgramFolder folder;
    folder.writePointOfSale("[CONFIG]\r\nTL_MAN=/srv/pm/in/blocek.txt\r\nLAN=0\r\nLAN_DC=5000\r\n"
                            "LAN_PATH=/srv/data\r\nTM=Tlacovy\r\nDEMO=1\r\nENDTM=0\r\n"
                            "[POKLADNIK]\r\nPOKL_2=J\xE1n\r\n"
                            "[PLATBA]\r\nSHOW=0\r\nPLAT_1=Cash:\r\nplat_10=Kup\xF3n\r\n");
    folder.writeMain(
        "[CONFIG]\r\nopozdenie=10\r\nfilelog=1\r\nprava=0\r\nBDE=0\r\napl_priority=64\r\n"
        "path_err=/var/log/omira.txt\r\n[LANGUAGE]\r\ndefault=1\r\nMSG1=en.msg\r\nFILE1=en.lng\r\n");
    const Configuration config = folder.load();
    QCOMPARE(config.printManagerInput, u"/srv/pm/in/blocek.txt"_s);
    QCOMPARE(config.exchangeFolder, u"/srv/pm/in/"_s);
    QVERIFY(config.lan);
    QCOMPARE(config.statusTimeout, 5000);
    QCOMPARE(config.dataFolder, u"/srv/data/"_s);
    QCOMPARE(config.printManagerTitle, u"Tlacovy"_s);
    QVERIFY(config.demo);
    QVERIFY(!config.terminatePrintManager);
    QCOMPARE(config.cashiers[1], u"Ján"_s);
    QCOMPARE(config.paymentDialog, 0);
    QCOMPARE(config.paymentMeans[0], u"Cash:"_s);
    QCOMPARE(config.paymentMeans[1], u"Platobná karta:"_s);
    QCOMPARE(config.paymentMeans[9], u"Kupón"_s);
    QCOMPARE(config.startupDelay, 10);
    QVERIFY(config.traceLog);
    QVERIFY(!config.accessTests);
    QVERIFY(!config.databaseOn);
    QCOMPARE(config.priorityClass, 64);
    QCOMPARE(config.errorLogPath, u"/var/log/omira.txt"_s);
    QCOMPARE(config.messageFile(), folder.file(u"en.msg"_s));
    QCOMPARE(config.captionFile(), folder.file(u"en.lng"_s));
}

void TestConfiguration::switchesThatOnlyOneTurnsOn_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("on");
    QTest::newRow("1") << QByteArray("1") << true;
    QTest::newRow("0") << QByteArray("0") << false;
    QTest::newRow("2") << QByteArray("2") << false;
    QTest::newRow("-1") << QByteArray("-1") << false;
}

void TestConfiguration::switchesThatOnlyOneTurnsOn()
{
    QFETCH(QByteArray, value);
    QFETCH(bool, on);
    ProgramFolder folder;
    folder.writeMain("[CONFIG]\r\nerr_file=" + value + "\r\nmazanie=" + value + "\r\n");
    const Configuration config = folder.load();
    QCOMPARE(config.errorLogOn, on);
    QCOMPARE(config.repeatDeletion, on);
}

void TestConfiguration::commandLineReplacesPathsWithoutReadingThem()
{
    ProgramFolder folder;
    TestPaths::writeFile(folder.file(u"other.ini"_s), "[CONFIG]\r\npath_in=/ini/in\r\npath_out=/ini/out\r\n"
                                                      "path_info=/ini/info\r\npath_err=/ini/err\r\n");
    const Configuration config = folder.load({u"/fin"_s, u"/missing/in.txt"_s, u"/ini"_s,
                                              folder.file(u"other.ini"_s), u"/finfo"_s, u"/cmd/info"_s});
    QCOMPARE(config.configPath, folder.file(u"other.ini"_s));
    QCOMPARE(config.inputFile, u"/missing/in.txt"_s);
    QCOMPARE(config.infoFolder, u"/cmd/info"_s);
    QCOMPARE(config.outputFile, u"/ini/out"_s);
    QCOMPARE(config.errorLogPath, u"/ini/err"_s);
}

void TestConfiguration::inputPattern_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("folder");

    QTest::newRow("plain") << u"D:\\pm\\in\\blocek.txt"_s << u"D:\\pm\\in\\blocek.txt"_s << u"D:\\pm\\in\\"_s;
    QTest::newRow("pattern") << u"D:\\pm\\in\\blocek*.txt"_s << u"D:\\pm\\in\\blocek.txt"_s
                             << u"D:\\pm\\in\\"_s;
    QTest::newRow("star only") << u"D:\\pm\\in\\*.txt"_s << u"D:\\pm\\in\\.txt"_s << u"D:\\pm\\in\\"_s;
    QTest::newRow("two stars") << u"/pm/a*b*.txt"_s << u"/pm/a.txt"_s << u"/pm/"_s;
    QTest::newRow("no extension") << u"/pm/blocek*"_s << u"/pm/blocek"_s << u"/pm/"_s;
    QTest::newRow("dot only in a folder") << u"/pm.d/blocek*"_s << u"/pm.d/blocek"_s << u"/pm.d/"_s;
    QTest::newRow("no folder") << u"blocek.txt"_s << u"blocek.txt"_s << QString();
}

void TestConfiguration::inputPattern()
{
    QFETCH(QString, value);
    QFETCH(QString, input);
    QFETCH(QString, folder);
    ProgramFolder program;
    program.writePointOfSale("[CONFIG]\r\nTL_MAN=" + value.toLatin1() + "\r\n");
    const Configuration config = program.load();
    QCOMPARE(config.printManagerInput, input);
    QCOMPARE(config.exchangeFolder, folder);
}

void TestConfiguration::fixedSlotsKeepNamesUpToTheirLength()
{
    const QByteArray name39(39, 'c');
    const QByteArray name31(31, 'p');
    ProgramFolder folder;
    folder.writePointOfSale("[POKLADNIK]\r\nPOKL_1=" + name39 + "\r\nPOKL_2=" + name39 +
                            "xyz\r\n[PLATBA]\r\nPLAT_1=" + name31 + "\r\nPLAT_2=" + name31 + "q\r\n");
    const Configuration config = folder.load();
    QCOMPARE(config.cashiers[0], QString::fromLatin1(name39));
    QCOMPARE(config.cashiers[1], QString::fromLatin1(name39));
    QCOMPARE(config.paymentMeans[0], QString::fromLatin1(name31));
    QCOMPARE(config.paymentMeans[1], QString::fromLatin1(name31));
}

void TestConfiguration::languageIndexOutsideTheTableFallsBack_data()
{
    QTest::addColumn<QByteArray>("index");
    QTest::addColumn<int>("expected");
    QTest::newRow("9") << QByteArray("9") << 9;
    QTest::newRow("10") << QByteArray("10") << 0;
    QTest::newRow("-1") << QByteArray("-1") << 0;
    QTest::newRow("text") << QByteArray("sk") << 0;
}

void TestConfiguration::languageIndexOutsideTheTableFallsBack()
{
    QFETCH(QByteArray, index);
    QFETCH(int, expected);
    ProgramFolder folder;
    folder.writeMain("[LANGUAGE]\r\ndefault=" + index + "\r\n");
    QCOMPARE(folder.load().languageIndex, expected);
}

void TestConfiguration::priorityClassIsApplied()
{
    ProgramFolder folder;
    folder.writeMain("[CONFIG]\r\napl_priority=128\r\n");
    int applied = 0;
    const Configuration config =
        LoadConfiguration(folder.path(), CommandLine{}, [&](int priorityClass) { applied = priorityClass; });
    QCOMPARE(applied, 128);
    QVERIFY(config.loaded);
}

void TestConfiguration::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("ini");
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("noHide");

    QTest::newRow("none") << QStringList{u"prog"_s} << QString() << QString() << false;
    QTest::newRow("ini then fin") << QStringList{u"prog"_s, u"/ini"_s, u"a.ini"_s, u"/fin"_s, u"in.txt"_s}
                                  << u"a.ini"_s << u"in.txt"_s << false;
    QTest::newRow("fin then ini") << QStringList{u"prog"_s, u"/fin"_s, u"in.txt"_s, u"/ini"_s, u"a.ini"_s}
                                  << u"a.ini"_s << u"in.txt"_s << false;
    QTest::newRow("switch at the end is empty")
        << QStringList{u"prog"_s, u"/NOHIDE"_s, u"/fin"_s} << QString() << QString() << true;
    QTest::newRow("value is taken even when it looks like a switch")
        << QStringList{u"prog"_s, u"/fin"_s, u"/nohide"_s} << QString() << u"/nohide"_s << false;
    QTest::newRow("mixed case is ignored")
        << QStringList{u"prog"_s, u"/NoHide"_s, u"/INI"_s, u"x"_s} << QString() << QString() << false;
}

void TestConfiguration::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, ini);
    QFETCH(QString, input);
    QFETCH(bool, noHide);
    const CommandLine parsed = CommandLine::parse(arguments);
    QCOMPARE(parsed.iniPath, ini);
    QCOMPARE(parsed.inputFile, input);
    QCOMPARE(parsed.noHide, noHide);
}

QTEST_GUILESS_MAIN(TestConfiguration)
#include "tst_configuration.moc"

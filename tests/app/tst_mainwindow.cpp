#include "AccessibleNames.h"
#include "FakePlatform.h"
#include "ScriptedDialogs.h"
#include "TestPaths.h"
#include "app/AppContext.h"
#include "app/ConfigurationLoader.h"
#include "app/ui/TSQD60.h"
#include "platform/FileSystem.h"
#include "widgets/PanelStatusBar.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

// A main window over a configuration of a temporary program folder.
class MainWindowFixture
{
public:
    explicit MainWindowFixture(const QByteArray &pointOfSale = QByteArray(),
                               const QByteArray &mainConfig = QByteArray())
        : context(m_dir.path(), dialogs, windows, *m_files)
    {
        QDir(m_dir.path()).mkpath(u"cennik"_s);
        TestPaths::writeFile(file(u"cennik/pokladna.ini"_s), pointOfSale);
        TestPaths::writeFile(file(u"qd60_cfg.ini"_s), mainConfig);
        TestPaths::writeFile(file(u"vx60_sk.msg"_s), "[MSG_137]\r\nEnd?\r\n[MSG_138]\r\nClose");
        context.config = LoadConfiguration(m_dir.path(), CommandLine{});
        context.messages.parse(TestPaths::readFile(file(u"vx60_sk.msg"_s)));
        context.errorLog = std::make_unique<ErrorLog>(context.config.errorLogPath, true, dialogs);
        window = std::make_unique<TSQD60>(context);
        window->setSaleScreen(&saleScreen);
        window->setEndSteps([this] { ++endStepsRun; });
    }
    QString file(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<platform::FileSystem> m_files = platform::createFileSystem();

public:
    ScriptedDialogs dialogs;
    FakeWindowFinder windows;
    AppContext context;
    QWidget saleScreen;
    int endStepsRun = 0; // the databases closed and the sale screen's settings saved
    std::unique_ptr<TSQD60> window;
};

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void everyInputReadsByItsName();
    void componentsCarryTheirNames();
    void refusedCloseKeepsEverythingUsable();
    void confirmedCloseLogsAndLeavesTheTerminateFile_data();
    void confirmedCloseLogsAndLeavesTheTerminateFile();
    void firstTickOpensTheSaleScreen_data();
    void firstTickOpensTheSaleScreen();
    void startMenuReportsTheDatabaseState_data();
    void startMenuReportsTheDatabaseState();
    void withoutTrayTheWindowStaysReachable();
    void statusQueriesKeepToTheTwoTrayPictures();
};

// A screen reader names every field and list of the status window by its caption.
void TestMainWindow::everyInputReadsByItsName()
{
    MainWindowFixture fixture;
    const QStringList faults = AccessibleNames::faults(*fixture.window);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u"; "_s)));
}

void TestMainWindow::componentsCarryTheirNames()
{
    MainWindowFixture fixture;
    TSQD60 &window = *fixture.window;
    QCOMPARE(window.objectName(), u"TSQD60"_s);
    QCOMPARE(window.windowTitle(), u"Omira"_s);
    for (const QString &name :
         {u"Panel1"_s, u"Label_stav"_s, u"EditUID"_s, u"L_dokl"_s, u"LabelZvyseny"_s, u"LabelZnizeny"_s,
          u"LabelOslobodeny"_s, u"LabelFaktura"_s, u"LabelObaly"_s, u"L_datum"_s, u"L_cas"_s, u"StatusBar1"_s,
          u"PopupQD20"_s, u"Timer_tlman"_s, u"pop_pokladna"_s, u"Spusteniecasovaca1"_s,
          u"Ukonenieaplikcie1"_s, u"Label8"_s, u"Label10"_s})
        QVERIFY2(window.findChild<QObject *>(name), qPrintable(name));
    auto *statusBar = window.findChild<PanelStatusBar *>(u"StatusBar1"_s);
    QCOMPARE(statusBar->panelText(0), u"Verzia"_s);
    QCOMPARE(statusBar->panelText(1), u"PRN:"_s);
    QCOMPARE(statusBar->panelText(2), u"B"_s);
    QCOMPARE(window.findChild<QAction *>(u"Ukonenieaplikcie1"_s)->text(), u"Ukončenie aplikácie"_s);
}

void TestMainWindow::refusedCloseKeepsEverythingUsable()
{
    MainWindowFixture fixture;
    fixture.window->show();
    fixture.dialogs.queueAnswer(UserDialogs::Answer::No);
    QVERIFY(!fixture.window->close());
    QVERIFY(fixture.window->isVisible());
    QVERIFY(fixture.saleScreen.isEnabled());
    QVERIFY(fixture.saleScreen.isVisible());
    const UserDialogs::Message &question = fixture.dialogs.shown().first();
    QCOMPARE(question.text, u"End?"_s);
    QCOMPARE(question.caption, u"Close"_s);
    QCOMPARE(question.defaultAnswer, UserDialogs::Answer::No);
    QVERIFY(!QFile::exists(fixture.file(u"fm_err.txt"_s)));
    QVERIFY(!QFile::exists(fixture.file(u"terminate"_s)));
    // The sale screen stays in use: its databases must stay open.
    QCOMPARE(fixture.endStepsRun, 0);
}

void TestMainWindow::confirmedCloseLogsAndLeavesTheTerminateFile_data()
{
    QTest::addColumn<QByteArray>("endTm");
    QTest::addColumn<bool>("terminateFile");
    QTest::newRow("ENDTM on") << QByteArray("1") << true;
    QTest::newRow("ENDTM off") << QByteArray("0") << false;
}

void TestMainWindow::confirmedCloseLogsAndLeavesTheTerminateFile()
{
    QFETCH(QByteArray, endTm);
    QFETCH(bool, terminateFile);
    MainWindowFixture fixture("[CONFIG]\r\nENDTM=" + endTm + "\r\n");
    // An old terminate file is truncated, not kept.
    TestPaths::writeFile(fixture.file(u"terminate"_s), "old");
    if (!terminateFile)
        QFile::remove(fixture.file(u"terminate"_s));
    fixture.window->show();
    fixture.dialogs.queueAnswer(UserDialogs::Answer::Yes);
    QVERIFY(fixture.window->close());
    QVERIFY(TestPaths::readFile(fixture.file(u"fm_err.txt"_s)).contains(") To end by user \r\n"));
    QCOMPARE(fixture.endStepsRun, 1);
    QCOMPARE(QFile::exists(fixture.file(u"terminate"_s)), terminateFile);
    if (terminateFile)
        QCOMPARE(QFileInfo(fixture.file(u"terminate"_s)).size(), 0);
}

void TestMainWindow::firstTickOpensTheSaleScreen_data()
{
    QTest::addColumn<QByteArray>("pokladna");
    QTest::addColumn<bool>("saleScreenShown");
    QTest::newRow("POKL_START 1") << QByteArray("[CONFIG]\r\nPOKL_START=1\r\n") << true;
    QTest::newRow("POKL_START 0") << QByteArray("[CONFIG]\r\nPOKL_START=0\r\n") << false;
}

void TestMainWindow::firstTickOpensTheSaleScreen()
{
    QFETCH(QByteArray, pokladna);
    QFETCH(bool, saleScreenShown);
    MainWindowFixture fixture(pokladna);
    fixture.window->enableTimer();
    fixture.window->Timer_tlmanTimer();
    QVERIFY(!fixture.context.firstTick);
    QCOMPARE(fixture.saleScreen.isVisible(), saleScreenShown);
    auto *timer = fixture.window->findChild<QTimer *>(u"Timer_tlman"_s);
    QVERIFY(timer->isActive());
    fixture.window->Timer_tlmanTimer();
    QVERIFY(!timer->isActive());
}

void TestMainWindow::startMenuReportsTheDatabaseState_data()
{
    QTest::addColumn<QByteArray>("mainConfig");
    QTest::addColumn<bool>("databaseReady");
    QTest::addColumn<QString>("caption");
    QTest::newRow("BDE off") << QByteArray("[CONFIG]\r\nBDE=0\r\n") << true << u"VX60 BDE=0"_s;
    QTest::newRow("not ready") << QByteArray() << false << u"Omira BDE Error"_s;
    QTest::newRow("ready") << QByteArray() << true << QString();
}

void TestMainWindow::startMenuReportsTheDatabaseState()
{
    QFETCH(QByteArray, mainConfig);
    QFETCH(bool, databaseReady);
    QFETCH(QString, caption);
    MainWindowFixture fixture(QByteArray(), mainConfig);
    fixture.context.databaseReady = databaseReady;
    fixture.window->pop_pokladnaClick();
    if (caption.isEmpty()) {
        QVERIFY(fixture.dialogs.shown().isEmpty());
        QVERIFY(fixture.saleScreen.isVisible());
    } else {
        QCOMPARE(fixture.dialogs.shown().size(), 1);
        QCOMPARE(fixture.dialogs.shown()[0].caption, caption);
        QVERIFY(!fixture.saleScreen.isVisible());
    }
}

void TestMainWindow::withoutTrayTheWindowStaysReachable()
{
    MainWindowFixture fixture;
    if (fixture.window->trayAvailable())
        QSKIP("this desktop has a system tray");
    auto *statusBar = fixture.window->findChild<PanelStatusBar *>(u"StatusBar1"_s);
    QCOMPARE(statusBar->panelText(4), u"Bez systémovej lišty"_s);
    fixture.window->show();
    fixture.window->Timer_tlmanTimer();
    QVERIFY(fixture.window->isVisible());
    fixture.window->showMinimized();
    QCoreApplication::processEvents();
    QVERIFY(fixture.window->isVisible());
}

// Every status query of a print sets the tray picture. A picture made anew each time is
// a new icon to every cache that keeps scaled copies of it, and the program grew with
// each sale; the two pictures are the same ones all day.
void TestMainWindow::statusQueriesKeepToTheTwoTrayPictures()
{
    MainWindowFixture fixture;
    TSQD60 &window = *fixture.window;
    window.SetTrayImage(0);
    const qint64 answering = window.windowIcon().cacheKey();
    window.SetTrayImage(1);
    const qint64 notAnswering = window.windowIcon().cacheKey();
    QVERIFY(answering != notAnswering);
    for (int query = 0; query < 3; ++query) {
        window.SetTrayImage(0);
        QCOMPARE(window.windowIcon().cacheKey(), answering);
        window.SetTrayImage(1);
        QCOMPARE(window.windowIcon().cacheKey(), notAnswering);
    }
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"

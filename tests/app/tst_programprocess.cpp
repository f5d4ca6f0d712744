// The built program as a real process on an X display, driven from outside as a
// user would: windows found by title, keys typed into its message boxes, the
// tray menu opened with the mouse.
#include "ProgramProcess.h"
#include "ScriptedDialogs.h"
#include "TestPaths.h"
#include "TestStore.h"
#include "base/IniFile.h"
#include "lang/MessageTable.h"
#include "platform/WindowFinder.h"
#include "stock/DataFile.h"
#include "stock/StockRow.h"
#include "stock/StockTable.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// The rows of a sales table as "name till printed document", in key order.
QStringList salesRows(const QString &path, const DataServer &server = {})
{
    QStringList rows;
    DataFile sales;
    sales.setServer(server);
    if (!sales.open(path, false))
        return rows;
    QSqlQuery query(sales.database());
    if (query.exec(u"SELECT NAZOV, UCET, FISK, DOKLAD FROM PREDAJ_%1 ORDER BY ID_PRIMARY"_s.arg(
            QDate::currentDate().year()))) {
        while (query.next())
            rows.append(u"%1 %2 %3 %4"_s.arg(query.value(0).toString(), query.value(1).toString(),
                                             query.value(2).toString(), query.value(3).toString()));
    }
    return rows;
}

bool writePriceList(const QString &path, const QList<std::pair<QString, double>> &items,
                    const DataServer &server = {})
{
    DataFile stock;
    stock.setServer(server);
    if (!stock.open(path, true))
        return false;
    StockTable table(stock);
    if (!table.create())
        return false;
    int code = 100;
    for (const auto &[name, price] : items) {
        StockRow row;
        row.kod = QString::number(code++);
        row.nazov = name;
        row.mj = u"ks"_s;
        row.jc = price;
        row.dphIdx = 1;
        if (!table.insert(row))
            return false;
    }
    return true;
}

} // namespace

class TestProgramProcess : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();
    void endsThroughTheTrayMenu_data();
    void endsThroughTheTrayMenu();
    void secondStartRefusesAndSigtermEndsAtOnce();
    void otherPointOfSaleWindowEndsTheStart();
    void missingPrintManagerEndsOnNo();
    void closeRequestFromOutsideEndsAtOnce();
    void detectsTheSimulatorAndEndsIt();
    void failedDetectionRecoversThroughTheTrayMenu_data();
    void failedDetectionRecoversThroughTheTrayMenu();
    void saleScreenSellsAndPrintsAReceipt();
    void endingDuringThePaymentPrintsNothing_data();
    void endingDuringThePaymentPrintsNothing();
    void twoTillsOnOneDataFolderPrintTheirOwnItems_data();
    void twoTillsOnOneDataFolderPrintTheirOwnItems();
    void endingFromTheTrayKeepsTheSaleScreenLayout();

private:
    void sellThreeMilksUpToThePayment(const ProgramFolder &folder, QSqlDatabase &sales);
    static QStringList openRows(const QSqlDatabase &sales);
    static void closeSalesCheck(QSqlDatabase &sales);
    QProcess *start(const ProgramFolder &folder, const QProcessEnvironment &environment = {});
    QProcess *startSimulator(const ProgramFolder &folder, const QStringList &options = {},
                             const QProcessEnvironment &environment = {});
    void chooseTrayMenuEntry(int upPresses);
    void passDetectionQuestion();
    bool windowExists(const QString &title) const { return m_windows->windowExists(title.toStdString()); }

    std::unique_ptr<platform::WindowFinder> m_windows = platform::createWindowFinder();
    MessageTable m_messages;
    QProcess m_trayHost;
    QList<QProcess *> m_programs;
    std::unique_ptr<SecondDisplay> m_session; // ends after the programs that run on it
};

void TestProgramProcess::initTestCase()
{
    if (QGuiApplication::platformName() != u"xcb")
        QSKIP("needs an X display");
    if (QStandardPaths::findExecutable(u"xdotool"_s).isEmpty())
        QSKIP("needs xdotool to act as the user");
    QCOMPARE(m_messages.load(TestPaths::shippedLanguageFile(u"vx60_sk.msg"_s)),
             MessageTable::LoadResult::Loaded);
    // A tray host at the bottom right corner, so that the program shows a real tray icon.
    m_trayHost.start(u"trayer"_s, {u"--edge"_s, u"bottom"_s, u"--align"_s, u"right"_s, u"--widthtype"_s,
                                   u"request"_s, u"--height"_s, u"32"_s, u"--expand"_s, u"false"_s});
    QVERIFY2(m_trayHost.waitForStarted(), "trayer is needed as the system tray");
    QTRY_VERIFY_WITH_TIMEOUT(systemTrayOwned(), kTimeoutMs);
}

void TestProgramProcess::cleanupTestCase()
{
    m_trayHost.kill();
    m_trayHost.waitForFinished();
}

void TestProgramProcess::cleanup()
{
    for (QProcess *program : std::as_const(m_programs)) {
        program->kill();
        program->waitForFinished();
        delete program;
    }
    m_programs.clear();
    m_session.reset();
}

QProcess *TestProgramProcess::start(const ProgramFolder &folder, const QProcessEnvironment &environment)
{
    auto *program = new QProcess;
    m_programs.append(program);
    if (!environment.isEmpty())
        program->setProcessEnvironment(environment);
    program->setProgram(folder.executable());
    program->setWorkingDirectory(folder.path());
    program->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program->start();
    return program;
}

QProcess *TestProgramProcess::startSimulator(const ProgramFolder &folder, const QStringList &options,
                                             const QProcessEnvironment &environment)
{
    auto *simulator = new QProcess;
    m_programs.append(simulator);
    if (!environment.isEmpty())
        simulator->setProcessEnvironment(environment);
    simulator->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    simulator->start(QStringLiteral(OMIRA_TM_EXE),
                     QStringList{u"--program-folder"_s, folder.path()} + options);
    return simulator;
}

// Opens the tray icon's menu and walks up from its last entry.
void TestProgramProcess::chooseTrayMenuEntry(int upPresses)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QString x = QString::number(screen.right() - 12);
    const QString y = QString::number(screen.bottom() - 16);
    QStringList steps{u"mousemove"_s, x, y, u"click"_s, u"3"_s, u"sleep"_s, u"0.7"_s};
    for (int i = 0; i < upPresses; ++i)
        steps << u"key"_s << u"Up"_s << u"sleep"_s << u"0.3"_s;
    steps << u"key"_s << u"Return"_s;
    QVERIFY(xdotool(steps));
}

// No printer link answers here: the detection asks whether to try again; No goes on.
void TestProgramProcess::passDetectionQuestion()
{
    QVERIFY(answerBox(*m_windows, m_messages.text(Msg::PrinterNotFoundCaption), u"Escape"_s));
}

void TestProgramProcess::endsThroughTheTrayMenu_data()
{
    QTest::addColumn<QByteArray>("endTm");
    QTest::addColumn<bool>("terminateFile");
    QTest::newRow("ENDTM on") << QByteArray("1") << true;
    QTest::newRow("ENDTM off") << QByteArray("0") << false;
}

void TestProgramProcess::endsThroughTheTrayMenu()
{
    QFETCH(QByteArray, endTm);
    QFETCH(bool, terminateFile);
    const auto printManager = makeWindow(u"TM-process-test"_s);
    ProgramFolder folder("TM=TM-process-test\r\nENDTM=" + endTm + "\r\n");
    QProcess *program = start(folder);
    passDetectionQuestion();
    QTRY_VERIFY_WITH_TIMEOUT(windowExists(u"Omira Predaj"_s), kTimeoutMs);
    QTest::qWait(1500); // the first tick hides the main window behind the tray icon

    // A double click on the tray icon brings the main window back; the icon's
    // menu then ends the program.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QString x = QString::number(screen.right() - 12);
    const QString y = QString::number(screen.bottom() - 16);
    QVERIFY(xdotool({u"mousemove"_s, x, y, u"click"_s, u"--repeat"_s, u"2"_s, u"1"_s}));
    QTRY_VERIFY_WITH_TIMEOUT(xdotool({u"search"_s, u"--onlyvisible"_s, u"--name"_s, u"^Omira$"_s}),
                             kTimeoutMs);
    QTest::qWait(1000);
    // The menu's last entry ends the program; the pauses let the menu open and take the keys.
    QVERIFY(xdotool({u"mousemove"_s, x, y, u"click"_s, u"3"_s, u"sleep"_s, u"0.7"_s, u"key"_s, u"Up"_s,
                     u"sleep"_s, u"0.3"_s, u"key"_s, u"Return"_s}));
    QVERIFY(answerBox(*m_windows, m_messages.text(Msg::CloseCaption), u"alt+o"_s));

    QVERIFY2(hasEnded(*program), folder.log().constData());
    QCOMPARE(program->exitStatus(), QProcess::NormalExit);
    QVERIFY(folder.log().contains(") To end by user \r\n"));
    QCOMPARE(QFile::exists(folder.file(u"terminate"_s)), terminateFile);
}

void TestProgramProcess::secondStartRefusesAndSigtermEndsAtOnce()
{
    const auto printManager = makeWindow(u"TM-process-test"_s);
    ProgramFolder folder("TM=TM-process-test\r\n");
    QProcess *first = start(folder);
    passDetectionQuestion();
    QTRY_VERIFY_WITH_TIMEOUT(windowExists(u"Omira Predaj"_s), kTimeoutMs);

    QProcess *second = start(folder);
    QVERIFY(answerBox(*m_windows, u"Program Omira"_s, u"Return"_s));
    QVERIFY(hasEnded(*second));
    QCOMPARE(second->exitCode(), 0);
    QCOMPARE(first->state(), QProcess::Running);

    first->terminate();
    QVERIFY(hasEnded(*first));
    QCOMPARE(first->exitStatus(), QProcess::NormalExit);
    QVERIFY(!folder.log().contains("To end by user"));
    QVERIFY(!QFile::exists(folder.file(u"terminate"_s)));
}

void TestProgramProcess::otherPointOfSaleWindowEndsTheStart()
{
    const auto printManager = makeWindow(u"TM-process-test"_s);
    const auto other = makeWindow(u"POKLTM"_s);
    ProgramFolder folder("TM=TM-process-test\r\n");
    QProcess *program = start(folder);
    QVERIFY(answerBox(*m_windows, m_messages.text(Msg::OtherPosRunningCaption), u"Return"_s));
    QVERIFY(hasEnded(*program));
    QCOMPARE(program->exitCode(), 0);
    QVERIFY(!QFile::exists(folder.file(u"terminate"_s)));
}

void TestProgramProcess::missingPrintManagerEndsOnNo()
{
    ProgramFolder folder("TM=TM-not-running\r\n");
    QProcess *program = start(folder);
    QVERIFY(answerBox(*m_windows, u"TM-not-running"_s, u"Escape"_s));
    QVERIFY(hasEnded(*program));
    QCOMPARE(program->exitCode(), 0);
    QVERIFY(!folder.log().contains("Deleted files during start-up"));
}

// The instance window has no close box a user could click: a close request to it
// comes from another program and ends the program without asking.
void TestProgramProcess::closeRequestFromOutsideEndsAtOnce()
{
    const auto printManager = makeWindow(u"TM-process-test"_s);
    ProgramFolder folder("TM=TM-process-test\r\n");
    QProcess *program = start(folder);
    passDetectionQuestion();
    QTRY_VERIFY_WITH_TIMEOUT(windowExists(u"Omira Predaj"_s), kTimeoutMs);
    QTest::qWait(500);

    QCOMPARE(requestClose(u"Omira Predaj"_s), 1);
    QVERIFY(hasEnded(*program));
    QCOMPARE(program->exitStatus(), QProcess::NormalExit);
    QCOMPARE(program->exitCode(), 0);
    QVERIFY(!folder.log().contains("To end by user"));
    QVERIFY(!QFile::exists(folder.file(u"terminate"_s)));
}

void TestProgramProcess::detectsTheSimulatorAndEndsIt()
{
    ProgramFolder folder("TM=TM-simulator-test\r\nENDTM=1\r\n");
    QProcess *simulator = startSimulator(folder);
    QTRY_VERIFY_WITH_TIMEOUT(windowExists(u"TM-simulator-test"_s), kTimeoutMs);
    QProcess *program = start(folder);
    QTRY_VERIFY_WITH_TIMEOUT(folder.log().contains("detect_fm():end"), kTimeoutMs);
    QVERIFY(!windowExists(m_messages.text(Msg::PrinterNotFoundCaption)));
    // The build goes into the log lines once it is known.
    QVERIFY(folder.log().contains(" (build "));
    const QStringList journal = folder.journal();
    QCOMPARE(journal.count(u"data-v"_s), 1);
    QCOMPARE(journal.count(u"rates"_s), 1);
    QCOMPARE(journal, QStringList({u"status"_s, u"data-v"_s, u"rates"_s}));

    QTest::qWait(1500); // the first tick hides the main window
    chooseTrayMenuEntry(1);
    QVERIFY(answerBox(*m_windows, m_messages.text(Msg::CloseCaption), u"alt+o"_s));
    QVERIFY(hasEnded(*program));
    // The terminate file the program leaves ends the print manager too.
    QVERIFY(hasEnded(*simulator));
    QCOMPARE(simulator->exitCode(), 0);
}

void TestProgramProcess::failedDetectionRecoversThroughTheTrayMenu_data()
{
    QTest::addColumn<QStringList>("firstSimulator");
    QTest::newRow("print manager not answering") << QStringList();
    QTest::newRow("printer not ready") << QStringList{u"--status-word"_s, u"1000"_s};
}

void TestProgramProcess::failedDetectionRecoversThroughTheTrayMenu()
{
    QFETCH(QStringList, firstSimulator);
    ProgramFolder folder("TM=TM-simulator-test\r\n");
    // Without options no simulator runs: only its window stands there, answering nothing.
    std::unique_ptr<QWidget> silentWindow;
    QProcess *simulator = nullptr;
    if (firstSimulator.isEmpty())
        silentWindow = makeWindow(u"TM-simulator-test"_s);
    else
        simulator = startSimulator(folder, firstSimulator);
    QTRY_VERIFY_WITH_TIMEOUT(windowExists(u"TM-simulator-test"_s), kTimeoutMs);
    start(folder);
    passDetectionQuestion();
    QVERIFY(folder.log().contains("Error online_sts() /detect_fm/"));
    QVERIFY(!folder.log().contains("detect_fm():end"));

    // A print manager that answers, then "Pripojenie Omira" from the tray menu.
    silentWindow.reset();
    if (simulator) {
        simulator->kill();
        simulator->waitForFinished();
    }
    startSimulator(folder);
    QTRY_VERIFY_WITH_TIMEOUT(windowExists(u"TM-simulator-test"_s), kTimeoutMs);
    QTest::qWait(1500);
    chooseTrayMenuEntry(2);
    QTRY_VERIFY_WITH_TIMEOUT(folder.log().contains("detect_fm():end"), kTimeoutMs);
}

// The sale screen opens at start, the cashier finds an item by name, gives a quantity and
// the item is stored as an open row with its amount. F12 opens the payment dialog; the
// customer pays 5.00 in cash, the receipt goes to the print manager and the row is marked
// with the printer's document number.
// A price list of one card, the program and its simulator started, three of the card typed
// into the sale screen and stored as an open row, and F12 up to the payment dialog.
void TestProgramProcess::sellThreeMilksUpToThePayment(const ProgramFolder &folder, QSqlDatabase &sales)
{
    QVERIFY(folder.writeMilkPriceList());
    startSimulator(folder);
    QTRY_VERIFY_WITH_TIMEOUT(windowExists(u"TM-simulator-test"_s), kTimeoutMs);
    start(folder);
    const QString saleCaption = m_messages.text(Msg::SaleCaption);
    QTRY_VERIFY_WITH_TIMEOUT(
        xdotool({u"search"_s, u"--onlyvisible"_s, u"--name"_s, u'^' + saleCaption + u'$'}), kTimeoutMs);

    QVERIFY(xdotool({u"search"_s, u"--onlyvisible"_s, u"--name"_s, u'^' + saleCaption + u'$',
                     u"windowfocus"_s, u"--sync"_s}));
    QVERIFY(xdotool({u"type"_s, u"--delay"_s, u"30"_s, u"mlie"_s}));
    QVERIFY(xdotool({u"key"_s, u"--delay"_s, u"100"_s, u"Return"_s, u"ctrl+a"_s, u"3"_s, u"Return"_s}));

    const QString salesPath = folder.file(u"cennik/predaj_%1.db"_s.arg(QDate::currentDate().year()));
    sales = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"sales-check"_s);
    sales.setDatabaseName(salesPath);
    QVERIFY(sales.open());
    QTRY_COMPARE_WITH_TIMEOUT(openRows(sales), QStringList{u"MLIEKO polotučné 1 l 3 267"_s}, kTimeoutMs);

    QVERIFY(xdotool({u"key"_s, u"F12"_s}));
    const QString payment = u"^Úhrada dokladu$"_s;
    QTRY_VERIFY_WITH_TIMEOUT(xdotool({u"search"_s, u"--onlyvisible"_s, u"--name"_s, payment}), kTimeoutMs);
    // The dialog pauses before it is shown: once it is on screen it takes keys.
    QVERIFY(xdotool({u"search"_s, u"--onlyvisible"_s, u"--name"_s, payment, u"windowfocus"_s, u"--sync"_s}));
}

QStringList TestProgramProcess::openRows(const QSqlDatabase &sales)
{
    QStringList rows;
    QSqlQuery query(sales);
    if (query.exec(u"SELECT NAZOV, POCET, CENA_INT FROM PREDAJ_%1 WHERE FISK = 0"_s.arg(
            QDate::currentDate().year()))) {
        while (query.next())
            rows.append(u"%1 %2 %3"_s.arg(query.value(0).toString(), query.value(1).toString(),
                                          query.value(2).toString()));
    }
    return rows;
}

void TestProgramProcess::closeSalesCheck(QSqlDatabase &sales)
{
    sales.close();
    sales = QSqlDatabase();
    QSqlDatabase::removeDatabase(u"sales-check"_s);
}

void TestProgramProcess::saleScreenSellsAndPrintsAReceipt()
{
    ProgramFolder folder("TM=TM-simulator-test\r\nPOKL_START=1\r\n");
    QSqlDatabase sales;
    sellThreeMilksUpToThePayment(folder, sales);
    if (QTest::currentTestFailed())
        return closeSalesCheck(sales);
    // A digit in the payment list starts the amount of payment means 1; F12 prints.
    QVERIFY(xdotool({u"key"_s, u"--delay"_s, u"100"_s, u"5"_s, u"F12"_s}));

    const QByteArray expected = "\x1b"
                                "b^t^DMLIEKO polotu\xe8n\xe9 1 l^k\r\n"
                                "^J  0.89^k ^Q   3.00^k ^M ks^k  \x1b"
                                "2NNN     2.67 EUR^N\r\n"
                                "\x1bk        2.67 EUR\r\n"
                                "\x1bP1        2.67\r\n"
                                "\x1b"
                                "e";
    QTRY_COMPARE_WITH_TIMEOUT(folder.journalFiles(u"receipt"_s), QList<QByteArray>{expected}, kTimeoutMs);

    const QString marked =
        u"SELECT FISK, DU, DOKLAD, ID_DOKLAD, CENA_INT FROM PREDAJ_%1"_s.arg(QDate::currentDate().year());
    const auto markedRows = [&] {
        QStringList rows;
        QSqlQuery query(sales);
        if (query.exec(marked)) {
            while (query.next()) {
                QStringList values;
                for (int column = 0; column < 5; ++column)
                    values.append(query.value(column).toString());
                rows.append(values.join(u' '));
            }
        }
        return rows;
    };
    // The simulator's first document is number 1; no daily closing was made yet.
    QTRY_COMPARE_WITH_TIMEOUT(markedRows(), QStringList{u"1 1 1 1 267"_s}, kTimeoutMs);
    QVERIFY(QDir(folder.file(u"cennik"_s)).entryList({u"*.pending"_s}, QDir::Files).isEmpty());
    closeSalesCheck(sales);
}

void TestProgramProcess::endingDuringThePaymentPrintsNothing_data()
{
    QTest::addColumn<bool>("bySignal");
    QTest::newRow("termination signal") << true;
    QTest::newRow("close request to the program's window") << false;
}

// A shutdown while the customer is still paying: the program ends and nothing goes to the
// print manager; the sale stays open for the next run.
void TestProgramProcess::endingDuringThePaymentPrintsNothing()
{
    QFETCH(bool, bySignal);
    ProgramFolder folder("TM=TM-simulator-test\r\nPOKL_START=1\r\n");
    QSqlDatabase sales;
    sellThreeMilksUpToThePayment(folder, sales);
    QProcess *program = m_programs.value(1);
    if (!QTest::currentTestFailed() && program) {
        if (bySignal)
            program->terminate();
        else
            QCOMPARE(requestClose(u"Omira Predaj"_s), 1);
        QVERIFY(hasEnded(*program));
        QCOMPARE(program->exitStatus(), QProcess::NormalExit);
        // Long enough for the simulator to take a receipt that was handed over.
        QTest::qWait(1500);
        QCOMPARE(folder.journal().count(u"receipt"_s), 0);
        QVERIFY(QDir(folder.file(u"cennik"_s)).entryList({u"*.pending"_s}, QDir::Files).isEmpty());
        QCOMPARE(openRows(sales), QStringList{u"MLIEKO polotučné 1 l 3 267"_s});
    }
    closeSalesCheck(sales);
}

// Two tills on one data folder, each with its program folder, its print manager and its own
// session of the machine. A till started with a number that already runs is refused. Then
// each cashier types an item in, and each receipt holds only its own till's item.
void TestProgramProcess::twoTillsOnOneDataFolderPrintTheirOwnItems_data()
{
    QTest::addColumn<bool>("onServer");
    QTest::newRow("shared folder") << false;
    QTest::newRow("database server") << true;
}

// Two tills, each in an X session of its own with its own print manager, share
// a data folder, or a database server with it.
void TestProgramProcess::twoTillsOnOneDataFolderPrintTheirOwnItems()
{
    QFETCH(bool, onServer);
    if (QStandardPaths::findExecutable(u"Xvfb"_s).isEmpty())
        QSKIP("needs Xvfb for the second till's session");
    const QString unavailable = TestStore::unavailable(onServer);
    if (!unavailable.isEmpty()) {
        if (qEnvironmentVariableIsSet("CI"))
            QFAIL(qPrintable(unavailable));
        QSKIP(qPrintable(unavailable));
    }
    m_session = std::make_unique<SecondDisplay>();
    SecondDisplay &session = *m_session;
    QVERIFY2(session.start(), "no second display");
    const TestStore shared(onServer);
    QVERIFY(shared.isValid());
    const DataServer server = shared.server();
    QVERIFY(writePriceList(shared.path(u"vx60_sklad.db"_s),
                           {{u"MLIEKO polotučné 1 l"_s, 0.89}, {u"CHLIEB tmavý"_s, 1.20}}, server));
    const QByteArray dataFolder = "LAN_PATH=" + shared.folder().toUtf8() + "\r\n";
    ProgramFolder first("TM=TM-till-1\r\nPOKL_START=1\r\n" + dataFolder);
    ProgramFolder second("POKLADNA=1\r\nTM=TM-till-2\r\nPOKL_START=1\r\n" + dataFolder);
    if (onServer) {
        const QByteArray section =
            "[DATABAZA]\r\nSERVER=POSTGRESQL\r\nSPOJENIE=" + server.connection.toUtf8() + "\r\n";
        for (const ProgramFolder *till : {&first, &second}) {
            const QString settings = till->file(u"cennik/pokladna.ini"_s);
            QVERIFY(TestPaths::writeFile(settings, TestPaths::readFile(settings) + section));
        }
    }

    startSimulator(first);
    QTRY_VERIFY_WITH_TIMEOUT(windowExists(u"TM-till-1"_s), kTimeoutMs);
    start(first);
    const QString saleCaption = m_messages.text(Msg::SaleCaption);
    const QString salePattern = u'^' + saleCaption + u'$';
    QTRY_VERIFY_WITH_TIMEOUT(xdotool({u"search"_s, u"--onlyvisible"_s, u"--name"_s, salePattern}),
                             kTimeoutMs);

    // The second till, by mistake numbered 1 as well, is told and ends.
    QProcess *refused = start(second, session.environment());
    QVERIFY(session.answerBox(u"Program Omira"_s, u"Return"_s));
    QVERIFY(hasEnded(*refused));
    QCOMPARE(refused->exitCode(), 0);
    QVERIFY2(second.log().contains("Till 1 already runs on the data folder"), second.log().constData());

    const QString settings = second.file(u"cennik/pokladna.ini"_s);
    QVERIFY(
        TestPaths::writeFile(settings, TestPaths::readFile(settings).replace("POKLADNA=1", "POKLADNA=2")));
    startSimulator(second, {}, session.environment());
    QTRY_VERIFY_WITH_TIMEOUT(session.windowExists(u"TM-till-2"_s), kTimeoutMs);
    start(second, session.environment());
    QTRY_VERIFY_WITH_TIMEOUT(session.xdotool({u"search"_s, u"--onlyvisible"_s, u"--name"_s, salePattern}),
                             kTimeoutMs);

    // Both cashiers type an item in before either prints; an open row carries the number its
    // receipt is expected to get.
    QVERIFY(
        xdotool({u"search"_s, u"--onlyvisible"_s, u"--name"_s, salePattern, u"windowfocus"_s, u"--sync"_s}));
    QVERIFY(xdotool({u"type"_s, u"--delay"_s, u"30"_s, u"mlie"_s}));
    QVERIFY(xdotool({u"key"_s, u"--delay"_s, u"100"_s, u"Return"_s, u"ctrl+a"_s, u"3"_s, u"Return"_s}));
    QVERIFY(session.xdotool(
        {u"search"_s, u"--onlyvisible"_s, u"--name"_s, salePattern, u"windowfocus"_s, u"--sync"_s}));
    QVERIFY(session.xdotool({u"type"_s, u"--delay"_s, u"30"_s, u"chli"_s}));
    QVERIFY(
        session.xdotool({u"key"_s, u"--delay"_s, u"100"_s, u"Return"_s, u"ctrl+a"_s, u"2"_s, u"Return"_s}));
    const QString salesPath = shared.path(u"predaj_%1.db"_s.arg(QDate::currentDate().year()));
    QTRY_COMPARE_WITH_TIMEOUT(salesRows(salesPath, server),
                              QStringList({u"MLIEKO polotučné 1 l 1 0 1"_s, u"CHLIEB tmavý 2 0 1"_s}),
                              kTimeoutMs);

    // Each prints, paying 10.00 in cash in the payment dialog.
    const QString payment = u"^Úhrada dokladu$"_s;
    QVERIFY(xdotool({u"key"_s, u"F12"_s}));
    QTRY_VERIFY_WITH_TIMEOUT(xdotool({u"search"_s, u"--onlyvisible"_s, u"--name"_s, payment}), kTimeoutMs);
    // The dialog pauses before it is shown: once it is on screen it takes keys.
    QVERIFY(xdotool({u"search"_s, u"--onlyvisible"_s, u"--name"_s, payment, u"windowfocus"_s, u"--sync"_s}));
    QVERIFY(xdotool({u"key"_s, u"--delay"_s, u"100"_s, u"1"_s, u"0"_s, u"F12"_s}));
    QTRY_COMPARE_WITH_TIMEOUT(first.journalFiles(u"receipt"_s).size(), 1, kTimeoutMs);

    QVERIFY(session.xdotool({u"key"_s, u"F12"_s}));
    QTRY_VERIFY_WITH_TIMEOUT(session.xdotool({u"search"_s, u"--onlyvisible"_s, u"--name"_s, payment}),
                             kTimeoutMs);
    QVERIFY(session.xdotool(
        {u"search"_s, u"--onlyvisible"_s, u"--name"_s, payment, u"windowfocus"_s, u"--sync"_s}));
    QVERIFY(session.xdotool({u"key"_s, u"--delay"_s, u"100"_s, u"1"_s, u"0"_s, u"F12"_s}));
    QTRY_COMPARE_WITH_TIMEOUT(second.journalFiles(u"receipt"_s).size(), 1, kTimeoutMs);

    const QByteArray receipt = first.journalFiles(u"receipt"_s).constFirst();
    QVERIFY2(receipt.contains("^DMLIEKO polotu\xe8n\xe9 1 l^k") && !receipt.contains("CHLIEB"),
             receipt.constData());
    QVERIFY(receipt.contains("\x1bk        2.67 EUR\r\n"));
    const QByteArray other = second.journalFiles(u"receipt"_s).constFirst();
    QVERIFY2(other.contains("^DCHLIEB tmav\xfd^k") && !other.contains("MLIEKO"), other.constData());
    QVERIFY(other.contains("\x1bk        2.40 EUR\r\n"));
    // Each print manager's first document.
    QTRY_COMPARE_WITH_TIMEOUT(salesRows(salesPath, server),
                              QStringList({u"MLIEKO polotučné 1 l 1 1 1"_s, u"CHLIEB tmavý 2 1 1"_s}),
                              kTimeoutMs);
}

// The cashier moved the sale screen and made it taller, then ends the program from the tray
// menu with the screen still open: the next start finds the window where it was left.
void TestProgramProcess::endingFromTheTrayKeepsTheSaleScreenLayout()
{
    ProgramFolder folder("TM=TM-simulator-test\r\nPOKL_START=1\r\nENDTM=1\r\n");
    QProcess *simulator = startSimulator(folder);
    QTRY_VERIFY_WITH_TIMEOUT(windowExists(u"TM-simulator-test"_s), kTimeoutMs);
    QProcess *program = start(folder);
    const QString saleScreen = u'^' + m_messages.text(Msg::SaleCaption) + u'$';
    QTRY_VERIFY_WITH_TIMEOUT(xdotool({u"search"_s, u"--onlyvisible"_s, u"--name"_s, saleScreen}), kTimeoutMs);
    QVERIFY(xdotool({u"search"_s, u"--onlyvisible"_s, u"--name"_s, saleScreen, u"windowmove"_s, u"--sync"_s,
                     u"140"_s, u"90"_s, u"windowsize"_s, u"--sync"_s, u"1010"_s, u"520"_s}));

    chooseTrayMenuEntry(1);
    QVERIFY(answerBox(*m_windows, m_messages.text(Msg::CloseCaption), u"alt+o"_s));
    QVERIFY2(hasEnded(*program), folder.log().constData());
    QVERIFY(hasEnded(*simulator));

    IniFile settings(folder.file(u"cennik/pokladna.ini"_s));
    QVERIFY(settings.load());
    QCOMPARE(settings.readInt(u"POKL"_s, u"LEFT"_s, -1), 140);
    QCOMPARE(settings.readInt(u"POKL"_s, u"TOP"_s, -1), 90);
    QCOMPARE(settings.readInt(u"POKL"_s, u"HEIGHT"_s, -1), 520);
    for (const QString &column : {u"COL_D_0"_s, u"COL_D_4"_s, u"COL_S_0"_s, u"COL_S_3"_s})
        QVERIFY2(settings.readInt(u"POKL"_s, column, 0) >= 50, qPrintable(column));
    QCOMPARE(settings.readString(u"POKL"_s, u"COL_S_NAME_0"_s, {}), u"NAZOV"_s);
}

QTEST_MAIN(TestProgramProcess)
#include "tst_programprocess.moc"

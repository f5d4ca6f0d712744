// A price-list card made and sold through the built program as a real process on an X display,
// as a cashier does it: "CENNÍK" opened from the sale screen, the card typed in field by field
// and saved, the screen closed, the card found on the sale screen and printed. The focus of the
// screens is read on the accessibility bus after every key, so that a key that leaves the
// cashier in the wrong field fails the test where it happens.
#include "AccessibilityBus.h"
#include "ProgramProcess.h"
#include "TestPaths.h"
#include "lang/MessageTable.h"
#include "platform/WindowFinder.h"
#include "stock/UnitAndGroupNames.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QtEndian>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString PriceListCaption = u"Cenník"_s;

// One step of the cashier on a screen: the keys (typed text or named keys for xdotool) and
// the widget that has the focus afterwards, as {name, text}.
struct Step
{
    QStringList keys;
    QStringList focusedAfter;
};

QStringList typed(const QString &text)
{
    return {u"type"_s, u"--delay"_s, u"50"_s, text};
}

QStringList pressed(const QString &key)
{
    return {u"key"_s, key};
}

// The stored card of code `code` as "name|bar code|price|quantity|unit|unit index|VAT index|box",
// read from the file as another program would read it; empty when there is none.
QString storedCard(const QString &stockFile, const QString &code)
{
    const QString connection = u"stock-check"_s;
    QString card;
    {
        QSqlDatabase stock = QSqlDatabase::addDatabase(u"QSQLITE"_s, connection);
        stock.setDatabaseName(stockFile);
        QSqlQuery query(stock);
        if (stock.open() && query.prepare(u"SELECT NAZOV, BARCODE, JC, POCET, MJ, MJ_IDX, DPH_IDX, OBAL "
                                          "FROM VX60_SKLAD WHERE KOD = ?"_s)) {
            query.addBindValue(code);
            if (query.exec() && query.next()) {
                QStringList values;
                for (int column = 0; column < 8; ++column)
                    values.append(query.value(column).toString());
                card = values.join(u'|');
            }
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return card;
}

} // namespace

class TestPriceListProcess : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void cardMadeInThePriceListIsSoldAndPrinted();
    void oldBinaryPriceListIsLoadedAndSold();
    void importedPriceListIsSold();

private:
    void prepareDataFolder(const ProgramFolder &folder);
    // Does the steps one by one on the window titled `title`, each once the one before has
    // moved the focus where it should.
    void walk(const QString &title, const QList<Step> &steps);
    // Waits for the window titled `title` to be on screen and gives it the keys.
    void activate(const QString &title);
    // Starts the simulator titled `printManager` and the program on the prepared folder, and
    // opens the price list from the sale screen.
    // `numbers` names the regional settings of the program's numbers; empty: the test's own.
    void startAndOpenPriceList(const QString &printManager, const QString &numbers = QString());
    // From the price list, the maintenance screen's tab "Import/Export" and its button by Alt with `letter`.
    void pressOnImportTab(const QString &letter);
    // Closes the maintenance screen without saving and the price list, back on the sale screen.
    void backToTheSaleScreen();
    // On the sale screen: `search` finds the card, Enter takes it, Enter stores one piece, and
    // F12 prints it paid in cash.
    void sellAndPrint(const QString &search);

    QString saleScreen() const { return m_messages.text(Msg::SaleCaption); }
    // The sale screen's search field has no caption of its own.
    // The sale screen's search field is read by the column it searches, by name at first.
    QStringList saleSearch(const QString &text = {}) const
    {
        return {m_messages.text(Msg::SearchByName), text};
    }
    // The price list's search field is captioned by its search mode.
    QStringList cardSearch() const { return {m_messages.text(Msg::FilterByName), QString()}; }

    std::unique_ptr<platform::WindowFinder> m_windows = platform::createWindowFinder();
    MessageTable m_messages;
    AccessibilityBus m_bus;
    StartedPrograms m_programs;
    std::unique_ptr<ProgramFolder> m_folder;
};

void TestPriceListProcess::initTestCase()
{
    if (QGuiApplication::platformName() != u"xcb")
        QSKIP("needs an X display");
    if (QStandardPaths::findExecutable(u"xdotool"_s).isEmpty())
        QSKIP("needs xdotool to act as the user");
    if (!m_bus.start())
        QSKIP("needs dbus-daemon and the accessibility bus (at-spi2-core) to follow the focus");
    QCOMPARE(m_messages.load(TestPaths::shippedLanguageFile(u"vx60_sk.msg"_s)),
             MessageTable::LoadResult::Loaded);
}

void TestPriceListProcess::cleanup()
{
    // The programs end before their folder is removed, so that none writes into it meanwhile.
    m_programs.endAll();
    m_folder.reset();
}

// Units where the card's "kg" is not the first one, and a price list holding another card
// already, which the search on the sale screen must pass over.
void TestPriceListProcess::prepareDataFolder(const ProgramFolder &folder)
{
    const QString dataFolder = folder.file(u"cennik/"_s);
    QVERIFY(UnitAndGroupNames::fromLists({u"krát"_s, u"ks"_s, u"kg"_s}, {u"Potraviny"_s}).save(dataFolder));
    QVERIFY(folder.writeMilkPriceList());
}

namespace {

// A window's name as xdotool finds it. A program whose C library runs in the plain "C" locale
// (regional settings that the machine has not installed) writes the older, 8-bit copy of its
// title lossily, so a letter beyond ASCII stands for whatever bytes it became.
QString windowNamePattern(const QString &title)
{
    QString pattern = u"^"_s;
    for (const QChar c : title)
        pattern += c.unicode() < 0x80 ? QRegularExpression::escape(QString(c)) : u".+"_s;
    return pattern + u'$';
}

} // namespace

void TestPriceListProcess::activate(const QString &title)
{
    const QString pattern = windowNamePattern(title);
    QTRY_VERIFY_WITH_TIMEOUT(xdotool({u"search"_s, u"--onlyvisible"_s, u"--name"_s, pattern}), kTimeoutMs);
    QVERIFY(xdotool({u"search"_s, u"--onlyvisible"_s, u"--name"_s, pattern, u"windowfocus"_s, u"--sync"_s}));
}

void TestPriceListProcess::startAndOpenPriceList(const QString &printManager, const QString &numbers)
{
    const ProgramFolder &folder = *m_folder;
    m_programs.start(QStringLiteral(OMIRA_TM_EXE), {u"--program-folder"_s, folder.path()}, folder.path(),
                     QProcessEnvironment::systemEnvironment());
    QTRY_VERIFY_WITH_TIMEOUT(m_windows->windowExists(printManager.toStdString()), kTimeoutMs);
    QProcessEnvironment environment = m_bus.environment();
    if (!numbers.isEmpty())
        environment.insert(u"LC_NUMERIC"_s, numbers);
    m_programs.start(folder.executable(), {}, folder.path(), environment);

    // Without a window manager no window gets the keys when it first shows: the cashier's first
    // click into the sale screen does that.
    activate(saleScreen());
    QTRY_COMPARE_WITH_TIMEOUT(m_bus.focused(saleScreen()), saleSearch(), kTimeoutMs);
    QVERIFY(xdotool(pressed(u"alt+c"_s)));
    QTRY_COMPARE_WITH_TIMEOUT(m_bus.focused(PriceListCaption), cardSearch(), kTimeoutMs);
}

void TestPriceListProcess::sellAndPrint(const QString &search)
{
    walk(saleScreen(), {
                           {typed(search), saleSearch(search)},
                           {pressed(u"Return"_s), {u"Počet"_s, u"1"_s}},
                           {pressed(u"Return"_s), saleSearch()},
                       });
    if (QTest::currentTestFailed())
        return;
    QVERIFY(xdotool(pressed(u"F12"_s)));
    // The payment dialog pauses before it is shown: once it is on screen it takes keys.
    activate(u"Úhrada dokladu"_s);
    // A digit in the payment list starts the amount of payment means 1; F12 prints.
    QVERIFY(xdotool({u"key"_s, u"--delay"_s, u"100"_s, u"1"_s, u"0"_s, u"F12"_s}));
}

void TestPriceListProcess::walk(const QString &title, const QList<Step> &steps)
{
    for (const Step &step : steps) {
        QVERIFY(xdotool(step.keys));
        QTRY_COMPARE_WITH_TIMEOUT(m_bus.focused(title), step.focusedAfter, kTimeoutMs);
    }
}

// The new card: code, bar code, name, a price typed with a decimal comma, a stock quantity and
// the third unit chosen by its first letters; Enter walks every field up to "Ulož", which saves.
// Escape back on the sale screen, part of the name finds the card, Enter takes it, Enter on the
// quantity stores it, and the receipt's item line carries the card's name, price and unit.
void TestPriceListProcess::cardMadeInThePriceListIsSoldAndPrinted()
{
    m_folder = std::make_unique<ProgramFolder>("TM=TM-pricelist-test\r\nPOKL_START=1\r\n");
    const ProgramFolder &folder = *m_folder;
    prepareDataFolder(folder);
    if (QTest::currentTestFailed())
        return;
    startAndOpenPriceList(u"TM-pricelist-test"_s);
    if (QTest::currentTestFailed())
        return;

    // The cashier types a comma; the field shows the separator of the till's number format.
    const QString price = u"7"_s + QLocale().decimalPoint() + u"49"_s;
    walk(PriceListCaption, {
                               {pressed(u"Insert"_s), {u"Kód "_s, QString()}},
                               {typed(u"4711"_s), {u"Kód "_s, u"4711"_s}},
                               {pressed(u"Return"_s), {u"Čiarový kód"_s, QString()}},
                               {typed(u"8588000471106"_s), {u"Čiarový kód"_s, u"8588000471106"_s}},
                               {pressed(u"Return"_s), {u"Obal"_s, QString()}},
                               {pressed(u"Return"_s), {u"Názov"_s, QString()}},
                               {typed(u"SYR eidam plátky"_s), {u"Názov"_s, u"SYR eidam plátky"_s}},
                               {pressed(u"Return"_s), {u"Názov, druhý riadok"_s, QString()}},
                               {pressed(u"Return"_s), {u"Názov, tretí riadok"_s, QString()}},
                               {pressed(u"Return"_s), {u"Cena"_s, u"0"_s}},
                               // The typed price replaces the "0" the new card opens with.
                               {typed(u"7,49"_s), {u"Cena"_s, price}},
                               {pressed(u"Return"_s), {u"Množstvo"_s, u"0"_s}},
                               {typed(u"12"_s), {u"Množstvo"_s, u"12"_s}},
                               // A list is named by its chosen entry.
                               {pressed(u"Return"_s), {u"krát"_s, QString()}},
                               {typed(u"kg"_s), {u"kg"_s, QString()}},
                               {pressed(u"Return"_s), {u"Zvýšená 23%"_s, QString()}},
                               {pressed(u"Return"_s), {u"Ulož"_s, QString()}},
                               // Saved: the cashier is back in the search field.
                               {pressed(u"Return"_s), cardSearch()},
                           });
    if (QTest::currentTestFailed())
        return;
    const QString stockFile = folder.file(u"cennik/vx60_sklad.db"_s);
    QCOMPARE(storedCard(stockFile, u"4711"_s), u"SYR eidam plátky|8588000471106|7.49|12|kg|2|0|0"_s);

    QVERIFY(xdotool(pressed(u"Escape"_s)));
    QTRY_VERIFY_WITH_TIMEOUT(m_bus.widgets(PriceListCaption).isEmpty(), kTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(m_bus.focused(saleScreen()), saleSearch(), kTimeoutMs);
    sellAndPrint(u"eidam"_s);
    if (QTest::currentTestFailed())
        return;

    // The item line: the name in code page 1250, the price, one piece of the card's unit and the
    // first VAT level, which the card kept.
    const QByteArray receipt = "\x1b"
                               "b^t^DSYR eidam pl\xe1tky^k\r\n"
                               "^J  7.49^k ^Q   1.00^k ^M kg^k  \x1b"
                               "1NNN     7.49 EUR^N\r\n"
                               "\x1bk        7.49 EUR\r\n"
                               "\x1bP1        7.49\r\n"
                               "\x1b"
                               "e";
    QTRY_COMPARE_WITH_TIMEOUT(folder.journalFiles(u"receipt"_s), QList<QByteArray>{receipt}, kTimeoutMs);
    // The payment dialog gone and the print over, the keys are back in the sale screen's
    // search field.
    QTRY_COMPARE_WITH_TIMEOUT(m_bus.focused(saleScreen()), saleSearch(), kTimeoutMs);
    QVERIFY(xdotool(typed(u"syr"_s)));
    QTRY_COMPARE_WITH_TIMEOUT(m_bus.focused(saleScreen()), saleSearch(u"syr"_s), kTimeoutMs);
}

// One record of the old binary price list: name, code, price, quantity and VAT entry in their
// fixed places of 88 bytes, texts in code page 1250.
QByteArray binaryRecord(const QByteArray &name, const QByteArray &code, double price, double quantity,
                        char vat)
{
    QByteArray record(88, '\0');
    record.replace(0, name.size(), name);
    record.replace(40, code.size(), code);
    const auto putDouble = [&record](int offset, double value) {
        QByteArray bytes(8, '\0');
        qToLittleEndian(value, bytes.data());
        record.replace(offset, 8, bytes);
    };
    putDouble(56, price);
    putDouble(64, quantity);
    record[80] = vat;
    return record;
}

// The shop's old price list, copied into the data folder's "import" folder, is loaded from the
// maintenance screen ("Servis" on the price list) through the file dialog; its card without a
// code gets a generated one, and the cashier sells it at once.
void TestPriceListProcess::oldBinaryPriceListIsLoadedAndSold()
{
    m_folder = std::make_unique<ProgramFolder>("TM=TM-binlist-test\r\nPOKL_START=1\r\n");
    const ProgramFolder &folder = *m_folder;
    prepareDataFolder(folder);
    const QString importFile = folder.file(u"cennik/import/stary.bin"_s);
    QVERIFY(QDir().mkpath(folder.file(u"cennik/import"_s)));
    QVERIFY(TestPaths::writeFile(importFile, binaryRecord("Chlieb \x9e\x69tn\xfd", "", 1.89, 10, 0) +
                                                 binaryRecord("Ro\x9eok", "R1", 0.12, 200, 0)));
    startAndOpenPriceList(u"TM-binlist-test"_s);
    if (QTest::currentTestFailed())
        return;

    // The button "Načítaj cenník" of the tab "Import/Export".
    pressOnImportTab(u"n"_s);
    const QString fileDialog = m_messages.text(Msg::LoadPriceListTitle);
    QTRY_VERIFY_WITH_TIMEOUT(!m_bus.widgets(fileDialog).isEmpty(), kTimeoutMs);
    QVERIFY(xdotool({u"key"_s, u"ctrl+a"_s}));
    QVERIFY(xdotool(typed(importFile)));
    QVERIFY(xdotool(pressed(u"Return"_s)));

    const QString stockFile = folder.file(u"cennik/vx60_sklad.db"_s);
    QTRY_COMPARE_WITH_TIMEOUT(storedCard(stockFile, u"I_0001"_s).section(u'|', 0, 0), u"Chlieb žitný"_s,
                              kTimeoutMs);
    QCOMPARE(storedCard(stockFile, u"R1"_s).section(u'|', 0, 0), u"Rožok"_s);

    // Closing the maintenance screen without saving its settings, then the price list.
    QTRY_VERIFY_WITH_TIMEOUT(m_bus.widgets(fileDialog).isEmpty(), kTimeoutMs);
    backToTheSaleScreen();
    if (QTest::currentTestFailed())
        return;
    sellAndPrint(u"žitný"_s);
    if (QTest::currentTestFailed())
        return;
    QTRY_COMPARE_WITH_TIMEOUT(folder.journalFiles(u"receipt"_s).size(), 1, kTimeoutMs);
    const QByteArray receipt = folder.journalFiles(u"receipt"_s).constFirst();
    QVERIFY2(receipt.contains("Chlieb \x9e\x69tn\xfd") && receipt.contains("  1.89"), receipt.constData());
}

void TestPriceListProcess::pressOnImportTab(const QString &letter)
{
    QVERIFY(xdotool(pressed(u"alt+r"_s)));
    QTRY_VERIFY_WITH_TIMEOUT(!m_bus.widgets(u"Cenník údržba"_s).isEmpty(), kTimeoutMs);
    // The fifth tab, "Import/Export".
    QVERIFY(xdotool({u"key"_s, u"--delay"_s, u"100"_s, u"ctrl+Tab"_s, u"ctrl+Tab"_s, u"ctrl+Tab"_s,
                     u"ctrl+Tab"_s, u"alt+"_s + letter}));
}

void TestPriceListProcess::backToTheSaleScreen()
{
    const QString serviceScreen = u"Cenník údržba"_s;
    // Without a window manager a closed dialog hands the keys back to no window.
    activate(serviceScreen);
    QVERIFY(xdotool(pressed(u"Escape"_s)));
    QTRY_VERIFY_WITH_TIMEOUT(!m_bus.widgets(m_messages.text(Msg::ServiceCaption)).isEmpty(), kTimeoutMs);
    QVERIFY(xdotool(pressed(u"alt+n"_s)));
    QTRY_VERIFY_WITH_TIMEOUT(m_bus.widgets(serviceScreen).isEmpty(), kTimeoutMs);
    activate(PriceListCaption);
    QTRY_COMPARE_WITH_TIMEOUT(m_bus.focused(PriceListCaption), cardSearch(), kTimeoutMs);
    QVERIFY(xdotool(pressed(u"Escape"_s)));
    QTRY_VERIFY_WITH_TIMEOUT(m_bus.widgets(PriceListCaption).isEmpty(), kTimeoutMs);
    activate(saleScreen());
    QTRY_COMPARE_WITH_TIMEOUT(m_bus.focused(saleScreen()), saleSearch(), kTimeoutMs);
}

// A shop's price list saved by its spreadsheet as text (cennik.csv: a title row, decimal commas,
// two bad rows) replaces the price list through "Import": the question answered Yes, the file
// chosen in the file dialog, the preview taken with Enter, the notice of the backup and the
// outcome closed; the new card is sold at once.
void TestPriceListProcess::importedPriceListIsSold()
{
    m_folder = std::make_unique<ProgramFolder>("TM=TM-import-test\r\nPOKL_START=1\r\n");
    const ProgramFolder &folder = *m_folder;
    prepareDataFolder(folder);
    const QString importFile = folder.file(u"cennik/import/cennik.csv"_s);
    QVERIFY(QDir().mkpath(folder.file(u"cennik/import"_s)));
    QVERIFY(QFile::copy(TestPaths::sourceDir() + u"/tests/stock/data/import/cennik.csv"_s, importFile));
    startAndOpenPriceList(u"TM-import-test"_s, u"sk_SK.UTF-8"_s);
    if (QTest::currentTestFailed())
        return;
    pressOnImportTab(u"i"_s);
    if (QTest::currentTestFailed())
        return;

    const QString caption = m_messages.text(Msg::ReplacePriceListCaption);
    activate(caption);
    QVERIFY(xdotool(pressed(u"alt+o"_s)));
    const QString fileDialog = u"Import položiek - výber súboru"_s;
    QTRY_VERIFY_WITH_TIMEOUT(!m_bus.widgets(fileDialog).isEmpty(), kTimeoutMs);
    QVERIFY(xdotool({u"key"_s, u"ctrl+a"_s}));
    QVERIFY(xdotool(typed(importFile)));
    QVERIFY(xdotool(pressed(u"Return"_s)));
    activate(u"Náhľad importu"_s);
    QVERIFY(xdotool(pressed(u"Return"_s)));
    // The notice that the old price list goes to the backup, then the import.
    activate(caption);
    QVERIFY(xdotool(pressed(u"Return"_s)));
    const QString stockFile = folder.file(u"cennik/vx60_sklad.db"_s);
    QTRY_COMPARE_WITH_TIMEOUT(storedCard(stockFile, u"500"_s), u"Čučoriedky lesné||3.2|10|krát|0|1|0"_s,
                              kTimeoutMs);
    QCOMPARE(storedCard(stockFile, u"100"_s), QString());
    QCOMPARE(QDir(folder.file(u"cennik/zaloha"_s)).entryList(QDir::Files).size(), 1);
    // The outcome with the two refused rows.
    activate(caption);
    QVERIFY(xdotool(pressed(u"Return"_s)));
    QTRY_VERIFY_WITH_TIMEOUT(m_bus.widgets(caption).isEmpty(), kTimeoutMs);

    backToTheSaleScreen();
    if (QTest::currentTestFailed())
        return;
    sellAndPrint(u"lesn"_s);
    if (QTest::currentTestFailed())
        return;
    QTRY_COMPARE_WITH_TIMEOUT(folder.journalFiles(u"receipt"_s).size(), 1, kTimeoutMs);
    const QByteArray receipt = folder.journalFiles(u"receipt"_s).constFirst();
    QVERIFY2(receipt.contains("\xc8u\xe8oriedky lesn\xe9") && receipt.contains("  3.20"),
             receipt.constData());
}

QTEST_MAIN(TestPriceListProcess)
#include "tst_pricelistprocess.moc"

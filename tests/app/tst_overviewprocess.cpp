// The sales overview through the built program as a real process on an X display: two receipts
// sold and printed on the sale screen, then "Prehľady" opened, whose footer shows what they came
// to. The widgets are read on the accessibility bus.
#include "AccessibilityBus.h"
#include "ProgramProcess.h"
#include "TestPaths.h"
#include "lang/MessageTable.h"
#include "platform/WindowFinder.h"
#include "stock/TableLayouts.h"
#include "stock/UnitAndGroupNames.h"

#include <QDate>
#include <QGuiApplication>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString OverviewCaption = u"Prehľad predaja"_s;

QStringList pressed(const QString &key)
{
    return {u"key"_s, key};
}

// How many rows of this year's sales file are marked printed, read as another program would.
int printedRows(const QString &salesFile)
{
    const QString connection = u"sales-check"_s;
    int rows = -1;
    {
        QSqlDatabase sales = QSqlDatabase::addDatabase(u"QSQLITE"_s, connection);
        sales.setDatabaseName(salesFile);
        QSqlQuery query(sales);
        const QString table = TableLayouts::salesTableName(QDate::currentDate().year());
        if (sales.open() && query.exec(u"SELECT COUNT(*) FROM %1 WHERE FISK=1"_s.arg(table)) && query.next())
            rows = query.value(0).toInt();
    }
    QSqlDatabase::removeDatabase(connection);
    return rows;
}

} // namespace

class TestOverviewProcess : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void overviewSumsTheReceiptsSold();

private:
    // Waits for the window titled `title` to be on screen and gives it the keys.
    void activate(const QString &title);
    // On the sale screen: the milk found, taken and stored, and printed paid in cash.
    void sellMilk();

    QString saleScreen() const { return m_messages.text(Msg::SaleCaption); }
    // The sale screen's search field has no caption of its own.
    // The sale screen's search field is read by the column it searches, by name at first.
    QStringList saleSearch(const QString &text = {}) const
    {
        return {m_messages.text(Msg::SearchByName), text};
    }

    std::unique_ptr<platform::WindowFinder> m_windows = platform::createWindowFinder();
    MessageTable m_messages;
    AccessibilityBus m_bus;
    StartedPrograms m_programs;
    std::unique_ptr<ProgramFolder> m_folder;
};

void TestOverviewProcess::initTestCase()
{
    if (QGuiApplication::platformName() != u"xcb")
        QSKIP("needs an X display");
    if (QStandardPaths::findExecutable(u"xdotool"_s).isEmpty())
        QSKIP("needs xdotool to act as the user");
    if (!m_bus.start())
        QSKIP("needs dbus-daemon and the accessibility bus (at-spi2-core) to read the screen");
    QCOMPARE(m_messages.load(TestPaths::shippedLanguageFile(u"vx60_sk.msg"_s)),
             MessageTable::LoadResult::Loaded);
}

void TestOverviewProcess::cleanup()
{
    // The programs end before their folder is removed, so that none writes into it meanwhile.
    m_programs.endAll();
    m_folder.reset();
}

void TestOverviewProcess::activate(const QString &title)
{
    const QString pattern = u'^' + QRegularExpression::escape(title) + u'$';
    QTRY_VERIFY_WITH_TIMEOUT(xdotool({u"search"_s, u"--onlyvisible"_s, u"--name"_s, pattern}), kTimeoutMs);
    QVERIFY(xdotool({u"search"_s, u"--onlyvisible"_s, u"--name"_s, pattern, u"windowfocus"_s, u"--sync"_s}));
}

void TestOverviewProcess::sellMilk()
{
    activate(saleScreen());
    QTRY_COMPARE_WITH_TIMEOUT(m_bus.focused(saleScreen()), saleSearch(), kTimeoutMs);
    QVERIFY(xdotool({u"type"_s, u"--delay"_s, u"50"_s, u"mlieko"_s}));
    QTRY_COMPARE_WITH_TIMEOUT(m_bus.focused(saleScreen()), saleSearch(u"mlieko"_s), kTimeoutMs);
    QVERIFY(xdotool(pressed(u"Return"_s)));
    QTRY_COMPARE_WITH_TIMEOUT(m_bus.focused(saleScreen()), (QStringList{u"Počet"_s, u"1"_s}), kTimeoutMs);
    QVERIFY(xdotool(pressed(u"Return"_s)));
    QTRY_COMPARE_WITH_TIMEOUT(m_bus.focused(saleScreen()), saleSearch(), kTimeoutMs);
    QVERIFY(xdotool(pressed(u"F12"_s)));
    // The payment dialog pauses before it is shown: once it is on screen it takes keys.
    activate(u"Úhrada dokladu"_s);
    // A digit in the payment list starts the amount of payment means 1; F12 prints.
    QVERIFY(xdotool({u"key"_s, u"--delay"_s, u"100"_s, u"1"_s, u"0"_s, u"F12"_s}));
}

// Two receipts of one milk at 0.89 each: the overview opens on the printer's closing and its
// footer shows 1.78.
void TestOverviewProcess::overviewSumsTheReceiptsSold()
{
    m_folder = std::make_unique<ProgramFolder>("TM=TM-overview-test\r\nPOKL_START=1\r\n");
    const ProgramFolder &folder = *m_folder;
    QVERIFY(
        UnitAndGroupNames::fromLists({u"krát"_s, u"ks"_s}, {u"Potraviny"_s}).save(folder.file(u"cennik/"_s)));
    QVERIFY(folder.writeMilkPriceList());
    m_programs.start(QStringLiteral(OMIRA_TM_EXE), {u"--program-folder"_s, folder.path()}, folder.path(),
                     QProcessEnvironment::systemEnvironment());
    QTRY_VERIFY_WITH_TIMEOUT(m_windows->windowExists("TM-overview-test"), kTimeoutMs);
    m_programs.start(folder.executable(), {}, folder.path(), m_bus.environment());

    const QString salesFile = folder.file(u"cennik/predaj_%1.db"_s.arg(QDate::currentDate().year()));
    for (int receipt = 1; receipt <= 2; ++receipt) {
        sellMilk();
        if (QTest::currentTestFailed())
            return;
        QTRY_COMPARE_WITH_TIMEOUT(folder.journalFiles(u"receipt"_s).size(), receipt, kTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(printedRows(salesFile), receipt, kTimeoutMs);
    }

    activate(saleScreen());
    QTRY_COMPARE_WITH_TIMEOUT(m_bus.focused(saleScreen()), saleSearch(), kTimeoutMs);
    QVERIFY(xdotool(pressed(u"alt+p"_s)));
    activate(OverviewCaption);
    const QString footer = u"Spolu "_s + QLocale().toString(1.78, 'f', 2);
    QTRY_VERIFY_WITH_TIMEOUT(findWidget(m_bus.widgets(OverviewCaption), AccessibleWidget::Label, footer),
                             kTimeoutMs);
    QVERIFY(xdotool(pressed(u"Escape"_s)));
    QTRY_VERIFY_WITH_TIMEOUT(m_bus.widgets(OverviewCaption).isEmpty(), kTimeoutMs);
}

QTEST_MAIN(TestOverviewProcess)
#include "tst_overviewprocess.moc"

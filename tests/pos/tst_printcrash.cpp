#include "ReceiptPrintRig.h"
#include "TestPaths.h"
#include "link/ManualLinkClock.h"

#include <QProcess>
#include <QtTest>

namespace {

constexpr int ProcessTimeoutMs = 30000;
constexpr int Survives = -1;

int exitCodeOf(ReceiptPrint::Outcome outcome)
{
    return 10 + int(outcome);
}

} // namespace

// A till killed at each point of a print, against the print manager running as its own
// process, and started again: the printer's journal must hold the sale exactly once and
// the sales table must show it printed with that receipt's number.
class TestPrintCrash : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void killedAndRestarted_data();
    void killedAndRestarted();
    void killedWhileAnotherTillPrints();

private:
    std::unique_ptr<QProcess> startPrintManager(const QString &exchange);
    int runTill(int dieAt, const QStringList &tillArguments = {});
    int runTill(const QString &root, int dieAt, const QStringList &tillArguments);
    QStringList receipts() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QProcess> m_printManager;
};

void TestPrintCrash::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_printManager = startPrintManager(m_dir->path() + u"/exchange"_s);
}

std::unique_ptr<QProcess> TestPrintCrash::startPrintManager(const QString &exchange)
{
    QDir().mkpath(exchange);
    auto printManager = std::make_unique<QProcess>();
    printManager->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    printManager->setProcessEnvironment(environment);
    printManager->start(QStringLiteral(OMIRA_TM_EXE), {u"--input"_s, exchange + u"/blocek.txt"_s,
                                                       u"--headless"_s, u"--poll-interval"_s, u"5"_s});
    if (!printManager->waitForStarted(ProcessTimeoutMs) ||
        !QTest::qWaitFor([&] { return QFile::exists(exchange + u"/omira-tm.ini"_s); }, ProcessTimeoutMs))
        qWarning("the print manager did not start");
    return printManager;
}

void TestPrintCrash::cleanup()
{
    m_printManager->kill();
    m_printManager->waitForFinished(ProcessTimeoutMs);
}

int TestPrintCrash::runTill(int dieAt, const QStringList &tillArguments)
{
    return runTill(m_dir->path(), dieAt, tillArguments);
}

int TestPrintCrash::runTill(const QString &root, int dieAt, const QStringList &tillArguments)
{
    QProcess till;
    till.setProcessChannelMode(QProcess::ForwardedChannels);
    till.start(QStringLiteral(PRINT_CHILD_EXE), QStringList{root, QString::number(dieAt)} + tillArguments);
    if (!till.waitForFinished(ProcessTimeoutMs))
        return -1;
    return till.exitStatus() == QProcess::CrashExit ? -9 : till.exitCode();
}

QStringList TestPrintCrash::receipts() const
{
    return QDir(m_dir->path() + u"/exchange/journal"_s).entryList({u"*-receipt.txt"_s}, QDir::Files);
}

void TestPrintCrash::killedAndRestarted_data()
{
    using Stage = ReceiptPrint::Stage;
    QTest::addColumn<int>("dieAt");
    QTest::addColumn<int>("restartOutcome");
    const int printed = exitCodeOf(ReceiptPrint::Outcome::Printed);
    const int settled = exitCodeOf(ReceiptPrint::Outcome::Stopped);
    QTest::newRow("document file written") << int(Stage::Composed) << printed;
    QTest::newRow("note written, nothing handed over") << int(Stage::Noted) << printed;
    QTest::newRow("handed over") << int(Stage::HandedOver) << settled;
    QTest::newRow("result read") << int(Stage::ResultRead) << settled;
    QTest::newRow("rows marked, note left") << int(Stage::RowsMarked) << settled;
    QTest::newRow("note cleared") << int(Stage::NoteCleared) << settled;
    QTest::newRow("not killed") << Survives << settled;
}

void TestPrintCrash::killedAndRestarted()
{
    QFETCH(int, dieAt);
    QFETCH(int, restartOutcome);
    {
        ManualLinkClock clock;
        ReceiptPrintRig shop(clock, m_dir->path());
        QVERIFY(shop.addItem(u"Chlieb"_s, 2, 1.20) > 0);
        QVERIFY(shop.addItem(u"Maslo"_s, 1, 2.49) > 0);
    }

    const int first = runTill(dieAt);
    QCOMPARE(first, dieAt == Survives ? exitCodeOf(ReceiptPrint::Outcome::Printed) : -9);
    QCOMPARE(runTill(Survives), restartOutcome);

    const QStringList printed = receipts();
    QCOMPARE(printed.size(), 1);
    const QByteArray receipt = TestPaths::readFile(m_dir->path() + u"/exchange/journal/"_s + printed[0]);
    QVERIFY(receipt.contains("^DChlieb^k") && receipt.contains("^DMaslo^k"));

    ManualLinkClock clock;
    ReceiptPrintRig shop(clock, m_dir->path());
    const QList<SaleRow> rows = shop.allRows();
    QCOMPARE(rows.size(), 2);
    for (const SaleRow &row : rows) {
        QVERIFY(row.fisk);
        QVERIFY(row.doklad > 0);
        QCOMPARE(row.doklad, rows[0].doklad);
    }
    QVERIFY(!shop.print().pendingRecord().exists());
}

// Two tills on one data folder, each with its own print manager. The first dies after its
// receipt went to its print manager; the second prints a receipt of its own meanwhile. The
// first, started again, must still find its own note and settle its receipt instead of
// printing it a second time.
void TestPrintCrash::killedWhileAnotherTillPrints()
{
    const QString shared = m_dir->path() + u"/shared"_s;
    const QString secondRoot = m_dir->path() + u"/second"_s;
    QVERIFY(QDir().mkpath(shared));
    const std::unique_ptr<QProcess> secondPrintManager = startPrintManager(secondRoot + u"/exchange"_s);
    const QStringList firstTill{shared, u"1"_s};
    const QStringList secondTill{shared, u"2"_s};
    {
        ManualLinkClock clock;
        ReceiptPrintRig first(clock, m_dir->path(), shared, 1);
        ReceiptPrintRig second(clock, secondRoot, shared, 2);
        QVERIFY(first.addItem(u"Chlieb"_s, 2, 1.20) > 0);
        QVERIFY(second.addItem(u"Syr"_s, 1, 5) > 0);
    }

    QCOMPARE(runTill(int(ReceiptPrint::Stage::HandedOver), firstTill), -9);
    QCOMPARE(runTill(secondRoot, Survives, secondTill), exitCodeOf(ReceiptPrint::Outcome::Printed));
    QCOMPARE(runTill(Survives, firstTill), exitCodeOf(ReceiptPrint::Outcome::Stopped));

    const QStringList printed = receipts();
    QCOMPARE(printed.size(), 1);
    QVERIFY(TestPaths::readFile(m_dir->path() + u"/exchange/journal/"_s + printed[0]).contains("^DChlieb^k"));
    const QStringList others =
        QDir(secondRoot + u"/exchange/journal"_s).entryList({u"*-receipt.txt"_s}, QDir::Files);
    QCOMPARE(others.size(), 1);
    const QByteArray other = TestPaths::readFile(secondRoot + u"/exchange/journal/"_s + others[0]);
    QVERIFY(other.contains("^DSyr^k") && !other.contains("Chlieb"));

    ManualLinkClock clock;
    ReceiptPrintRig shop(clock, m_dir->path(), shared, 1);
    for (const SaleRow &row : shop.allRows()) {
        QVERIFY2(row.fisk, qPrintable(row.nazov));
        QCOMPARE(row.doklad, 1); // each print manager's first document
    }
    QVERIFY(!shop.print().pendingRecord().exists());
    secondPrintManager->kill();
    secondPrintManager->waitForFinished(ProcessTimeoutMs);
}

QTEST_GUILESS_MAIN(TestPrintCrash)
#include "tst_printcrash.moc"

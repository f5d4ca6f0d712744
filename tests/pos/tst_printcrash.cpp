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

private:
    int runTill(int dieAt);
    QStringList receipts() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QProcess> m_printManager;
};

void TestPrintCrash::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir().mkpath(m_dir->path() + u"/exchange"_s));
    m_printManager = std::make_unique<QProcess>();
    m_printManager->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    m_printManager->setProcessEnvironment(environment);
    m_printManager->start(QStringLiteral(OMIRA_TM_EXE),
                          {u"--input"_s, m_dir->path() + u"/exchange/blocek.txt"_s, u"--headless"_s,
                           u"--poll-interval"_s, u"5"_s});
    QVERIFY(m_printManager->waitForStarted(ProcessTimeoutMs));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_dir->path() + u"/exchange/omira-tm.ini"_s), ProcessTimeoutMs);
}

void TestPrintCrash::cleanup()
{
    m_printManager->kill();
    m_printManager->waitForFinished(ProcessTimeoutMs);
}

int TestPrintCrash::runTill(int dieAt)
{
    QProcess till;
    till.setProcessChannelMode(QProcess::ForwardedChannels);
    till.start(QStringLiteral(PRINT_CHILD_EXE), {m_dir->path(), QString::number(dieAt)});
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

QTEST_GUILESS_MAIN(TestPrintCrash)
#include "tst_printcrash.moc"

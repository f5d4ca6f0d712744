#include "ReceiptPrintRig.h"
#include "SampleDeposit.h"
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

// The exit codes of the cash-voucher till for what its cashier did: OK pressed, the sale
// screen shown, a receipt printed.
int voucherTillCode(CashVoucherPrint::Outcome outcome)
{
    return 10 + int(outcome);
}

int voucherTillCode(ReceiptPrint::Recovery settled)
{
    return 20 + int(settled);
}

int voucherTillCode(ReceiptPrint::Outcome outcome)
{
    return 30 + int(outcome);
}

// The till showed one box, about the sample deposit, saying `told`.
bool toldOnce(const QString &boxes, const QString &told)
{
    return boxes.startsWith(u"Omira: Vklad 100.00 EUR, "_s) && boxes.contains(told) &&
           boxes.count(u'\n') == 1;
}

} // namespace

// A till killed at each point of a print, against the print manager running as its own
// process, and started again: the printer's journal must hold the sale exactly once and
// the sales table must show it printed with that receipt's number. A cash voucher likewise
// comes out once, and no note of it is left.
class TestPrintCrash : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void killedAndRestarted_data();
    void killedAndRestarted();
    void killedWhileAnotherTillPrints();
    void voucherKilledAndRestarted_data();
    void voucherKilledAndRestarted();
    void pendingVoucherSettledBeforeAReceipt_data();
    void pendingVoucherSettledBeforeAReceipt();

private:
    std::unique_ptr<QProcess> startPrintManager(const QString &exchange);
    int runTill(int dieAt, const QStringList &tillArguments = {});
    int runTill(const QString &root, int dieAt, const QStringList &tillArguments);
    // `what` the cashier of a cash-voucher till does; the boxes it showed, one a line.
    int runVoucherTill(int dieAt, const QString &what, QString *boxes = nullptr);
    QStringList journal(const QString &kind) const;
    QStringList receipts() const;
    void checkDepositsAndNoNote(int count);

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

int TestPrintCrash::runVoucherTill(int dieAt, const QString &what, QString *boxes)
{
    QProcess till;
    till.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    till.start(QStringLiteral(VOUCHER_CHILD_EXE), {m_dir->path(), QString::number(dieAt), what});
    if (!till.waitForFinished(ProcessTimeoutMs))
        return -1;
    if (boxes)
        *boxes = QString::fromUtf8(till.readAllStandardOutput());
    if (till.exitStatus() != QProcess::CrashExit)
        return till.exitCode();
    // A till takes seconds to start again, long enough for the print manager to take what
    // it was handed and to reply (the till removed the old reply before the hand-over);
    // here the next till would be quicker, and its status query could read that reply.
    const QString exchange = m_dir->path() + u"/exchange/"_s;
    if (!QTest::qWaitFor(
            [&] {
                return !QFile::exists(exchange + u"blocek.txt"_s) && QFile::exists(exchange + u"info.txt"_s);
            },
            ProcessTimeoutMs))
        return -2;
    return -9;
}

QStringList TestPrintCrash::journal(const QString &kind) const
{
    return QDir(m_dir->path() + u"/exchange/journal"_s).entryList({u"*-"_s + kind + u".txt"_s}, QDir::Files);
}

QStringList TestPrintCrash::receipts() const
{
    return journal(u"receipt"_s);
}

void TestPrintCrash::checkDepositsAndNoNote(int count)
{
    const QStringList deposits = journal(u"deposit"_s);
    QCOMPARE(deposits.size(), count);
    for (const QString &deposit : deposits)
        QCOMPARE(TestPaths::readFile(m_dir->path() + u"/exchange/journal/"_s + deposit),
                 SampleDeposit::Bytes);
    ManualLinkClock clock;
    ReceiptPrintRig shop(clock, m_dir->path());
    QVERIFY(!shop.voucherPrint().pendingRecord().exists());
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

void TestPrintCrash::voucherKilledAndRestarted_data()
{
    using Stage = CashVoucherPrint::Stage;
    QTest::addColumn<int>("dieAt");
    QTest::addColumn<QString>("restart");
    QTest::addColumn<int>("restartOutcome");
    QTest::addColumn<QString>("told");
    // Until the outcome was read the cashier saw nothing and presses OK again.
    QTest::newRow("note written, nothing handed over")
        << int(Stage::Noted) << u"again"_s << voucherTillCode(CashVoucherPrint::Outcome::Printed)
        << u"sa nevytlačil."_s;
    QTest::newRow("handed over") << int(Stage::HandedOver) << u"again"_s
                                 << voucherTillCode(CashVoucherPrint::Outcome::Stopped)
                                 << u"sa vytlačil dokladom č. 1."_s;
    QTest::newRow("result read") << int(Stage::ResultRead) << u"again"_s
                                 << voucherTillCode(CashVoucherPrint::Outcome::Stopped)
                                 << u"sa vytlačil dokladom č. 1."_s;
    // The cashier saw the voucher out: the sale screen, shown again, has nothing to settle.
    QTest::newRow("note cleared") << int(Stage::NoteCleared) << u"shown"_s
                                  << voucherTillCode(ReceiptPrint::Recovery::Nothing) << QString();
    QTest::newRow("not killed") << Survives << u"shown"_s << voucherTillCode(ReceiptPrint::Recovery::Nothing)
                                << QString();
}

// A till killed at each point of a cash deposit and started again: the deposit is printed
// exactly once, and a voucher whose fate the till did not see is settled, never sent twice.
void TestPrintCrash::voucherKilledAndRestarted()
{
    QFETCH(int, dieAt);
    QFETCH(QString, restart);
    QFETCH(int, restartOutcome);
    QFETCH(QString, told);

    QString boxes;
    QCOMPARE(runVoucherTill(dieAt, u"first"_s, &boxes),
             dieAt == Survives ? voucherTillCode(CashVoucherPrint::Outcome::Printed) : -9);
    QCOMPARE(boxes, QString());
    QCOMPARE(runVoucherTill(Survives, restart, &boxes), restartOutcome);
    if (told.isEmpty())
        QCOMPARE(boxes, QString());
    else
        QVERIFY2(toldOnce(boxes, told), qPrintable(boxes));

    checkDepositsAndNoNote(1);
}

void TestPrintCrash::pendingVoucherSettledBeforeAReceipt_data()
{
    QTest::addColumn<int>("dieAt");
    QTest::addColumn<QString>("told");
    QTest::addColumn<int>("deposits");
    QTest::newRow("voucher not handed over")
        << int(CashVoucherPrint::Stage::Noted) << u"sa nevytlačil."_s << 0;
    QTest::newRow("voucher handed over")
        << int(CashVoucherPrint::Stage::HandedOver) << u"sa vytlačil dokladom č. 1."_s << 1;
}

// The till dies with a deposit pending and, started again, prints a sale: the deposit is
// settled first and the cashier told, then the receipt prints with the next number.
void TestPrintCrash::pendingVoucherSettledBeforeAReceipt()
{
    QFETCH(int, dieAt);
    QFETCH(QString, told);
    QFETCH(int, deposits);
    {
        ManualLinkClock clock;
        ReceiptPrintRig shop(clock, m_dir->path());
        QVERIFY(shop.addItem(u"Chlieb"_s, 2, 1.20) > 0);
    }

    QCOMPARE(runVoucherTill(dieAt, u"first"_s), -9);
    QString boxes;
    QCOMPARE(runVoucherTill(Survives, u"receipt"_s, &boxes), voucherTillCode(ReceiptPrint::Outcome::Printed));

    QVERIFY2(toldOnce(boxes, told), qPrintable(boxes));
    checkDepositsAndNoNote(deposits);
    QCOMPARE(receipts().size(), 1);
    ManualLinkClock clock;
    ReceiptPrintRig shop(clock, m_dir->path());
    const SaleRow row = shop.allRows().value(0);
    QVERIFY(row.fisk);
    QCOMPARE(row.doklad, deposits + 1); // the printer's next number after the deposit
}

QTEST_GUILESS_MAIN(TestPrintCrash)
#include "tst_printcrash.moc"

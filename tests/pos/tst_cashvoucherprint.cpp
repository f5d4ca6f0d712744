#include "PrintManagerProcess.h"
#include "ReceiptPrintRig.h"
#include "SampleDeposit.h"
#include "TestPaths.h"
#include "link/SteadyLinkClock.h"
#include "pos/PrintPendingRecord.h"
#include "pos/TillIdentity.h"

#include <QDirIterator>
#include <QtTest>

namespace {

using Stage = CashVoucherPrint::Stage;
using Outcome = CashVoucherPrint::Outcome;
using Answer = UserDialogs::Answer;
using Buttons = UserDialogs::Buttons;

constexpr qint32 LastDocument = 41;

// A till wired as the sale screen wires it, against the print manager as its own process:
// every wait is real.
struct Fixture
{
    explicit Fixture(const QStringList &options = {}, qint32 lastDocument = LastDocument)
        : rig(clock, dir.path()), printManager(dir.path() + u"/exchange"_s)
    {
        rig.config.repeatPeriod = 10;
        rig.config.statusTimeout = 1500;
        rig.config.infoTimeout = 1500;
        started = printManager.start(options, lastDocument);
    }

    // The cash-operations dialog opened and OK pressed. The number before the voucher is the
    // one the till last read, as the sale screen reads it when it is shown.
    bool openAndBegin()
    {
        return rig.cashGate().mayOpen() && rig.voucherPrint().begin() == CashVoucherPrint::Start::Ready;
    }

    QStringList deposits() const { return printManager.journal(u"deposit"_s); }
    PrintPendingRecord note() const { return {rig.config.dataFolder, TillIdentity::of(rig.config)}; }
    void leaveVoucherNote(qint32 documentBefore)
    {
        PrintPendingRecord::Entry entry;
        entry.printManagerInput = TillIdentity::of(rig.config).linkText();
        entry.till = rig.config.tillNumber;
        entry.documentBefore = documentBefore;
        entry.printTime = QDateTime::currentDateTime();
        entry.documentHash = PrintPendingRecord::hashOf(SampleDeposit::Bytes);
        entry.kind = PrintPendingRecord::Kind::Deposit;
        entry.amountCents = SampleDeposit::AmountCents;
        QVERIFY(note().write(entry));
    }
    // The print manager started again with other faults once the note is written: after the
    // dialog's checks, before the hand-over.
    void restartWhenNoted(const QStringList &options, const std::function<void()> &meanwhile = {})
    {
        rig.voucherPrint().setStageHook([this, options, meanwhile](Stage stage) {
            if (stage != Stage::Noted)
                return;
            if (meanwhile)
                meanwhile();
            QVERIFY(printManager.start(options));
        });
    }

    QTemporaryDir dir;
    SteadyLinkClock clock;
    ReceiptPrintRig rig;
    PrintManagerProcess printManager;
    bool started = false;
};

void compareBox(const UserDialogs::Message &shown, const QString &text, const QString &caption)
{
    QCOMPARE(shown.text, text);
    QCOMPARE(shown.caption, caption);
}

// Every piece of `said` is in `text`.
bool says(const QString &text, const QStringList &said)
{
    for (const QString &part : said) {
        if (!text.contains(part))
            return false;
    }
    return true;
}

QStringList filesUnder(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo file = it.nextFileInfo();
        files << u"%1 %2 %3"_s.arg(file.filePath())
                     .arg(file.size())
                     .arg(file.lastModified().toMSecsSinceEpoch());
    }
    files.sort();
    return files;
}

} // namespace

class TestCashVoucherPrint : public QObject
{
    Q_OBJECT

private slots:
    void printed();
    void gate_data();
    void gate();
    void refusedAfterTheChecks();
    void noReplyThenPrintAgainSettlesFirst();
    void pendingVoucherSettledWhenOkIsPressed_data();
    void pendingVoucherSettledWhenOkIsPressed();
    void demonstrationModeHandsNothingOver();
};

void TestCashVoucherPrint::printed()
{
    Fixture f;
    QVERIFY(f.started);
    QCOMPARE(f.rig.showSaleScreen(), ReceiptPrint::Recovery::Nothing);
    QVERIFY(f.openAndBegin());
    QCOMPARE(f.rig.voucherPrint().numberBefore(), LastDocument);
    // What a till that dies with the voucher at the print manager leaves behind.
    std::optional<PrintPendingRecord::Entry> noted;
    f.rig.voucherPrint().setStageHook([&](Stage stage) {
        if (stage == Stage::HandedOver)
            noted = f.note().read();
    });

    QCOMPARE(f.rig.voucherPrint().print(SampleDeposit::voucher()), Outcome::Printed);

    QCOMPARE(f.deposits().size(), 1);
    QCOMPARE(f.printManager.journalFile(f.deposits()[0]), SampleDeposit::Bytes);
    QCOMPARE(f.rig.state.info.documentNumber, LastDocument + 1);
    QVERIFY(!f.note().exists());
    QVERIFY(f.rig.dialogs.shown().isEmpty());
    QVERIFY(noted);
    QCOMPARE(noted->kind, PrintPendingRecord::Kind::Deposit);
    QCOMPARE(noted->amountCents, SampleDeposit::AmountCents);
    QCOMPARE(noted->documentBefore, LastDocument);
    QCOMPARE(noted->documentHash, PrintPendingRecord::hashOf(SampleDeposit::Bytes));
}

void TestCashVoucherPrint::gate_data()
{
    QTest::addColumn<QString>("statusWord");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<bool>("warned");
    QTest::addColumn<int>("statusRequests");
    QTest::newRow("ready") << u"1"_s << true << false << 1;
    QTest::newRow("receipts stopped, cash not") << u"8011"_s << true << false << 1;
    QTest::newRow("not ready") << u"0"_s << false << true << 1;
    // The cash block refuses without a word, after asking once more.
    QTest::newRow("cash blocked") << u"1001"_s << false << false << 2;
}

void TestCashVoucherPrint::gate()
{
    QFETCH(QString, statusWord);
    QFETCH(bool, opens);
    QFETCH(bool, warned);
    QFETCH(int, statusRequests);
    Fixture f({u"--status-word"_s, statusWord});
    QVERIFY(f.started);

    QCOMPARE(f.rig.cashGate().mayOpen(), opens);

    QCOMPARE(f.printManager.journal(u"status"_s).size(), statusRequests);
    QCOMPARE(f.rig.dialogs.shown().size(), warned ? 1 : 0);
    if (warned)
        compareBox(f.rig.dialogs.shown()[0],
                   u"Nepodarilo sa zdetekovat pokladňu.\r\nDoklady nie je možno tlačiť."_s, u"[MSG_17]"_s);
}

// The printer blocks cash between the dialog's check and the voucher, and answers slowly,
// while a reply to something earlier still stands with a higher number: that reply must not
// pass for the voucher's, and a refusal the printer answered leaves no note.
void TestCashVoucherPrint::refusedAfterTheChecks()
{
    Fixture f;
    QVERIFY(f.started);
    QCOMPARE(f.rig.showSaleScreen(), ReceiptPrint::Recovery::Nothing);
    QVERIFY(f.openAndBegin());
    f.restartWhenNoted({u"--status-word"_s, u"1001"_s, u"--reply-delay"_s, u"400"_s}, [&f] {
        TestPaths::writeFile(f.rig.config.exchangeFolder + u"info.txt"_s,
                             "1\r\nO-STALE\r\nX\r\nPD/000999\r\n999\r\n");
    });

    QCOMPARE(f.rig.voucherPrint().print(SampleDeposit::voucher()), Outcome::NotConfirmed);

    QCOMPARE(f.rig.dialogs.shown().size(), 1);
    compareBox(f.rig.dialogs.shown()[0], u"[MSG_197]"_s, u"[MSG_198]"_s);
    QCOMPARE(f.rig.state.info.documentNumber, LastDocument);
    QVERIFY(!f.note().exists());
}

void TestCashVoucherPrint::noReplyThenPrintAgainSettlesFirst()
{
    Fixture f;
    QVERIFY(f.started);
    QCOMPARE(f.rig.showSaleScreen(), ReceiptPrint::Recovery::Nothing);
    QVERIFY(f.openAndBegin());
    // The print manager takes and prints the voucher, but answers nothing any more.
    f.restartWhenNoted({u"--no-reply"_s});

    QCOMPARE(f.rig.voucherPrint().print(SampleDeposit::voucher()), Outcome::NotConfirmed);
    QCOMPARE(f.rig.dialogs.shown().size(), 1);
    compareBox(f.rig.dialogs.shown()[0], u"[MSG_197]"_s, u"[MSG_198]"_s);
    QVERIFY(f.note().exists());
    QCOMPARE(f.deposits().size(), 1);

    // OK once more while the printer is silent: the outcome of the first is unknown, so
    // nothing is handed over.
    f.rig.voucherPrint().setStageHook({});
    f.rig.dialogs.clear();
    QCOMPARE(f.rig.voucherPrint().print(SampleDeposit::voucher()), Outcome::Stopped);
    QCOMPARE(f.rig.dialogs.shown().size(), 1);
    QVERIFY(says(f.rig.dialogs.shown()[0].text, {u"pokladňa neodpovedá"_s}));
    QCOMPARE(f.rig.dialogs.shown()[0].caption, u"[MSG_17]"_s);
    QVERIFY(f.note().exists());
    QCOMPARE(f.deposits().size(), 1);

    // The printer answers again: the voucher is found printed, and not printed again.
    QVERIFY(f.printManager.start());
    f.rig.dialogs.clear();
    QCOMPARE(f.rig.voucherPrint().print(SampleDeposit::voucher()), Outcome::Stopped);
    QCOMPARE(f.rig.dialogs.shown().size(), 1);
    QVERIFY2(says(f.rig.dialogs.shown()[0].text,
                  {u"Vklad 100.00 EUR"_s, u"vytlačil dokladom č. 42"_s, u"Znovu sa netlačí"_s}),
             qPrintable(f.rig.dialogs.shown()[0].text));
    QVERIFY(!f.note().exists());
    QCOMPARE(f.deposits().size(), 1);
}

void TestCashVoucherPrint::pendingVoucherSettledWhenOkIsPressed_data()
{
    QTest::addColumn<int>("printedSince");
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QList<Buttons>>("boxes");
    QTest::addColumn<QStringList>("said");
    const QStringList amongOthers{u"Vklad 100.00 EUR"_s, u"42 až 44"_s, u"vytlačil dokladom č. 44"_s};
    QTest::newRow("nothing printed since")
        << 0 << QList<Answer>{} << Outcome::Printed << QList<Buttons>{Buttons::Ok}
        << QStringList{u"Vklad 100.00 EUR"_s, u"sa nevytlačil"_s};
    QTest::newRow("one document: that voucher")
        << 1 << QList<Answer>{} << Outcome::Stopped << QList<Buttons>{Buttons::Ok}
        << QStringList{u"Vklad 100.00 EUR"_s, u"vytlačil dokladom č. 42"_s, u"Znovu sa netlačí"_s};
    QTest::newRow("three documents, the cashier finds it")
        << 3 << QList<Answer>{Answer::Yes} << Outcome::Stopped << QList<Buttons>{Buttons::YesNo}
        << amongOthers;
    QTest::newRow("three documents, the cashier does not find it")
        << 3 << QList<Answer>{Answer::No} << Outcome::Printed << QList<Buttons>{Buttons::YesNo, Buttons::Ok}
        << amongOthers;
}

// The note of a voucher whose outcome a till did not live to see, found when OK is pressed:
// the new voucher goes only when the old one did not come out.
void TestCashVoucherPrint::pendingVoucherSettledWhenOkIsPressed()
{
    QFETCH(int, printedSince);
    QFETCH(QList<Answer>, answers);
    QFETCH(Outcome, outcome);
    QFETCH(QList<Buttons>, boxes);
    QFETCH(QStringList, said);
    Fixture f({}, LastDocument + printedSince);
    QVERIFY(f.started);
    f.leaveVoucherNote(LastDocument);
    for (const Answer answer : answers)
        f.rig.dialogs.queueAnswer(answer);
    QVERIFY(f.openAndBegin());

    QCOMPARE(f.rig.voucherPrint().print(SampleDeposit::voucher()), outcome);

    QList<Buttons> shown;
    for (const UserDialogs::Message &message : f.rig.dialogs.shown())
        shown << message.buttons;
    QCOMPARE(shown, boxes);
    const UserDialogs::Message &first = f.rig.dialogs.shown().constFirst();
    QVERIFY2(says(first.text, said), qPrintable(first.text));
    if (first.buttons == Buttons::YesNo)
        QCOMPARE(first.defaultAnswer, Answer::No);
    QVERIFY(!f.note().exists());
    const bool printed = outcome == Outcome::Printed;
    QCOMPARE(f.deposits().size(), printed ? 1 : 0);
    if (printed) {
        // The new voucher is measured from the printer's number after the settlement.
        QCOMPARE(f.rig.voucherPrint().numberBefore(), LastDocument + printedSince);
        QCOMPARE(f.rig.state.info.documentNumber, LastDocument + printedSince + 1);
    }
}

void TestCashVoucherPrint::demonstrationModeHandsNothingOver()
{
    Fixture f;
    QVERIFY(f.started);
    f.rig.config.demo = true;
    const QStringList before = filesUnder(f.dir.path() + u"/exchange"_s);

    QVERIFY(f.rig.cashGate().mayOpen());
    QCOMPARE(f.rig.voucherPrint().begin(), CashVoucherPrint::Start::Demo);

    QCOMPARE(filesUnder(f.dir.path() + u"/exchange"_s), before);
    QVERIFY(f.rig.dialogs.shown().isEmpty());
    QVERIFY(!f.note().exists());
}

QTEST_GUILESS_MAIN(TestCashVoucherPrint)
#include "tst_cashvoucherprint.moc"

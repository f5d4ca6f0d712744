#include "ReceiptPrintRig.h"
#include "TestPaths.h"
#include "link/ManualLinkClock.h"
#include "omira-tm/PrintManagerSimulator.h"

#include <QtTest>

namespace {

const QDateTime PrintTime(QDate(2026, 3, 14), QTime(9, 26, 53));

// A print against the simulator's own logic, which looks at the exchange folder each time
// the link waits, so that no test depends on real time.
struct Fixture
{
    explicit Fixture(quint32 statusWord = 1) : rig(clock, dir.path())
    {
        clock.setSleepHook([this](qint64) {
            if (simulator)
                simulator->poll();
        });
        startSimulator(statusWord, false);
        rig.print().setClock([] { return PrintTime; });
    }

    void startSimulator(quint32 statusWord, bool noReply)
    {
        SimulatorSettings settings;
        settings.inputPath = rig.config.printManagerInput;
        settings.statePath = rig.config.exchangeFolder + u"omira-tm.ini"_s;
        settings.journalFolder = journalFolder();
        settings.statusWord = statusWord;
        settings.noReply = noReply;
        simulator.reset();
        simulator = std::make_unique<PrintManagerSimulator>(settings);
        QVERIFY(simulator->start());
    }

    QString journalFolder() const { return rig.config.exchangeFolder + u"journal"_s; }
    QStringList receipts() const
    {
        return QDir(journalFolder()).entryList({u"*-receipt.txt"_s}, QDir::Files, QDir::Name);
    }
    QByteArray journal(const QString &name) const
    {
        return TestPaths::readFile(journalFolder() + u'/' + name);
    }
    QStringList captions() const
    {
        QStringList list;
        for (const UserDialogs::Message &message : rig.dialogs.shown())
            list << message.caption;
        return list;
    }

    QTemporaryDir dir;
    ManualLinkClock clock;
    ReceiptPrintRig rig;
    std::unique_ptr<PrintManagerSimulator> simulator;
};

} // namespace

class TestReceiptPrint : public QObject
{
    Q_OBJECT

private slots:
    void printedReceiptMarksItsRows();
    void splitPaymentWithChange();
    void printerNotReady_data();
    void printerNotReady();
    void noReplyThenRetryNeverPrintsTwice();
    void refusedReceiptAsksToPrintAgain();
    void cancelInThePaymentDialogLeavesTheRowsOpen();
    void demonstrationModeDeletesTheRowsAndHandsNothingOver();
    void totalLimits_data();
    void totalLimits();
    void returnWithoutRefundedUidIsNotHandedOver();
    void emptyDocumentStops();
    void paragonNumberMustHaveFiveCharacters();
};

void TestReceiptPrint::printedReceiptMarksItsRows()
{
    Fixture f;
    f.rig.addItem(u"Chlieb"_s, 2, 1.20);
    f.rig.addItem(u"Mlieko"_s, 1, 0.89, 1);
    const qint32 before = f.simulator->state().documentNumber;

    QCOMPARE(f.rig.print().print({}), ReceiptPrint::Outcome::Printed);

    QCOMPARE(f.receipts().size(), 1);
    const QByteArray expected = "\x1b"
                                "b^t^DChlieb^k\r\n"
                                "^J  1.20^k ^Q   2.00^k ^M ks^k  \x1b"
                                "1NNN     2.40 EUR^N\r\n"
                                "^DMlieko^k\r\n"
                                "^J  0.89^k ^Q   1.00^k ^M ks^k  \x1b"
                                "2NNN     0.89 EUR^N\r\n"
                                "\x1bk        3.29 EUR\r\n"
                                "\x1bP1        3.29\r\n"
                                "\x1b"
                                "e";
    QCOMPARE(f.journal(f.receipts().constFirst()), expected);
    QCOMPARE(TestPaths::readFile(f.rig.print().documentFilePath()), expected);
    const qint32 number = f.simulator->state().documentNumber;
    QCOMPARE(number, before + 1);
    for (const SaleRow &row : f.rig.allRows()) {
        QVERIFY(row.fisk);
        QCOMPARE(row.doklad, number);
        QCOMPARE(row.idDoklad, number);
        QCOMPARE(row.du, 1);
        QCOMPARE(QDateTime(row.datum, row.cas), PrintTime);
    }
    QVERIFY(!f.rig.print().pendingRecord().exists());
    QCOMPARE(f.rig.view.printedUid, f.simulator->state().uid);
    QCOMPARE(f.rig.view.changeAmount, u"0.00"_s);
    QCOMPARE(f.rig.view.finished, 1);
    QVERIFY(!f.rig.view.gridFrozen);
    QVERIFY(f.rig.dialogs.shown().isEmpty());
    QVERIFY(TestPaths::readFile(f.rig.print().displayCopyPath()).contains("^DMlieko^k"));
}

void TestReceiptPrint::splitPaymentWithChange()
{
    Fixture f;
    f.rig.config.paymentDialog = 1;
    f.rig.addItem(u"Syr"_s, 1, 12.30);
    f.rig.print().setPaymentDialog([](PaymentSession &session) {
        QCOMPARE(session.totalCents, 1230);
        session.amounts = {2.30, 10.0};
        session.tendered = 17.30;
        session.closingText = {u"Ďakujeme"_s};
    });
    QCOMPARE(f.rig.print().print({}), ReceiptPrint::Outcome::Printed);
    const QByteArray document = f.journal(f.receipts().constFirst());
    QVERIFY(document.endsWith("\x1bk       12.30 EUR\r\n\x1bP1        2.30\r\n\x1bP2       10.00\r\n"
                              "\xcf"
                              "akujeme\r\n\x1b"
                              "e"));
    QCOMPARE(f.rig.view.changeCaption, u"[MSG_78]"_s);
    QCOMPARE(f.rig.view.changeAmount, u"-5.00"_s);
}

void TestReceiptPrint::printerNotReady_data()
{
    QTest::addColumn<quint32>("statusWord");
    QTest::addColumn<QString>("text");
    QTest::newRow("0010") << 0x0011u << u"ON LINE status = 0010"_s;
    QTest::newRow("1000") << 0x1001u << u"ON LINE status = 1000"_s;
    QTest::newRow("8000") << 0x8001u << u"ON LINE status = 8000"_s;
    QTest::newRow("all three") << 0x9013u << u"ON LINE status = 9010"_s;
    QTest::newRow("not ready") << 0x0000u
                               << u"Nepodarilo sa zdetekovat pokladňu.\r\nDoklad nebol vytlačený."_s;
}

void TestReceiptPrint::printerNotReady()
{
    QFETCH(quint32, statusWord);
    QFETCH(QString, text);
    Fixture f(statusWord);
    f.rig.addItem(u"Chlieb"_s, 1, 1);
    QCOMPARE(f.rig.print().print({}), ReceiptPrint::Outcome::Stopped);
    QCOMPARE(f.rig.dialogs.shown().size(), 1);
    QCOMPARE(f.rig.dialogs.shown()[0].text, text);
    QCOMPARE(f.rig.dialogs.shown()[0].caption, u"[MSG_17]"_s);
    QVERIFY(f.receipts().isEmpty());
    QVERIFY(!f.rig.allRows()[0].fisk);
}

void TestReceiptPrint::noReplyThenRetryNeverPrintsTwice()
{
    Fixture f;
    f.rig.addItem(u"Chlieb"_s, 1, 1);
    const qint32 before = f.simulator->state().documentNumber;
    // The print manager takes the receipt and prints it, but its answer never comes.
    f.rig.print().setStageHook([&](ReceiptPrint::Stage stage) {
        if (stage == ReceiptPrint::Stage::Noted)
            f.startSimulator(1, true);
    });
    f.rig.dialogs.queueAnswer(UserDialogs::Answer::Yes); // 158: wait again
    f.rig.dialogs.queueAnswer(UserDialogs::Answer::No);  // 158: stop waiting
    f.rig.dialogs.queueAnswer(UserDialogs::Answer::Yes); // 160: print again

    QCOMPARE(f.rig.print().print({}), ReceiptPrint::Outcome::Stopped);
    QCOMPARE(f.captions(), QStringList({u"[MSG_159]"_s, u"[MSG_159]"_s, u"[MSG_161]"_s, u"[MSG_17]"_s}));
    QCOMPARE(f.receipts().size(), 1);
    QVERIFY(!f.rig.allRows()[0].fisk);
    QVERIFY(f.rig.print().pendingRecord().exists());

    // Once the print manager answers again the receipt is found printed, not printed again.
    f.rig.print().setStageHook({});
    f.startSimulator(1, false);
    f.rig.dialogs.clear();
    QCOMPARE(f.rig.print().print({}), ReceiptPrint::Outcome::Stopped);
    QCOMPARE(f.receipts().size(), 1);
    QCOMPARE(f.captions(), QStringList{u"Omira"_s});
    const SaleRow row = f.rig.allRows()[0];
    QVERIFY(row.fisk);
    QCOMPARE(row.doklad, before + 1);
    QVERIFY(!f.rig.print().pendingRecord().exists());
}

void TestReceiptPrint::refusedReceiptAsksToPrintAgain()
{
    Fixture f;
    f.rig.addItem(u"Chlieb"_s, 1, 1);
    // The printer stops between the status check and the receipt: it answers with the
    // number unchanged.
    f.rig.print().setStageHook([&](ReceiptPrint::Stage stage) {
        if (stage == ReceiptPrint::Stage::Noted)
            f.startSimulator(0x8001, false);
    });
    f.rig.dialogs.queueAnswer(UserDialogs::Answer::No); // 160
    QCOMPARE(f.rig.print().print({}), ReceiptPrint::Outcome::NotPrinted);
    QCOMPARE(f.captions(), QStringList{u"[MSG_161]"_s});
    QVERIFY(!f.rig.allRows()[0].fisk);
    QVERIFY(!f.rig.print().pendingRecord().exists());
    QCOMPARE(f.rig.view.finished, 1);
}

void TestReceiptPrint::cancelInThePaymentDialogLeavesTheRowsOpen()
{
    Fixture f;
    f.rig.config.paymentDialog = 1;
    f.rig.addItem(u"Chlieb"_s, 1, 1);
    f.rig.print().setPaymentDialog([](PaymentSession &session) { session.cancelled = true; });
    QCOMPARE(f.rig.print().print({}), ReceiptPrint::Outcome::Cancelled);
    QVERIFY(f.receipts().isEmpty());
    QVERIFY(!f.rig.allRows()[0].fisk);
    QVERIFY(!f.rig.view.gridFrozen);
    QVERIFY(!f.rig.print().pendingRecord().exists());
}

void TestReceiptPrint::demonstrationModeDeletesTheRowsAndHandsNothingOver()
{
    Fixture f;
    f.rig.config.demo = true;
    f.rig.addItem(u"Chlieb"_s, 1, 1);
    const QStringList before = QDir(f.rig.config.exchangeFolder).entryList(QDir::Files);
    QCOMPARE(f.rig.print().print({}), ReceiptPrint::Outcome::Printed);
    QVERIFY(f.rig.allRows().isEmpty());
    QCOMPARE(QDir(f.rig.config.exchangeFolder).entryList(QDir::Files), before);
    QCOMPARE(TestPaths::readFile(f.rig.print().documentFilePath()), QByteArray());
    QVERIFY(TestPaths::readFile(f.rig.print().displayCopyPath()).contains("^DChlieb^k"));
    QCOMPARE(f.rig.view.changeAmount, u"0.00"_s);
}

void TestReceiptPrint::totalLimits_data()
{
    QTest::addColumn<double>("price");
    QTest::addColumn<QList<UserDialogs::Answer>>("answers");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<bool>("printed");
    using A = UserDialogs::Answer;
    QTest::newRow("400.00 asks nothing") << 400.0 << QList<A>{} << QStringList{} << true;
    QTest::newRow("400.01 asks, yes")
        << 400.01 << QList<A>{A::Yes} << QStringList{u"Hotovostná platba nad 400 EUR"_s} << true;
    QTest::newRow("400.01 asks, no") << 400.01 << QList<A>{A::No}
                                     << QStringList{u"Hotovostná platba nad 400 EUR"_s} << false;
    QTest::newRow("15000.00 prints") << 15000.0 << QList<A>{A::Yes}
                                     << QStringList{u"Hotovostná platba nad 400 EUR"_s} << true;
    QTest::newRow("15000.01 refused")
        << 15000.01 << QList<A>{A::Yes} << QStringList{u"Hotovostná platba nad 400 EUR"_s, u"[MSG_157]"_s}
        << false;
}

void TestReceiptPrint::totalLimits()
{
    QFETCH(double, price);
    QFETCH(QList<UserDialogs::Answer>, answers);
    QFETCH(QStringList, captions);
    QFETCH(bool, printed);
    Fixture f;
    f.rig.addItem(u"Drahé"_s, 1, price);
    for (const UserDialogs::Answer answer : answers)
        f.rig.dialogs.queueAnswer(answer);
    QCOMPARE(f.rig.print().print({}) == ReceiptPrint::Outcome::Printed, printed);
    QCOMPARE(f.captions(), captions);
    QCOMPARE(f.receipts().size(), printed ? 1 : 0);
}

void TestReceiptPrint::returnWithoutRefundedUidIsNotHandedOver()
{
    Fixture f;
    f.rig.addItem(u"Vrátené"_s, -1, 2);
    f.rig.dialogs.queueAnswer(UserDialogs::Answer::Ok); // the missing identifier
    f.rig.dialogs.queueAnswer(UserDialogs::Answer::No); // 160
    QCOMPARE(f.rig.print().print({}), ReceiptPrint::Outcome::NotPrinted);
    QCOMPARE(f.rig.dialogs.shown()[0].text, u"Vyplňte identifikátor pôvodného dokladu."_s);
    QCOMPARE(f.captions(), QStringList({u"Chýba UID pôvodného dokladu."_s, u"[MSG_161]"_s}));
    QVERIFY(f.receipts().isEmpty());

    SaleScreenFields fields;
    fields.refundedUid = u"O-1F2E3D"_s;
    QCOMPARE(f.rig.print().print(fields), ReceiptPrint::Outcome::Printed);
    QVERIFY(f.journal(f.receipts().constFirst())
                .contains("^R" + fields.refundedUid.toLatin1() +
                          "^k \x1b"
                          "4ANN"));
}

void TestReceiptPrint::emptyDocumentStops()
{
    Fixture f;
    QCOMPARE(f.rig.print().print({}), ReceiptPrint::Outcome::Stopped);
    QVERIFY(f.rig.dialogs.shown().isEmpty());
    QVERIFY(f.receipts().isEmpty());
}

void TestReceiptPrint::paragonNumberMustHaveFiveCharacters()
{
    Fixture f;
    f.rig.addItem(u"Chlieb"_s, 1, 1);
    SaleScreenFields fields;
    fields.paragonChecked = true;
    fields.paragonDate = u"20260301"_s;
    fields.paragonTime = u"101500"_s;
    QCOMPARE(f.rig.print().print(fields), ReceiptPrint::Outcome::Stopped);
    QCOMPARE(f.captions(), QStringList{u"Omira chyba zadania..."_s});
    fields.paragonNumber = u"00042"_s;
    QCOMPARE(f.rig.print().print(fields), ReceiptPrint::Outcome::Printed);
    QVERIFY(f.journal(f.receipts().constFirst())
                .startsWith("\x1b"
                            "b^t^P2026030110150000042^k^DChlieb"));
}

QTEST_GUILESS_MAIN(TestReceiptPrint)
#include "tst_receiptprint.moc"

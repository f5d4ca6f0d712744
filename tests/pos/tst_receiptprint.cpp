#include "ReceiptPrintRig.h"
#include "TestPaths.h"
#include "link/ManualLinkClock.h"
#include "omira-tm/PrintManagerSimulator.h"
#include "pos/PrintPendingRecord.h"
#include "pos/TillIdentity.h"

#include <QtTest>

namespace {

const QDateTime PrintTime(QDate(2026, 3, 14), QTime(9, 26, 53));

// A print against the simulator's own logic, which looks at the exchange folder each time
// the link waits, so that no test depends on real time.
struct Fixture
{
    explicit Fixture(quint32 statusWord = 1, const QString &sharedDataFolder = {}, int till = 1)
        : rig(clock, dir.path(), sharedDataFolder, till)
    {
        clock.setSleepHook([this](qint64) {
            if (simulator)
                simulator->poll();
        });
        startSimulator(statusWord, false);
        rig.print().setClock([] { return PrintTime; });
    }

    void startSimulator(quint32 statusWord, bool noReply, std::optional<qint32> lastDocument = {})
    {
        if (lastDocument)
            TestPaths::writeFile(rig.config.exchangeFolder + u"omira-tm.ini"_s,
                                 "[PRINTER]\r\nNUMBER=" + QByteArray::number(*lastDocument) + "\r\n");
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
    // The note a till that died after handing its open rows over would have left.
    void leaveNote(qint32 documentBefore)
    {
        const TillIdentity till = TillIdentity::of(rig.config);
        PrintPendingRecord::Entry entry;
        entry.printManagerInput = till.linkText();
        entry.till = till.number;
        entry.salesTable = rig.tableName;
        entry.documentBefore = documentBefore;
        entry.printTime = PrintTime;
        for (const SaleRow &row : rig.allRows())
            entry.keys << row.idPrimary;
        QVERIFY(PrintPendingRecord(rig.config.dataFolder, till).write(entry));
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

    void pendingReceiptSettledByThePrinterNumber_data();
    void pendingReceiptSettledByThePrinterNumber();
    void pendingReceiptThatCannotBeSettledSaysWhy_data();
    void pendingReceiptThatCannotBeSettledSaysWhy();
    void tillsOnOneDataFolderPrintOnlyTheirOwnItems();
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

void TestReceiptPrint::pendingReceiptSettledByThePrinterNumber_data()
{
    using A = UserDialogs::Answer;
    QTest::addColumn<int>("printedSince");
    QTest::addColumn<QList<A>>("answers");
    QTest::addColumn<ReceiptPrint::Recovery>("recovery");
    QTest::addColumn<UserDialogs::Buttons>("box");
    using R = ReceiptPrint::Recovery;
    QTest::newRow("nothing printed since") << 0 << QList<A>{} << R::NotPrinted << UserDialogs::Buttons(-1);
    QTest::newRow("one document: this receipt") << 1 << QList<A>{} << R::Printed << UserDialogs::Buttons::Ok;
    QTest::newRow("three documents, the cashier finds it")
        << 3 << QList<A>{A::Yes} << R::Printed << UserDialogs::Buttons::YesNo;
    QTest::newRow("three documents, the cashier does not find it")
        << 3 << QList<A>{A::No} << R::NotPrinted << UserDialogs::Buttons::YesNo;
    QTest::newRow("three documents, Enter pressed blindly")
        << 3 << QList<A>{} << R::NotPrinted << UserDialogs::Buttons::YesNo;
}

// Only the one document after the number before is surely this receipt: the till hands
// nothing else over while its note stands. Other documents may have come from elsewhere,
// and the printer's answer cannot tell their kinds apart, so then the cashier decides.
void TestReceiptPrint::pendingReceiptSettledByThePrinterNumber()
{
    QFETCH(int, printedSince);
    QFETCH(QList<UserDialogs::Answer>, answers);
    QFETCH(ReceiptPrint::Recovery, recovery);
    QFETCH(UserDialogs::Buttons, box);
    Fixture f;
    f.rig.addItem(u"Chlieb"_s, 2, 1.20);
    f.rig.addItem(u"Mlieko"_s, 1, 0.89, 1);
    f.leaveNote(41);
    f.startSimulator(1, false, 41 + printedSince);
    for (const UserDialogs::Answer answer : answers)
        f.rig.dialogs.queueAnswer(answer);

    QCOMPARE(f.rig.print().resolvePendingPrint(), recovery);

    const bool printed = recovery == ReceiptPrint::Recovery::Printed;
    for (const SaleRow &row : f.rig.allRows()) {
        QCOMPARE(row.fisk, printed);
        if (printed)
            QCOMPARE(row.doklad, 41 + printedSince);
    }
    QVERIFY(!f.rig.print().pendingRecord().exists());
    QVERIFY(f.receipts().isEmpty());
    if (box == UserDialogs::Buttons(-1)) {
        QVERIFY(f.rig.dialogs.shown().isEmpty());
        return;
    }
    QCOMPARE(f.rig.dialogs.shown().size(), 1);
    const UserDialogs::Message &shown = f.rig.dialogs.shown().constFirst();
    QCOMPARE(shown.buttons, box);
    if (box == UserDialogs::Buttons::YesNo) {
        QVERIFY2(shown.text.contains(u"položiek: 2, spolu 3.29 EUR"_s), qPrintable(shown.text));
        QVERIFY(shown.text.contains(u"42 až 44"_s));
        QCOMPARE(shown.defaultAnswer, UserDialogs::Answer::No);
    }
}

void TestReceiptPrint::pendingReceiptThatCannotBeSettledSaysWhy_data()
{
    QTest::addColumn<bool>("printerAnswers");
    QTest::addColumn<QStringList>("said");
    QTest::addColumn<QString>("caption");
    QTest::newRow("the printer does not answer")
        << false << QStringList{u"pokladňa neodpovedá"_s, u"tlač zopakujte"_s} << u"[MSG_17]"_s;
    QTest::newRow("the rows cannot be written")
        << true
        << QStringList{u"Doklad č. 42 sa vytlačil"_s, u"nepodarilo zapísať"_s,
                       u"tabuľka predaja je len na čítanie"_s, u"stlačte Tlač"_s}
        << u"[MSG_159]"_s;
}

// Every print that finds the note unsettled tells the cashier what stands in the way, and
// prints nothing, until the cause is gone.
void TestReceiptPrint::pendingReceiptThatCannotBeSettledSaysWhy()
{
    QFETCH(bool, printerAnswers);
    QFETCH(QStringList, said);
    QFETCH(QString, caption);
    Fixture f;
    f.rig.addItem(u"Chlieb"_s, 1, 1);
    f.leaveNote(41);
    f.startSimulator(1, !printerAnswers, 42);
    const QString refuse =
        u"CREATE TRIGGER len_na_citanie BEFORE UPDATE ON %1 "
        "BEGIN SELECT RAISE(ABORT, 'tabuľka predaja je len na čítanie'); END"_s.arg(f.rig.tableName);
    QVERIFY(f.rig.salesFile.exec(refuse));

    for (int print = 0; print < 2; ++print) {
        f.rig.dialogs.clear();
        QCOMPARE(f.rig.print().print({}), ReceiptPrint::Outcome::Stopped);
        QCOMPARE(f.rig.dialogs.shown().size(), 1);
        const UserDialogs::Message &shown = f.rig.dialogs.shown().constFirst();
        for (const QString &part : std::as_const(said))
            QVERIFY2(shown.text.contains(part), qPrintable(shown.text));
        QVERIFY(!shown.text.contains(u"zdetekovat"_s));
        QCOMPARE(shown.caption, caption);
        QVERIFY(f.rig.print().pendingRecord().exists());
        QVERIFY(!f.rig.allRows()[0].fisk);
    }
    QVERIFY(f.receipts().isEmpty());

    // The cause gone, the next print settles the note and prints nothing again.
    QVERIFY(f.rig.salesFile.exec(u"DROP TRIGGER len_na_citanie"_s));
    f.startSimulator(1, false);
    f.rig.dialogs.clear();
    QCOMPARE(f.rig.print().print({}), ReceiptPrint::Outcome::Stopped);
    QVERIFY(f.receipts().isEmpty());
    QCOMPARE(f.rig.allRows()[0].doklad, 42);
    QVERIFY(f.rig.allRows()[0].fisk);
    QVERIFY(!f.rig.print().pendingRecord().exists());
}

// Two tills on one data folder, each with its own print manager, type in their items at the
// same time: each receipt holds its own till's items only.
void TestReceiptPrint::tillsOnOneDataFolderPrintOnlyTheirOwnItems()
{
    QTemporaryDir shared;
    Fixture first(1, shared.path(), 1);
    Fixture second(1, shared.path(), 2);
    first.rig.addItem(u"Chlieb"_s, 1, 1.20);
    second.rig.addItem(u"Syr"_s, 1, 5);
    first.rig.addItem(u"Maslo"_s, 1, 2.49);

    QCOMPARE(first.rig.print().print({}), ReceiptPrint::Outcome::Printed);
    const QByteArray receipt = first.journal(first.receipts().value(0));
    QVERIFY(receipt.contains("^DChlieb^k") && receipt.contains("^DMaslo^k"));
    QVERIFY2(!receipt.contains("Syr"), receipt.constData());
    QVERIFY(receipt.contains("\x1bk        3.69 EUR"));

    QCOMPARE(second.rig.print().print({}), ReceiptPrint::Outcome::Printed);
    const QByteArray other = second.journal(second.receipts().value(0));
    QVERIFY(other.contains("^DSyr^k") && !other.contains("Chlieb") && !other.contains("Maslo"));

    QStringList rows;
    for (const SaleRow &row : first.rig.allRows())
        rows << u"%1 %2 %3 %4"_s.arg(row.nazov).arg(row.ucet).arg(row.fisk).arg(row.doklad);
    QCOMPARE(rows, QStringList({u"Chlieb 1 1 1"_s, u"Syr 2 1 1"_s, u"Maslo 1 1 1"_s}));
}

QTEST_GUILESS_MAIN(TestReceiptPrint)
#include "tst_receiptprint.moc"

// The print as the cashier meets it on the sale screen: F12, the payment dialog, the
// change on the total box, the printed document and the screen made ready for the next
// customer; against the print-manager simulator's own logic, polled whenever the link waits.
#include "SaleScreenFixture.h"
#include "TestPaths.h"
#include "omira-tm/PrintManagerSimulator.h"
#include "pos/PrintPendingRecord.h"
#include "pos/ReceiptPrint.h"
#include "pos/ui/TForm_platba.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QList<StockRow> priceList()
{
    return {card(u"1200"_s, u"Chlieb"_s, 1.20), card(u"1001"_s, u"ČAJ zelený"_s, 2.50)};
}

// Sends keys to whatever has the focus, as a keyboard does.
void pressKeys(const QString &text)
{
    for (QChar c : text)
        QTest::keyClick(QApplication::focusWidget(), char(c.unicode()));
}

} // namespace

class TestSalePrint : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void paidWithChangeShowsTheChangeAndClearsTheDocument();
    void cancelledPaymentKeepsTheDocumentOpen();
    void openingSettlesAReceiptLeftWithThePrintManager();

private:
    // The print manager's memory before it starts: its last document number.
    void startSimulator(qint32 lastDocument);
    TForm_predaj_medic &openWithTwoItems();
    // Acts in the payment dialog once the print has opened it.
    void whenPaymentDialogOpens(std::function<void()> act);
    QStringList receipts() const;
    QString journalFolder() const { return m_f->context.config.exchangeFolder + u"journal"_s; }

    std::unique_ptr<SaleScreenFixture> m_f;
    std::unique_ptr<PrintManagerSimulator> m_simulator;
};

void TestSalePrint::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Slovak, QLocale::Slovakia));
}

void TestSalePrint::init()
{
    m_f = std::make_unique<SaleScreenFixture>();
    Configuration &config = m_f->context.config;
    config.paymentMeans[0] = u"Hotovosť"_s;
    config.paymentMeans[1] = u"Karta"_s;
    config.paymentDialog = 1;
    m_f->clock.setSleepHook([this](qint64) {
        if (m_simulator)
            m_simulator->poll();
    });
}

void TestSalePrint::cleanup()
{
    m_f.reset();
    m_simulator.reset();
}

void TestSalePrint::startSimulator(qint32 lastDocument)
{
    const QString state = m_f->context.config.exchangeFolder + u"omira-tm.ini"_s;
    TestPaths::writeFile(state, "[PRINTER]\r\nNUMBER=" + QByteArray::number(lastDocument) + "\r\n");
    SimulatorSettings settings;
    settings.inputPath = m_f->context.config.printManagerInput;
    settings.statePath = state;
    settings.journalFolder = journalFolder();
    m_simulator = std::make_unique<PrintManagerSimulator>(settings);
    QVERIFY(m_simulator->start());
}

TForm_predaj_medic &TestSalePrint::openWithTwoItems()
{
    if (!m_f->addCards(priceList()))
        qFatal("price list not written");
    TForm_predaj_medic &screen = m_f->open();
    if (!QTest::qWaitForWindowActive(&screen))
        qFatal("sale screen not active");
    // The print manager's window, under the title the screen read from its settings.
    m_f->windows.titles.insert(m_f->context.config.printManagerTitle.toStdString());
    m_f->enterItem(u"chlieb"_s, u"1,20"_s, u"2"_s, u"0"_s);
    m_f->enterItem(u"čaj"_s, u"2,50"_s, u"1"_s, u"0"_s);
    return screen;
}

void TestSalePrint::whenPaymentDialogOpens(std::function<void()> act)
{
    TForm_platba *dialog = m_f->screen->paymentDialog();
    auto *poll = new QTimer(dialog);
    connect(poll, &QTimer::timeout, dialog, [dialog, poll, act] {
        if (QApplication::activeModalWidget() != dialog || !dialog->isActiveWindow())
            return;
        poll->deleteLater();
        poll->stop();
        act();
    });
    poll->start(10);
}

QStringList TestSalePrint::receipts() const
{
    return QDir(journalFolder()).entryList({u"*-receipt.txt"_s}, QDir::Files, QDir::Name);
}

void TestSalePrint::paidWithChangeShowsTheChangeAndClearsTheDocument()
{
    startSimulator(m_f->printer.info.documentNumber);
    TForm_predaj_medic &screen = openWithTwoItems();
    QCOMPARE(screen.document().totalCents(), 490);
    m_f->child<QCheckBox>(u"CheckBox_paragon"_s)->setChecked(false);

    // The customer pays 10.00 in cash.
    whenPaymentDialogOpens([] {
        pressKeys(u"10"_s);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F12);
    });
    QTest::keyClick(m_f->child<QLineEdit>(u"Edit_predaj"_s), Qt::Key_F12);

    QCOMPARE(receipts().size(), 1);
    const QByteArray receipt = TestPaths::readFile(journalFolder() + u'/' + receipts().constFirst());
    QVERIFY2(receipt.endsWith("\x1bk        4.90 EUR\r\n\x1bP1        4.90\r\n\x1b"
                              "e"),
             receipt.constData());
    const MessageTable &messages = m_f->context.messages;
    QCOMPARE(m_f->child<QGroupBox>(u"GroupBox_cena"_s)->title(), messages.text(Msg::ChangeDue));
    QCOMPARE(m_f->child<QLabel>(u"L_celkom"_s)->text(), u"-5.10"_s);
    QCOMPARE(m_f->child<QLineEdit>(u"EditUID"_s)->text(), m_simulator->state().uid);
    QVERIFY(m_f->child<QTextEdit>(u"RE_doklad"_s)->toPlainText().contains(u"Chlieb"_s));
    QVERIFY(screen.document().isEmpty());
    QCOMPARE(screen.document().totalCents(), 0);
    QCOMPARE(m_f->child<QTableView>(u"SMDBGrid_doklad"_s)->model()->rowCount(), 0);
    QVERIFY(m_f->child<QTableView>(u"SMDBGrid_doklad"_s)->isEnabled());
    QCOMPARE(screen.focusWidget(), m_f->child<QLineEdit>(u"Edit_predaj"_s));
    QVERIFY(m_f->dialogs.shown().isEmpty());
}

void TestSalePrint::cancelledPaymentKeepsTheDocumentOpen()
{
    startSimulator(m_f->printer.info.documentNumber);
    TForm_predaj_medic &screen = openWithTwoItems();
    whenPaymentDialogOpens([] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); });
    QTest::mouseClick(m_f->child<QPushButton>(u"BitBtn_tlac"_s), Qt::LeftButton);

    QVERIFY(receipts().isEmpty());
    QCOMPARE(screen.document().rows().size(), 2);
    QCOMPARE(m_f->child<QLabel>(u"L_celkom"_s)->text(), u"4,90"_s);
    QVERIFY(m_f->child<QTableView>(u"SMDBGrid_doklad"_s)->isEnabled());
    QCOMPARE(screen.focusWidget(), m_f->child<QLineEdit>(u"Edit_predaj"_s));
    QVERIFY(!screen.receiptPrint().pendingRecord().exists());
}

// The program died after the hand-over; the printer printed the receipt. When the screen
// opens again it marks the rows with that receipt's number instead of leaving them open
// to be printed twice.
void TestSalePrint::openingSettlesAReceiptLeftWithThePrintManager()
{
    const qint32 before = m_f->printer.info.documentNumber;
    startSimulator(before + 1);
    TForm_predaj_medic &screen = openWithTwoItems();
    const TillIdentity till = TillIdentity::of(m_f->context.config);
    PrintPendingRecord::Entry entry;
    entry.printManagerInput = till.linkText();
    entry.salesTable = m_f->data->salesTableName();
    entry.documentBefore = before;
    entry.printTime = QDateTime::currentDateTime();
    for (const SaleRow &row : screen.document().rows())
        entry.keys.append(row.idPrimary);
    QVERIFY(PrintPendingRecord(m_f->dataFolder(), till).write(entry));

    screen.hide();
    screen.show();

    QVERIFY(screen.document().isEmpty());
    QCOMPARE(m_f->child<QTableView>(u"SMDBGrid_doklad"_s)->model()->rowCount(), 0);
    QCOMPARE(m_f->printer.info.documentNumber, before + 1);
    QCOMPARE(m_f->child<QLineEdit>(u"EditUID"_s)->text(), m_f->printer.info.uid);
    QCOMPARE(m_f->dialogs.shown().size(), 1);
    QVERIFY(m_f->dialogs.shown().constFirst().text.contains(QString::number(before + 1)));
    QVERIFY(receipts().isEmpty());
    QVERIFY(!screen.receiptPrint().pendingRecord().exists());
}

QTEST_MAIN(TestSalePrint)
#include "tst_saleprint.moc"

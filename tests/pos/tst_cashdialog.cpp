#include "../link/FakePrintManager.h"
#include "../link/RecordingStatusView.h"
#include "AccessibleNames.h"
#include "FakePlatform.h"
#include "FocusedKeys.h"
#include "ScriptedDialogs.h"
#include "TestPaths.h"
#include "base/Configuration.h"
#include "lang/MessageTable.h"
#include "link/PrintManagerLink.h"
#include "link/PrinterDetection.h"
#include "link/PrinterRequests.h"
#include "link/PrinterState.h"
#include "platform/FileSystem.h"
#include "pos/CashOperationGate.h"
#include "pos/CashVoucherPrint.h"
#include "pos/ui/TForm_financie.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;

using FocusedKeys::press;
using FocusedKeys::type;

namespace {

const QByteArray Esc("\x1b");
const QByteArray InfoRequest("\x1bI\x1b"
                             "e");
constexpr int NumberBefore = 41;

QByteArray infoReply(int number)
{
    const QByteArray n = QByteArray::number(number);
    return "1\r\nUID-" + n + "\r\nSECOND\r\nPD-" + n + "\r\n" + n +
           "\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n10.12.2026\r\n12:00:00\r\n";
}

QByteArray line(const QByteArray &command, double amount)
{
    return Esc + command + QString::asprintf("%12.2f", amount).toLatin1() + "\r\n";
}

// The status query of the gate, with the status word a test sets.
class StatusPrinter : public PrinterDetection
{
public:
    explicit StatusPrinter(PrinterState &state) : m_state(state) {}
    bool detect_fm() override { return true; }
    int online_sts() override
    {
        ++queries;
        const bool ready = (status & PrinterState::ReadyBit) != 0;
        m_state.status_word = ready ? status : 0;
        if (ready)
            m_state.cash_block = (status & PrinterState::CashBlockBit) != 0;
        return m_state.status_word;
    }
    bool read_info_reply(int) override { return false; }

    int status = 1;
    int queries = 0;

private:
    PrinterState &m_state;
};

// The program folder of a till whose print manager answers on the link clock.
struct CashSetup
{
    CashSetup()
    {
        config.programFolder = dir.path();
        config.dataFolder = dir.path() + u"/data/"_s;
        config.exchangeFolder = dir.path() + u"/"_s;
        config.printManagerInput = dir.path() + u"/blocek.txt"_s;
        config.infoFolder = dir.path();
        config.printManagerTitle = u"RL70ZQ"_s;
        config.repeatPeriod = 50;
        config.infoTimeout = 1000;
        config.paymentMeans[0] = u"Hotovosť"_s;
        config.paymentMeans[1] = u"Karta"_s;
        config.paymentMeans[5] = u"Šek"_s; // payment means 6, settled outside the till
        config.cashiers[0] = u"Anna"_s;
        config.cashiers[2] = u"Peter"_s;
        QDir().mkpath(config.dataFolder);
    }
    QTemporaryDir dir;
    Configuration config;
};

struct CashRig : CashSetup
{
    CashRig()
    {
        windows.titles.insert("RL70ZQ");
        TestPaths::writeFile(dir.filePath(u"info.txt"_s), infoReply(NumberBefore));
        printManager.answer(InfoRequest, u"info.txt"_s, infoReply(NumberBefore));
    }

    // The voucher is answered with the next document number.
    void expect(const QByteArray &voucher)
    {
        printManager.answer(voucher, u"info.txt"_s, infoReply(NumberBefore + 1));
    }

    template <typename T> T *child(const QString &name) const
    {
        T *found = form.findChild<T *>(name);
        if (!found)
            qFatal("no %s", qPrintable(name));
        return found;
    }
    QWidget *focused() const { return QApplication::focusWidget(); }

    // Opens the dialog and does `steps` once it is shown; true when the gate let it open.
    bool run(CashVoucher::Mode mode, const std::function<void()> &steps)
    {
        QTimer::singleShot(0, &form, [this, steps] {
            if (!form.isVisible())
                return;
            form.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&form));
            steps();
            if (form.isVisible())
                form.reject();
        });
        return form.open(mode);
    }
    QStringList boxTexts() const
    {
        QStringList texts;
        for (const UserDialogs::Message &box : dialogs.shown())
            texts << box.text;
        return texts;
    }

    FakeWindowFinder windows;
    std::unique_ptr<platform::FileSystem> files = platform::createFileSystem();
    ManualLinkClock clock;
    PrintManagerLink link{config, windows, *files, clock};
    FakePrintManager printManager{config, clock};
    MessageTable messages;
    ScriptedDialogs dialogs;
    RecordingStatusView view;
    PrinterState state;
    PrinterRequests requests{config, link, *files, state, view};
    StatusPrinter detection{state};
    CashOperationGate gate{detection, state, messages, dialogs};
    CashVoucherPrint print{{config, messages, dialogs, link, requests, state, {}}};
    int lastDocumentShown = 0;
    int paragonCleared = 0;
    TForm_financie form{{config, messages, dialogs, gate, print, [this] { ++paragonCleared; },
                         [this] { ++lastDocumentShown; }}};
};

QByteArray deposit(double amount, const QByteArray &payments)
{
    return Esc + "V^t" + line("k", amount) + payments + Esc + "e";
}

} // namespace

class TestCashDialog : public QObject
{
    Q_OBJECT

private slots:
    void everyInputReadsByItsName();
    void depositByKeys();
    void changeUntilTheSecondOk();
    void withdrawalSplitWithTextAndCashier();
    void requiredCashier();
    void shortPaymentReturnsToThePayment();
    void amountKeys_data();
    void amountKeys();
    void refusedInput_data();
    void refusedInput();
    void gateRefuses_data();
    void gateRefuses();
    void handOverFailureIsToldAndMayBeRepeated();
};

// Amount, Enter, Enter, Enter: printed once, closed, the sale screen told.
// A screen reader names every field and list by its caption.
void TestCashDialog::everyInputReadsByItsName()
{
    CashRig rig;
    const QStringList faults = AccessibleNames::faults(rig.form);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u"; "_s)));
}

void TestCashDialog::depositByKeys()
{
    CashRig rig;
    const QByteArray voucher = deposit(100, line("P1", 100));
    rig.expect(voucher);
    bool closed = false;
    QVERIFY(rig.run(CashVoucher::Mode::Deposit, [&] {
        QCOMPARE(rig.focused(), rig.child<QLineEdit>(u"Edit_celkom"_s));
        QCOMPARE(rig.child<QLabel>(u"Label_cena"_s)->text(), u"[MSG_191]"_s);
        type(u"100"_s);
        QCOMPARE(rig.child<QLineEdit>(u"Edit_celkom"_s)->text(), u"100"_s); // "0" was selected
        press(Qt::Key_Return);
        QCOMPARE(rig.focused(), rig.child<QLineEdit>(u"Edit_hotovost"_s));
        QCOMPARE(rig.child<QLineEdit>(u"Edit_hotovost"_s)->text(), u"100"_s);
        press(Qt::Key_Return);
        QCOMPARE(rig.focused(), rig.child<QPushButton>(u"BitBtn_ok"_s));
        press(Qt::Key_Return);
        closed = !rig.form.isVisible();
    }));
    QVERIFY(closed);
    QCOMPARE(rig.printManager.received.count(voucher), 1);
    QCOMPARE(rig.state.info.documentNumber, NumberBefore + 1);
    QCOMPARE(rig.paragonCleared, 1);
    QVERIFY(rig.lastDocumentShown > 0);
    QVERIFY(rig.dialogs.shown().isEmpty());
    QVERIFY(!rig.print.pendingRecord().exists());
}

// 120.00 given for a deposit of 100.00: 100.00 in cash on the voucher, -20.00 shown, and
// the second "OK" only closes.
void TestCashDialog::changeUntilTheSecondOk()
{
    CashRig rig;
    const QByteArray voucher = deposit(100, line("P1", 100));
    rig.expect(voucher);
    bool secondPressIgnored = false;
    rig.print.setStageHook([&](CashVoucherPrint::Stage stage) {
        auto *ok = rig.child<QPushButton>(u"BitBtn_ok"_s);
        if (stage != CashVoucherPrint::Stage::HandedOver)
            return;
        // The voucher is with the print manager: another "OK" must neither send nor close.
        QTest::mouseClick(ok, Qt::LeftButton);
        secondPressIgnored = !ok->isEnabled() && ok->text() == u"[MSG_196]"_s && rig.form.isVisible();
    });
    QVERIFY(rig.run(CashVoucher::Mode::Deposit, [&] {
        type(u"100"_s);
        press(Qt::Key_Return);
        type(u"120"_s);
        press(Qt::Key_Return);
        press(Qt::Key_Return);
        QVERIFY(rig.form.isVisible());
        QVERIFY(rig.child<QGroupBox>(u"GB_vratit"_s)->isVisible());
        QVERIFY(!rig.child<QGroupBox>(u"GB_platidla"_s)->isVisible());
        QCOMPARE(rig.child<QLabel>(u"Label_vydavok"_s)->text(), u"-20.00"_s);
        QCOMPARE(rig.focused(), rig.child<QPushButton>(u"BitBtn_ok"_s));
        press(Qt::Key_Return);
        QVERIFY(!rig.form.isVisible());
    }));
    QVERIFY(secondPressIgnored);
    QCOMPARE(rig.printManager.received.count(voucher), 1);
    QCOMPARE(rig.printManager.received.size(), 1);
    // Shown again for the next voucher.
    QVERIFY(rig.child<QGroupBox>(u"GB_platidla"_s)->isVisibleTo(&rig.form));
    QVERIFY(!rig.child<QGroupBox>(u"GB_vratit"_s)->isVisibleTo(&rig.form));
}

// The text, the cashier, and 50.00 split over card and cash, all by keys.
void TestCashDialog::withdrawalSplitWithTextAndCashier()
{
    CashRig rig;
    const QByteArray voucher = Esc + "v^tN\xe1jom\r\n" + line("k", -50) + line("P1", -30) + line("P2", -20) +
                               "Vyhotovil: Peter\r\n" + Esc + "e";
    rig.expect(voucher);
    QVERIFY(rig.run(CashVoucher::Mode::Withdrawal, [&] {
        QCOMPARE(rig.child<QLabel>(u"Label_cena"_s)->text(), u"[MSG_193]"_s);
        type(u"50"_s);
        press(Qt::Key_Tab);
        QCOMPARE(rig.focused(), rig.child<QLineEdit>(u"Edit_info"_s));
        type(u"Nájom"_s);
        press(Qt::Key_Tab);
        press(Qt::Key_Down);
        press(Qt::Key_Down);
        QCOMPARE(rig.child<QComboBox>(u"CB_vyhotovil"_s)->currentText(), u"Peter"_s);
        press(Qt::Key_Return);
        QCOMPARE(rig.focused(), rig.child<QComboBox>(u"CB_platidlo"_s));
        press(Qt::Key_Down); // Karta
        press(Qt::Key_Return);
        type(u"20"_s);
        press(Qt::Key_Return);
        QCOMPARE(rig.child<QLabel>(u"Label_zostavauhradit"_s)->text(), u"30.00"_s);
        QCOMPARE(rig.focused(), rig.child<QComboBox>(u"CB_platidlo"_s));
        press(Qt::Key_Up); // Hotovosť, with nothing paid in it yet
        QCOMPARE(rig.child<QLineEdit>(u"Edit_hotovost"_s)->text(), u"0.00"_s);
        press(Qt::Key_Return);
        type(u"30"_s);
        press(Qt::Key_Return);
        QCOMPARE(rig.focused(), rig.child<QPushButton>(u"BitBtn_ok"_s));
        press(Qt::Key_Return);
        QVERIFY(!rig.form.isVisible());
    }));
    QCOMPARE(rig.printManager.received.count(voucher), 1);
}

void TestCashDialog::requiredCashier()
{
    CashRig rig;
    rig.config.cashierRequired = 1;
    rig.dialogs.setStrict(true);
    rig.dialogs.queueAnswer(UserDialogs::Answer::Ok);
    rig.dialogs.queueAnswer(UserDialogs::Answer::Ok);
    QVERIFY(rig.run(CashVoucher::Mode::Deposit, [&] {
        type(u"10"_s);
        press(Qt::Key_Return);
        auto *cashier = rig.child<QComboBox>(u"CB_vyhotovil"_s);
        QCOMPARE(rig.focused(), cashier);
        press(Qt::Key_Tab);
        QVERIFY(QTest::qWaitFor([&] { return rig.dialogs.shown().size() == 1; }));
        QCOMPARE(rig.focused(), cashier);
        rig.child<QPushButton>(u"BitBtn_ok"_s)->click();
        QCOMPARE(rig.dialogs.shown().size(), 2);
        QCOMPARE(rig.focused(), cashier);
        QVERIFY(rig.form.isVisible());
        press(Qt::Key_Down);
        press(Qt::Key_Return);
        QCOMPARE(rig.focused(), rig.child<QComboBox>(u"CB_platidlo"_s));
    }));
    for (const UserDialogs::Message &box : rig.dialogs.shown()) {
        QCOMPARE(box.text, u"! Vyberte meno obsluhy !"_s);
        QCOMPARE(box.caption, u"Omira chyba zadania"_s);
    }
    QVERIFY(rig.printManager.received.isEmpty());
}

void TestCashDialog::shortPaymentReturnsToThePayment()
{
    CashRig rig;
    QVERIFY(rig.run(CashVoucher::Mode::Withdrawal, [&] {
        type(u"100"_s);
        press(Qt::Key_Return);
        type(u"80"_s);
        press(Qt::Key_Return);
        QCOMPARE(rig.focused(), rig.child<QComboBox>(u"CB_platidlo"_s));
        QCOMPARE(rig.child<QLabel>(u"Label_zostavauhradit"_s)->text(), u"20.00"_s);
        rig.child<QPushButton>(u"BitBtn_ok"_s)->click();
        QVERIFY(rig.form.isVisible());
        QCOMPARE(rig.focused(), rig.child<QLineEdit>(u"Edit_hotovost"_s));
    }));
    QVERIFY(rig.dialogs.shown().isEmpty());
    QVERIFY(rig.printManager.received.isEmpty());
}

void TestCashDialog::amountKeys_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown"); // "." stands for the locale's separator
    QTest::newRow("two decimals at most") << u"Edit_celkom"_s << u"12,345"_s << u"12.34"_s;
    QTest::newRow("letters and signs refused") << u"Edit_celkom"_s << u"1a%'x2"_s << u"12"_s;
    QTest::newRow("no separator first") << u"Edit_celkom"_s << u",5"_s << u"5"_s;
    QTest::newRow("one separator") << u"Edit_celkom"_s << u"1..2"_s << u"1.2"_s;
    QTest::newRow("no minus in the amount") << u"Edit_celkom"_s << u"-5"_s << u"5"_s;
    QTest::newRow("minus first in a payment") << u"Edit_hotovost"_s << u"-5"_s << u"-5"_s;
    QTest::newRow("minus only first") << u"Edit_hotovost"_s << u"5-"_s << u"5"_s;
    QTest::newRow("unprintable letter refused") << u"Edit_info"_s << u"a→b"_s << u"ab"_s;
    QTest::newRow("Slovak letters kept") << u"Edit_info"_s << u"Nájom č. 5"_s << u"Nájom č. 5"_s;
}

void TestCashDialog::amountKeys()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    CashRig rig;
    QVERIFY(rig.run(CashVoucher::Mode::Deposit, [&] {
        auto *edit = rig.child<QLineEdit>(field);
        edit->setFocus();
        edit->clear();
        type(typed);
        const QString separator = QLocale().decimalPoint() == u","_s ? u","_s : u"."_s;
        QCOMPARE(edit->text(), field == u"Edit_info"_s ? shown : QString(shown).replace(u"."_s, separator));
    }));
}

void TestCashDialog::refusedInput_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty amount") << u"Edit_celkom"_s << QString() << u"Zadajte sumu."_s;
    QTest::newRow("amount not a number") << u"Edit_celkom"_s << u"12x"_s << u"Zadaná suma nie je číslo."_s;
    QTest::newRow("amount beyond the printer")
        << u"Edit_celkom"_s << u"100000000"_s << u"Suma je väčšia, ako pokladňa dokáže vytlačiť"_s;
    QTest::newRow("payment not a number") << u"Edit_hotovost"_s << u"--1"_s << u"Zadaná suma nie je číslo."_s;
    QTest::newRow("payment beyond the printer")
        << u"Edit_hotovost"_s << u"1e9"_s << u"Suma je väčšia, ako pokladňa dokáže vytlačiť"_s;
    QTest::newRow("text the printer cannot print")
        << u"Edit_info"_s << u"Nájom →"_s << u"znaky, ktoré pokladňa nevytlačí: →"_s;
}

// What a paste can put past the key filter is refused at "OK" with a message, in the
// field that holds it, and nothing is printed.
void TestCashDialog::refusedInput()
{
    QFETCH(QString, field);
    QFETCH(QString, pasted);
    QFETCH(QString, message);
    CashRig rig;
    QVERIFY(rig.run(CashVoucher::Mode::Deposit, [&] {
        type(u"100"_s);
        press(Qt::Key_Return);
        press(Qt::Key_Return);
        auto *edit = rig.child<QLineEdit>(field);
        edit->setText(pasted);
        rig.child<QPushButton>(u"BitBtn_ok"_s)->click();
        QVERIFY(rig.form.isVisible());
        QCOMPARE(rig.focused(), edit);
    }));
    QCOMPARE(rig.dialogs.shown().size(), 1);
    QVERIFY2(rig.dialogs.shown()[0].text.contains(message), qPrintable(rig.dialogs.shown()[0].text));
    QVERIFY(rig.printManager.received.isEmpty());
}

void TestCashDialog::gateRefuses_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("boxes");
    QTest::addColumn<int>("queries");
    QTest::newRow("printer not ready") << 0 << 1 << 1;
    QTest::newRow("even status word") << 0x8000 << 1 << 1;
    QTest::newRow("cash vouchers blocked: silent") << 0x1001 << 0 << 2;
}

void TestCashDialog::gateRefuses()
{
    QFETCH(int, status);
    QFETCH(int, boxes);
    QFETCH(int, queries);
    CashRig rig;
    rig.detection.status = status;
    QVERIFY(!rig.run(CashVoucher::Mode::Deposit, [] { QFAIL("the dialog must not open"); }));
    QVERIFY(!rig.form.isVisible());
    QCOMPARE(rig.dialogs.shown().size(), boxes);
    if (boxes)
        QCOMPARE(rig.dialogs.shown()[0].text,
                 u"Nepodarilo sa zdetekovat pokladňu.\r\nDoklady nie je možno tlačiť."_s);
    QCOMPARE(rig.detection.queries, queries);
}

// A print manager that never takes the input: the cashier is told, and "OK" works again.
void TestCashDialog::handOverFailureIsToldAndMayBeRepeated()
{
    CashRig rig;
    rig.printManager.takesInput = false;
    QVERIFY(TestPaths::writeFile(rig.config.printManagerInput, "an earlier command"));
    QVERIFY(rig.run(CashVoucher::Mode::Deposit, [&] {
        type(u"10"_s);
        press(Qt::Key_Return);
        press(Qt::Key_Return);
        press(Qt::Key_Return);
        QVERIFY(rig.form.isVisible());
        auto *ok = rig.child<QPushButton>(u"BitBtn_ok"_s);
        QVERIFY(ok->isEnabled());
        QCOMPARE(ok->text(), u"[MSG_195]"_s);
    }));
    QCOMPARE(rig.dialogs.shown().size(), 1);
    QVERIFY(rig.dialogs.shown()[0].text.contains(u"neprevzal"_s));
    QVERIFY(!rig.print.pendingRecord().exists());
    QCOMPARE(TestPaths::readFile(rig.config.printManagerInput), QByteArray("an earlier command"));
}

QTEST_MAIN(TestCashDialog)
#include "tst_cashdialog.moc"

#include "pos/CashVoucher.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

using Mode = CashVoucher::Mode;
// Payment means 1..10 and what was given in each.
using Payments = QMap<int, double>;

CashVoucher voucherOf(Mode mode, double amount, const Payments &payments)
{
    CashVoucher voucher;
    voucher.start(mode);
    voucher.setAmount(amount);
    for (auto it = payments.cbegin(); it != payments.cend(); ++it)
        voucher.setPayment(it.key() - 1, it.value());
    return voucher;
}

QByteArray esc(const QByteArray &rest)
{
    return '\x1b' + rest;
}

} // namespace

Q_DECLARE_METATYPE(CashVoucher::Mode)
Q_DECLARE_METATYPE(CashVoucher::AmountCheck)

class TestCashVoucher : public QObject
{
    Q_OBJECT

private slots:
    void voucherBytes_data();
    void voucherBytes();
    void settlement_data();
    void settlement();
    void startForgetsTheLastVoucher();
    void readAmount_data();
    void readAmount();
    void unprintable_data();
    void unprintable();
};

void TestCashVoucher::voucherBytes_data()
{
    QTest::addColumn<Mode>("mode");
    QTest::addColumn<double>("amount");
    QTest::addColumn<Payments>("payments");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("cashier");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<double>("change");

    const QByteArray deposit100 =
        esc("V^t") + esc("k      100.00\r\n") + esc("P1      100.00\r\n") + esc("e");
    QTest::newRow("deposit all in cash")
        << Mode::Deposit << 100.0 << Payments{{1, 100.0}} << QString() << QString() << deposit100 << 0.0;
    QTest::newRow("deposit, 120.00 given in cash")
        << Mode::Deposit << 100.0 << Payments{{1, 120.0}} << QString() << QString() << deposit100 << -20.0;
    QTest::newRow("withdrawal") << Mode::Withdrawal << 50.0 << Payments{{1, 50.0}} << QString() << QString()
                                << esc("v^t") + esc("k      -50.00\r\n") + esc("P1      -50.00\r\n") +
                                       esc("e")
                                << 0.0;
    QTest::newRow("withdrawal split over two means")
        << Mode::Withdrawal << 50.0 << Payments{{1, 20.0}, {2, 30.0}} << QString() << QString()
        << esc("v^t") + esc("k      -50.00\r\n") + esc("P1      -20.00\r\n") + esc("P2      -30.00\r\n") +
               esc("e")
        << 0.0;
    QTest::newRow("split, the change off means 1")
        << Mode::Deposit << 100.0 << Payments{{1, 50.0}, {2, 70.0}} << QString() << QString()
        << esc("V^t") + esc("k      100.00\r\n") + esc("P1       30.00\r\n") + esc("P2       70.00\r\n") +
               esc("e")
        << -20.0;
    // Means 6..10 are settled outside the till: neither a shortage nor change.
    QTest::newRow("means 6, short in the till")
        << Mode::Deposit << 100.0 << Payments{{1, 50.0}, {6, 10.0}} << QString() << QString()
        << esc("V^t") + esc("k      100.00\r\n") + esc("P1       50.00\r\n") + esc("P6       10.00\r\n") +
               esc("e")
        << 0.0;
    QTest::newRow("means 6, over") << Mode::Deposit << 100.0 << Payments{{1, 120.0}, {6, 10.0}} << QString()
                                   << QString()
                                   << esc("V^t") + esc("k      100.00\r\n") + esc("P1      120.00\r\n") +
                                          esc("P6       10.00\r\n") + esc("e")
                                   << 0.0;
    QTest::newRow("means 10") << Mode::Deposit << 7.5 << Payments{{10, 7.5}} << QString() << QString()
                              << esc("V^t") + esc("k        7.50\r\n") + esc("P10        7.50\r\n") + esc("e")
                              << 0.0;
    QTest::newRow("text with Slovak letters")
        << Mode::Deposit << 100.0 << Payments{{1, 100.0}} << u"Záloha pre Ľuboša – ranná"_s << QString()
        << esc("V^tZ\xe1loha pre \xbcubo\x9a"
               "a \x96 rann\xe1\r\n") +
               esc("k      100.00\r\n") + esc("P1      100.00\r\n") + esc("e")
        << 0.0;
    QTest::newRow("withdrawal with text")
        << Mode::Withdrawal << 50.0 << Payments{{1, 50.0}} << u"Výber"_s << QString()
        << esc("v^tV\xfd"
               "ber\r\n") +
               esc("k      -50.00\r\n") + esc("P1      -50.00\r\n") + esc("e")
        << 0.0;
    QTest::newRow("cashier named") << Mode::Deposit << 100.0 << Payments{{1, 100.0}} << QString()
                                   << u"Jana Nováková"_s
                                   << esc("V^t") + esc("k      100.00\r\n") + esc("P1      100.00\r\n") +
                                          "Vyhotovil: Jana Nov\xe1kov\xe1\r\n" + esc("e")
                                   << 0.0;
}

void TestCashVoucher::voucherBytes()
{
    QFETCH(Mode, mode);
    QFETCH(double, amount);
    QFETCH(Payments, payments);
    QFETCH(QString, text);
    QFETCH(QString, cashier);
    QFETCH(QByteArray, bytes);
    QFETCH(double, change);
    CashVoucher voucher = voucherOf(mode, amount, payments);
    voucher.setText(text);
    voucher.setCashier(cashier);

    QCOMPARE(voucher.settle(), CashVoucher::Settlement::Settled);
    QCOMPARE(voucher.change(), change);
    QCOMPARE(voucher.compose().bytes(), bytes);
}

void TestCashVoucher::settlement_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<Payments>("payments");
    QTest::addColumn<bool>("settled");
    QTest::addColumn<QString>("remaining");
    QTest::newRow("nothing given") << 100.0 << Payments{} << false << u"100.00"_s;
    QTest::newRow("a cent short") << 100.0 << Payments{{1, 99.99}} << false << u"0.01"_s;
    QTest::newRow("short over two means") << 100.0 << Payments{{1, 40.0}, {5, 59.0}} << false << u"1.00"_s;
    QTest::newRow("0.10 + 0.20 for 0.30") << 0.30 << Payments{{1, 0.10}, {2, 0.20}} << true << u"0.00"_s;
    QTest::newRow("20.00 over") << 100.0 << Payments{{1, 120.0}} << true << u"-20.00"_s;
    QTest::newRow("short, but means 6") << 100.0 << Payments{{6, 1.0}} << true << QString();
}

void TestCashVoucher::settlement()
{
    QFETCH(double, amount);
    QFETCH(Payments, payments);
    QFETCH(bool, settled);
    QFETCH(QString, remaining);
    CashVoucher voucher = voucherOf(Mode::Deposit, amount, payments);
    QCOMPARE(voucher.remainingText(), remaining);
    QCOMPARE(voucher.paidInFull(), settled);
    const auto before = voucher.payments();

    QCOMPARE(voucher.settle(), settled ? CashVoucher::Settlement::Settled : CashVoucher::Settlement::Short);
    if (!settled) {
        // A refused voucher stays as the cashier typed it.
        QCOMPARE(voucher.payments(), before);
        QCOMPARE(voucher.change(), 0.0);
    }
}

void TestCashVoucher::startForgetsTheLastVoucher()
{
    CashVoucher voucher = voucherOf(Mode::Withdrawal, 100, {{1, 150.0}, {7, 1.0}});
    voucher.setText(u"Výber"_s);
    voucher.setCashier(u"Eva"_s);
    QCOMPARE(voucher.settle(), CashVoucher::Settlement::Settled);

    voucher.start(Mode::Deposit);
    voucher.setAmount(10);
    voucher.setPayment(0, 10);
    QCOMPARE(voucher.settle(), CashVoucher::Settlement::Settled);
    QCOMPARE(voucher.compose().bytes(),
             esc("V^t") + esc("k       10.00\r\n") + esc("P1       10.00\r\n") + esc("e"));
}

void TestCashVoucher::readAmount_data()
{
    using Check = CashVoucher::AmountCheck;
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("negativeAllowed");
    QTest::addColumn<Check>("check");
    QTest::addColumn<double>("value");
    QTest::newRow("empty") << QString() << false << Check::Empty << 0.0;
    QTest::newRow("blanks") << u"   "_s << false << Check::Empty << 0.0;
    QTest::newRow("letters") << u"abc"_s << false << Check::NotANumber << 0.0;
    QTest::newRow("number and letters") << u"12.5 EUR"_s << false << Check::NotANumber << 0.0;
    QTest::newRow("two decimal points") << u"1,234.5"_s << false << Check::NotANumber << 0.0;
    QTest::newRow("infinity") << u"inf"_s << true << Check::NotANumber << 0.0;
    QTest::newRow("decimal comma") << u"12,5"_s << false << Check::Valid << 12.5;
    QTest::newRow("decimal point") << u"12.5"_s << false << Check::Valid << 12.5;
    QTest::newRow("blanks around") << u" 7 "_s << false << Check::Valid << 7.0;
    QTest::newRow("negative refused") << u"-5"_s << false << Check::Negative << 0.0;
    QTest::newRow("negative allowed") << u"-5"_s << true << Check::Valid << -5.0;
    QTest::newRow("largest") << u"99999999.99"_s << false << Check::Valid << 99999999.99;
    QTest::newRow("largest negative") << u"-99999999,99"_s << true << Check::Valid << -99999999.99;
    QTest::newRow("too large") << u"100000000"_s << false << Check::TooLarge << 0.0;
    QTest::newRow("too large negative") << u"-100000000"_s << true << Check::TooLarge << 0.0;
}

void TestCashVoucher::readAmount()
{
    QFETCH(QString, text);
    QFETCH(bool, negativeAllowed);
    QFETCH(CashVoucher::AmountCheck, check);
    QFETCH(double, value);
    double read = -1;
    QCOMPARE(CashVoucher::readAmount(text, negativeAllowed, read), check);
    QCOMPARE(read, value);
    QCOMPARE(CashVoucher::amountProblemText(check).isEmpty(), check == CashVoucher::AmountCheck::Valid);
}

void TestCashVoucher::unprintable_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("found");
    QTest::newRow("Slovak letters, euro and question mark") << u"Záloha Ľuboš 5 € ?"_s << QString();
    QTest::newRow("arrow") << u"a → b"_s << u"→"_s;
    QTest::newRow("Cyrillic, each once in order") << u"Ж a → b Ж →"_s << u"Ж→"_s;
    QTest::newRow("tab") << u"a\tb"_s << u"\t"_s;
    QTest::newRow("line end") << u"a\r\nb"_s << u"\r\n"_s;
    // The code page keeps bytes 0x81.. as these controls, but the printer prints nothing.
    QTest::newRow("C1 control") << u"a\u0081"_s << u"\u0081"_s;
    QTest::newRow("delete") << u"a\u007f"_s << u"\u007f"_s;
    QTest::newRow("two emoji of one high half") << u"😀 a 😁 😀"_s << u"😀😁"_s;
}

void TestCashVoucher::unprintable()
{
    QFETCH(QString, text);
    QFETCH(QString, found);
    QCOMPARE(CashVoucher::unprintable(text), found);
}

QTEST_GUILESS_MAIN(TestCashVoucher)
#include "tst_cashvoucher.moc"

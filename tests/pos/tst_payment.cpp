#include "FocusedKeys.h"
#include "ScriptedDialogs.h"
#include "TextFit.h"
#include "base/Configuration.h"
#include "lang/MessageTable.h"
#include "pos/PaymentCalculation.h"
#include "pos/ui/TForm_platba.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;

using FocusedKeys::press;

namespace {

std::array<QString, 10> names(const QStringList &list)
{
    std::array<QString, 10> result;
    for (qsizetype i = 0; i < list.size(); ++i)
        result[std::size_t(i)] = list[i];
    return result;
}

} // namespace

class TestPayment : public QObject
{
    Q_OBJECT

private slots:
    void confirm_data();
    void confirm();
    void gapsInTheNamesKeepEachPaymentOnItsOwnMeans();
    void textsAreWholeOnShopScreens();
    void suggestion_data();
    void suggestion();
    void parseAmount_data();
    void parseAmount();

    void dialogCashWithChange();
    void dialogShortPaymentStaysOpen();
    void dialogNegativeTotal();
    void dialogDocumentDiscount();
    void dialogShowsTheCurrentTotalForACopiedPercent();
    void dialogEscapeCancels();
    void f4ReachesTheDiscountFromEveryControl_data();
    void f4ReachesTheDiscountFromEveryControl();
    void enterRouteFromTheListPrints();
    void discountAndAmountTypedOverInTheRegionalFormat_data();
    void discountAndAmountTypedOverInTheRegionalFormat();
    void dialogClosingTextUnlessSkoda();

private:
    struct Dialog;
};

void TestPayment::confirm_data()
{
    QTest::addColumn<qint64>("total");
    QTest::addColumn<QList<double>>("paid");
    QTest::addColumn<bool>("isShort");
    QTest::addColumn<QList<double>>("booked");
    QTest::addColumn<double>("tendered");

    QTest::newRow("exact") << qint64(1230) << QList<double>{12.30} << false << QList<double>{12.30} << 12.30;
    QTest::newRow("change") << qint64(1230) << QList<double>{20} << false << QList<double>{12.30} << 20.0;
    QTest::newRow("split, change off means 1")
        << qint64(1230) << QList<double>{5, 10} << false << QList<double>{2.30, 10} << 15.0;
    QTest::newRow("short by a cent") << qint64(1230) << QList<double>{12.29} << true << QList<double>{12.29}
                                     << 12.29;
    QTest::newRow("negative total, no shortage check")
        << qint64(-500) << QList<double>{0} << false << QList<double>{-5.0} << 0.0;
    QTest::newRow("negative total paid out")
        << qint64(-500) << QList<double>{-5} << false << QList<double>{-5} << -5.0;
}

void TestPayment::confirm()
{
    QFETCH(qint64, total);
    QFETCH(QList<double>, paid);
    QFETCH(bool, isShort);
    QFETCH(QList<double>, booked);
    QFETCH(double, tendered);
    PaymentCalculation calc(names({u"Hotovosť"_s, u"Karta"_s}));
    calc.start(total);
    for (qsizetype i = 0; i < paid.size(); ++i)
        calc.setAmount(int(i), paid[i]);
    QCOMPARE(calc.confirm() == PaymentCalculation::Outcome::Short, isShort);
    for (qsizetype i = 0; i < booked.size(); ++i)
        QCOMPARE(qRound(calc.amount(int(i)) * 100), qRound(booked[i] * 100));
    QCOMPARE(qRound(calc.tendered() * 100), qRound(tendered * 100));
}

void TestPayment::gapsInTheNamesKeepEachPaymentOnItsOwnMeans()
{
    PaymentCalculation calc(names({u"Hotovosť"_s, u"Karta"_s, QString(), u"Stravenky"_s}));
    QCOMPARE(calc.listNames(), QStringList({u"Hotovosť"_s, u"Karta"_s, u"Stravenky"_s}));
    calc.start(1000);
    calc.setAmount(2, 10);
    QCOMPARE(calc.meansOfEntry(2), 3);
    QCOMPARE(calc.amount(3), 10.0);
    QCOMPARE(calc.amount(2), 0.0);
}

void TestPayment::suggestion_data()
{
    QTest::addColumn<qint64>("total");
    QTest::addColumn<QList<double>>("paid");
    QTest::addColumn<int>("entry");
    QTest::addColumn<QString>("text");
    QTest::newRow("remaining") << qint64(1230) << QList<double>{0, 10} << 0 << u"2.30"_s;
    QTest::newRow("own amount") << qint64(1230) << QList<double>{0, 10} << 1 << u"10.00"_s;
    QTest::newRow("overpaid: nothing") << qint64(1230) << QList<double>{0, 20} << 0 << QString();
    QTest::newRow("negative total") << qint64(-250) << QList<double>{} << 1 << u"-2.50"_s;
}

void TestPayment::suggestion()
{
    QFETCH(qint64, total);
    QFETCH(QList<double>, paid);
    QFETCH(int, entry);
    QFETCH(QString, text);
    PaymentCalculation calc(names({u"A"_s, u"B"_s}));
    calc.start(total);
    for (qsizetype i = 0; i < paid.size(); ++i)
        calc.setAmount(int(i), paid[i]);
    QCOMPARE(calc.suggestionFor(entry), text);
}

void TestPayment::parseAmount_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("point") << u"12.30"_s << 12.30;
    QTest::newRow("comma") << u"12,3"_s << 12.3;
    QTest::newRow("minus") << u"-5"_s << -5.0;
    QTest::newRow("leading number only") << u"7.5x9"_s << 7.5;
    QTest::newRow("no number") << u"abc"_s << 0.0;
    QTest::newRow("empty") << QString() << 0.0;
}

void TestPayment::parseAmount()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(PaymentCalculation::parseAmount(text), value);
}

// The dialog over a session, with a sale screen whose discount operation recomputes a
// document of one row priced at the session's total.
struct TestPayment::Dialog
{
    explicit Dialog(qint64 total, bool skoda = false)
    {
        config.paymentMeans[0] = u"Hotovosť"_s;
        config.paymentMeans[1] = u"Karta"_s;
        config.paymentMeans[3] = u"Stravenky"_s;
        config.closingTextDisabled = skoda;
        session.totalCents = total;
        form = std::make_unique<TForm_platba>(TForm_platba::Services{
            config,
            messages,
            dialogs,
            [total](int percent) -> std::optional<DocumentDiscountResult> {
                DocumentDiscountResult result;
                result.discount.gross = total / 100.0;
                result.discount.discountCents = qint64((percent * total / 100.0 / 100.0 + 0.005) * 100);
                result.totalCents = total - result.discount.discountCents;
                result.discount.net = result.totalCents / 100.0;
                result.discount.applied = true;
                return result;
            },
            {},
            {}});
    }

    template <typename T> T *child(const QString &name) const
    {
        T *found = form->findChild<T *>(name);
        if (!found)
            qFatal("no %s", qPrintable(name));
        return found;
    }
    QString text(const QString &label) const { return child<QLabel>(label)->text(); }
    // Runs the dialog and does `steps` once it is shown.
    void run(std::function<void()> steps)
    {
        QTimer::singleShot(0, form.get(), [this, steps] {
            // Active, not only exposed: a field focused before the activation is entered
            // once more when it comes, which would redo what the steps typed.
            form->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(form.get()));
            steps();
            if (form->isVisible())
                form->reject();
        });
        form->run(session);
    }
    void typeAmount(const QString &amount)
    {
        QLineEdit *edit = child<QLineEdit>(u"Edit_amount"_s);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, amount);
    }

    Configuration config;
    MessageTable messages;
    ScriptedDialogs dialogs;
    PaymentSession session;
    std::unique_ptr<TForm_platba> form;
};

// A document in thousands paid by the default means (long names with Slovak letters):
// every text of the dialog is whole and the dialog fits a screen 768 pixels high with a
// tray panel.
void TestPayment::textsAreWholeOnShopScreens()
{
    Dialog d(1234990);
    const QStringList names = {u"Hotovosť:"_s, u"Platobná karta:"_s, u"Stravné lístky:"_s, u"Šeky:"_s,
                               u"Platba faktúr:"_s};
    for (qsizetype i = 0; i < names.size(); ++i)
        d.config.paymentMeans[size_t(i)] = names.at(i);
    d.run([&] {
        d.typeAmount(u"13000"_s);
        QTest::keyClick(d.child<QLineEdit>(u"Edit_amount"_s), Qt::Key_Return);
        QCOMPARE(d.text(u"Label_PS1"_s), u"13000.00"_s);
        QVERIFY(d.form->frameGeometry().height() <= 738);
        QTRY_VERIFY2(TextFit::cutLabels(*d.form).isEmpty(),
                     qPrintable(TextFit::cutLabels(*d.form).join(u"; "_s)));
    });
}

void TestPayment::dialogCashWithChange()
{
    Dialog d(1230);
    d.run([&] {
        QCOMPARE(d.child<QComboBox>(u"CB_platidlo"_s)->count(), 3);
        QCOMPARE(d.text(u"Label_celkom"_s), u"12.30"_s);
        QCOMPARE(d.text(u"Label_uhradit"_s), u"[MSG_199]"_s);
        QCOMPARE(d.text(u"Label_P4"_s), u"Stravenky"_s);
        d.typeAmount(u"20,00"_s);
        QTest::keyClick(d.child<QLineEdit>(u"Edit_amount"_s), Qt::Key_Return);
        QCOMPARE(d.text(u"Label_uhradit"_s), u"[MSG_78]"_s);
        QCOMPARE(d.text(u"Label_zostavauhradit"_s), u"7.70"_s);
        QCOMPARE(d.text(u"Label_PS1"_s), u"20.00"_s);
        QTest::keyClick(d.form.get(), Qt::Key_F12);
    });
    QVERIFY(!d.session.cancelled);
    QCOMPARE(qRound(d.session.amounts[0] * 100), 1230);
    QCOMPARE(qRound(d.session.tendered * 100), 2000);
}

void TestPayment::dialogShortPaymentStaysOpen()
{
    Dialog d(1230);
    d.run([&] {
        d.typeAmount(u"12.29"_s);
        d.child<QPushButton>(u"BitBtn_ok"_s)->click();
        QVERIFY(d.form->isVisible());
        QCOMPARE(d.form->windowTitle(), u"[MSG_63]"_s);
        // Card for the rest: the third list entry is the fourth payment means.
        QComboBox *list = d.child<QComboBox>(u"CB_platidlo"_s);
        list->setCurrentIndex(2);
        d.typeAmount(u"0.01"_s);
        d.child<QPushButton>(u"BitBtn_ok"_s)->click();
    });
    QVERIFY(!d.session.cancelled);
    QCOMPARE(qRound(d.session.amounts[0] * 100), 1229);
    QCOMPARE(qRound(d.session.amounts[3] * 100), 1);
}

void TestPayment::dialogNegativeTotal()
{
    Dialog d(-450);
    d.run([&] {
        QLineEdit *amount = d.child<QLineEdit>(u"Edit_amount"_s);
        QVERIFY(!amount->isEnabled());
        QCOMPARE(amount->text(), u"-4.50"_s);
        QVERIFY(!d.child<QLineEdit>(u"Edit_zlava_perc"_s)->isEnabled());
        QCOMPARE(d.text(u"Label_uhradit"_s), u"[MSG_78]"_s);
        d.child<QPushButton>(u"BitBtn_ok"_s)->click();
    });
    QVERIFY(!d.session.cancelled);
    QCOMPARE(qRound(d.session.amounts[0] * 100), -450);
}

void TestPayment::dialogDocumentDiscount()
{
    Dialog d(2000);
    d.run([&] {
        QLineEdit *percent = d.child<QLineEdit>(u"Edit_zlava_perc"_s);
        percent->setFocus();
        percent->selectAll();
        QTest::keyClicks(percent, u"1a0"_s);
        QCOMPARE(percent->text(), u"10"_s);
        QTest::keyClick(percent, Qt::Key_Return); // on to the list, which applies it
        QCOMPARE(d.text(u"Label_celkom"_s), u"18.00"_s);
        QCOMPARE(d.text(u"Label_zlava_eur"_s), u"2.00"_s);
        QCOMPARE(d.text(u"Label_pred_zlavou"_s), u"20.00"_s);
        QCOMPARE(d.child<QLineEdit>(u"Edit_amount"_s)->text(), u"18.00"_s);
        d.child<QPushButton>(u"BitBtn_ok"_s)->click();
    });
    QVERIFY(!d.session.cancelled);
    QCOMPARE(d.session.totalCents, 1800);
    QCOMPARE(qRound(d.session.amounts[0] * 100), 1800);
    QCOMPARE(d.session.discount.percent, 0); // reset once the payment is confirmed
}

void TestPayment::dialogShowsTheCurrentTotalForACopiedPercent()
{
    Dialog d(1500);
    d.session.discount.percent = 5;
    d.session.discount.gross = 99; // left from an earlier document
    d.session.discount.net = 94;
    d.run([&] {
        QCOMPARE(d.child<QLineEdit>(u"Edit_zlava_perc"_s)->text(), u"5"_s);
        QCOMPARE(d.text(u"Label_celkom"_s), u"15.00"_s);
        QCOMPARE(d.text(u"Label_pred_zlavou"_s), u"15.00"_s);
    });
}

void TestPayment::dialogEscapeCancels()
{
    Dialog d(1000);
    d.run([&] { QTest::keyClick(d.form.get(), Qt::Key_Escape); });
    QVERIFY(d.session.cancelled);
}

void TestPayment::dialogClosingTextUnlessSkoda()
{
    Dialog d(100);
    d.run([&] {
        QPlainTextEdit *memo = d.child<QPlainTextEdit>(u"Memo_peta"_s);
        QVERIFY(memo->isEnabled());
        memo->setFocus();
        QTest::keyClicks(memo, QString(45, u'x'));
        QCOMPARE(memo->toPlainText(), QString(40, u'x') + u'\n' + QString(5, u'x'));
        d.child<QPushButton>(u"BitBtn_ok"_s)->click();
    });
    QCOMPARE(d.session.closingText, QStringList({QString(40, u'x'), QString(5, u'x')}));

    Dialog disabled(100, true);
    disabled.run([&] { QVERIFY(!disabled.child<QPlainTextEdit>(u"Memo_peta"_s)->isEnabled()); });
}

void TestPayment::f4ReachesTheDiscountFromEveryControl_data()
{
    QTest::addColumn<QString>("control");
    QTest::newRow("payment list (where the dialog opens)") << QString();
    QTest::newRow("amount") << u"Edit_amount"_s;
    QTest::newRow("closing text") << u"Memo_peta"_s;
    QTest::newRow("print button") << u"BitBtn_ok"_s;
    QTest::newRow("Pokladna") << u"BitBtn_Pokladna"_s;
}

void TestPayment::f4ReachesTheDiscountFromEveryControl()
{
    QFETCH(QString, control);
    Dialog d(2000);
    d.run([&] {
        d.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(d.form.get()));
        QCOMPARE(QApplication::focusWidget(), d.child<QComboBox>(u"CB_platidlo"_s));
        if (!control.isEmpty())
            d.child<QWidget>(control)->setFocus();
        press(Qt::Key_F4);
        QCOMPARE(QApplication::focusWidget(), d.child<QLineEdit>(u"Edit_zlava_perc"_s));
    });
}

// List, a digit starts the amount, Enter moves to "Tlač dokladu", Enter prints.
void TestPayment::enterRouteFromTheListPrints()
{
    Dialog d(1230);
    bool closedByKeys = false;
    d.run([&] {
        d.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(d.form.get()));
        press(Qt::Key_2);
        press(Qt::Key_0);
        QCOMPARE(d.child<QLineEdit>(u"Edit_amount"_s)->text(), u"20"_s);
        press(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), d.child<QPushButton>(u"BitBtn_ok"_s));
        press(Qt::Key_Return);
        closedByKeys = !d.form->isVisible();
    });
    QVERIFY(closedByKeys);
    QVERIFY(!d.session.cancelled);
    QCOMPARE(qRound(d.session.amounts[0] * 100), 1230);
    QCOMPARE(qRound(d.session.tendered * 100), 2000);
}

// F4, the percent typed over the "0" the field holds, Enter; the cash typed over the total
// the amount field proposes. Every amount on the dialog is in the regional format, and a
// decimal mark typed either way is the locale's.
void TestPayment::discountAndAmountTypedOverInTheRegionalFormat_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("cash");
    QTest::addColumn<QStringList>("shown"); // total, before discount, discount, cash field, change

    QTest::newRow("C") << QLocale::c() << u"20.5"_s
                       << QStringList{u"18.00"_s, u"20.00"_s, u"2.00"_s, u"18.00"_s, u"2.50"_s};
    QTest::newRow("sk_SK, typed with a comma")
        << QLocale(QLocale::Slovak, QLocale::Slovakia) << u"20,5"_s
        << QStringList{u"18,00"_s, u"20,00"_s, u"2,00"_s, u"18,00"_s, u"2,50"_s};
    QTest::newRow("sk_SK, typed with a point")
        << QLocale(QLocale::Slovak, QLocale::Slovakia) << u"20.5"_s
        << QStringList{u"18,00"_s, u"20,00"_s, u"2,00"_s, u"18,00"_s, u"2,50"_s};
}

void TestPayment::discountAndAmountTypedOverInTheRegionalFormat()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, cash);
    QFETCH(QStringList, shown);
    const QLocale before;
    QLocale::setDefault(locale);
    const auto restore = qScopeGuard([&before] { QLocale::setDefault(before); });
    Dialog d(2000);
    d.run([&] {
        press(Qt::Key_F4);
        auto *percent = d.child<QLineEdit>(u"Edit_zlava_perc"_s);
        QCOMPARE(QApplication::focusWidget(), percent);
        QCOMPARE(percent->text(), u"0"_s);
        FocusedKeys::type(u"10"_s);
        QCOMPARE(percent->text(), u"10"_s);
        press(Qt::Key_Return); // on to the list, which applies it
        QCOMPARE(QStringList({d.text(u"Label_celkom"_s), d.text(u"Label_pred_zlavou"_s),
                              d.text(u"Label_zlava_eur"_s)}),
                 shown.mid(0, 3));
        press(Qt::Key_Return); // on to the amount, which proposes the total
        auto *amount = d.child<QLineEdit>(u"Edit_amount"_s);
        QCOMPARE(QApplication::focusWidget(), amount);
        QCOMPARE(amount->text(), shown.at(3));
        FocusedKeys::type(cash);
        QCOMPARE(amount->text(),
                 QString(cash).replace(u'.', locale.decimalPoint()).replace(u',', locale.decimalPoint()));
        press(Qt::Key_Return);
        QCOMPARE(d.text(u"Label_zostavauhradit"_s), shown.at(4));
        press(Qt::Key_F12);
    });
    QVERIFY(!d.session.cancelled);
    QCOMPARE(qRound(d.session.amounts[0] * 100), 1800);
    QCOMPARE(qRound(d.session.tendered * 100), 2050);
}

QTEST_MAIN(TestPayment)
#include "tst_payment.moc"

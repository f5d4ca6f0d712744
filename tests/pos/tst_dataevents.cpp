#include "pos/DatasetState.h"
#include "pos/OverviewRowCalc.h"
#include "pos/SaleItemFields.h"
#include "pos/StockCardFields.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestDataEvents : public QObject
{
    Q_OBJECT

private slots:
    void itemListRowFillsTheSaleFields();
    void stockListRowFillsTheCardUnlessTheCodeIsTyped();
    void stockTableState_data();
    void stockTableState();
    void overviewDiscountAndFooter();

private:
    static StockRow card();
};

StockRow TestDataEvents::card()
{
    StockRow row;
    row.kod = u"8580"_s;
    row.nazov = u"Mlieko"_s;
    row.nazov1 = u"polotučné"_s;
    row.nazov2 = u"1 l"_s;
    row.barcode = u"858000"_s;
    row.mj = u"ks"_s;
    row.mjIdx = 1;
    row.jc = 1.5;
    row.pocet = 12.25;
    row.dphIdx = 3;
    row.skladIdx = 7;
    row.pref = true;
    row.obal = true;
    return row;
}

void TestDataEvents::itemListRowFillsTheSaleFields()
{
    const auto fields = SaleItemFields::fromStockRow(card(), QLocale(QLocale::Slovak, QLocale::Slovakia));
    QCOMPARE(fields.nazov, u"Mlieko"_s);
    QCOMPARE(fields.nazov1, u"polotučné"_s);
    QCOMPARE(fields.nazov2, u"1 l"_s);
    QCOMPARE(fields.kod, u"8580"_s);
    QCOMPARE(fields.jc, u"1,5"_s);
    QCOMPARE(fields.stockGroup, 7);
    QCOMPARE(fields.mj, u"ks"_s);
    QCOMPARE(fields.vatEntry, 3);
    QCOMPARE(fields.quantity, u"1"_s);
    StockRow expensive = card();
    expensive.jc = 12345.6;
    QCOMPARE(SaleItemFields::fromStockRow(expensive, QLocale(QLocale::Slovak, QLocale::Slovakia)).jc,
             u"12345,6"_s);
}

void TestDataEvents::stockListRowFillsTheCardUnlessTheCodeIsTyped()
{
    const QLocale c = QLocale::c();
    QVERIFY(!StockCardFields::fromCard(card(), true, c));
    const auto fields = *StockCardFields::fromCard(card(), false, c);
    QCOMPARE(fields.unitIndex, 1);
    QCOMPARE(fields.vatIndex, 3);
    QCOMPARE(fields.groupIndex, 7);
    QVERIFY(fields.preferred);
    QVERIFY(fields.packaging);
    QCOMPARE(fields.kod, u"8580"_s);
    QCOMPARE(fields.barcode, u"858000"_s);
    QCOMPARE(fields.nazov2, u"1 l"_s);
    QCOMPARE(fields.jc, u"1.5"_s);
    QCOMPARE(fields.pocet, u"12.25"_s);
}

void TestDataEvents::stockTableState_data()
{
    QTest::addColumn<DatasetState>("state");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("inactive") << DatasetState::Inactive << u"Inactive"_s << true;
    QTest::newRow("browse") << DatasetState::Browse << u"Browse"_s << true;
    QTest::newRow("edit") << DatasetState::Edit << u"Edit"_s << false;
    QTest::newRow("insert") << DatasetState::Insert << u"Insert"_s << false;
    QTest::newRow("set key") << DatasetState::SetKey << u"SetKey"_s << true;
    QTest::newRow("internal calc") << DatasetState::InternalCalc << u"InternalCalc"_s << true;
    QTest::newRow("opening") << DatasetState::Opening << u"Opening"_s << true;
}

void TestDataEvents::stockTableState()
{
    QFETCH(DatasetState, state);
    QFETCH(QString, name);
    QFETCH(bool, enabled);
    const auto view = StockTableStateView::of(state);
    QCOMPARE(view.panelText, name);
    QCOMPARE(view.controlsEnabled, enabled);
}

void TestDataEvents::overviewDiscountAndFooter()
{
    const QLocale c(QLocale::English, QLocale::UnitedStates);
    QCOMPARE(OverviewRowCalc::discount({2.70, 3, 1.0, false}), 2.70 - 3.0);
    OverviewRowCalc calc;
    QCOMPARE(calc.addToFooter({10.25, 1, 10.25, true}, true, true, c), u"10.25"_s);
    QCOMPARE(calc.addToFooter({1000, 1, 1000, false}, true, true, c), u"1,010.25"_s);
    // A new pass starts at its first record.
    QCOMPARE(calc.addToFooter({5, 1, 5, true}, true, true, c), u"5.00"_s);
    // Without the column nothing is shown, but the first record still resets.
    QVERIFY(!calc.addToFooter({7, 1, 7, true}, true, false, c));
    QCOMPARE(calc.footerSum(), 0.0f);
    QVERIFY(!calc.addToFooter({7, 1, 7, true}, false, true, c));
    // The footer sums in single precision.
    OverviewRowCalc big;
    big.addToFooter({16777216, 1, 0, true}, true, true, c);
    QCOMPARE(big.addToFooter({1, 1, 0, false}, true, true, c), u"16,777,216.00"_s);
}

QTEST_GUILESS_MAIN(TestDataEvents)
#include "tst_dataevents.moc"

#include "pos/SaleItemFields.h"

#include <QtTest>

using namespace Qt::StringLiterals;

// A row of the item list fills the sale screen's item fields.
class TestDataEvents : public QObject
{
    Q_OBJECT

private slots:
    void itemListRowFillsTheSaleFields();

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

QTEST_GUILESS_MAIN(TestDataEvents)
#include "tst_dataevents.moc"

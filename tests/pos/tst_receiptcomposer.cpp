#include "pos/ReceiptComposer.h"

#include <QLocale>
#include <QtTest>

#include <clocale>

using namespace Qt::StringLiterals;

namespace {

SaleRow item(const QString &name, double quantity, double price, int vatEntry = 0,
             const QString &unit = u"ks"_s)
{
    SaleRow row;
    row.nazov = name;
    row.pocet = quantity;
    row.jc = price;
    row.idxDph = vatEntry;
    row.mj = unit;
    const double product = quantity * price;
    row.cenaInt = int((product + (product >= 0 ? 0.005 : -0.005)) * 100);
    row.cena = row.cenaInt / 100.0;
    return row;
}

SaleRow discounted(SaleRow row, int percent)
{
    row.zlavaPerc = percent;
    row.zlavaInt = int((row.pocet * row.jc * percent / 100.0 + 0.005) * 100);
    row.cenaInt -= row.zlavaInt;
    return row;
}

SaleRow packaging(SaleRow row)
{
    row.obal = true;
    return row;
}

QByteArray esc(const char *rest)
{
    return QByteArray("\x1b") + rest;
}

} // namespace

Q_DECLARE_METATYPE(SaleRow)
Q_DECLARE_METATYPE(ReceiptComposer::LineKind)

class TestReceiptComposer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void vatCode_data();
    void vatCode();
    void itemLines_data();
    void itemLines();
    void nameBlockTakesOnlyTheNamesThatAreThere_data();
    void nameBlockTakesOnlyTheNamesThatAreThere();
    void workedExample();
    void receiptOrderWithDiscountParagonPaymentsAndClosingText();
    void returnWithoutRefundedUidStopsAfterItsNameBlock();
    void vatEntryOutsideTheTableStops();
    void paymentLines_data();
    void paymentLines();
    void voucherLines();
};

void TestReceiptComposer::initTestCase()
{
    // A locale with a decimal comma must not leak into the document.
    QLocale::setDefault(QLocale(QLocale::Slovak, QLocale::Slovakia));
    std::setlocale(LC_ALL, "sk_SK.UTF-8");
}

void TestReceiptComposer::vatCode_data()
{
    using Kind = ReceiptComposer::LineKind;
    QTest::addColumn<int>("entry");
    QTest::addColumn<double>("quantity");
    QTest::addColumn<bool>("packaging");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QByteArray>("code");

    const char *sale[] = {"1NNN", "2NNN", "3NNN", "GNNN", "1NNR", "2NNR", "GNNR"};
    const char *refund[] = {"4ANN", "5ANN", "6ANN", "HANN", "4ANR", "5ANR", "HANR"};
    const char *discount[] = {"4BNN", "5BNN", "6BNN", "HBNN", "4BNR", "5BNR", "HBNR"};
    for (int entry = 0; entry < 7; ++entry) {
        QTest::addRow("sale entry %d", entry) << entry << 1.0 << false << Kind::Sale << esc(sale[entry]);
        QTest::addRow("return entry %d", entry)
            << entry << -1.0 << false << Kind::Return << esc(refund[entry]);
        QTest::addRow("discount entry %d", entry)
            << entry << 1.0 << false << Kind::Discount << esc(discount[entry]);
    }
    QTest::newRow("zero quantity sells") << 2 << 0.0 << false << Kind::Sale << esc("3NNN");
    QTest::newRow("packaging sold, R entry") << 5 << 2.0 << true << Kind::Sale << esc("7NNN");
    QTest::newRow("packaging returned") << 6 << -2.0 << true << Kind::Return << esc("8ANN");
    QTest::newRow("entry 7") << 7 << 1.0 << false << Kind::Sale << QByteArray();
    QTest::newRow("entry -1") << -1 << 1.0 << false << Kind::Sale << QByteArray();
}

void TestReceiptComposer::vatCode()
{
    QFETCH(int, entry);
    QFETCH(double, quantity);
    QFETCH(bool, packaging);
    QFETCH(ReceiptComposer::LineKind, kind);
    QFETCH(QByteArray, code);
    QCOMPARE(ReceiptComposer::vatCode(entry, quantity, packaging, kind), code);
}

void TestReceiptComposer::itemLines_data()
{
    QTest::addColumn<SaleRow>("row");
    QTest::addColumn<QString>("uid");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("display");

    QTest::newRow("sale") << item(u"x"_s, 2, 1.2) << QString()
                          << QByteArray("^J  1.20^k ^Q   2.00^k ^M ks^k  \x1b"
                                        "1NNN     2.40 EUR^N\r\n")
                          << u"^J  1.20^k ^Q   2.00^k ^M ks^k  \x1b"
                             "1NNN     2.40 EUR"_s;
    QTest::newRow("unit cut to three letters, big amounts")
        << item(u"x"_s, 12.5, 999.99, 3, u"balík"_s) << QString()
        << QByteArray("^J999.99^k ^Q  12.50^k ^Mbal^k  \x1bGNNN 12499.88 EUR^N\r\n")
        << u"^J999.99^k ^Q  12.50^k ^Mbal^k  \x1bGNNN 12499.88 EUR"_s;
    QTest::newRow("empty unit is a space") << item(u"x"_s, 1, 0.5, 4, QString()) << QString()
                                           << QByteArray("^J  0.50^k ^Q   1.00^k ^M   ^k  \x1b"
                                                         "1NNR     0.50 EUR^N\r\n")
                                           << u"^J  0.50^k ^Q   1.00^k ^M   ^k  \x1b"
                                              "1NNR     0.50 EUR"_s;
    QTest::newRow("discounted item: gross amount, plain line end")
        << discounted(item(u"x"_s, 1, 10), 10) << QString()
        << QByteArray("^J 10.00^k ^Q   1.00^k ^M ks^k  \x1b"
                      "1NNN    10.00 EUR\r\n")
        << u"^J 10.00^k ^Q   1.00^k ^M ks^k  \x1b"
           "1NNN    10.00 EUR"_s;
    QTest::newRow("return with uid") << item(u"x"_s, -1, 3.5, 1, u"kg"_s) << u"O-ABC123"_s
                                     << QByteArray("^J  3.50^k  ^Q  -1.00^k ^Mkg ^k ^RO-ABC123^k \x1b"
                                                   "5ANN    -3.50 EUR^N\r\n")
                                     << u"^J  3.50^k  ^Q  -1.00^k ^Mkg ^k ^RO-ABC123^k \x1b"
                                        "5ANN    -3.50 EUR"_s;
    QTest::newRow("returned packaging needs no uid")
        << packaging(item(u"x"_s, -3, 0.15, 6, u"fľaša"_s)) << QString()
        << QByteArray("^J  0.15^k  ^Q  -3.00^k ^Mf\xbe"
                      "a^k \x1b"
                      "8ANN    -0.45 EUR^N\r\n")
        << u"^J  0.15^k  ^Q  -3.00^k ^Mfľa^k \x1b"
           "8ANN    -0.45 EUR"_s;
    QTest::newRow("sold packaging with a percent has no discount line")
        << packaging(discounted(item(u"x"_s, 1, 0.15), 10)) << QString()
        << QByteArray("^J  0.15^k ^Q   1.00^k ^M ks^k  \x1b"
                      "7NNN     0.15 EUR^N\r\n")
        << u"^J  0.15^k ^Q   1.00^k ^M ks^k  \x1b"
           "7NNN     0.15 EUR"_s;
}

void TestReceiptComposer::itemLines()
{
    QFETCH(SaleRow, row);
    QFETCH(QString, uid);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, display);
    const ReceiptPiece piece = ReceiptComposer::itemLine(row, uid, u"EUR"_s);
    QCOMPARE(piece.bytes, bytes);
    QCOMPARE(piece.display, display);
}

void TestReceiptComposer::nameBlockTakesOnlyTheNamesThatAreThere_data()
{
    QTest::addColumn<QString>("name1");
    QTest::addColumn<QString>("name2");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("one") << QString() << QString()
                         << QByteArray("^D\xc8"
                                       "aj^k\r\n");
    QTest::newRow("three") << u"zelený"_s << u"100 g"_s
                           << QByteArray("^D\xc8"
                                         "aj\r\nzelen\xfd\r\n100 g^k\r\n");
    QTest::newRow("third only") << QString() << u"100 g"_s
                                << QByteArray("^D\xc8"
                                              "aj\r\n100 g^k\r\n");
}

void TestReceiptComposer::nameBlockTakesOnlyTheNamesThatAreThere()
{
    QFETCH(QString, name1);
    QFETCH(QString, name2);
    QFETCH(QByteArray, bytes);
    SaleRow row = item(u"Čaj"_s, 1, 1);
    row.nazov1 = name1;
    row.nazov2 = name2;
    QCOMPARE(ReceiptComposer::nameBlock(row).bytes, bytes);
}

void TestReceiptComposer::workedExample()
{
    ReceiptContent content;
    content.rows = {item(u"Chlieb"_s, 2, 1.20)};
    content.totalCents = 240;
    content.payments[0] = 2.40;
    const ReceiptComposer::Document document = ReceiptComposer::receipt(content);
    QVERIFY(document.complete());
    const QByteArray expected = "\x1b"
                                "b^t^DChlieb^k\r\n"
                                "^J  1.20^k ^Q   2.00^k ^M ks^k  \x1b"
                                "1NNN     2.40 EUR^N\r\n"
                                "\x1bk        2.40 EUR\r\n"
                                "\x1bP1        2.40\r\n"
                                "\x1b"
                                "e";
    QCOMPARE(document.bytes(), expected);
}

void TestReceiptComposer::receiptOrderWithDiscountParagonPaymentsAndClosingText()
{
    ReceiptContent content;
    content.paragon = ReceiptParagon{u"20260131"_s, u"142500"_s, u"A0001"_s};
    content.rows = {discounted(item(u"Syr"_s, 1, 10), 10), item(u"Fľaša"_s, -1, 0.15, 0, u"ks"_s)};
    content.rows[1].obal = true;
    content.totalCents = 900 - 15;
    content.payments[0] = 5;
    content.payments[1] = 0;
    content.payments[2] = 3.85;
    content.payments[9] = -0.5;
    content.closingText = {u"Ďakujeme"_s, QString(), u"za nákup"_s};
    const ReceiptComposer::Document document = ReceiptComposer::receipt(content);
    QVERIFY(document.complete());

    const QByteArray expected = "\x1b"
                                "b^t^P20260131142500A0001^k"
                                "^DSyr^k\r\n"
                                "^J 10.00^k ^Q   1.00^k ^M ks^k  \x1b"
                                "1NNN    10.00 EUR\r\n"
                                "^DZ\xbe"
                                "ava 10%^k ^Q1^k ^M x^k \x1b"
                                "4BNN  -1.00 EUR^N\r\n"
                                "^DF\xbe"
                                "a\x9a"
                                "a^k\r\n"
                                "^J  0.15^k  ^Q  -1.00^k ^Mks ^k \x1b"
                                "8ANN    -0.15 EUR^N\r\n"
                                "\x1bk        8.85 EUR\r\n"
                                "\x1bP1        5.00\r\n"
                                "\x1bP3        3.85\r\n"
                                "\x1bP10       -0.50\r\n"
                                "\xcf"
                                "akujeme\r\n"
                                "za n\xe1kup\r\n"
                                "\x1b"
                                "e";
    QCOMPARE(document.bytes(), expected);
    QCOMPARE(document.pieces.size(), 13);
    QCOMPARE(document.pieces[3].display, u"^DZľava 10%^k ^Q1^k ^M x^k \x1b"
                                         "4BNN  -1.00 EUR"_s);
    QCOMPARE(document.pieces[11].display, u"za nákup"_s);
}

void TestReceiptComposer::returnWithoutRefundedUidStopsAfterItsNameBlock()
{
    ReceiptContent content;
    content.rows = {item(u"A"_s, 1, 1), item(u"B"_s, -1, 1)};
    content.totalCents = 0;
    const ReceiptComposer::Document document = ReceiptComposer::receipt(content);
    QCOMPARE(document.failure, ReceiptComposer::Failure::MissingRefundedUid);
    QCOMPARE(document.failedRow, 1);
    QCOMPARE(document.pieces.size(), 4); // header, A and its line, B's name block
    QVERIFY(!document.bytes().contains("\x1b"
                                       "e"));
}

void TestReceiptComposer::vatEntryOutsideTheTableStops()
{
    ReceiptContent content;
    content.rows = {item(u"A"_s, 1, 1, 9)};
    const ReceiptComposer::Document document = ReceiptComposer::receipt(content);
    QCOMPARE(document.failure, ReceiptComposer::Failure::BadVatEntry);
    QCOMPARE(document.failedRow, 0);
}

void TestReceiptComposer::paymentLines_data()
{
    QTest::addColumn<int>("means");
    QTest::addColumn<double>("amount");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("rounded by the format") << 2 << 12.345000001 << QByteArray("\x1bP2       12.35\r\n");
    QTest::newRow("negative") << 1 << -7.7 << QByteArray("\x1bP1       -7.70\r\n");
    QTest::newRow("means 10") << 10 << 100000.0 << QByteArray("\x1bP10   100000.00\r\n");
}

void TestReceiptComposer::paymentLines()
{
    QFETCH(int, means);
    QFETCH(double, amount);
    QFETCH(QByteArray, bytes);
    std::array<double, ReceiptContent::PaymentMeansCount> amounts{};
    amounts[std::size_t(means - 1)] = amount;
    const QList<ReceiptPiece> lines = ReceiptComposer::paymentLines(amounts);
    QCOMPARE(lines.size(), 1);
    QCOMPARE(lines[0].bytes, bytes);
}

void TestReceiptComposer::voucherLines()
{
    QCOMPARE(ReceiptComposer::depositHeader(QString()).bytes, QByteArray("\x1bV^t"));
    QCOMPARE(ReceiptComposer::depositHeader(u"Ráno"_s).bytes, QByteArray("\x1bV^tR\xe1no\r\n"));
    QCOMPARE(ReceiptComposer::withdrawalHeader(QString()).bytes, QByteArray("\x1bv^t"));
    QCOMPARE(ReceiptComposer::voucherAmount(-50).bytes, QByteArray("\x1bk      -50.00\r\n"));
    QCOMPARE(ReceiptComposer::cashierLine(u"Jana"_s).bytes, QByteArray("Vyhotovil: Jana\r\n"));
    QCOMPARE(ReceiptComposer::end().bytes, QByteArray("\x1b"
                                                      "e"));
}

QTEST_GUILESS_MAIN(TestReceiptComposer)
#include "tst_receiptcomposer.moc"

#include "omira-tm/DocumentAccounting.h"
#include "omira-tm/PaperPrintout.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using Kind = ExchangeRequest::Kind;

namespace {

QByteArray esc(const char *rest)
{
    return QByteArray("\x1b") + rest;
}

// The receipt of one item named Chlieb at VAT entry 0, quantity 2, unit ks, price 1.20,
// paid in cash, as the point of sale writes it.
QByteArray breadReceipt()
{
    return esc("b^t") + "^DChlieb^k\r\n" + "^J  1.20^k ^Q   2.00^k ^M ks^k  " + esc("1NNN") +
           "     2.40 EUR^N\r\n" + esc("k") + "        2.40 EUR\r\n" + esc("P1") + "        2.40\r\n" +
           esc("e");
}

// Quantity 1 at 10.00 with 10 % discount: the item line keeps the gross amount and the
// discount line follows with kind letter B.
QByteArray discountedReceipt()
{
    return esc("b^t") + "^DSyr^k\r\n" + "^J 10.00^k ^Q   1.00^k ^M ks^k  " + esc("1NNN") +
           "    10.00 EUR\r\n" +
           "^DZ\xbe"
           "ava 10%^k ^Q1^k ^M x^k " +
           esc("4BNN") + "  -1.00 EUR^N\r\n" + esc("k") + "        9.00 EUR\r\n" + esc("P1") +
           "        9.00\r\n" + esc("e");
}

PrinterMemory::Amounts amounts(std::initializer_list<std::pair<PrinterMemory::Amount, qint64>> values)
{
    PrinterMemory::Amounts result{};
    for (const auto &[which, cents] : values)
        result[which] = cents;
    return result;
}

} // namespace

Q_DECLARE_METATYPE(PrinterMemory::Amounts)

class TestDocumentAccounting : public QObject
{
    Q_OBJECT

private slots:
    void turnoverChanges_data();
    void turnoverChanges();
    void paperOfAReceipt();
    void paperOfAVoucher();
};

void TestDocumentAccounting::turnoverChanges_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<int>("kind");
    QTest::addColumn<PrinterMemory::Amounts>("expected");

    const auto receipt = [](const QByteArray &lines) {
        return esc("b^t") + lines + esc("k") + "        0.00 EUR\r\n" + esc("e");
    };
    const auto itemAt = [](const char *vatCode, const char *amount) {
        return "^DX^k\r\n^J  1.00^k ^Q   1.00^k ^M ks^k  " + esc(vatCode) + amount + " EUR^N\r\n";
    };

    QTest::newRow("one item at the higher rate")
        << breadReceipt() << int(Kind::Receipt) << amounts({{PrinterMemory::HigherRate, 240}});
    QTest::newRow("discount line subtracts")
        << discountedReceipt() << int(Kind::Receipt) << amounts({{PrinterMemory::HigherRate, 900}});
    QTest::newRow("returned item with the refunded document")
        << receipt("^J  3.50^k  ^Q  -1.00^k ^Mks ^k ^RO-ABC^k " + esc("5ANN") + "    -3.50 EUR^N\r\n")
        << int(Kind::Receipt) << amounts({{PrinterMemory::ReducedRate, -350}});
    QTest::newRow("packaging and its return")
        << receipt(itemAt("7NNN", "     0.15") + "^J  0.15^k  ^Q  -2.00^k ^Mks ^k " + esc("8ANN") +
                   "    -0.30 EUR^N\r\n")
        << int(Kind::Receipt) << amounts({{PrinterMemory::Packaging, -15}});
    QTest::newRow("every VAT letter")
        << receipt(itemAt("1NNN", "     1.00") + itemAt("2NNN", "     2.00") + itemAt("3NNN", "     3.00") +
                   itemAt("GNNN", "     4.00") + itemAt("1NNR", "     5.00") + itemAt("2NNR", "     6.00") +
                   itemAt("GNNR", "     7.00"))
        << int(Kind::Receipt)
        << amounts({{PrinterMemory::HigherRate, 600},
                    {PrinterMemory::ReducedRate, 800},
                    {PrinterMemory::Exempt, 300},
                    {PrinterMemory::FourthRate, 1100}});
    QTest::newRow("unreadable amount is not counted")
        << receipt(itemAt("1NNN", "     1,00") + itemAt("2NNN", "     2.00")) << int(Kind::Receipt)
        << amounts({{PrinterMemory::ReducedRate, 200}});
    QTest::newRow("escape that is no VAT code")
        << receipt("^DX^k " + esc("1XNN") + "     9.00 EUR\r\n") << int(Kind::Receipt) << amounts({});
    QTest::newRow("deposit") << esc("V^t") + esc("k") + "      100.00\r\n" + esc("P1") +
                                    "      100.00\r\nVyhotovil: Jana\r\n" + esc("e")
                             << int(Kind::Deposit) << amounts({{PrinterMemory::Deposits, 10000}});
    QTest::newRow("withdrawal counts as a positive sum")
        << esc("v^tN\xe1jom\r\n") + esc("k") + "      -50.00\r\n" + esc("P1") + "      -50.00\r\n" + esc("e")
        << int(Kind::Withdrawal) << amounts({{PrinterMemory::Withdrawals, 5000}});
    QTest::newRow("VAT codes in a voucher are not sales")
        << esc("V^t") + itemAt("1NNN", "     1.00") + esc("k") + "       10.00\r\n" + esc("e")
        << int(Kind::Deposit) << amounts({{PrinterMemory::Deposits, 1000}});
    QTest::newRow("VAT code cut off at the end")
        << esc("b^t") + esc("1NN") << int(Kind::Receipt) << amounts({});
}

void TestDocumentAccounting::turnoverChanges()
{
    QFETCH(QByteArray, document);
    QFETCH(int, kind);
    QFETCH(PrinterMemory::Amounts, expected);

    const PrinterMemory::Amounts changes = DocumentAccounting::turnoverChanges(document, Kind(kind));
    for (int i = 0; i < PrinterMemory::AmountCount; ++i)
        QVERIFY2(changes[i] == expected[i],
                 qPrintable(u"amount %1: %2, expected %3"_s.arg(i + 5).arg(changes[i]).arg(expected[i])));
}

void TestDocumentAccounting::paperOfAReceipt()
{
    PrinterMemory printer;
    printer.headerLines = {u"Potraviny Žofia"_s};
    printer.documentNumber = 7;
    printer.label = u"PD/000007"_s;
    printer.date = u"05.03.2024"_s;
    printer.time = u"14:07:09"_s;
    printer.uid = u"O-1234"_s;

    const QStringList paper = PaperPrintout(printer, {u"Hotovosť:"_s})
                                  .render(discountedReceipt() + esc("P10") + "  1.00\r\n", Kind::Receipt);
    const QStringList expected = {u"Potraviny Žofia"_s,
                                  u"POKLADNIČNÝ DOKLAD"_s,
                                  u"Syr"_s,
                                  u" 10.00    1.00  ks  [1]    10.00 EUR"_s,
                                  u"Zľava 10% 1  x [4]  -1.00 EUR"_s,
                                  u"SPOLU        9.00 EUR"_s,
                                  u"Hotovosť:        9.00"_s,
                                  u"Platidlo 10  1.00"_s,
                                  u"----------------------------------------"_s,
                                  u"PD/000007  č. 7"_s,
                                  u"05.03.2024 14:07:09"_s,
                                  u"UID: O-1234"_s};
    QCOMPARE(paper, expected);
}

void TestDocumentAccounting::paperOfAVoucher()
{
    PrinterMemory printer;
    printer.label = u"VY/000008"_s;
    const QByteArray voucher = esc("v^tN\xe1jom\r\n") + esc("k") + "      -50.00\r\n" + esc("P2") +
                               "      -50.00\r\n" + "Vyhotovil: Jana\r\n" + esc("e");

    const QStringList paper =
        PaperPrintout(printer, {u"Hotovosť:"_s, u"Karta:"_s}).render(voucher, Kind::Withdrawal);
    QCOMPARE(paper.mid(0, 5), (QStringList{u"VÝBER"_s, u"Nájom"_s, u"SUMA      -50.00"_s,
                                           u"Karta:      -50.00"_s, u"Vyhotovil: Jana"_s}));
}

QTEST_GUILESS_MAIN(TestDocumentAccounting)
#include "tst_documentaccounting.moc"

#include "link/PrinterState.h"
#include "link/ReplyParsers.h"

#include <QtTest>

#include <limits>
#include <optional>

using namespace Qt::StringLiterals;
using Rates = std::array<quint8, PrinterState::VatRateCount>;
using ReplyParsers::InfoOutcome;

Q_DECLARE_METATYPE(InfoOutcome)
Q_DECLARE_METATYPE(Rates)
Q_DECLARE_METATYPE(PrinterInfo)

namespace {

constexpr int Incomplete = std::numeric_limits<int>::min() + 1; // stands for "no value yet"

// What the main window held before the reply was read.
PrinterInfo previousInfo()
{
    PrinterInfo info;
    info.documentNumber = 41;
    info.uid = u"OLD-UID"_s;
    info.secondId = u"OLD-SECOND"_s;
    info.label = u"OLD-LABEL"_s;
    info.date = u"01.01.2024"_s;
    info.time = u"08:00:00"_s;
    info.amounts.fill(7.0);
    return info;
}

QByteArray lines(std::initializer_list<QByteArray> parts)
{
    QByteArray bytes;
    for (const QByteArray &part : parts)
        bytes += part + "\r\n";
    return bytes;
}

QByteArray fullInfoReply(const QByteArray &uid, const QByteArray &documentNumber,
                         const QByteArray &higherRate)
{
    return lines({"1", uid, "SECOND-ID", "PD-0042", documentNumber, higherRate, "20.25", "0", "1.5", "3", "0",
                  "0", "0", "0", "24.12.2024", "18:05:03"});
}

} // namespace

class TestReplyParsers : public QObject
{
    Q_OBJECT

private slots:
    void statusReply_data();
    void statusReply();
    void informationReply_data();
    void informationReply();
    void amounts_data();
    void amounts();
    void vatRates_data();
    void vatRates();
    void dataReply_data();
    void dataReply();
    void dataReplyNeverOutgrowsItsLimit_data();
    void dataReplyNeverOutgrowsItsLimit();
};

void TestReplyParsers::statusReply_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("statusWord");

    QTest::newRow("ready") << lines({"9999", "5"}) << 5;
    QTest::newRow("not ready, even") << lines({"2", "4096"}) << 4096;
    QTest::newRow("cash blocked") << lines({"2", "4097"}) << 0x1001;
    QTest::newRow("no final line end") << QByteArray("2\r\n5") << 5;
    QTest::newRow("blanks and bare LF") << QByteArray("  2 \n\n   7  \n") << 7;
    QTest::newRow("signs") << lines({"+3", "-7"}) << -7;
    QTest::newRow("digits before garbage") << lines({"2", "13abc"}) << 13;
    QTest::newRow("lowest 32-bit value") << lines({"2", "-2147483648"}) << std::numeric_limits<int>::min();
    QTest::newRow("highest 32-bit value") << lines({"2", "2147483647"}) << std::numeric_limits<int>::max();
    // Wrapped to 32 bits it would read as an odd, ready word.
    QTest::newRow("too large for 32 bits") << lines({"2", "4294967297"}) << 0;
    QTest::newRow("just too large") << lines({"2", "2147483648"}) << 0;
    QTest::newRow("second line missing") << lines({"2"}) << 0;
    QTest::newRow("second line not a number") << lines({"2", "ready"}) << 0;
    QTest::newRow("empty") << QByteArray() << Incomplete;
    QTest::newRow("blanks only") << QByteArray(" \r\n\t ") << Incomplete;
    QTest::newRow("first line not a number") << lines({"x", "5"}) << Incomplete;
    QTest::newRow("lone sign") << lines({"-", "5"}) << Incomplete;
    QTest::newRow("binary") << QByteArray("\0\xff\x1b\x80\x01", 5) << Incomplete;
}

void TestReplyParsers::statusReply()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, statusWord);
    const std::optional<qint32> read = ReplyParsers::parseStatus(bytes);
    QCOMPARE(read.has_value(), statusWord != Incomplete);
    if (read)
        QCOMPARE(*read, statusWord);
}

void TestReplyParsers::informationReply_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<InfoOutcome>("outcome");
    QTest::addColumn<PrinterInfo>("expected");

    const PrinterInfo before = previousInfo();
    PrinterInfo full = before;
    full.uid = u"UID-123"_s;
    full.secondId = u"SECOND-ID"_s;
    full.label = u"PD-0042"_s;
    full.documentNumber = 42;
    full.amounts = {100.5, 20.25, 0, 1.5, 3, 0, 0, 0, 0};
    full.date = u"24.12.2024"_s;
    full.time = u"18:05:03"_s;
    QTest::newRow("complete reply") << fullInfoReply("UID-123", "42", "100.50") << InfoOutcome::Read << full;

    QTest::newRow("status reply read as information")
        << lines({"9999", "5"}) << InfoOutcome::NotInformation << before;
    QTest::newRow("document number too large for 32 bits")
        << fullInfoReply("UID-123", "4294967338", "100.50") << InfoOutcome::Rejected << before;
    QTest::newRow("document number not an integer")
        << fullInfoReply("UID-123", "42x", "100.50") << InfoOutcome::Rejected << before;
    QTest::newRow("empty") << QByteArray() << InfoOutcome::Incomplete << before;
    QTest::newRow("blanks only") << QByteArray("\r\n \r\n") << InfoOutcome::Incomplete << before;
    QTest::newRow("binary") << QByteArray("\x80\x00\xff", 3) << InfoOutcome::Incomplete << before;

    PrinterInfo slovak = full;
    slovak.uid = u"AB"_s;
    QTest::newRow("Slovak letter ends the UID") << fullInfoReply("AB\xE8"
                                                                 "D",
                                                                 "42", "100.50")
                                                << InfoOutcome::Read << slovak;
    QTest::newRow("control byte ends the UID") << fullInfoReply(QByteArray("AB\x01"
                                                                           "CD"),
                                                                "42", "100.50")
                                               << InfoOutcome::Read << slovak;
    QTest::newRow("zero byte ends the UID")
        << fullInfoReply(QByteArray("AB\0CD", 5), "42", "100.50") << InfoOutcome::Read << slovak;

    // A value that starts with a byte outside the range leaves its number to the next word.
    QTest::newRow("value without printable start is skipped")
        << lines({"1", "\xE8xx", "UID-123", "SECOND-ID", "PD-0042", "42", "100.50", "20.25", "0", "1.5", "3",
                  "0", "0", "0", "0", "24.12.2024", "18:05:03"})
        << InfoOutcome::Read << full;

    PrinterInfo shifted = before;
    shifted.uid = u"AB"_s;
    shifted.secondId = u"CD"_s;
    shifted.label = u"LBL"_s;
    shifted.documentNumber = 5;
    shifted.amounts[PrinterInfo::HigherRate] = 10.5;
    QTest::newRow("blank in the UID shifts the values")
        << lines({"1", "AB CD", "LBL", "5", "10.5"}) << InfoOutcome::Read << shifted;

    PrinterInfo truncated = before;
    truncated.uid = u"U"_s;
    truncated.secondId = u"S"_s;
    truncated.label = u"L"_s;
    QTest::newRow("cut off in the third value")
        << QByteArray("1\r\nU\r\nS\r\nL") << InfoOutcome::Read << truncated;
    QTest::newRow("only the first line") << QByteArray("1") << InfoOutcome::Read << before;

    PrinterInfo cut = full;
    cut.uid = QString(PrinterInfo::UidLength, u'U');
    cut.label = QString(PrinterInfo::LabelLength, u'L');
    cut.secondId = QString(PrinterInfo::SecondIdLength, u'S');
    cut.date = u"24.12.2024-"_s;
    cut.time = u"18:05:03."_s;
    QTest::newRow("texts longer than their slots")
        << lines({"1", QByteArray(200, 'U'), QByteArray(60, 'S'), QByteArray(20, 'L'), "42", "100.50",
                  "20.25", "0", "1.5", "3", "0", "0", "0", "0", "24.12.2024-extra", "18:05:03.123456"})
        << InfoOutcome::Read << cut;

    PrinterInfo unfiltered = full;
    unfiltered.date = u"Štvrtok"_s;
    unfiltered.time = u"18h"_s;
    QTest::newRow("date and time taken unfiltered")
        << lines({"1", "UID-123", "SECOND-ID", "PD-0042", "42", "100.50", "20.25", "0", "1.5", "3", "0", "0",
                  "0", "0", "\x8Atvrtok", QByteArray("18h\0ms", 6)})
        << InfoOutcome::Read << unfiltered;

    PrinterInfo negative = full;
    negative.documentNumber = -1;
    QTest::newRow("negative document number")
        << fullInfoReply("UID-123", "-1", "100.50") << InfoOutcome::Read << negative;
}

void TestReplyParsers::informationReply()
{
    QFETCH(QByteArray, bytes);
    QFETCH(InfoOutcome, outcome);
    QFETCH(PrinterInfo, expected);
    PrinterInfo info = previousInfo();
    QCOMPARE(ReplyParsers::parseInfo(bytes, info), outcome);
    QCOMPARE(info.uid, expected.uid);
    QCOMPARE(info.secondId, expected.secondId);
    QCOMPARE(info.label, expected.label);
    QCOMPARE(info.documentNumber, expected.documentNumber);
    QCOMPARE(info.date, expected.date);
    QCOMPARE(info.time, expected.time);
    for (int i = 0; i < PrinterInfo::AmountCount; ++i)
        QCOMPARE(info.amounts[i], expected.amounts[i]);
    QVERIFY(info == expected);
}

void TestReplyParsers::amounts_data()
{
    QTest::addColumn<QByteArray>("word");
    QTest::addColumn<double>("amount");

    QTest::newRow("decimal point") << QByteArray("1234.56") << 1234.56;
    QTest::newRow("decimal comma stops the number") << QByteArray("12,50") << 12.0;
    QTest::newRow("negative") << QByteArray("-3.5") << -3.5;
    QTest::newRow("leading point") << QByteArray(".5") << 0.5;
    QTest::newRow("trailing point") << QByteArray("5.") << 5.0;
    QTest::newRow("exponent") << QByteArray("1.5e3") << 1500.0;
    QTest::newRow("exponent without digits") << QByteArray("2e") << 2.0;
    QTest::newRow("text") << QByteArray("abc") << 0.0;
    QTest::newRow("point only") << QByteArray(".") << 0.0;
    QTest::newRow("infinity") << QByteArray("inf") << 0.0;
    QTest::newRow("not a number") << QByteArray("nan") << 0.0;
    QTest::newRow("hexadecimal") << QByteArray("0x10") << 0.0;
    QTest::newRow("overflows a double") << QByteArray("1e999") << 0.0;
    QTest::newRow("very long digit run") << QByteArray(149, '9') << 1e149;
}

void TestReplyParsers::amounts()
{
    QFETCH(QByteArray, word);
    QFETCH(double, amount);
    QCOMPARE(ReplyParsers::parseAmount(word), amount);
}

void TestReplyParsers::vatRates_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("count");
    QTest::addColumn<Rates>("rates");

    QTest::newRow("seven rates") << lines({"20", "10", "0", "0", "0", "0", "0"}) << 7
                                 << Rates{20, 10, 0, 0, 0, 0, 0};
    QTest::newRow("low byte kept") << lines({"300", "-1", "256"}) << 3 << Rates{44, 255, 0, 4, 5, 6, 7};
    QTest::newRow("fewer than seven") << lines({"20", "10"}) << 2 << Rates{20, 10, 3, 4, 5, 6, 7};
    QTest::newRow("stops at a line without a number")
        << lines({"20", "x", "10"}) << 1 << Rates{20, 2, 3, 4, 5, 6, 7};
    QTest::newRow("more than seven") << lines({"9", "8", "7", "6", "5", "4", "3", "2", "1"}) << 7
                                     << Rates{9, 8, 7, 6, 5, 4, 3};
    QTest::newRow("no final line end") << QByteArray("20\r\n10") << 2 << Rates{20, 10, 3, 4, 5, 6, 7};
    QTest::newRow("too large for 32 bits") << lines({"20", "4294967316"}) << 1 << Rates{20, 2, 3, 4, 5, 6, 7};
    QTest::newRow("empty") << QByteArray() << 0 << Rates{1, 2, 3, 4, 5, 6, 7};
    QTest::newRow("binary") << QByteArray("\xff\0\x80", 3) << 0 << Rates{1, 2, 3, 4, 5, 6, 7};
}

void TestReplyParsers::vatRates()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, count);
    QFETCH(Rates, rates);
    Rates read{1, 2, 3, 4, 5, 6, 7};
    QCOMPARE(ReplyParsers::parseVatRates(bytes, read), count);
    QCOMPARE(read, rates);
}

void TestReplyParsers::dataReply_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("two lines") << lines({"ABC1234", "DEF"}) << lines({"ABC1234", "DEF"});
    QTest::newRow("blanks become line breaks")
        << lines({"FIRMA s.r.o. Bratislava"}) << lines({"FIRMA", "s.r.o.", "Bratislava"});
    QTest::newRow("no final line end") << QByteArray("1234") << lines({"1234"});
    QTest::newRow("first byte taken as it is") << QByteArray(" 1234") << lines({" 1234"});
    QTest::newRow("first byte a line end") << QByteArray("\r\nAB") << QByteArray("\rAB\r\n");
    QTest::newRow("zero first byte") << QByteArray("\0AB", 3) << QByteArray("\0AB\r\n", 5);
    QTest::newRow("single byte") << QByteArray("v") << QByteArray("v");
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("long word in pieces of 50")
        << QByteArray(121, 'a') << lines({QByteArray(51, 'a'), QByteArray(50, 'a'), QByteArray(20, 'a')});
}

void TestReplyParsers::dataReply()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, text);
    QCOMPARE(ReplyParsers::rebuildData(bytes), text);
}

void TestReplyParsers::dataReplyNeverOutgrowsItsLimit_data()
{
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("many short words") << QByteArray("x ").repeated(100000);
    QTest::newRow("one huge word") << QByteArray(3 * 1024 * 1024, 'w');
    QTest::newRow("words just below the piece size") << (QByteArray(49, 'q') + ' ').repeated(1000);
}

void TestReplyParsers::dataReplyNeverOutgrowsItsLimit()
{
    QFETCH(QByteArray, bytes);
    const QByteArray text = ReplyParsers::rebuildData(bytes);
    QVERIFY(text.size() > ReplyParsers::DataTextLimit);
    QVERIFY(text.size() <= ReplyParsers::MaxDataReplyLength);
    QVERIFY(text.endsWith("\r\n"));
}

QTEST_GUILESS_MAIN(TestReplyParsers)
#include "tst_replyparsers.moc"

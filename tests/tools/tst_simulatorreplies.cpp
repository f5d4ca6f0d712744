#include "omira-tm/CentAmount.h"
#include "omira-tm/ExchangeRequest.h"
#include "omira-tm/ReplyFormatter.h"

#include <QtTest>

#include <limits>

using namespace Qt::StringLiterals;
using Kind = ExchangeRequest::Kind;

namespace {

const QByteArray Esc("\x1b");

PrinterMemory sampleState()
{
    PrinterMemory state = PrinterMemory::factoryDefaults();
    state.documentNumber = 42;
    state.uid = u"O-0123ABCD"_s;
    state.secondId = u"5F3A"_s;
    state.label = u"PD/000042"_s;
    state.date = u"05.03.2024"_s;
    state.time = u"14:07:09"_s;
    state.turnovers[PrinterMemory::HigherRate] = 1234;
    state.turnovers[PrinterMemory::ReducedRate] = -5;
    state.turnovers[PrinterMemory::Withdrawals] = 500000;
    return state;
}

} // namespace

class TestSimulatorReplies : public QObject
{
    Q_OBJECT

private slots:
    void classify_data();
    void classify();
    void statusReplyCarriesTheWordInDecimal();
    void informationReplyLayout();
    void informationValuesNeverSplitOrVanish_data();
    void informationValuesNeverSplitOrVanish();
    void ratesAndDataReplies_data();
    void ratesAndDataReplies();
    void malformedRepliesGiveReadersNothing();
    void parseAmount_data();
    void parseAmount();
    void formatAndAddAmounts();
};

void TestSimulatorReplies::classify_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("kind");
    QTest::addColumn<char>("letter");
    QTest::addColumn<bool>("whole");
    QTest::addColumn<QString>("name");

    const auto row = [](const char *tag, const QByteArray &bytes, Kind kind, char letter, bool whole,
                        const QString &name) {
        QTest::newRow(tag) << bytes << int(kind) << letter << whole << name;
    };
    row("status", Esc + "\x11" + Esc + "e", Kind::Status, 0, true, u"status"_s);
    row("status with a line end", Esc + "\x11" + Esc + "e\r\n", Kind::Status, 0, true, u"status"_s);
    row("information", Esc + "I" + Esc + "e", Kind::Information, 0, true, u"info"_s);
    row("rates", Esc + "!d", Kind::Rates, 0, true, u"rates"_s);
    row("data v", Esc + "!v" + Esc + "e", Kind::Data, 'v', true, u"data-v"_s);
    row("data D", Esc + "!D" + Esc + "e", Kind::Data, 'D', true, u"data-D"_s);
    row("data d is no rates request", Esc + "!d" + Esc + "e", Kind::Data, 'd', true, u"data-d"_s);
    row("data with a control letter", Esc + "!\x01" + Esc + "e", Kind::Data, '\x01', true, u"data-x01"_s);
    row("receipt", Esc + "b^t^DChlieb^k\r\n" + Esc + "e", Kind::Receipt, 0, true, u"receipt"_s);
    row("receipt without its end", Esc + "b^t^DChlieb^k\r\n", Kind::Receipt, 0, false, u"receipt"_s);
    row("deposit", Esc + "V^t" + Esc + "k      100.00\r\n" + Esc + "e", Kind::Deposit, 0, true, u"deposit"_s);
    row("withdrawal", Esc + "v^t" + Esc + "e", Kind::Withdrawal, 0, true, u"withdrawal"_s);
    row("empty", QByteArray(), Kind::Unknown, 0, false, u"unknown"_s);
    row("status cut short", Esc + "\x11" + Esc, Kind::Unknown, 0, false, u"unknown"_s);
    row("text", "hello\r\n", Kind::Unknown, 0, false, u"unknown"_s);
}

void TestSimulatorReplies::classify()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, kind);
    QFETCH(char, letter);
    QFETCH(bool, whole);
    QFETCH(QString, name);

    const ExchangeRequest request = ExchangeRequest::classify(bytes);
    QCOMPARE(int(request.kind), kind);
    QCOMPARE(request.dataLetter, letter);
    QCOMPARE(ExchangeRequest::isWhole(bytes), whole);
    QCOMPARE(request.name(), name);
}

void TestSimulatorReplies::statusReplyCarriesTheWordInDecimal()
{
    QCOMPARE(ReplyFormatter::statusReply(0x1001), QByteArray("0\r\n4097\r\n"));
    QCOMPARE(ReplyFormatter::statusReply(0xFFFFFFFFu), QByteArray("0\r\n4294967295\r\n"));
}

void TestSimulatorReplies::informationReplyLayout()
{
    QCOMPARE(ReplyFormatter::informationReply(sampleState()),
             QByteArray("1\r\nO-0123ABCD\r\n5F3A\r\nPD/000042\r\n42\r\n"
                        "12.34\r\n-0.05\r\n0.00\r\n0.00\r\n0.00\r\n0.00\r\n0.00\r\n5000.00\r\n0.00\r\n"
                        "05.03.2024\r\n14:07:09\r\n"));
}

void TestSimulatorReplies::informationValuesNeverSplitOrVanish_data()
{
    QTest::addColumn<QString>("uid");
    QTest::addColumn<QByteArray>("line");

    QTest::newRow("empty") << QString() << QByteArray("-");
    QTest::newRow("blank inside") << u"O-12 34"_s << QByteArray("O-12_34");
    QTest::newRow("Slovak letter") << u"O-čaj"_s << QByteArray("O-_aj");
    QTest::newRow("control byte") << u"O-\t1"_s << QByteArray("O-_1");
    QTest::newRow("longer than its slot") << QString(60, u'A') << QByteArray(39, 'A');
}

void TestSimulatorReplies::informationValuesNeverSplitOrVanish()
{
    QFETCH(QString, uid);
    QFETCH(QByteArray, line);

    PrinterMemory state = sampleState();
    state.uid = uid;
    const QList<QByteArray> lines = ReplyFormatter::informationReply(state).split('\n');
    QCOMPARE(lines.size(), 17); // 16 lines and the empty rest after the last line end
    QCOMPARE(lines[1], line + '\r');
    QCOMPARE(lines[4], QByteArray("42\r"));
}

void TestSimulatorReplies::ratesAndDataReplies_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArray>("expected");

    PrinterMemory state = sampleState();
    state.vatRates = {23, 19, 5, 0, 0, 0, 255};
    state.headerLines = {u"Potraviny Žofia"_s, u"Nám. SNP 1"_s};
    state.build = u"0417"_s;
    state.taxCode = u"2020123456"_s;

    QTest::newRow("rates") << ReplyFormatter::ratesReply(state)
                           << QByteArray("23\r\n19\r\n5\r\n0\r\n0\r\n0\r\n255\r\n");
    QTest::newRow("build") << ReplyFormatter::dataReply('v', state) << QByteArray("0417\r\n");
    QTest::newRow("header in code page 1250") << ReplyFormatter::dataReply('h', state)
                                              << QByteArray("Potraviny \x8e"
                                                            "ofia\r\nN\xe1m. SNP 1\r\n");
    QTest::newRow("tax code") << ReplyFormatter::dataReply('D', state) << QByteArray("2020123456\r\n");
    QTest::newRow("unknown letter") << ReplyFormatter::dataReply('x', state) << QByteArray();
}

void TestSimulatorReplies::ratesAndDataReplies()
{
    QFETCH(QByteArray, reply);
    QFETCH(QByteArray, expected);
    QCOMPARE(reply, expected);
}

void TestSimulatorReplies::malformedRepliesGiveReadersNothing()
{
    const PrinterMemory state = sampleState();

    const QList<QByteArray> status = ReplyFormatter::malformedReply(Kind::Status, state).split('\n');
    QCOMPARE(status[0], QByteArray("0\r"));
    QVERIFY(!status[1].isEmpty() && !(status[1][0] >= '0' && status[1][0] <= '9'));

    const QByteArray information = ReplyFormatter::malformedReply(Kind::Receipt, state);
    QVERIFY(information.startsWith("1\r\n"));
    QVERIFY(!information.endsWith("\r\n"));
    QCOMPARE(information.split('\n').size(), 5);
    QVERIFY(information.split('\n').constLast().startsWith('#'));

    const QByteArray rates = ReplyFormatter::malformedReply(Kind::Rates, state);
    QVERIFY(!rates.isEmpty());
    for (const char byte : rates)
        QVERIFY(!(byte >= '0' && byte <= '9'));
}

void TestSimulatorReplies::parseAmount_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<qint64>("cents");

    QTest::newRow("plain") << QByteArray("2.40") << true << qint64(240);
    QTest::newRow("negative") << QByteArray("-1.00") << true << qint64(-100);
    QTest::newRow("plus sign") << QByteArray("+3") << true << qint64(300);
    QTest::newRow("no whole part") << QByteArray(".5") << true << qint64(50);
    QTest::newRow("third decimal rounds") << QByteArray("1.005") << true << qint64(101);
    QTest::newRow("negative rounds away") << QByteArray("-0.125") << true << qint64(-13);
    QTest::newRow("decimal comma") << QByteArray("12,50") << false << qint64(0);
    QTest::newRow("exponent") << QByteArray("1e308") << false << qint64(0);
    QTest::newRow("too large") << QByteArray("1000000000000.00") << false << qint64(0);
    QTest::newRow("largest") << QByteArray("999999999999.99") << true << qint64(99999999999999);
    QTest::newRow("empty") << QByteArray() << false << qint64(0);
    QTest::newRow("sign only") << QByteArray("-") << false << qint64(0);
    QTest::newRow("point only") << QByteArray(".") << false << qint64(0);
    QTest::newRow("currency after it") << QByteArray("2.40EUR") << false << qint64(0);
}

void TestSimulatorReplies::parseAmount()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, valid);
    QFETCH(qint64, cents);

    const std::optional<qint64> parsed = CentAmount::parse(text);
    QCOMPARE(parsed.has_value(), valid);
    if (valid)
        QCOMPARE(*parsed, cents);
}

void TestSimulatorReplies::formatAndAddAmounts()
{
    QCOMPARE(CentAmount::format(0), u"0.00"_s);
    QCOMPARE(CentAmount::format(-5), u"-0.05"_s);
    QCOMPARE(CentAmount::format(123456), u"1234.56"_s);
    constexpr qint64 most = std::numeric_limits<qint64>::max();
    QCOMPARE(CentAmount::add(most - 1, 5), most);
    QCOMPARE(CentAmount::add(std::numeric_limits<qint64>::min() + 1, -5), std::numeric_limits<qint64>::min());
    QCOMPARE(CentAmount::add(240, -100), qint64(140));
}

QTEST_GUILESS_MAIN(TestSimulatorReplies)
#include "tst_simulatorreplies.moc"

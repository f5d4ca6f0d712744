#include "TestPaths.h"
#include "omira-tm/PrintManagerSimulator.h"
#include "omira-tm/PrinterMemoryFile.h"
#include "omira-tm/ReplyFormatter.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

QByteArray esc(const char *rest)
{
    return QByteArray("\x1b") + rest;
}

const QByteArray StatusRequest = esc("\x11") + esc("e");
const QByteArray InformationRequest = esc("I") + esc("e");

QByteArray breadReceipt()
{
    return esc("b^t") + "^DChlieb^k\r\n" + "^J  1.20^k ^Q   2.00^k ^M ks^k  " + esc("1NNN") +
           "     2.40 EUR^N\r\n" + esc("k") + "        2.40 EUR\r\n" + esc("P1") + "        2.40\r\n" +
           esc("e");
}

QByteArray cheeseReceipt()
{
    return esc("b^t") + "^DSyr^k\r\n" + "^J  9.00^k ^Q   1.00^k ^M ks^k  " + esc("2NNN") +
           "     9.00 EUR^N\r\n" + esc("k") + "        9.00 EUR\r\n" + esc("P1") + "        9.00\r\n" +
           esc("e");
}

QByteArray voucher(const char *header, const char *amount)
{
    return esc(header) + esc("k") + amount + "\r\n" + esc("P1") + amount + "\r\n" + esc("e");
}

QDateTime fixedNow()
{
    return QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9));
}

} // namespace

class TestPrintManagerSimulator : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void controlRequests_data();
    void controlRequests();
    void receiptsRaiseTheNumberAndTheTurnovers();
    void vouchersAreNumberedAndCounted();
    void documentsThePrinterRefuses_data();
    void documentsThePrinterRefuses();
    void stateAndJournalSurviveARestart();
    void stateFileEditedByTheOwner();
    void terminateEndsTheRun();
    void terminateLeftFromAnEarlierSessionIsIgnored();
    void faults();
    void delayedReplyHoldsTheNextInput();
    void unfinishedFileIsTakenOnceItStopsGrowing();

private:
    SimulatorSettings settings() const;
    std::unique_ptr<PrintManagerSimulator> started(const SimulatorSettings &settings);
    QString path(const QString &name) const { return QDir(m_dir->path()).filePath(name); }
    bool place(const QByteArray &bytes) const;
    bool exists(const QString &name) const { return QFile::exists(path(name)); }
    QByteArray read(const QString &name) const { return TestPaths::readFile(path(name)); }
    QList<QByteArray> infoLines() const { return read(u"info.txt"_s).split('\n'); }
    QStringList journal() const { return QDir(path(u"journal"_s)).entryList(QDir::Files, QDir::Name); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestPrintManagerSimulator::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

SimulatorSettings TestPrintManagerSimulator::settings() const
{
    SimulatorSettings settings;
    settings.inputPath = path(u"blocek.txt"_s);
    settings.statePath = path(u"omira-tm.ini"_s);
    settings.journalFolder = path(u"journal"_s);
    settings.title = u"RL70ZQ"_s;
    settings.pollIntervalMs = 5;
    return settings;
}

std::unique_ptr<PrintManagerSimulator> TestPrintManagerSimulator::started(const SimulatorSettings &settings)
{
    auto simulator = std::make_unique<PrintManagerSimulator>(settings, &fixedNow);
    if (!simulator->start())
        qWarning("%s", qPrintable(simulator->error()));
    return simulator;
}

// The way the program hands a file over: it appears whole.
bool TestPrintManagerSimulator::place(const QByteArray &bytes) const
{
    const QString staging = path(u"_blocek.tmp"_s);
    QFile::remove(staging);
    return TestPaths::writeFile(staging, bytes) && QFile::rename(staging, path(u"blocek.txt"_s));
}

void TestPrintManagerSimulator::controlRequests_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<quint32>("statusWord");
    QTest::addColumn<QString>("replyName");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("journalName");

    QTest::newRow("status") << StatusRequest << 1u << u"info.txt"_s << QByteArray("0\r\n1\r\n")
                            << u"000001-status.txt"_s;
    QTest::newRow("status word 1001")
        << StatusRequest << 0x1001u << u"info.txt"_s << QByteArray("0\r\n4097\r\n") << u"000001-status.txt"_s;
    QTest::newRow("information of a new printer")
        << InformationRequest << 1u << u"info.txt"_s
        << QByteArray("1\r\n-\r\n-\r\n-\r\n0\r\n0.00\r\n0.00\r\n0.00\r\n0.00\r\n0.00\r\n0.00\r\n0.00\r\n0."
                      "00\r\n0.00\r\n"
                      "-\r\n-\r\n")
        << u"000001-info.txt"_s;
    QTest::newRow("rates") << esc("!d") << 1u << u"fm_sts.bin"_s
                           << QByteArray("20\r\n10\r\n0\r\n0\r\n0\r\n0\r\n0\r\n") << u"000001-rates.txt"_s;
    QTest::newRow("build") << esc("!v") + esc("e") << 1u << u"fm_sts.bin"_s << QByteArray("0417\r\n")
                           << u"000001-data-v.txt"_s;
    QTest::newRow("header") << esc("!h") + esc("e") << 1u << u"fm_sts.bin"_s
                            << QByteArray("Cvi\xe8"
                                          "n\xe1 predaj\xf2"
                                          "a Omira\r\nHlavn\xe1 1, 811 01 Bratislava\r\n"
                                          "I\xc8O: 12345678  DI\xc8: 2020123456\r\n")
                            << u"000001-data-h.txt"_s;
    QTest::newRow("tax code") << esc("!D") + esc("e") << 1u << u"fm_sts.bin"_s << QByteArray("2020123456\r\n")
                              << u"000001-data-D.txt"_s;
    QTest::newRow("unknown: journal only")
        << QByteArray("hello") << 1u << QString() << QByteArray() << u"000001-unknown.txt"_s;
}

void TestPrintManagerSimulator::controlRequests()
{
    QFETCH(QByteArray, request);
    QFETCH(quint32, statusWord);
    QFETCH(QString, replyName);
    QFETCH(QByteArray, reply);
    QFETCH(QString, journalName);

    SimulatorSettings custom = settings();
    custom.statusWord = statusWord;
    const auto simulator = started(custom);
    QVERIFY(place(request));
    simulator->poll();
    simulator->poll(); // a file not known to be whole goes at the second look

    QVERIFY(!exists(u"blocek.txt"_s));
    if (replyName.isEmpty()) {
        QVERIFY(!exists(u"info.txt"_s) && !exists(u"fm_sts.bin"_s));
    } else {
        QCOMPARE(read(replyName), reply);
    }
    QCOMPARE(journal(), QStringList{journalName});
    QCOMPARE(read(u"journal/"_s + journalName), request);
}

void TestPrintManagerSimulator::receiptsRaiseTheNumberAndTheTurnovers()
{
    const auto simulator = started(settings());
    QSignalSpy printed(simulator.get(), &PrintManagerSimulator::documentPrinted);

    QVERIFY(place(breadReceipt()));
    simulator->poll();
    QList<QByteArray> info = infoLines();
    QCOMPARE(info.size(), 17);
    QCOMPARE(info[0], QByteArray("1\r"));
    QVERIFY(info[1].startsWith("O-"));
    const QByteArray firstUid = info[1];
    QCOMPARE(info[3], QByteArray("PD/000001\r"));
    QCOMPARE(info[4], QByteArray("1\r"));
    QCOMPARE(info[5], QByteArray("2.40\r"));
    QCOMPARE(info[14], QByteArray("05.03.2024\r"));
    QCOMPARE(info[15], QByteArray("14:07:09\r"));

    QVERIFY(place(cheeseReceipt()));
    simulator->poll();
    info = infoLines();
    QVERIFY(info[1].startsWith("O-") && info[1] != firstUid);
    QVERIFY(info[2] != QByteArray("-\r"));
    QCOMPARE(info[3], QByteArray("PD/000002\r"));
    QCOMPARE(info[4], QByteArray("2\r"));
    QCOMPARE(info[5], QByteArray("2.40\r"));
    QCOMPARE(info[6], QByteArray("9.00\r"));

    QCOMPARE(printed.size(), 2);
    QVERIFY(printed[0][0].toStringList().contains(u"Chlieb"_s));
    QCOMPARE(PrinterMemoryFile(path(u"omira-tm.ini"_s)).load().documentNumber, 2);
    QCOMPARE(journal(), (QStringList{u"000001-receipt.txt"_s, u"000002-receipt.txt"_s}));
    QCOMPARE(read(u"journal/000001-receipt.txt"_s), breadReceipt());
}

void TestPrintManagerSimulator::vouchersAreNumberedAndCounted()
{
    const auto simulator = started(settings());
    QVERIFY(place(voucher("V^t", "      100.00")));
    simulator->poll();
    QCOMPARE(infoLines()[3], QByteArray("VK/000001\r"));

    QVERIFY(place(voucher("v^t", "      -50.00")));
    simulator->poll();
    const QList<QByteArray> info = infoLines();
    QCOMPARE(info[3], QByteArray("VY/000002\r"));
    QCOMPARE(info[4], QByteArray("2\r"));
    QCOMPARE(info[5], QByteArray("0.00\r"));
    QCOMPARE(info[11], QByteArray("100.00\r")); // deposits
    QCOMPARE(info[12], QByteArray("50.00\r"));  // withdrawals
}

void TestPrintManagerSimulator::documentsThePrinterRefuses_data()
{
    QTest::addColumn<quint32>("statusWord");
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<bool>("printed");

    const QByteArray deposit = voucher("V^t", "       10.00");
    QTest::newRow("receipt, ready") << 0x0001u << breadReceipt() << true;
    QTest::newRow("receipt, not ready") << 0x0000u << breadReceipt() << false;
    QTest::newRow("receipt, bit 0010") << 0x0011u << breadReceipt() << false;
    QTest::newRow("receipt, bit 1000") << 0x1001u << breadReceipt() << false;
    QTest::newRow("receipt, bit 8000") << 0x8001u << breadReceipt() << false;
    QTest::newRow("receipt without its end") << 0x0001u << breadReceipt().chopped(2) << false;
    QTest::newRow("deposit, bit 1000") << 0x1001u << deposit << false;
    QTest::newRow("deposit, bit 0010 stops receipts only") << 0x0011u << deposit << true;
    QTest::newRow("deposit, not ready") << 0x1000u << deposit << false;
}

void TestPrintManagerSimulator::documentsThePrinterRefuses()
{
    QFETCH(quint32, statusWord);
    QFETCH(QByteArray, document);
    QFETCH(bool, printed);

    SimulatorSettings custom = settings();
    custom.statusWord = statusWord;
    const auto simulator = started(custom);
    QSignalSpy printouts(simulator.get(), &PrintManagerSimulator::documentPrinted);
    QVERIFY(place(document));
    simulator->poll();
    simulator->poll();

    QVERIFY(!exists(u"blocek.txt"_s));
    QCOMPARE(infoLines()[4], printed ? QByteArray("1\r") : QByteArray("0\r"));
    QCOMPARE(printouts.size(), printed ? 1 : 0);
    QCOMPARE(journal().size(), 1);
}

void TestPrintManagerSimulator::stateAndJournalSurviveARestart()
{
    QByteArray uid;
    {
        const auto first = started(settings());
        QVERIFY(place(breadReceipt()));
        first->poll();
        uid = infoLines()[1];
    }
    QFile::remove(path(u"info.txt"_s));

    const auto second = started(settings());
    QCOMPARE(second->state().documentNumber, 1);
    QVERIFY(place(InformationRequest));
    second->poll();
    QList<QByteArray> info = infoLines();
    QCOMPARE(info[1], uid);
    QCOMPARE(info[4], QByteArray("1\r"));
    QCOMPARE(info[5], QByteArray("2.40\r"));

    QVERIFY(place(breadReceipt()));
    second->poll();
    info = infoLines();
    QCOMPARE(info[4], QByteArray("2\r"));
    QCOMPARE(info[5], QByteArray("4.80\r"));
    QCOMPARE(journal(),
             (QStringList{u"000001-receipt.txt"_s, u"000002-info.txt"_s, u"000003-receipt.txt"_s}));
}

void TestPrintManagerSimulator::stateFileEditedByTheOwner()
{
    QVERIFY(
        TestPaths::writeFile(path(u"omira-tm.ini"_s),
                             "[PRINTER]\r\nNUMBER=41\r\n[TURNOVERS]\r\nHIGHER=100.5\r\nREDUCED=nonsense\r\n"
                             "[RATES]\r\nRATE_1=23\r\nRATE_2=300\r\n[DATA]\r\nHEADER_1=Potraviny\r\n"));
    const auto simulator = started(settings());
    QVERIFY(place(esc("!d")));
    simulator->poll();
    QCOMPARE(read(u"fm_sts.bin"_s), QByteArray("23\r\n255\r\n0\r\n0\r\n0\r\n0\r\n0\r\n"));
    QVERIFY(place(esc("!h") + esc("e")));
    simulator->poll();
    QCOMPARE(read(u"fm_sts.bin"_s), QByteArray("Potraviny\r\n"));
    QVERIFY(place(breadReceipt()));
    simulator->poll();
    QCOMPARE(infoLines()[4], QByteArray("42\r"));
    QCOMPARE(infoLines()[5], QByteArray("102.90\r"));
    QCOMPARE(infoLines()[6], QByteArray("0.00\r"));
}

void TestPrintManagerSimulator::terminateEndsTheRun()
{
    const auto simulator = started(settings());
    QSignalSpy terminated(simulator.get(), &PrintManagerSimulator::terminated);
    QVERIFY(TestPaths::writeFile(path(u"terminate"_s), {}));
    simulator->poll();
    QCOMPARE(terminated.size(), 1);
    QVERIFY(!exists(u"terminate"_s));
    QVERIFY(!simulator->isRunning());

    QVERIFY(place(StatusRequest));
    simulator->poll();
    QVERIFY(exists(u"blocek.txt"_s));
    QCOMPARE(terminated.size(), 1);
}

void TestPrintManagerSimulator::terminateLeftFromAnEarlierSessionIsIgnored()
{
    QVERIFY(TestPaths::writeFile(path(u"terminate"_s), {}));
    const auto simulator = started(settings());
    QSignalSpy terminated(simulator.get(), &PrintManagerSimulator::terminated);
    QVERIFY(!exists(u"terminate"_s));
    simulator->poll();
    QVERIFY(simulator->isRunning());
    QCOMPARE(terminated.size(), 0);
}

void TestPrintManagerSimulator::faults()
{
    SimulatorSettings neverTakes = settings();
    neverTakes.noTake = true;
    {
        const auto simulator = started(neverTakes);
        QVERIFY(place(StatusRequest));
        for (int i = 0; i < 3; ++i)
            simulator->poll();
        QVERIFY(exists(u"blocek.txt"_s));
        QVERIFY(!exists(u"info.txt"_s));
        QVERIFY(journal().isEmpty());
    }
    QFile::remove(path(u"blocek.txt"_s));

    SimulatorSettings neverReplies = settings();
    neverReplies.noReply = true;
    {
        const auto simulator = started(neverReplies);
        QVERIFY(place(breadReceipt()));
        simulator->poll();
        QVERIFY(!exists(u"blocek.txt"_s));
        QVERIFY(!exists(u"info.txt"_s));
        QCOMPARE(simulator->state().documentNumber, 1);
        QCOMPARE(journal().size(), 1);
    }

    SimulatorSettings malformed = settings();
    malformed.malformed = true;
    {
        const auto simulator = started(malformed);
        QVERIFY(place(StatusRequest));
        simulator->poll();
        QCOMPARE(read(u"info.txt"_s),
                 ReplyFormatter::malformedReply(ExchangeRequest::Kind::Status, simulator->state()));
        QVERIFY(place(breadReceipt()));
        simulator->poll();
        QCOMPARE(simulator->state().documentNumber, 2);
        QCOMPARE(read(u"info.txt"_s),
                 ReplyFormatter::malformedReply(ExchangeRequest::Kind::Receipt, simulator->state()));
    }
}

void TestPrintManagerSimulator::delayedReplyHoldsTheNextInput()
{
    SimulatorSettings delayed = settings();
    delayed.replyDelayMs = 400;
    const auto simulator = started(delayed); // polled by its own timer from here on

    QVERIFY(place(StatusRequest));
    QTRY_VERIFY_WITH_TIMEOUT(!exists(u"blocek.txt"_s), 5000);
    QVERIFY(!exists(u"info.txt"_s));
    QVERIFY(place(InformationRequest));
    QTRY_VERIFY_WITH_TIMEOUT(exists(u"info.txt"_s), 5000);
    QCOMPARE(read(u"info.txt"_s), QByteArray("0\r\n1\r\n"));

    QTRY_VERIFY_WITH_TIMEOUT(!exists(u"blocek.txt"_s), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(read(u"info.txt"_s).startsWith("1\r\n"), 5000);
}

void TestPrintManagerSimulator::unfinishedFileIsTakenOnceItStopsGrowing()
{
    const auto simulator = started(settings());
    const QByteArray receipt = breadReceipt();
    QVERIFY(TestPaths::writeFile(path(u"blocek.txt"_s), receipt.first(20)));
    simulator->poll();
    QVERIFY(TestPaths::writeFile(path(u"blocek.txt"_s), receipt.first(40)));
    simulator->poll();
    QVERIFY(exists(u"blocek.txt"_s));
    QVERIFY(TestPaths::writeFile(path(u"blocek.txt"_s), receipt));
    simulator->poll(); // whole now: taken at once
    QVERIFY(!exists(u"blocek.txt"_s));
    QCOMPARE(simulator->state().documentNumber, 1);
    QCOMPARE(read(u"journal/000001-receipt.txt"_s), receipt);
}

QTEST_GUILESS_MAIN(TestPrintManagerSimulator)
#include "tst_printmanagersimulator.moc"

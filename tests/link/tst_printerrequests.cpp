#include "FakePlatform.h"
#include "FakePrintManager.h"
#include "RecordingStatusView.h"
#include "TestPaths.h"
#include "base/Configuration.h"
#include "link/ManualLinkClock.h"
#include "link/PrintManagerLink.h"
#include "link/PrinterRequests.h"
#include "link/PrinterState.h"
#include "link/ReplyParsers.h"
#include "omira-tm/PrinterMemory.h"
#include "omira-tm/ReplyFormatter.h"
#include "platform/FileSystem.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QByteArray StatusRequest("\x1b\x11\x1b\x65");
const QByteArray InfoRequest("\x1b\x49\x1b\x65");
const QByteArray RatesRequest("\x1b\x21\x64");
const QByteArray BuildRequest("\x1b!v\x1b\x65");
const QString InfoFile = u"info.txt"_s;
const QString DataFile = u"fm_sts.bin"_s;

const QByteArray
    InfoReply("1\r\nUID-123\r\nSECOND-ID\r\nPD-0042\r\n42\r\n1234567.891\r\n20.25\r\n0\r\n1.5\r\n3\r\n"
              "0\r\n0\r\n0\r\n0\r\n24.12.2024\r\n18:05:03\r\n");

// An exchange folder in a temporary directory, a running print manager that answers as it
// is told, and a clock that moves only when the link waits.
struct RequestFixture
{
    RequestFixture()
    {
        config.printManagerTitle = u"RL70ZQ"_s;
        config.exchangeFolder = dir.path() + u'/';
        config.printManagerInput = config.exchangeFolder + u"blocek.txt"_s;
        windows.titles.insert("RL70ZQ");
        requests.setLocale(QLocale::c());
    }

    QString path(const QString &name) const { return config.exchangeFolder + name; }
    QStringList filesInFolder() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir dir;
    Configuration config;
    FakeWindowFinder windows;
    ManualLinkClock clock;
    std::unique_ptr<platform::FileSystem> files = platform::createFileSystem();
    PrintManagerLink link{config, windows, *files, clock};
    PrinterState state;
    RecordingStatusView view;
    PrinterRequests requests{config, link, *files, state, view};
    FakePrintManager printManager{config, clock};
};

enum class Request { Status, Information, Rates, Data };

} // namespace

Q_DECLARE_METATYPE(Request)

class TestPrinterRequests : public QObject
{
    Q_OBJECT

private slots:
    void withoutPrintManagerNothingIsSent_data();
    void withoutPrintManagerNothingIsSent();
    void statusRequest_data();
    void statusRequest();
    void informationRequest_data();
    void informationRequest();
    void getInfoReadsTheStandingReplyWithoutAsking();
    void getInfoInDemonstrationMode();
    void showPrinterInfoFormatsForTheUser_data();
    void showPrinterInfoFormatsForTheUser();
    void ratesRequest_data();
    void ratesRequest();
    void dataQuery_data();
    void dataQuery();
    void headerLinesAsTheSimulatorWritesThem();
    void hostileReplyFiles_data();
    void hostileReplyFiles();
};

void TestPrinterRequests::withoutPrintManagerNothingIsSent_data()
{
    QTest::addColumn<Request>("request");
    QTest::newRow("status") << Request::Status;
    QTest::newRow("information") << Request::Information;
    QTest::newRow("rates") << Request::Rates;
    QTest::newRow("data") << Request::Data;
}

void TestPrinterRequests::withoutPrintManagerNothingIsSent()
{
    QFETCH(Request, request);
    RequestFixture f;
    f.windows.titles.clear();
    // Replies that stand in the folder must not make a request without a print manager succeed.
    QVERIFY(TestPaths::writeFile(f.path(InfoFile), "9999\r\n5\r\n"));
    QVERIFY(TestPaths::writeFile(f.path(DataFile), "20\r\n10\r\n"));
    switch (request) {
    case Request::Status:
        QVERIFY(!f.requests.read_status_reply(8000));
        break;
    case Request::Information:
        QVERIFY(!f.requests.read_info_reply(15000, true));
        break;
    case Request::Rates:
        QVERIFY(!f.requests.read_vat_rates(15000));
        break;
    case Request::Data:
        QCOMPARE(f.requests.query_printer_data('v'), 0);
        break;
    }
    QVERIFY(!QFile::exists(f.config.printManagerInput));
    QVERIFY(!QFile::exists(f.link.stagingFilePath()));
    QVERIFY(f.clock.nowMs() <= 50); // the pause before the rates request, no waiting for a reply
    QCOMPARE(f.state.status_word, 0);
    QVERIFY(f.view.calls.isEmpty());
}

void TestPrinterRequests::statusRequest_data()
{
    QTest::addColumn<QByteArray>("reply"); // empty: the print manager does not answer
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<bool>("ready");
    QTest::addColumn<int>("statusWord");
    QTest::addColumn<qint64>("maxElapsedMs");

    QTest::newRow("ready at once") << QByteArray("9999\r\n5\r\n") << 0 << true << 5 << qint64(1000);
    QTest::newRow("ready, cash blocked")
        << QByteArray("2\r\n4097\r\n") << 0 << true << 0x1001 << qint64(1000);
    QTest::newRow("even word") << QByteArray("2\r\n4096\r\n") << 0 << false << 4096 << qint64(1000);
    QTest::newRow("answer late") << QByteArray("2\r\n1\r\n") << 6000 << true << 1 << qint64(7000);
    QTest::newRow("answer after the time-out")
        << QByteArray("2\r\n1\r\n") << 9000 << false << 0 << qint64(8400);
    QTest::newRow("no answer") << QByteArray() << 0 << false << 0 << qint64(8400);
    // The second number is missing for good: what was read is final.
    QTest::newRow("first line only") << QByteArray("2\r\n") << 0 << false << 0 << qint64(1000);
    // Nothing to read, so the reply counts as still being written until the time-out.
    QTest::newRow("empty reply") << QByteArray("\r\n") << 0 << false << 0 << qint64(8400);
}

void TestPrinterRequests::statusRequest()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, delayMs);
    QFETCH(bool, ready);
    QFETCH(int, statusWord);
    QFETCH(qint64, maxElapsedMs);
    RequestFixture f;
    f.state.status_word = 77;
    // A reply of an earlier request must not be taken for this one.
    QVERIFY(TestPaths::writeFile(f.path(InfoFile), "9999\r\n1\r\n"));
    if (!reply.isEmpty())
        f.printManager.answer(StatusRequest, InfoFile, reply, delayMs);

    QCOMPARE(f.requests.read_status_reply(8000), ready);
    QCOMPARE(f.state.status_word, statusWord);
    QCOMPARE(f.printManager.received, QList<QByteArray>{StatusRequest});
    QVERIFY(f.clock.nowMs() <= maxElapsedMs);
    if (ready)
        QCOMPARE(TestPaths::readFile(f.path(u"_info.tmp"_s)), reply);
    QVERIFY(f.view.calls.isEmpty());
}

void TestPrinterRequests::informationRequest_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("result");
    QTest::addColumn<int>("documentNumber");
    QTest::addColumn<bool>("shown");

    QTest::newRow("information reply") << InfoReply << true << 42 << true;
    QTest::newRow("status reply changes nothing") << QByteArray("9999\r\n5\r\n") << true << 41 << true;
    QTest::newRow("document number no integer")
        << QByteArray("1\r\nUID\r\nS\r\nL\r\nX42\r\n") << false << 41 << false;
    QTest::newRow("no answer") << QByteArray() << false << 41 << false;
}

void TestPrinterRequests::informationRequest()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, result);
    QFETCH(int, documentNumber);
    QFETCH(bool, shown);
    RequestFixture f;
    f.state.info.documentNumber = 41;
    f.state.info.uid = u"OLD"_s;
    QVERIFY(TestPaths::writeFile(f.path(InfoFile), InfoReply)); // stale: removed before asking
    if (!reply.isEmpty())
        f.printManager.answer(InfoRequest, InfoFile, reply);

    QCOMPARE(f.requests.read_info_reply(15000, true), result);
    QCOMPARE(f.state.info.documentNumber, documentNumber);
    QCOMPARE(f.state.info.uid, documentNumber == 42 ? u"UID-123"_s : u"OLD"_s);
    QCOMPARE(f.printManager.received, QList<QByteArray>{InfoRequest});
    QCOMPARE(f.view.calls.contains(u"document"_s), shown);
    if (shown) {
        QCOMPARE(f.view.trayHint, u"Omira->%1"_s.arg(documentNumber));
        QCOMPARE(f.view.panels.value(3), RecordingStatusView::IdleText);
    }
}

void TestPrinterRequests::getInfoReadsTheStandingReplyWithoutAsking()
{
    RequestFixture f;
    QVERIFY(TestPaths::writeFile(f.path(InfoFile), InfoReply));
    f.windows.titles.clear(); // reading needs no print manager
    QVERIFY(f.requests.get_info());
    QCOMPARE(f.state.info.documentNumber, 42);
    QVERIFY(f.printManager.received.isEmpty());
    QVERIFY(f.clock.sleeps().isEmpty());
    // The reply is never removed after reading: the next read finds it again.
    QVERIFY(QFile::exists(f.path(InfoFile)));
}

void TestPrinterRequests::getInfoInDemonstrationMode()
{
    RequestFixture f;
    f.config.demo = true;
    f.state.info.documentNumber = 41;
    QVERIFY(f.requests.get_info());
    QCOMPARE(f.state.info.documentNumber, 1);
    QCOMPARE(f.state.info.dailyClosingNumber, 1);
    QVERIFY(f.filesInFolder().isEmpty());
    QVERIFY(f.clock.sleeps().isEmpty());
}

void TestPrinterRequests::showPrinterInfoFormatsForTheUser_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("higherRate");
    QTest::addColumn<QString>("reducedRate");

    QTest::newRow("Slovak") << QLocale(QLocale::Slovak, QLocale::Slovakia) << u"1234567,89"_s << u"20,25"_s;
    QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates) << u"1234567.89"_s
                             << u"20.25"_s;
}

void TestPrinterRequests::showPrinterInfoFormatsForTheUser()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, higherRate);
    QFETCH(QString, reducedRate);
    RequestFixture f;
    f.requests.setLocale(locale);
    QVERIFY(TestPaths::writeFile(f.path(InfoFile), InfoReply));
    QVERIFY(f.requests.get_info());

    const PrinterStatusView::DocumentTexts &shown = f.view.document;
    QCOMPARE(shown.uid, u"UID-123"_s);
    QCOMPARE(shown.label, u"PD-0042"_s);
    QCOMPARE(shown.date, u"24.12.2024"_s);
    QCOMPARE(shown.time, u"18:05:03"_s);
    QCOMPARE(shown.higherRate, higherRate);
    QCOMPARE(shown.reducedRate, reducedRate);
    QCOMPARE(shown.exempt, QLocale(locale).toString(0.0, 'f', 2));
    QCOMPARE(f.view.trayHint, u"Omira->42"_s);
}

void TestPrinterRequests::ratesRequest_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QList<int>>("rates");

    QTest::newRow("seven rates") << QByteArray("20\r\n10\r\n0\r\n0\r\n0\r\n0\r\n0\r\n") << true
                                 << QList<int>{20, 10, 0, 0, 0, 0, 0};
    QTest::newRow("two rates") << QByteArray("23\r\n19\r\n") << true << QList<int>{23, 19, 3, 4, 5, 6, 7};
    QTest::newRow("no number") << QByteArray("rates\r\n") << false << QList<int>{1, 2, 3, 4, 5, 6, 7};
    QTest::newRow("no answer") << QByteArray() << false << QList<int>{1, 2, 3, 4, 5, 6, 7};
}

void TestPrinterRequests::ratesRequest()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, result);
    QFETCH(QList<int>, rates);
    RequestFixture f;
    f.state.vat_rates = {1, 2, 3, 4, 5, 6, 7};
    QVERIFY(TestPaths::writeFile(f.path(DataFile), "99\r\n99\r\n")); // stale: removed before asking
    if (!reply.isEmpty())
        f.printManager.answer(RatesRequest, DataFile, reply);

    QCOMPARE(f.requests.read_vat_rates(15000), result);
    QCOMPARE(QList<int>(f.state.vat_rates.begin(), f.state.vat_rates.end()), rates);
    QCOMPARE(f.printManager.received, QList<QByteArray>{RatesRequest});
    QVERIFY(f.clock.nowMs() <= 15000 + 50 + 300 + 300);
}

void TestPrinterRequests::dataQuery_data()
{
    QTest::addColumn<char>("letter");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("build") << 'v' << QByteArray("ABC1234\r\nDEF\r\n") << QByteArray("ABC1234\r\nDEF\r\n");
    QTest::newRow("header") << 'h' << QByteArray("Obchod Jana\r\nNitra\r\n")
                            << QByteArray("Obchod\r\nJana\r\nNitra\r\n");
    QTest::newRow("tax code") << 'D' << QByteArray("1234567890") << QByteArray("1234567890\r\n");
    QTest::newRow("no answer") << 'v' << QByteArray() << QByteArray();
}

void TestPrinterRequests::dataQuery()
{
    QFETCH(char, letter);
    QFETCH(QByteArray, reply);
    QFETCH(QByteArray, text);
    RequestFixture f;
    f.state.data_reply = "left from an earlier query";
    const QByteArray request = QByteArray("\x1b!") + letter + "\x1b\x65";
    if (!reply.isEmpty())
        f.printManager.answer(request, DataFile, reply);

    QCOMPARE(f.requests.query_printer_data(letter), text.size());
    QCOMPARE(f.state.data_reply, text);
    QCOMPARE(f.printManager.received, QList<QByteArray>{request});
    QVERIFY(f.clock.nowMs() <= f.config.infoTimeout + 2 * f.config.repeatPeriod);
}

// The header box takes the reply file as the print manager wrote it: whole lines, Slovak
// letters and blanks kept, not the words the data reply is rebuilt into.
void TestPrinterRequests::headerLinesAsTheSimulatorWritesThem()
{
    RequestFixture f;
    PrinterMemory printer = PrinterMemory::factoryDefaults();
    printer.headerLines = {u"Potraviny Žltá ruža"_s, u"Hlavná 1, 949 01 Nitra"_s};
    const QByteArray request = "\x1b!h\x1b\x65";
    f.printManager.answer(request, DataFile, ReplyFormatter::dataReply('h', printer));

    QCOMPARE(f.requests.read_header_lines(), u"Potraviny Žltá ruža\r\nHlavná 1, 949 01 Nitra\r\n"_s);

    RequestFixture silent;
    QCOMPARE(silent.requests.read_header_lines(), std::nullopt);
}

void TestPrinterRequests::hostileReplyFiles_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("statusReady");
    QTest::addColumn<bool>("infoRead");
    QTest::addColumn<bool>("ratesRead");

    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary.append(char((i * 7919) >> 3));
    QTest::newRow("empty") << QByteArray() << false << false << false;
    QTest::newRow("binary") << binary << false << false << false;
    QTest::newRow("cut off mid-line")
        << QByteArray("1\r\nUID-1\r\nSEC\r\nPD-7\r\n4") << false << true << true;
    QTest::newRow("no final line end") << QByteArray("1\r\n5") << true << true << true;
    QTest::newRow("megabytes of one word")
        << "1\r\n" + QByteArray(4 * 1024 * 1024, 'A') << false << true << true;
    QTest::newRow("megabytes of blanks") << QByteArray(4 * 1024 * 1024, ' ') + "1\r\n5\r\n"
                                         << false << false << false;
    QTest::newRow("megabytes of lines") << QByteArray("1\r\n").repeated(1024 * 1024) << true << true << true;
    QTest::newRow("numbers too large for 32 bits")
        << QByteArray("1\r\n99999999999\r\nS\r\nL\r\n99999999999\r\n") << false << false << true;
    QTest::newRow("first number too large") << QByteArray("99999999999\r\n5\r\n") << false << false << false;
}

void TestPrinterRequests::hostileReplyFiles()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, statusReady);
    QFETCH(bool, infoRead);
    QFETCH(bool, ratesRead);
    RequestFixture f;
    f.config.statusTimeout = 900;
    f.config.infoTimeout = 900;
    f.printManager.answer(StatusRequest, InfoFile, reply);
    f.printManager.answer(RatesRequest, DataFile, reply);
    f.printManager.answer(BuildRequest, DataFile, reply);

    QCOMPARE(f.requests.read_status_reply(f.config.statusTimeout), statusReady);
    QCOMPARE(f.requests.get_info(), infoRead);
    QCOMPARE(f.requests.read_vat_rates(f.config.infoTimeout), ratesRead);
    const qsizetype length = f.requests.query_printer_data('v');
    QCOMPARE(length, f.state.data_reply.size());
    QVERIFY(length <= ReplyParsers::MaxDataReplyLength);
    QCOMPARE(length == 0, reply.isEmpty());

    const PrinterInfo &info = f.state.info;
    QVERIFY(info.uid.size() <= PrinterInfo::UidLength);
    QVERIFY(info.secondId.size() <= PrinterInfo::SecondIdLength);
    QVERIFY(info.label.size() <= PrinterInfo::LabelLength);
    QVERIFY(info.date.size() <= PrinterInfo::DateLength);
    QVERIFY(info.time.size() <= PrinterInfo::TimeLength);
    // Each reader gives up within its time-out and a few pauses.
    QVERIFY(f.clock.nowMs() <= 4 * (900 + 2 * 300) + 100);
}

QTEST_GUILESS_MAIN(TestPrinterRequests)
#include "tst_printerrequests.moc"

#include "FakePlatform.h"
#include "FakePrintManager.h"
#include "RecordingStatusView.h"
#include "ScriptedDialogs.h"
#include "TestPaths.h"
#include "base/Configuration.h"
#include "base/ErrorLog.h"
#include "lang/MessageTable.h"
#include "link/ManualLinkClock.h"
#include "link/PrintManagerDetection.h"
#include "link/PrintManagerLink.h"
#include "link/PrinterRequests.h"
#include "link/PrinterState.h"
#include "platform/FileSystem.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <stdexcept>

using namespace Qt::StringLiterals;
using TrayImage = PrinterStatusView::TrayImage;

namespace {

const QByteArray StatusRequest("\x1b\x11\x1b\x65");
const QByteArray RatesRequest("\x1b\x21\x64");
const QByteArray BuildRequest("\x1b!v\x1b\x65");
const QString InfoFile = u"info.txt"_s;
const QString DataFile = u"fm_sts.bin"_s;

// The real file system, except that copying can be made to throw, as a run-time error
// deep inside a detection would.
class ThrowingFileSystem : public platform::FileSystem
{
public:
    using FileStatus = platform::FileStatus;
    FileStatus copyFileNoOverwrite(const std::string &s, const std::string &t) override
    {
        return m_real->copyFileNoOverwrite(s, t);
    }
    FileStatus copyFileReplace(const std::string &s, const std::string &t) override
    {
        if (throwOnCopy)
            throw std::runtime_error("copy failed");
        return m_real->copyFileReplace(s, t);
    }
    FileStatus deleteFile(const std::string &p) override { return m_real->deleteFile(p); }
    FileStatus clearAttributes(const std::string &p) override { return m_real->clearAttributes(p); }
    bool fileExists(const std::string &p) const override { return m_real->fileExists(p); }
    bool directoryExists(const std::string &p) const override { return m_real->directoryExists(p); }
    FileStatus createDirectory(const std::string &p) override { return m_real->createDirectory(p); }
    platform::AccessProbe probeAccess(const std::string &p, platform::AccessMode m) override
    {
        return m_real->probeAccess(p, m);
    }
    FileStatus createEmptyFile(const std::string &p) override { return m_real->createEmptyFile(p); }

    bool throwOnCopy = false;

private:
    std::unique_ptr<platform::FileSystem> m_real = platform::createFileSystem();
};

// A running print manager that answers the status request as ready, with the message
// table's placeholders as texts and the error log in the temporary folder.
struct DetectionFixture
{
    DetectionFixture()
    {
        config.printManagerTitle = u"RL70ZQ"_s;
        config.exchangeFolder = dir.path() + u'/';
        config.printManagerInput = config.exchangeFolder + u"blocek.txt"_s;
        windows.titles.insert("RL70ZQ");
        printManager.answer(StatusRequest, InfoFile, "2\r\n1\r\n");
    }

    QString path(const QString &name) const { return config.exchangeFolder + name; }
    QString message(Msg id) const { return messages.text(id); }
    // The event texts of the error log, in order.
    QStringList loggedEvents() const
    {
        QStringList events;
        const QString log = QString::fromLatin1(TestPaths::readFile(logPath));
        for (const QString &line : log.split(u"\r\n"_s, Qt::SkipEmptyParts))
            events.append(line.section(u") "_s, 1).chopped(1));
        return events;
    }

    QTemporaryDir dir;
    Configuration config;
    FakeWindowFinder windows;
    ManualLinkClock clock;
    ThrowingFileSystem files;
    PrintManagerLink link{config, windows, files, clock};
    PrinterState state;
    RecordingStatusView view;
    PrinterRequests requests{config, link, files, state, view};
    FakePrintManager printManager{config, clock};
    MessageTable messages;
    ScriptedDialogs dialogs;
    QString logPath = dir.filePath(u"fm_err.txt"_s);
    ErrorLog errorLog{logPath, true, dialogs};
    PrintManagerDetection detection{
        {config, messages, [this]() -> ErrorLog & { return errorLog; }, link, requests, state, view}};
};

} // namespace

class TestPrinterDetection : public QObject
{
    Q_OBJECT

private slots:
    void demonstrationModeTouchesNoFile();
    void statusQuery_data();
    void statusQuery();
    void detection_data();
    void detection();
    void successfulDetectionShowsTheConnection();
    void failedDetectionShowsThatThePrinterDoesNotAnswer();
    void traceLinesOnlyWithFilelog_data();
    void traceLinesOnlyWithFilelog();
    void firstDetectionAloneReadsBuildAndRates_data();
    void firstDetectionAloneReadsBuildAndRates();
    void failedFirstReadsKeepTheOldValues();
    void runTimeErrorEndsTheDetection();
};

void TestPrinterDetection::demonstrationModeTouchesNoFile()
{
    DetectionFixture f;
    f.config.demo = true;
    f.windows.titles.clear();
    QVERIFY(f.detection.detect_fm());
    QCOMPARE(f.view.calls, (QStringList{u"label=DEMO"_s, u"hint=DEMO"_s}));
    QCOMPARE(f.detection.online_sts(), 1);
    QCOMPARE(f.state.status_word, 1);
    QCOMPARE(f.view.calls.size(), 2);
    QVERIFY(!f.state.connected);
    QVERIFY(QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    QVERIFY(f.clock.sleeps().isEmpty());
}

void TestPrinterDetection::statusQuery_data()
{
    QTest::addColumn<bool>("running");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("cashBlock");

    QTest::newRow("ready") << true << QByteArray("2\r\n1\r\n") << 1 << false;
    QTest::newRow("ready, cash blocked") << true << QByteArray("2\r\n4097\r\n") << 0x1001 << true;
    QTest::newRow("receipts blocked, not cash") << true << QByteArray("2\r\n32785\r\n") << 0x8011 << false;
    QTest::newRow("even word") << true << QByteArray("2\r\n4096\r\n") << 0 << false;
    QTest::newRow("no answer") << true << QByteArray() << 0 << false;
    QTest::newRow("print manager not running") << false << QByteArray() << 0 << false;
}

void TestPrinterDetection::statusQuery()
{
    QFETCH(bool, running);
    QFETCH(QByteArray, reply);
    QFETCH(int, result);
    QFETCH(bool, cashBlock);
    DetectionFixture f;
    if (!running)
        f.windows.titles.clear();
    f.printManager.forget(StatusRequest);
    if (!reply.isEmpty())
        f.printManager.answer(StatusRequest, InfoFile, reply);
    f.state.cash_block = !cashBlock && result == 0; // a failed query leaves the flag alone

    QCOMPARE(f.detection.online_sts(), result);
    QCOMPARE(f.state.status_word, result);
    QCOMPARE(f.state.connected, result != 0);
    if (result != 0) {
        QCOMPARE(f.state.cash_block, cashBlock);
        QCOMPARE(f.view.calls, QStringList{u"image=answering"_s});
    } else {
        QVERIFY(f.view.calls.isEmpty());
    }
    if (!running)
        QCOMPARE(f.clock.nowMs(), 10);
}

void TestPrinterDetection::detection_data()
{
    QTest::addColumn<bool>("running");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("found");

    QTest::newRow("ready") << true << QByteArray("2\r\n1\r\n") << true;
    QTest::newRow("ready, cash blocked") << true << QByteArray("2\r\n4097\r\n") << true;
    QTest::newRow("even word") << true << QByteArray("2\r\n4096\r\n") << false;
    QTest::newRow("no answer") << true << QByteArray() << false;
    QTest::newRow("print manager not running") << false << QByteArray() << false;
}

void TestPrinterDetection::detection()
{
    QFETCH(bool, running);
    QFETCH(QByteArray, reply);
    QFETCH(bool, found);
    DetectionFixture f;
    if (!running)
        f.windows.titles.clear();
    f.printManager.forget(StatusRequest);
    if (!reply.isEmpty())
        f.printManager.answer(StatusRequest, InfoFile, reply);
    f.state.firstDetection = false;
    f.state.connected = !found;

    QCOMPARE(f.detection.detect_fm(), found);
    QCOMPARE(f.state.connected, found);
    QCOMPARE(f.view.trayImage, found ? TrayImage::Answering : TrayImage::NotAnswering);
    QCOMPARE(f.view.trayHint, f.message(found ? Msg::ConnectedHint : Msg::PrinterNotAnswering));
    QCOMPARE(f.view.panels.value(3),
             found ? RecordingStatusView::IdleText : f.message(Msg::PrinterNotAnswering));
    QCOMPARE(f.loggedEvents(), found ? QStringList() : QStringList{u"Error online_sts() /detect_fm/"_s});
    if (!running)
        QCOMPARE(f.clock.nowMs(), 10);
}

void TestPrinterDetection::successfulDetectionShowsTheConnection()
{
    DetectionFixture f;
    f.state.firstDetection = false;
    QVERIFY(f.detection.detect_fm());
    // The status reply stands in info.txt; read as information it changes nothing but is shown.
    QCOMPARE(f.view.calls, (QStringList{
                               u"hint=%1"_s.arg(f.message(Msg::DetectingHint)),
                               u"label=Omira"_s,
                               u"hint=Omira"_s,
                               u"image=answering"_s,
                               u"document"_s,
                               u"idle"_s,
                               u"hint=Omira->0"_s,
                               u"caption=Omira"_s,
                               u"repaint"_s,
                               u"image=answering"_s,
                               u"hint=%1"_s.arg(f.message(Msg::ConnectedHint)),
                               u"idle"_s,
                               u"panel1=Omira"_s,
                               u"panel2="_s,
                           }));
}

void TestPrinterDetection::failedDetectionShowsThatThePrinterDoesNotAnswer()
{
    DetectionFixture f;
    f.windows.titles.clear();
    QVERIFY(!f.detection.detect_fm());
    const QString notAnswering = f.message(Msg::PrinterNotAnswering);
    QCOMPARE(f.view.calls, (QStringList{
                               u"hint=%1"_s.arg(f.message(Msg::DetectingHint)),
                               u"label=Omira"_s,
                               u"hint=Omira"_s,
                               u"image=not answering"_s,
                               u"hint=%1"_s.arg(notAnswering),
                               u"panel3=%1"_s.arg(notAnswering),
                               u"repaint"_s,
                           }));
    QVERIFY(f.state.firstDetection);
}

void TestPrinterDetection::traceLinesOnlyWithFilelog_data()
{
    QTest::addColumn<bool>("filelog");
    QTest::addColumn<bool>("running");
    QTest::addColumn<QStringList>("events");

    QTest::newRow("found, filelog on") << true << true
                                       << QStringList{u"detect_fm():zac"_s, u"online_sts():zac"_s,
                                                      u"online_sts():end"_s, u"detect_fm():end"_s};
    QTest::newRow("found, filelog off") << false << true << QStringList{};
    QTest::newRow("not found, filelog on")
        << true << false
        << QStringList{u"detect_fm():zac"_s, u"online_sts():zac"_s, u"Error online_sts() /detect_fm/"_s};
    QTest::newRow("not found, filelog off")
        << false << false << QStringList{u"Error online_sts() /detect_fm/"_s};
}

void TestPrinterDetection::traceLinesOnlyWithFilelog()
{
    QFETCH(bool, filelog);
    QFETCH(bool, running);
    QFETCH(QStringList, events);
    DetectionFixture f;
    f.config.traceLog = filelog;
    f.state.firstDetection = false;
    if (!running)
        f.windows.titles.clear();
    QCOMPARE(f.detection.detect_fm(), running);
    QCOMPARE(f.loggedEvents(), events);
}

void TestPrinterDetection::firstDetectionAloneReadsBuildAndRates_data()
{
    QTest::addColumn<QByteArray>("buildReply");
    QTest::addColumn<QString>("buildId");

    QTest::newRow("build and more lines") << QByteArray("ABC1234\r\nDEF\r\n") << u" (build ABC1)"_s;
    QTest::newRow("short build") << QByteArray("AB") << u" (build AB)"_s;
    QTest::newRow("zero byte") << QByteArray("A\0BC", 4) << u" (build A)"_s;
}

void TestPrinterDetection::firstDetectionAloneReadsBuildAndRates()
{
    QFETCH(QByteArray, buildReply);
    QFETCH(QString, buildId);
    DetectionFixture f;
    f.printManager.answer(BuildRequest, DataFile, buildReply);
    f.printManager.answer(RatesRequest, DataFile, "20\r\n10\r\n0\r\n0\r\n0\r\n0\r\n0\r\n");

    QVERIFY(f.detection.detect_fm());
    QCOMPARE(f.printManager.received, (QList<QByteArray>{StatusRequest, BuildRequest, RatesRequest}));
    QCOMPARE(f.state.build_id, buildId);
    QCOMPARE(f.state.vat_rates, (std::array<quint8, 7>{20, 10, 0, 0, 0, 0, 0}));
    QVERIFY(!f.state.firstDetection);

    f.printManager.received.clear();
    QVERIFY(f.detection.detect_fm());
    QCOMPARE(f.printManager.received, QList<QByteArray>{StatusRequest});

    // From now on every line of the error log names the printer build.
    f.errorLog.WriteErrLog(u"event"_s);
    QVERIFY(TestPaths::readFile(f.logPath).endsWith("Ver:Ver. 3.0.2 " + buildId.toLatin1() + ") event \r\n"));
}

void TestPrinterDetection::failedFirstReadsKeepTheOldValues()
{
    DetectionFixture f;
    f.state.build_id = u" (build OLD1)"_s;
    f.state.vat_rates = {23, 19, 5, 0, 0, 0, 0};

    QVERIFY(f.detection.detect_fm());
    QCOMPARE(f.printManager.received, (QList<QByteArray>{StatusRequest, BuildRequest, RatesRequest}));
    QCOMPARE(f.state.build_id, u" (build OLD1)"_s);
    QCOMPARE(f.state.vat_rates, (std::array<quint8, 7>{23, 19, 5, 0, 0, 0, 0}));
    QVERIFY(!f.state.firstDetection);
    QVERIFY(f.state.connected);
}

void TestPrinterDetection::runTimeErrorEndsTheDetection()
{
    DetectionFixture f;
    f.state.connected = true;
    f.files.throwOnCopy = true;
    QVERIFY(!f.detection.detect_fm());
    QCOMPARE(f.state.status_word, 0);
    QVERIFY(!f.state.connected);
    QCOMPARE(f.view.trayImage, TrayImage::NotAnswering);
    QCOMPARE(f.loggedEvents(), QStringList{u"Could not initialize COM port"_s});
}

QTEST_GUILESS_MAIN(TestPrinterDetection)
#include "tst_printerdetection.moc"

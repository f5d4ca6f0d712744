#include "TestPaths.h"
#include "base/Configuration.h"
#include "link/ManualLinkClock.h"
#include "link/PrintManagerLink.h"
#include "link/SteadyLinkClock.h"
#include "platform/FileSystem.h"
#include "platform/WindowFinder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <chrono>
#include <set>

using namespace Qt::StringLiterals;
using platform::FileStatus;
namespace WinError = platform::WinError;

namespace {

class FakeWindowFinder : public platform::WindowFinder
{
public:
    bool windowExists(const std::string &title) const override { return titles.count(title) > 0; }

    std::set<std::string> titles;
};

// The real file system, with the time of every hand-over copy and the number of deletes
// noted down.
class RecordingFileSystem : public platform::FileSystem
{
public:
    explicit RecordingFileSystem(const LinkClock &clock) : m_clock(clock) {}

    FileStatus copyFileNoOverwrite(const std::string &source, const std::string &target) override
    {
        copyTimes.append(m_clock.nowMs());
        return m_real->copyFileNoOverwrite(source, target);
    }
    FileStatus copyFileReplace(const std::string &source, const std::string &target) override
    {
        return m_real->copyFileReplace(source, target);
    }
    FileStatus deleteFile(const std::string &path) override
    {
        ++deletes;
        return m_real->deleteFile(path);
    }
    FileStatus clearAttributes(const std::string &path) override { return m_real->clearAttributes(path); }
    bool fileExists(const std::string &path) const override { return m_real->fileExists(path); }
    bool directoryExists(const std::string &path) const override { return m_real->directoryExists(path); }
    FileStatus createDirectory(const std::string &path) override { return m_real->createDirectory(path); }
    platform::AccessProbe probeAccess(const std::string &path, platform::AccessMode mode) override
    {
        return m_real->probeAccess(path, mode);
    }
    FileStatus createEmptyFile(const std::string &path) override { return m_real->createEmptyFile(path); }

    QList<qint64> copyTimes;
    int deletes = 0;

private:
    const LinkClock &m_clock;
    std::unique_ptr<platform::FileSystem> m_real = platform::createFileSystem();
};

// One file that refuses a number of deletes (or every one) with a given error. A refusal
// with NoError is a delete that is accepted while the file lingers, as on Windows while
// another program still holds it open.
class StubbornFileSystem : public platform::FileSystem
{
public:
    FileStatus deleteFile(const std::string &) override
    {
        ++deletes;
        if (refusals == 0) {
            exists = false;
            return {};
        }
        if (refusals > 0)
            --refusals;
        if (refusalError == WinError::FileNotFound)
            exists = false;
        return {refusalError};
    }
    bool fileExists(const std::string &) const override { return exists; }

    FileStatus copyFileNoOverwrite(const std::string &, const std::string &) override { return unused(); }
    FileStatus copyFileReplace(const std::string &, const std::string &) override { return unused(); }
    FileStatus clearAttributes(const std::string &) override { return unused(); }
    bool directoryExists(const std::string &) const override { return false; }
    FileStatus createDirectory(const std::string &) override { return unused(); }
    platform::AccessProbe probeAccess(const std::string &, platform::AccessMode) override
    {
        return {WinError::GeneralFailure, 0};
    }
    FileStatus createEmptyFile(const std::string &) override { return unused(); }

    static constexpr int Forever = -1;
    int refusals = 0;
    unsigned refusalError = WinError::AccessDenied;
    bool exists = true;
    int deletes = 0;

private:
    static FileStatus unused() { return {WinError::GeneralFailure}; }
};

// An exchange folder in a temporary directory, a running print manager by default and a
// clock that moves only when the link waits.
struct LinkFixture
{
    LinkFixture()
    {
        config.printManagerTitle = u"RL70ZQ"_s;
        config.exchangeFolder = dir.path() + u'/';
        config.printManagerInput = config.exchangeFolder + u"blocek.txt"_s;
        windows.titles.insert("RL70ZQ");
    }

    QString staging() const { return config.exchangeFolder + u"_blocek.tmp"_s; }
    QString input() const { return config.printManagerInput; }
    QStringList filesInFolder() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir dir;
    Configuration config;
    FakeWindowFinder windows;
    ManualLinkClock clock;
    RecordingFileSystem files{clock};
    PrintManagerLink link{config, windows, files, clock};
};

QList<qint64> evenlySpaced(int count, qint64 spacing)
{
    QList<qint64> times;
    for (int i = 1; i <= count; ++i)
        times.append(i * spacing);
    return times;
}

} // namespace

class TestPrintManagerLink : public QObject
{
    Q_OBJECT

private slots:
    void presenceLooksForTheExactTitle_data();
    void presenceLooksForTheExactTitle();
    void sendWithoutPrintManagerWritesNothing();
    void sendFailsWhenTheStagingFileCannotBeCreated();
    void sendPlacesExactlyTheCommandBytes_data();
    void sendPlacesExactlyTheCommandBytes();
    void sendGivesUpWhileTheInputFileStays_data();
    void sendGivesUpWhileTheInputFileStays();
    void sendSucceedsOnceThePrintManagerTakesTheInput_data();
    void sendSucceedsOnceThePrintManagerTakesTheInput();
    void pollUntil_data();
    void pollUntil();
    void removeFileOnRealFiles_data();
    void removeFileOnRealFiles();
    void removeFileThatResists_data();
    void removeFileThatResists();
    void repeatedDeletionOfAnUndeletableFileIsBounded_data();
    void repeatedDeletionOfAnUndeletableFileIsBounded();
    void waitOnTheRealClockLastsAtLeastTheTime();
};

void TestPrintManagerLink::presenceLooksForTheExactTitle_data()
{
    QTest::addColumn<QString>("configuredTitle");
    QTest::addColumn<QByteArray>("windowTitle");
    QTest::addColumn<bool>("present");

    QTest::newRow("same title") << u"RL70ZQ"_s << QByteArray("RL70ZQ") << true;
    QTest::newRow("longer title") << u"RL70ZQ"_s << QByteArray("RL70ZQ - status") << false;
    QTest::newRow("other case") << u"RL70ZQ"_s << QByteArray("rl70zq") << false;
    QTest::newRow("Slovak title, UTF-8 to the platform")
        << u"Tlačový manažér"_s << QByteArray("Tla\xC4\x8Dov\xC3\xBD mana\xC5\xBE\xC3\xA9r") << true;
}

void TestPrintManagerLink::presenceLooksForTheExactTitle()
{
    QFETCH(QString, configuredTitle);
    QFETCH(QByteArray, windowTitle);
    QFETCH(bool, present);
    LinkFixture f;
    f.config.printManagerTitle = configuredTitle;
    f.windows.titles = {windowTitle.toStdString()};
    QCOMPARE(f.link.tm_present(), present);
}

void TestPrintManagerLink::sendWithoutPrintManagerWritesNothing()
{
    LinkFixture f;
    f.windows.titles.clear();
    f.link.set_command_text(QByteArray("\x1b\x11\x1b\x65"));
    QVERIFY(!f.link.tm_send(8000));
    QVERIFY(f.filesInFolder().isEmpty());
    QVERIFY(f.clock.sleeps().isEmpty());
}

void TestPrintManagerLink::sendFailsWhenTheStagingFileCannotBeCreated()
{
    LinkFixture f;
    f.config.exchangeFolder = f.dir.filePath(u"missing/"_s);
    f.config.printManagerInput = f.config.exchangeFolder + u"blocek.txt"_s;
    f.link.set_command_text(QByteArray("\x1b\x49\x1b\x65"));
    QVERIFY(!f.link.tm_send(8000));
    QVERIFY(f.files.copyTimes.isEmpty());
    QVERIFY(f.clock.sleeps().isEmpty());
    QVERIFY(f.filesInFolder().isEmpty());
}

void TestPrintManagerLink::sendPlacesExactlyTheCommandBytes_data()
{
    QTest::addColumn<QByteArray>("commandBytes");
    QTest::addColumn<QString>("commandText"); // set through the text setter when not empty
    QTest::addColumn<QByteArray>("placed");

    QTest::newRow("status request") << QByteArray("\x1b\x11\x1b\x65") << QString()
                                    << QByteArray("\x1b\x11\x1b\x65");
    QTest::newRow("zero byte ends the text")
        << QByteArray("\x1b!v\0\x1b\x65", 6) << QString() << QByteArray("\x1b!v");
    QTest::newRow("empty command") << QByteArray() << QString() << QByteArray();
    QTest::newRow("Slovak text in code page 1250")
        << QByteArray() << u"Vklad: Tlačový manažér 12,50 €"_s
        << QByteArray("Vklad: Tla\xE8ov\xFD mana\x9E\xE9r 12,50 \x80");
}

void TestPrintManagerLink::sendPlacesExactlyTheCommandBytes()
{
    QFETCH(QByteArray, commandBytes);
    QFETCH(QString, commandText);
    QFETCH(QByteArray, placed);
    LinkFixture f;
    f.config.repeatPeriod = 300;
    // A staging file left by an earlier, longer hand-over must not show through.
    QVERIFY(TestPaths::writeFile(f.staging(), "an earlier and much longer command"));
    if (commandText.isEmpty())
        f.link.set_command_text(commandBytes);
    else
        f.link.set_command_text(commandText);
    const QByteArray before = f.link.command_text();

    QVERIFY(f.link.tm_send(8000));
    QCOMPARE(f.files.copyTimes, QList<qint64>{300});
    QCOMPARE(TestPaths::readFile(f.input()), placed);
    QCOMPARE(TestPaths::readFile(f.staging()), placed);
    QCOMPARE(f.link.command_text(), before);
}

void TestPrintManagerLink::sendGivesUpWhileTheInputFileStays_data()
{
    QTest::addColumn<int>("timeout");
    QTest::addColumn<int>("repeatPeriod");
    QTest::addColumn<int>("attempts");
    QTest::addColumn<int>("spacing");

    QTest::newRow("status time-out") << 8000 << 300 << 26 << 300;
    QTest::newRow("information time-out") << 15000 << 300 << 50 << 300;
    QTest::newRow("exact multiple") << 600 << 300 << 2 << 300;
    QTest::newRow("time-out below the period") << 200 << 300 << 1 << 300;
    QTest::newRow("zero time-out") << 0 << 300 << 1 << 300;
    QTest::newRow("negative time-out") << -1 << 300 << 1 << 300;
    QTest::newRow("zero period falls back to 50 ms") << 8000 << 0 << 160 << 50;
    QTest::newRow("negative period falls back to 50 ms") << 8000 << -300 << 160 << 50;
}

void TestPrintManagerLink::sendGivesUpWhileTheInputFileStays()
{
    QFETCH(int, timeout);
    QFETCH(int, repeatPeriod);
    QFETCH(int, attempts);
    QFETCH(int, spacing);
    LinkFixture f;
    f.config.repeatPeriod = repeatPeriod;
    const QByteArray pending("document the print manager has not taken yet");
    QVERIFY(TestPaths::writeFile(f.input(), pending));
    f.link.set_command_text(QByteArray("\x1b\x11\x1b\x65"));

    QVERIFY(!f.link.tm_send(timeout));
    QCOMPARE(f.files.copyTimes, evenlySpaced(attempts, spacing));
    QVERIFY(!QFile::exists(f.staging()));
    QCOMPARE(TestPaths::readFile(f.input()), pending);
    QCOMPARE(f.filesInFolder(), QStringList{u"blocek.txt"_s});
}

void TestPrintManagerLink::sendSucceedsOnceThePrintManagerTakesTheInput_data()
{
    QTest::addColumn<int>("takenAtMs");
    QTest::addColumn<bool>("sent");
    QTest::addColumn<int>("attempts");

    QTest::newRow("before the third attempt") << 900 << true << 3;
    QTest::newRow("between attempts") << 1000 << true << 4;
    QTest::newRow("just before the last attempt") << 7800 << true << 26;
    QTest::newRow("after the last attempt") << 7801 << false << 26;
}

void TestPrintManagerLink::sendSucceedsOnceThePrintManagerTakesTheInput()
{
    QFETCH(int, takenAtMs);
    QFETCH(bool, sent);
    QFETCH(int, attempts);
    LinkFixture f;
    f.config.repeatPeriod = 300;
    QVERIFY(TestPaths::writeFile(f.input(), "previous document"));
    f.clock.setSleepHook([&f, takenAtMs](qint64 now) {
        if (now >= takenAtMs)
            QFile::remove(f.input());
    });
    const QByteArray command("\x1b\x21\x64");
    f.link.set_command_text(command);

    QCOMPARE(f.link.tm_send(8000), sent);
    QCOMPARE(f.files.copyTimes.size(), attempts);
    if (sent) {
        QCOMPARE(TestPaths::readFile(f.input()), command);
        QCOMPARE(TestPaths::readFile(f.staging()), command);
    } else {
        QVERIFY(!QFile::exists(f.staging()));
    }
}

void TestPrintManagerLink::pollUntil_data()
{
    QTest::addColumn<int>("timeout");
    QTest::addColumn<int>("repeatPeriod");
    QTest::addColumn<int>("readyAtPoll"); // 0: never
    QTest::addColumn<bool>("result");
    QTest::addColumn<int>("checks");
    QTest::addColumn<int>("pause");

    QTest::newRow("ready at once") << 8000 << 300 << 1 << true << 1 << 300;
    QTest::newRow("ready at the third poll") << 8000 << 300 << 3 << true << 3 << 300;
    QTest::newRow("ready at the last poll") << 8000 << 300 << 26 << true << 26 << 300;
    QTest::newRow("never ready") << 8000 << 300 << 0 << false << 26 << 300;
    QTest::newRow("time-out below the period still looks once") << 200 << 300 << 0 << false << 1 << 300;
    QTest::newRow("zero period") << 500 << 0 << 0 << false << 10 << 50;
}

void TestPrintManagerLink::pollUntil()
{
    QFETCH(int, timeout);
    QFETCH(int, repeatPeriod);
    QFETCH(int, readyAtPoll);
    QFETCH(bool, result);
    QFETCH(int, checks);
    QFETCH(int, pause);
    LinkFixture f;
    f.config.repeatPeriod = repeatPeriod;
    int checked = 0;
    QCOMPARE(f.link.pollUntil(timeout, [&] { return ++checked == readyAtPoll; }), result);
    QCOMPARE(checked, checks);
    // One pause after every miss, none after the hit.
    QCOMPARE(f.clock.sleeps(), QList<qint64>(result ? checks - 1 : checks, pause));
}

void TestPrintManagerLink::removeFileOnRealFiles_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<bool>("repeatDeletion");

    QTest::newRow("missing") << false << false;
    QTest::newRow("missing, repeating") << false << true;
    QTest::newRow("present") << true << false;
    QTest::newRow("present, repeating") << true << true;
}

void TestPrintManagerLink::removeFileOnRealFiles()
{
    QFETCH(bool, present);
    QFETCH(bool, repeatDeletion);
    LinkFixture f;
    f.config.repeatDeletion = repeatDeletion;
    const QString path = f.dir.filePath(u"info.txt"_s);
    if (present)
        QVERIFY(TestPaths::writeFile(path, "1\r\n"));

    QVERIFY(f.link.remove_file(path).ok());
    QVERIFY(!QFile::exists(path));
    QCOMPARE(f.files.deletes, present ? 1 : 0);
    QVERIFY(f.clock.sleeps().isEmpty());
}

void TestPrintManagerLink::removeFileThatResists_data()
{
    QTest::addColumn<bool>("repeatDeletion");
    QTest::addColumn<int>("refusals");
    QTest::addColumn<unsigned>("refusalError");
    QTest::addColumn<unsigned>("error");
    QTest::addColumn<int>("deletes");

    QTest::newRow("refused once, single try")
        << false << 1 << WinError::AccessDenied << WinError::AccessDenied << 1;
    QTest::newRow("refused three times, repeating")
        << true << 3 << WinError::AccessDenied << WinError::NoError << 4;
    QTest::newRow("lingers after two accepted deletes, repeating")
        << true << 2 << WinError::NoError << WinError::NoError << 3;
    QTest::newRow("removed by someone else meanwhile")
        << false << 1 << WinError::FileNotFound << WinError::NoError << 1;
}

void TestPrintManagerLink::removeFileThatResists()
{
    QFETCH(bool, repeatDeletion);
    QFETCH(int, refusals);
    QFETCH(unsigned, refusalError);
    QFETCH(unsigned, error);
    QFETCH(int, deletes);
    Configuration config;
    config.repeatDeletion = repeatDeletion;
    FakeWindowFinder windows;
    StubbornFileSystem files;
    files.refusals = refusals;
    files.refusalError = refusalError;
    ManualLinkClock clock;
    PrintManagerLink link(config, windows, files, clock);

    QCOMPARE(link.remove_file(u"fm_sts.bin"_s).error, error);
    QCOMPARE(files.deletes, deletes);
}

void TestPrintManagerLink::repeatedDeletionOfAnUndeletableFileIsBounded_data()
{
    QTest::addColumn<unsigned>("refusalError");
    QTest::addColumn<unsigned>("reported");

    QTest::newRow("access denied") << WinError::AccessDenied << WinError::AccessDenied;
    QTest::newRow("accepted but never gone") << WinError::NoError << WinError::FileExists;
}

void TestPrintManagerLink::repeatedDeletionOfAnUndeletableFileIsBounded()
{
    QFETCH(unsigned, refusalError);
    QFETCH(unsigned, reported);
    Configuration config;
    config.repeatDeletion = true;
    FakeWindowFinder windows;
    StubbornFileSystem files;
    files.refusals = StubbornFileSystem::Forever;
    files.refusalError = refusalError;
    ManualLinkClock clock;
    PrintManagerLink link(config, windows, files, clock);

    QCOMPARE(link.remove_file(u"info.txt"_s).error, reported);
    QVERIFY(clock.nowMs() >= PrintManagerLink::RepeatedDeletionLimitMs);
    QVERIFY(clock.nowMs() < PrintManagerLink::RepeatedDeletionLimitMs + 100);
    QVERIFY(files.deletes > 1);
    QVERIFY(files.deletes <=
            PrintManagerLink::RepeatedDeletionLimitMs / PrintManagerLink::RepeatedDeletionPauseMs + 1);
}

void TestPrintManagerLink::waitOnTheRealClockLastsAtLeastTheTime()
{
    Configuration config;
    FakeWindowFinder windows;
    StubbornFileSystem files;
    SteadyLinkClock clock;
    PrintManagerLink link(config, windows, files, clock);

    const auto start = std::chrono::steady_clock::now();
    link.wait_ms(50);
    QVERIFY(std::chrono::steady_clock::now() - start >= std::chrono::milliseconds(50));
}

QTEST_GUILESS_MAIN(TestPrintManagerLink)
#include "tst_printmanagerlink.moc"

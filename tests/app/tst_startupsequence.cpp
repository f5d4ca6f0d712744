#include "FakePlatform.h"
#include "ScriptedDialogs.h"
#include "TestPaths.h"
#include "app/AppContext.h"
#include "app/StartupSequence.h"
#include "app/StartupView.h"
#include "base/WinErrorText.h"
#include "link/ManualLinkClock.h"
#include "link/PrintManagerLink.h"
#include "link/PrinterDetection.h"
#include "platform/FileSystem.h"
#include "pos/PrintPendingRecord.h"
#include "pos/TillIdentity.h"
#include "pos/TillLock.h"

#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <map>

using namespace Qt::StringLiterals;

namespace {

class RecordingView : public StartupView
{
public:
    void setStatusPanel(int panel, const QString &text) override { panels[panel] = text; }
    void setStatusHint(const QString &text) override { hint = text; }
    void setTrayHint(const QString &text) override { trayHint = text; }
    void SetTrayImage(int image) override { trayImage = image; }
    void enableTimer() override { timerEnabled = true; }

    std::map<int, QString> panels;
    QString hint;
    QString trayHint;
    int trayImage = -1;
    bool timerEnabled = false;
};

class ScriptedPrinter : public PrinterDetection
{
public:
    bool detect_fm() override
    {
        ++detections;
        return found;
    }
    int online_sts() override { return found ? 1 : 0; }
    bool read_info_reply(int timeoutMs) override
    {
        infoTimeout = timeoutMs;
        return true;
    }

    bool found = false;
    int detections = 0;
    int infoTimeout = -1;
};

// Refuses to delete one file, as when another program holds it open.
class StubbornFileSystem : public platform::FileSystem
{
public:
    platform::FileStatus copyFileNoOverwrite(const std::string &a, const std::string &b) override
    {
        return m_real->copyFileNoOverwrite(a, b);
    }
    platform::FileStatus copyFileReplace(const std::string &a, const std::string &b) override
    {
        return m_real->copyFileReplace(a, b);
    }
    platform::FileStatus deleteFile(const std::string &path) override
    {
        return path == stuck ? platform::FileStatus{32} : m_real->deleteFile(path);
    }
    platform::FileStatus clearAttributes(const std::string &path) override
    {
        return m_real->clearAttributes(path);
    }
    bool fileExists(const std::string &path) const override { return m_real->fileExists(path); }
    bool directoryExists(const std::string &path) const override { return m_real->directoryExists(path); }
    platform::FileStatus createDirectory(const std::string &path) override
    {
        return m_real->createDirectory(path);
    }
    platform::AccessProbe probeAccess(const std::string &path, platform::AccessMode mode) override
    {
        return m_real->probeAccess(path, mode);
    }
    platform::FileStatus createEmptyFile(const std::string &path) override
    {
        return m_real->createEmptyFile(path);
    }

    std::string stuck;

private:
    std::unique_ptr<platform::FileSystem> m_real = platform::createFileSystem();
};

const QByteArray kMessages =
    "[MSG_108]\r\nnot answering\r\n[MSG_113]\r\ntray hint\r\n[MSG_114]\r\nother pos\r\n"
    "[MSG_115]\r\nother pos caption\r\n[MSG_118]\r\nretry?\r\n[MSG_119]\r\nnot found\r\n"
    "[MSG_187]\r\naccess caption";

// A program folder with its configuration, language file and a running print manager.
class StartupFixture
{
public:
    explicit StartupFixture(platform::FileSystem *files = nullptr)
        : m_files(files ? nullptr : platform::createFileSystem()),
          context(m_dir.path(), dialogs, windows, files ? *files : *m_files),
          link(context.config, windows, context.files, clock)
    {
        QDir(m_dir.path()).mkpath(u"cennik"_s);
        TestPaths::writeFile(file(u"vx60_sk.msg"_s), kMessages);
        writeMainConfig("opozdenie=2000\r\n");
        windows.titles.insert("RL70ZQ");
    }

    QString file(const QString &name) const { return m_dir.filePath(name); }
    void writeMainConfig(const QByteArray &configKeys) const
    {
        TestPaths::writeFile(file(u"qd60_cfg.ini"_s), "[CONFIG]\r\n" + configKeys);
    }
    void writePointOfSale(const QByteArray &content) const
    {
        TestPaths::writeFile(file(u"cennik/pokladna.ini"_s), content);
    }
    StartupSequence::Outcome run(const QStringList &arguments = {})
    {
        StartupSequence startup(context, view, {link, printer, osVersion, priority});
        return startup.run(QStringList{file(u"omira-predaj"_s)} + arguments);
    }
    QByteArray log() const { return TestPaths::readFile(file(u"fm_err.txt"_s)); }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<platform::FileSystem> m_files;

public:
    ScriptedDialogs dialogs;
    FakeWindowFinder windows;
    FakeOsVersionQuery osVersion;
    FakeProcessPriority priority;
    ManualLinkClock clock;
    AppContext context;
    PrintManagerLink link;
    ScriptedPrinter printer;
    RecordingView view;
};

} // namespace

class TestStartupSequence : public QObject
{
    Q_OBJECT

private slots:
    void foundPrinterStartsTheTimer();
    void demoModeLeavesTheTimerOff();
    void missingMessageFileIsSaidWithItsPath();
    void printerNotFoundAsksUntilNo();
    void missingPrintManagerAsks_data();
    void missingPrintManagerAsks();
    void otherPointOfSaleEndsTheProgram();
    void accessTests();
    void accessTestFailureShowsThePathAndTheErrorText();
    void noAccessTestsWhenSwitchedOff();
    void leftOverFilesAreRemoved();
    void undeletableInputFileIsLoggedAndStartGoesOn();
    void tillNumberRunsOnceOnADataFolder_data();
    void tillNumberRunsOnceOnADataFolder();
    void receiptLeftOnTheInputSettlesItsNote_data();
    void receiptLeftOnTheInputSettlesItsNote();
    void voucherLeftOnTheInputIsToldToTheCashier();
};

void TestStartupSequence::foundPrinterStartsTheTimer()
{
    StartupFixture fixture;
    fixture.printer.found = true;
    fixture.writeMainConfig("opozdenie=2000\r\napl_priority=128\r\n");
    QCOMPARE(fixture.run(), StartupSequence::Outcome::Continue);
    QCOMPARE(fixture.view.panels[0], u"Ver. 3.0.2"_s);
    QCOMPARE(fixture.view.panels[3], u"Windows 7 6.1.7601"_s);
    QCOMPARE(fixture.view.hint, u"Windows 7 6.1.7601"_s);
    QCOMPARE(fixture.view.trayHint, u"tray hint"_s);
    QCOMPARE(fixture.priority.applied, 128u);
    QVERIFY(fixture.clock.sleeps().contains(2000));
    QCOMPARE(fixture.printer.infoTimeout, 15000);
    QVERIFY(fixture.view.timerEnabled);
    QCOMPARE(fixture.view.trayImage, 0);
    QVERIFY(fixture.dialogs.shown().isEmpty());
    QVERIFY(fixture.log().contains(") Deleted files during start-up \r\n"));
    QVERIFY(!fixture.log().contains("Files found"));
}

void TestStartupSequence::demoModeLeavesTheTimerOff()
{
    StartupFixture fixture;
    fixture.printer.found = true;
    fixture.writePointOfSale("[CONFIG]\r\nDEMO=1\r\n");
    QCOMPARE(fixture.run(), StartupSequence::Outcome::Continue);
    QVERIFY(!fixture.view.timerEnabled);
    QCOMPARE(fixture.view.trayImage, 0);
}

// The language layer only reports; the start-up tells the user and goes on with placeholders.
void TestStartupSequence::missingMessageFileIsSaidWithItsPath()
{
    StartupFixture fixture;
    fixture.printer.found = true;
    QVERIFY(QFile::remove(fixture.file(u"vx60_sk.msg"_s)));
    QCOMPARE(fixture.run(), StartupSequence::Outcome::Continue);
    QCOMPARE(fixture.dialogs.shown().size(), 1);
    const UserDialogs::Message &box = fixture.dialogs.shown()[0];
    QCOMPARE(box.text, fixture.file(u"vx60_sk.msg"_s));
    QCOMPARE(box.caption, u"Omira language file doesn't exists"_s);
    QCOMPARE(box.icon, UserDialogs::Icon::Warning);
    QCOMPARE(fixture.view.trayHint, u"[MSG_113]"_s);
}

void TestStartupSequence::printerNotFoundAsksUntilNo()
{
    StartupFixture fixture;
    fixture.dialogs.queueAnswer(UserDialogs::Answer::Yes);
    fixture.dialogs.queueAnswer(UserDialogs::Answer::No);
    QCOMPARE(fixture.run(), StartupSequence::Outcome::Continue);
    QCOMPARE(fixture.printer.detections, 2);
    QCOMPARE(fixture.dialogs.shown().size(), 2);
    const UserDialogs::Message &question = fixture.dialogs.shown()[0];
    QCOMPARE(question.text, u"retry?"_s);
    QCOMPARE(question.caption, u"not found"_s);
    QCOMPARE(question.buttons, UserDialogs::Buttons::YesNo);
    QVERIFY(!question.ownedByMainWindow);
    QCOMPARE(fixture.view.panels[3], u"not answering"_s);
    QVERIFY(!fixture.view.timerEnabled);
}

void TestStartupSequence::missingPrintManagerAsks_data()
{
    QTest::addColumn<UserDialogs::Answer>("answer");
    QTest::addColumn<StartupSequence::Outcome>("outcome");
    QTest::newRow("No ends") << UserDialogs::Answer::No << StartupSequence::Outcome::EndProgram;
    QTest::newRow("Yes goes on") << UserDialogs::Answer::Yes << StartupSequence::Outcome::Continue;
}

void TestStartupSequence::missingPrintManagerAsks()
{
    QFETCH(UserDialogs::Answer, answer);
    QFETCH(StartupSequence::Outcome, outcome);
    StartupFixture fixture;
    fixture.windows.titles.clear();
    fixture.writePointOfSale("[CONFIG]\r\nTM=Manazer\r\n");
    fixture.printer.found = true;
    fixture.dialogs.queueAnswer(answer);
    QCOMPARE(fixture.run(), outcome);
    const UserDialogs::Message &question = fixture.dialogs.shown().first();
    QCOMPARE(question.text,
             u"Nepodarilo sa zdetekovat Tlačový manažér.\r\nBez spustenia tohoto programu nie je "
             u"možná tlač dokladov.\r\nPokračovať v spusteni pokladne?"_s);
    QCOMPARE(question.caption, u"Manazer"_s);
    QCOMPARE(question.defaultAnswer, UserDialogs::Answer::No);
    QCOMPARE(question.icon, UserDialogs::Icon::Warning);
    QVERIFY(question.topMost);
    QCOMPARE(fixture.printer.detections, outcome == StartupSequence::Outcome::Continue ? 1 : 0);
}

void TestStartupSequence::otherPointOfSaleEndsTheProgram()
{
    StartupFixture fixture;
    fixture.windows.titles.insert("POKLTM");
    QCOMPARE(fixture.run(), StartupSequence::Outcome::EndProgram);
    QCOMPARE(fixture.dialogs.shown().size(), 1);
    QCOMPARE(fixture.dialogs.shown()[0].text, u"other pos"_s);
    QCOMPARE(fixture.dialogs.shown()[0].caption, u"other pos caption"_s);
    QVERIFY(fixture.dialogs.shown()[0].ownedByMainWindow);
    QCOMPARE(fixture.printer.detections, 0);
}

void TestStartupSequence::accessTests()
{
    StartupFixture fixture;
    fixture.printer.found = true;
    TestPaths::writeFile(fixture.file(u"zurnal.txt"_s), QByteArray());
    TestPaths::writeFile(fixture.file(u"debug.txt"_s), "kept");
    QCOMPARE(fixture.run(), StartupSequence::Outcome::Continue);
    QVERIFY(fixture.dialogs.shown().isEmpty());
    // Tested files that are empty are not left behind; others stay as they were.
    QVERIFY(!QFile::exists(fixture.file(u"zurnal.txt"_s)));
    QVERIFY(!QFile::exists(fixture.file(u"info.txt"_s)));
    QCOMPARE(TestPaths::readFile(fixture.file(u"debug.txt"_s)), QByteArray("kept"));
    QVERIFY(QFile::exists(fixture.file(u"qd60_cfg.ini"_s)));
}

void TestStartupSequence::accessTestFailureShowsThePathAndTheErrorText()
{
    StartupFixture fixture;
    fixture.printer.found = true;
    const QString unreachable = fixture.file(u"missing/zurnal.txt"_s);
    QCOMPARE(fixture.run({u"/fout"_s, unreachable}), StartupSequence::Outcome::Continue);
    QCOMPARE(fixture.dialogs.shown().size(), 1);
    const UserDialogs::Message &box = fixture.dialogs.shown()[0];
    QCOMPARE(box.text, unreachable + u"\r\n\n"_s + WinErrorText(3));
    QCOMPARE(box.caption, u"access caption"_s);
    QCOMPARE(box.buttons, UserDialogs::Buttons::Ok);
}

void TestStartupSequence::noAccessTestsWhenSwitchedOff()
{
    StartupFixture fixture;
    fixture.printer.found = true;
    fixture.writeMainConfig("prava=0\r\nerr_file=0\r\npath_out=" + fixture.file(u"missing/x"_s).toUtf8() +
                            "\r\n");
    TestPaths::writeFile(fixture.file(u"zurnal.txt"_s), QByteArray());
    QCOMPARE(fixture.run(), StartupSequence::Outcome::Continue);
    QVERIFY(fixture.dialogs.shown().isEmpty());
    QVERIFY(QFile::exists(fixture.file(u"cennik"_s)));
    QVERIFY(!QFile::exists(fixture.file(u"debug.txt"_s)));
    QVERIFY(!QFile::exists(fixture.file(u"fm_err.txt"_s)));
}

void TestStartupSequence::leftOverFilesAreRemoved()
{
    StartupFixture fixture;
    fixture.printer.found = true;
    const QString exchange = fixture.file(u"pm"_s);
    QDir().mkpath(exchange);
    fixture.writePointOfSale("[CONFIG]\r\nTL_MAN=" + exchange.toUtf8() + "/blocek*.txt\r\n");
    TestPaths::writeFile(fixture.file(u"terminate"_s), QByteArray());
    TestPaths::writeFile(exchange + u"/blocek.txt"_s, "old document");
    TestPaths::writeFile(fixture.file(u"blocek.txt"_s), "old input");
    QCOMPARE(fixture.run(), StartupSequence::Outcome::Continue);
    QVERIFY(!QFile::exists(fixture.file(u"terminate"_s)));
    QVERIFY(!QFile::exists(exchange + u"/blocek.txt"_s));
    QVERIFY(!QFile::exists(fixture.file(u"blocek.txt"_s)));
    const QByteArray log = fixture.log();
    QVERIFY(log.indexOf(") Files found during start-up \r\n") <
            log.indexOf(") Deleted files during start-up \r\n"));
    QVERIFY(log.contains("Files found"));
}

void TestStartupSequence::undeletableInputFileIsLoggedAndStartGoesOn()
{
    StubbornFileSystem files;
    StartupFixture fixture(&files);
    files.stuck = fixture.file(u"blocek.txt"_s).toStdString();
    fixture.printer.found = true;
    TestPaths::writeFile(fixture.file(u"blocek.txt"_s), "stuck");
    QCOMPARE(fixture.run(), StartupSequence::Outcome::Continue);
    QVERIFY(QFile::exists(fixture.file(u"blocek.txt"_s)));
    const QByteArray log = fixture.log();
    QVERIFY(log.contains("Could not delete the input file"));
    QVERIFY(log.contains(") Deleted files during start-up \r\n"));
    // The deletion gave up after its bound instead of blocking the start.
    qint64 waited = 0;
    for (const qint64 pause : fixture.clock.sleeps())
        waited += pause == 5 ? pause : 0;
    QVERIFY(waited >= StartupSequence::DeletionLimitMs);
    QVERIFY(waited < StartupSequence::DeletionLimitMs + 100);
}

void TestStartupSequence::tillNumberRunsOnceOnADataFolder_data()
{
    QTest::addColumn<QByteArray>("pointOfSale");
    QTest::addColumn<StartupSequence::Outcome>("outcome");
    QTest::newRow("the same number") << QByteArray() << StartupSequence::Outcome::EndProgram;
    QTest::newRow("another number") << QByteArray("[CONFIG]\r\nPOKLADNA=2\r\n")
                                    << StartupSequence::Outcome::Continue;
}

// Till 1 already runs on the data folder (from another program folder or machine).
void TestStartupSequence::tillNumberRunsOnceOnADataFolder()
{
    QFETCH(QByteArray, pointOfSale);
    QFETCH(StartupSequence::Outcome, outcome);
    StartupFixture fixture;
    fixture.printer.found = true;
    if (!pointOfSale.isEmpty())
        fixture.writePointOfSale(pointOfSale);
    TestPaths::writeFile(fixture.file(u"blocek.txt"_s), "receipt of this till");
    TillLock running(fixture.file(u"cennik"_s), 1);
    QCOMPARE(running.take(), TillLock::Result::Taken);

    QCOMPARE(fixture.run(), outcome);

    if (outcome == StartupSequence::Outcome::Continue) {
        QVERIFY(fixture.dialogs.shown().isEmpty());
        QVERIFY(fixture.context.tillLock);
        QCOMPARE(TillLock(fixture.file(u"cennik"_s), 2).take(), TillLock::Result::HeldByAnother);
        return;
    }
    QCOMPARE(fixture.dialogs.shown().size(), 1);
    const UserDialogs::Message &box = fixture.dialogs.shown().constFirst();
    QCOMPARE(box.caption, u"Program Omira"_s);
    QCOMPARE(box.buttons, UserDialogs::Buttons::Ok);
    for (const QString &part :
         {u"Pokladňa číslo 1 už pracuje"_s, QSysInfo::machineHostName(),
          QString::number(QCoreApplication::applicationPid()), u"kľúč POKLADNA v sekcii [CONFIG]"_s,
          QDir::toNativeSeparators(fixture.file(u"cennik/pokladna.ini"_s)),
          QDir::toNativeSeparators(running.path()), u"Program sa teraz ukončí."_s})
        QVERIFY2(box.text.contains(part), qPrintable(part));
    // The refused till touches nothing: not even the files of its own print manager.
    QCOMPARE(TestPaths::readFile(fixture.file(u"blocek.txt"_s)), QByteArray("receipt of this till"));
    QCOMPARE(fixture.printer.detections, 0);
    QVERIFY(!fixture.context.tillLock);
}

void TestStartupSequence::receiptLeftOnTheInputSettlesItsNote_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<bool>("oldNamedNote");
    QTest::addColumn<bool>("settled");
    const QByteArray receipt = "\x1b"
                               "b^t^DChlieb^k\r\n\x1b"
                               "e";
    QTest::newRow("this till's receipt, never taken") << receipt << false << true;
    QTest::newRow("this till's receipt, note of an earlier version") << receipt << true << true;
    QTest::newRow("another document on the input") << QByteArray("\x1b\x11\x1b"
                                                                 "e")
                                                   << false << false;
}

// A receipt that the start-up finds still on the input and deletes was never printed. Its
// note is settled then, so that no later document that raises the printer's number can pass
// for it.
void TestStartupSequence::receiptLeftOnTheInputSettlesItsNote()
{
    QFETCH(QByteArray, input);
    QFETCH(bool, oldNamedNote);
    QFETCH(bool, settled);
    StartupFixture fixture;
    fixture.printer.found = true;
    const QByteArray receipt = "\x1b"
                               "b^t^DChlieb^k\r\n\x1b"
                               "e";
    const TillIdentity till{QSysInfo::machineHostName(), fixture.file(u"blocek.txt"_s), 1};
    PrintPendingRecord note(fixture.file(u"cennik"_s), till);
    const QString oldNote = fixture.file(u"cennik/lan_bl.pending"_s);
    if (oldNamedNote) {
        TestPaths::writeFile(oldNote, "omira-pending 1\n" + till.linkText().toUtf8() +
                                          "\nPREDAJ_2026\n41\n2026-03-14T09:00:00\n1,2\nend\n");
        TestPaths::writeFile(fixture.file(u"lan_bl.txt"_s), receipt);
    } else {
        PrintPendingRecord::Entry entry{till.linkText(),
                                        1,
                                        u"PREDAJ_2026"_s,
                                        41,
                                        QDateTime::currentDateTime(),
                                        {1, 2},
                                        PrintPendingRecord::hashOf(receipt)};
        QVERIFY(note.write(entry));
    }
    TestPaths::writeFile(fixture.file(u"blocek.txt"_s), input);

    QCOMPARE(fixture.run(), StartupSequence::Outcome::Continue);

    QVERIFY(!QFile::exists(fixture.file(u"blocek.txt"_s)));
    QCOMPARE(note.exists(), !settled);
    QCOMPARE(QFile::exists(oldNote), oldNamedNote && !settled);
    QCOMPARE(fixture.log().contains("was never taken; its items stay open"), settled);
}

// A voucher still on the input was never printed either, and nothing on the screen shows
// it: the cashier is told, so that it can be made again.
void TestStartupSequence::voucherLeftOnTheInputIsToldToTheCashier()
{
    StartupFixture fixture;
    fixture.printer.found = true;
    const QByteArray voucher = "\x1bV^t\x1bk      100.00\r\n\x1bP1      100.00\r\n\x1b"
                               "e";
    const TillIdentity till{QSysInfo::machineHostName(), fixture.file(u"blocek.txt"_s), 1};
    PrintPendingRecord note(fixture.file(u"cennik"_s), till);
    PrintPendingRecord::Entry entry;
    entry.printManagerInput = till.linkText();
    entry.documentBefore = 41;
    entry.printTime = QDateTime::currentDateTime();
    entry.documentHash = PrintPendingRecord::hashOf(voucher);
    entry.kind = PrintPendingRecord::Kind::Deposit;
    entry.amountCents = 10000;
    QVERIFY(note.write(entry));
    TestPaths::writeFile(fixture.file(u"blocek.txt"_s), voucher);

    QCOMPARE(fixture.run(), StartupSequence::Outcome::Continue);

    QVERIFY(!QFile::exists(fixture.file(u"blocek.txt"_s)));
    QVERIFY(!note.exists());
    QCOMPARE(fixture.dialogs.shown().size(), 1);
    QVERIFY2(fixture.dialogs.shown()[0].text.startsWith(u"Vklad 100.00 EUR zostal"_s),
             qPrintable(fixture.dialogs.shown()[0].text));
}

QTEST_GUILESS_MAIN(TestStartupSequence)
#include "tst_startupsequence.moc"

#pragma once

// Helpers of the tests that drive the built program as a real process on an X display:
// a program folder of its own, xdotool, message boxes answered by keys, close requests
// from the window system and a second display for a second session.
#include "TestPaths.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <memory>

#include <signal.h>
#include <sys/types.h>

class QWidget;
namespace platform {
class WindowFinder;
}

inline constexpr int kTimeoutMs = 20000;

// A program folder holding a copy of the built program and its files.
class ProgramFolder
{
public:
    explicit ProgramFolder(const QByteArray &pointOfSaleKeys)
    {
        QDir(path()).mkpath(QStringLiteral("cennik"));
        QFile::copy(QStringLiteral(OMIRA_PROGRAM_EXE), executable());
        for (const QString &name : {QStringLiteral("vx60_sk.msg"), QStringLiteral("vx60_sk.lng")})
            QFile::copy(TestPaths::shippedLanguageFile(name), file(name));
        // With the trace lines on, the log tells how the detection went.
        TestPaths::writeFile(file(QStringLiteral("qd60_cfg.ini")),
                             "[CONFIG]\r\nopozdenie=0\r\nfilelog=1\r\n");
        // A print manager that does not answer is given up quickly; the sale screen only
        // opens where a test asks for it (the first of duplicate keys wins).
        TestPaths::writeFile(file(QStringLiteral("cennik/pokladna.ini")),
                             "[CONFIG]\r\n" + pointOfSaleKeys +
                                 "LAN_DC=600\r\nLAN_INFO=600\r\nLAN_REPEAT=50\r\nPOKL_START=0\r\n");
    }
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }
    QString executable() const { return file(QStringLiteral("omira-predaj")); }
    // The price list of one card, "MLIEKO polotučné 1 l" (code 100, 0.89 per "ks", VAT level 1).
    bool writeMilkPriceList() const;
    QByteArray log() const { return TestPaths::readFile(file(QStringLiteral("fm_err.txt"))); }
    // The kinds of the requests the simulator received, in order ("status", "info", ...).
    QStringList journal() const
    {
        QStringList kinds;
        const QStringList names = QDir(file(QStringLiteral("journal")))
                                      .entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
        for (const QString &name : names)
            kinds.append(name.section(u'-', 1).chopped(4));
        return kinds;
    }
    // The documents of kind `kind` ("receipt", "deposit", ...) the simulator received, as it
    // received them, in order.
    QList<QByteArray> journalFiles(const QString &kind) const
    {
        QList<QByteArray> files;
        const QDir journal(file(QStringLiteral("journal")));
        for (const QString &name :
             journal.entryList({QStringLiteral("*-%1.txt").arg(kind)}, QDir::Files, QDir::Name))
            files.append(TestPaths::readFile(journal.filePath(name)));
        return files;
    }

private:
    QTemporaryDir m_dir;
};

// The processes a test case started (the program, its simulator): all of them are killed
// when the case is over, so that a failed case leaves nothing running for the next one.
class StartedPrograms
{
public:
    StartedPrograms() = default;
    StartedPrograms(const StartedPrograms &) = delete;
    StartedPrograms &operator=(const StartedPrograms &) = delete;
    ~StartedPrograms() { endAll(); }

    QProcess *start(const QString &program, const QStringList &arguments, const QString &folder,
                    const QProcessEnvironment &environment);
    void endAll();

private:
    QList<QProcess *> m_processes;
};

// An unmapped top-level window with a title, like a program sitting in the tray.
std::unique_ptr<QWidget> makeWindow(const QString &title);
// waitForFinished alone says false for a process whose end was already seen while
// the test waited for something else.
bool hasEnded(QProcess &process);
// xdotool with the given arguments, bounded in time; true when it succeeded.
bool xdotool(const QStringList &arguments);
// Types `keys` into the window titled exactly `title` once it is there; true when the
// window has gone afterwards.
bool answerBox(const platform::WindowFinder &windows, const QString &title, const QString &keys);
// What a shutdown or a script does to a program's window: a close request from the
// window system to every top-level window titled `title` that accepts one.
int requestClose(const QString &title);
// The desktop's system tray has an owner (the tray host is ready for icons).
bool systemTrayOwned();

// A second X display of its own, as a second session of the same machine has: the single
// instance check looks for the program's window on its own display only, so two tills of one
// machine run in two sessions.
class SecondDisplay
{
public:
    bool start()
    {
        for (int number = 141; number < 190; ++number) {
            if (displayTaken(number))
                continue;
            m_name = QStringLiteral(":%1").arg(number);
            m_server.start(QStringLiteral("Xvfb"),
                           {m_name, QStringLiteral("-screen"), QStringLiteral("0"),
                            QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                            QStringLiteral("tcp"), QStringLiteral("-noreset")});
            if (m_server.waitForStarted() &&
                QTest::qWaitFor([this] { return run(QStringLiteral("xdpyinfo"), {}); }, 10000))
                return true;
            m_server.kill();
            m_server.waitForFinished();
        }
        return false;
    }
    ~SecondDisplay()
    {
        // A terminated server removes its lock and socket; a killed one leaves them behind.
        m_server.terminate();
        if (!m_server.waitForFinished(5000)) {
            m_server.kill();
            m_server.waitForFinished();
        }
    }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), m_name);
        return environment;
    }
    bool xdotool(const QStringList &arguments) const
    {
        return run(QStringLiteral("timeout"),
                   QStringList{QStringLiteral("20"), QStringLiteral("xdotool")} + arguments);
    }
    bool windowExists(const QString &title) const
    {
        return xdotool({QStringLiteral("search"), QStringLiteral("--name"),
                        u'^' + QRegularExpression::escape(title) + u'$'});
    }
    // As answerBox() on the test's own display.
    bool answerBox(const QString &title, const QString &keys) const
    {
        if (!QTest::qWaitFor([&] { return windowExists(title); }, kTimeoutMs))
            return false;
        const QString pattern = u'^' + QRegularExpression::escape(title) + u'$';
        for (int attempt = 0; attempt < 5; ++attempt) {
            xdotool({QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--onlyvisible"),
                     QStringLiteral("--name"), pattern, QStringLiteral("windowfocus"),
                     QStringLiteral("--sync")});
            xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("50"), keys});
            if (QTest::qWaitFor([&] { return !windowExists(title); }, 2000))
                return true;
        }
        return false;
    }

private:
    // Every server holds a lock. A lock whose server has died, and a socket left without a lock,
    // do not hold the number: the next server takes them over.
    static bool displayTaken(int number)
    {
        QFile lock(QStringLiteral("/tmp/.X%1-lock").arg(number));
        if (!lock.exists())
            return false;
        if (!lock.open(QIODevice::ReadOnly))
            return true;
        const pid_t owner = static_cast<pid_t>(lock.readAll().trimmed().toLongLong());
        return owner > 0 && (::kill(owner, 0) == 0 || errno == EPERM);
    }

    bool run(const QString &program, const QStringList &arguments) const
    {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(program, arguments);
        return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    }

    QString m_name;
    QProcess m_server;
};

#pragma once

#include "platform/FileSystem.h"

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <functional>

struct Configuration;
class LinkClock;

namespace platform {
class WindowFinder;
}

// The file link to the print manager: it hands over one control command at a time by
// copying a staging file onto the print manager's input file, and it offers the waits
// and polls with which the requests look for the reply files. Everything blocks the
// calling thread and processes no events. The link shows no message and writes no log
// line: failures come back as results and the callers report them.
class PrintManagerLink
{
public:
    static constexpr auto StagingFileName = "_blocek.tmp";
    // How long remove_file keeps trying with `mazanie` on before it gives up, and how long
    // it pauses between tries so that another program holding the file gets the processor.
    static constexpr int RepeatedDeletionLimitMs = 3000;
    static constexpr int RepeatedDeletionPauseMs = 5;

    PrintManagerLink(const Configuration &config, const platform::WindowFinder &windows,
                     platform::FileSystem &files, LinkClock &clock);

    // Returns once at least `ms` milliseconds have passed on the link clock.
    void wait_ms(int ms);
    // A top-level window titled exactly by the TM setting exists.
    bool tm_present() const;
    // Deletes the file if it exists; with `mazanie` on it tries again while the file is
    // still there, for at most RepeatedDeletionLimitMs. A file that is gone, or was never
    // there, is success.
    platform::FileStatus remove_file(const QString &path);

    // The command of the next hand-over, in code page 1250; it stays after tm_send.
    const QByteArray &command_text() const { return m_commandText; }
    void set_command_text(const QByteArray &bytes) { m_commandText = bytes; }
    void set_command_text(QStringView text);
    // Hands command_text (up to its first zero byte) to the print manager. True when it
    // was placed on the input file within the time-out; at least one attempt is made.
    bool tm_send(int timeoutMs);

    // LAN_REPEAT, or the fallback of LinkTiming for a value of zero or less.
    int repeatPeriod() const;
    // The number of polls that fit into a time-out, one repeat period each.
    int pollCount(int timeoutMs) const;
    // Checks `ready` and waits one repeat period after every miss, for pollCount(timeout)
    // polls but at least one, so that a reply that is already there is always seen.
    bool pollUntil(int timeoutMs, const std::function<bool()> &ready);

    QString stagingFilePath() const;

private:
    bool writeStagingFile(const QString &path) const;
    platform::FileStatus deleteOnce(const std::string &path);

    const Configuration &m_config;
    const platform::WindowFinder &m_windows;
    platform::FileSystem &m_files;
    LinkClock &m_clock;
    QByteArray m_commandText;
};

#include "link/PrintManagerLink.h"

#include "base/Configuration.h"
#include "base/Cp1250.h"
#include "link/LinkClock.h"
#include "link/LinkTiming.h"
#include "platform/WindowFinder.h"

#include <QFile>

#include <algorithm>

using platform::FileStatus;
namespace WinError = platform::WinError;

PrintManagerLink::PrintManagerLink(const Configuration &config, const platform::WindowFinder &windows,
                                   platform::FileSystem &files, LinkClock &clock)
    : m_config(config), m_windows(windows), m_files(files), m_clock(clock)
{}

void PrintManagerLink::wait_ms(int ms)
{
    m_clock.sleepMs(ms);
}

bool PrintManagerLink::tm_present() const
{
    return m_windows.windowExists(m_config.printManagerTitle.toStdString());
}

FileStatus PrintManagerLink::remove_file(const QString &path)
{
    const std::string file = path.toStdString();
    if (!m_files.fileExists(file))
        return {};
    if (!m_config.repeatDeletion)
        return deleteOnce(file);

    const qint64 deadline = m_clock.nowMs() + RepeatedDeletionLimitMs;
    FileStatus last;
    for (;;) {
        last = deleteOnce(file);
        // A delete can succeed while the file lingers until its last holder closes it,
        // so only the file's absence ends the repetition.
        if (!m_files.fileExists(file))
            return {};
        if (m_clock.nowMs() >= deadline)
            break;
        wait_ms(RepeatedDeletionPauseMs);
    }
    return last.ok() ? FileStatus{WinError::FileExists} : last;
}

FileStatus PrintManagerLink::deleteOnce(const std::string &path)
{
    const FileStatus status = m_files.deleteFile(path);
    // Someone else removed it between the check and the delete: it is gone all the same.
    if (status.error == WinError::FileNotFound || status.error == WinError::PathNotFound)
        return {};
    return status;
}

void PrintManagerLink::set_command_text(QStringView text)
{
    m_commandText = Cp1250::encode(text);
}

bool PrintManagerLink::tm_send(int timeoutMs)
{
    if (!tm_present())
        return false;
    const QString staging = stagingFilePath();
    if (!writeStagingFile(staging))
        return false;

    const std::string source = staging.toStdString();
    const std::string target = m_config.printManagerInput.toStdString();
    // The copy that refuses to overwrite is the only exclusion with the print manager: the
    // input file stays until the print manager has taken the previous command.
    const int attempts = std::max(1, pollCount(timeoutMs));
    for (int attempt = 0; attempt < attempts; ++attempt) {
        wait_ms(repeatPeriod());
        if (m_files.copyFileNoOverwrite(source, target).ok())
            return true;
    }
    m_files.deleteFile(source);
    return false;
}

bool PrintManagerLink::writeStagingFile(const QString &path) const
{
    const qsizetype zero = m_commandText.indexOf('\0');
    const QByteArray bytes = zero < 0 ? m_commandText : m_commandText.first(zero);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    file.close();
    if (!written) {
        // A cut command must never reach the printer.
        file.remove();
        return false;
    }
    return true;
}

int PrintManagerLink::repeatPeriod() const
{
    return LinkTiming::repeatPeriod(m_config.repeatPeriod);
}

int PrintManagerLink::pollCount(int timeoutMs) const
{
    return LinkTiming::pollCount(timeoutMs, m_config.repeatPeriod);
}

bool PrintManagerLink::pollUntil(int timeoutMs, const std::function<bool()> &ready)
{
    const int polls = std::max(1, pollCount(timeoutMs));
    for (int poll = 0; poll < polls; ++poll) {
        if (ready())
            return true;
        wait_ms(repeatPeriod());
    }
    return false;
}

QString PrintManagerLink::stagingFilePath() const
{
    return m_config.exchangeFolder + QLatin1StringView(StagingFileName);
}

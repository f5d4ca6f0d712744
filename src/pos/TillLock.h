#pragma once

#include <QLockFile>
#include <QString>

#include <optional>

// Held by a running till for its whole run: a lock file in the data folder named by the
// till number, so that two tills started with the same number on one data folder (whose
// open documents would then be one) cannot both run. A till that dies leaves the file
// behind; the next start on the same machine finds its process gone and takes the lock
// over. The file's age says nothing: a till may run for weeks.
class TillLock
{
public:
    enum class Result { Taken, HeldByAnother, Failed };

    struct Owner
    {
        qint64 pid = 0;
        QString host;
    };

    TillLock(const QString &dataFolder, int till);

    static QString fileNameFor(int till);

    Result take();
    const QString &path() const { return m_path; }
    // Who holds the lock, as its file says; nothing when that cannot be read.
    std::optional<Owner> owner() const;
    // Why take() failed, for the error log.
    QString errorText() const;

private:
    QString m_path;
    QLockFile m_file;
};

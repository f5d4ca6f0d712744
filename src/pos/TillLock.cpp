#include "pos/TillLock.h"

#include <QDir>

using namespace Qt::StringLiterals;

TillLock::TillLock(const QString &dataFolder, int till)
    : m_path(QDir(dataFolder).filePath(fileNameFor(till))), m_file(m_path)
{
    // Only a dead process on the same machine makes the lock stale, never its age.
    m_file.setStaleLockTime(0);
}

QString TillLock::fileNameFor(int till)
{
    return u"pokladna_%1.lck"_s.arg(till);
}

TillLock::Result TillLock::take()
{
    if (m_file.tryLock(0))
        return Result::Taken;
    return m_file.error() == QLockFile::LockFailedError ? Result::HeldByAnother : Result::Failed;
}

std::optional<TillLock::Owner> TillLock::owner() const
{
    Owner owner;
    QString program;
    if (!m_file.getLockInfo(&owner.pid, &owner.host, &program))
        return std::nullopt;
    return owner;
}

QString TillLock::errorText() const
{
    switch (m_file.error()) {
    case QLockFile::NoError:
        return {};
    case QLockFile::LockFailedError:
        return u"held by another process"_s;
    case QLockFile::PermissionError:
        return u"no permission to create the file"_s;
    case QLockFile::UnknownError:
        break;
    }
    return u"the file cannot be created"_s;
}

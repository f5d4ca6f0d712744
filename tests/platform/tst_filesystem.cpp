#include "platform/FileSystem.h"
#include "platform/PosixErrors.h"
#include "platform/PosixNoReplaceMove.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace platform;

namespace {

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray patternBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return bytes;
}

std::string local(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

// Holds an exclusive advisory lock on a file, as another instance would.
class LockHolder
{
public:
    explicit LockHolder(const QString &path) : m_fd(::open(QFile::encodeName(path).constData(), O_RDONLY))
    {
        if (m_fd >= 0 && ::flock(m_fd, LOCK_EX) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~LockHolder()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool holds() const { return m_fd >= 0; }

private:
    int m_fd;
};

} // namespace

class TestFileSystem : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void copyNoOverwriteMakesWholeTarget();
    void copyNoOverwriteKeepsExistingTarget();
    void copyReplaceReplacesWholeTarget();
    void copyFailures_data();
    void copyFailures();
    void readerNeverSeesPartialTarget_data();
    void readerNeverSeesPartialTarget();
    void moveNoReplaceMethods_data();
    void moveNoReplaceMethods();

    void deleteFile_data();
    void deleteFile();
    void clearAttributesMakesFileWritable();
    void existence_data();
    void existence();
    void createDirectory_data();
    void createDirectory();

    void probeAccess_data();
    void probeAccess();
    void lockedFileIsSharingViolation();
    void probeAccessInReadOnlyFolder();
    void createEmptyFile_data();
    void createEmptyFile();

    void errnoTranslation_data();
    void errnoTranslation();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QStringList entries() const
    {
        return QDir(m_dir->path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FileSystem> m_files;
};

void TestFileSystem::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir(m_dir->path()).mkdir(u"folder"_s));
    m_files = createFileSystem();
}

void TestFileSystem::cleanup()
{
    // A folder left read-only by a test must not keep the temporary folder from going.
    QFile::setPermissions(path(u"folder"_s), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_dir.reset();
}

void TestFileSystem::copyNoOverwriteMakesWholeTarget()
{
    const QByteArray content = patternBytes(300 * 1024);
    QVERIFY(writeBytes(path(u"source.bin"_s), content));

    const FileStatus status =
        m_files->copyFileNoOverwrite(local(path(u"source.bin"_s)), local(path(u"target.bin"_s)));

    QCOMPARE(status.error, WinError::NoError);
    QCOMPARE(readBytes(path(u"target.bin"_s)), content);
    QCOMPARE(entries(), QStringList({u"folder"_s, u"source.bin"_s, u"target.bin"_s}));
}

void TestFileSystem::copyNoOverwriteKeepsExistingTarget()
{
    QVERIFY(writeBytes(path(u"source.txt"_s), "new command"));
    QVERIFY(writeBytes(path(u"target.txt"_s), "pending document"));

    const FileStatus status =
        m_files->copyFileNoOverwrite(local(path(u"source.txt"_s)), local(path(u"target.txt"_s)));

    QCOMPARE(status.error, WinError::FileExists);
    QCOMPARE(readBytes(path(u"target.txt"_s)), QByteArray("pending document"));
    QCOMPARE(entries(), QStringList({u"folder"_s, u"source.txt"_s, u"target.txt"_s}));
}

void TestFileSystem::copyReplaceReplacesWholeTarget()
{
    QVERIFY(writeBytes(path(u"source.txt"_s), "short"));
    QVERIFY(writeBytes(path(u"target.txt"_s), "a much longer earlier document"));

    const FileStatus status =
        m_files->copyFileReplace(local(path(u"source.txt"_s)), local(path(u"target.txt"_s)));

    QCOMPARE(status.error, WinError::NoError);
    QCOMPARE(readBytes(path(u"target.txt"_s)), QByteArray("short"));
    QCOMPARE(entries(), QStringList({u"folder"_s, u"source.txt"_s, u"target.txt"_s}));
}

void TestFileSystem::copyFailures_data()
{
    QTest::addColumn<bool>("replace");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("target");
    QTest::addColumn<unsigned>("expected");

    for (const bool replace : {false, true}) {
        const char *kind = replace ? "replace" : "no overwrite";
        QTest::addRow("%s: missing source", kind)
            << replace << u"missing.txt"_s << u"target.txt"_s << WinError::FileNotFound;
        QTest::addRow("%s: source in a missing folder", kind)
            << replace << u"nowhere/source.txt"_s << u"target.txt"_s << WinError::PathNotFound;
        QTest::addRow("%s: target in a missing folder", kind)
            << replace << u"source.txt"_s << u"nowhere/target.txt"_s << WinError::PathNotFound;
        QTest::addRow("%s: source is a folder", kind)
            << replace << u"folder"_s << u"target.txt"_s << WinError::AccessDenied;
    }
    QTest::addRow("replace: target is a folder")
        << true << u"source.txt"_s << u"folder"_s << WinError::AccessDenied;
}

void TestFileSystem::copyFailures()
{
    QFETCH(bool, replace);
    QFETCH(QString, source);
    QFETCH(QString, target);
    QFETCH(unsigned, expected);
    QVERIFY(writeBytes(path(u"source.txt"_s), "content"));
    const QStringList before = entries();

    const std::string from = local(path(source));
    const std::string to = local(path(target));
    const FileStatus status =
        replace ? m_files->copyFileReplace(from, to) : m_files->copyFileNoOverwrite(from, to);

    QCOMPARE(status.error, expected);
    QCOMPARE(entries(), before);
    QVERIFY(QDir(path(u"folder"_s)).isEmpty());
}

void TestFileSystem::readerNeverSeesPartialTarget_data()
{
    QTest::addColumn<bool>("replace");
    QTest::newRow("no overwrite") << false;
    QTest::newRow("replace") << true;
}

// The print manager picks up its input file as soon as the name appears; a file that is
// still being written would be read half.
void TestFileSystem::readerNeverSeesPartialTarget()
{
    QFETCH(bool, replace);
    const QByteArray content = patternBytes(16 * 1024 * 1024);
    QVERIFY(writeBytes(path(u"source.bin"_s), content));
    const std::string target = local(path(u"target.bin"_s));
    const off_t earlierSize = 1;
    if (replace)
        QVERIFY(writeBytes(path(u"target.bin"_s), "x"));

    std::atomic<bool> done{false};
    std::atomic<long long> oddSize{-1};
    std::thread reader([&] {
        while (!done) {
            struct stat status = {};
            if (::stat(target.c_str(), &status) == 0 &&
                status.st_size != static_cast<off_t>(content.size()) &&
                !(replace && status.st_size == earlierSize))
                oddSize = status.st_size;
        }
    });
    const std::string source = local(path(u"source.bin"_s));
    const FileStatus status =
        replace ? m_files->copyFileReplace(source, target) : m_files->copyFileNoOverwrite(source, target);
    done = true;
    reader.join();

    QCOMPARE(status.error, WinError::NoError);
    QCOMPARE(oddSize.load(), -1LL);
    QCOMPARE(readBytes(path(u"target.bin"_s)), content);
}

void TestFileSystem::moveNoReplaceMethods_data()
{
    QTest::addColumn<NoReplaceMethod>("method");
    QTest::addColumn<bool>("targetExists");

    const std::pair<const char *, NoReplaceMethod> methods[] = {
        {"hard link", NoReplaceMethod::HardLink},
        {"rename without replacing", NoReplaceMethod::RenameNoReplace},
        {"check, then rename", NoReplaceMethod::CheckThenRename}};
    for (const auto &[name, method] : methods) {
        QTest::addRow("%s, no target", name) << method << false;
        QTest::addRow("%s, target exists", name) << method << true;
    }
}

// Each fallback for file systems without hard links must keep the same promise.
void TestFileSystem::moveNoReplaceMethods()
{
    QFETCH(NoReplaceMethod, method);
    QFETCH(bool, targetExists);
    QVERIFY(writeBytes(path(u"staged"_s), "staged"));
    if (targetExists)
        QVERIFY(writeBytes(path(u"target"_s), "earlier"));

    const int error = moveNoReplace(local(path(u"staged"_s)), local(path(u"target"_s)), method);

    if (error == EINVAL || error == EOPNOTSUPP)
        QSKIP("The file system of the temporary folder does not offer this method");
    QCOMPARE(error, targetExists ? EEXIST : 0);
    QCOMPARE(readBytes(path(u"target"_s)), QByteArray(targetExists ? "earlier" : "staged"));
    QCOMPARE(QFile::exists(path(u"staged"_s)), targetExists);
}

void TestFileSystem::deleteFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<unsigned>("expected");

    QTest::newRow("existing file") << u"file.txt"_s << WinError::NoError;
    QTest::newRow("missing file") << u"missing.txt"_s << WinError::FileNotFound;
    QTest::newRow("file in a missing folder") << u"nowhere/file.txt"_s << WinError::PathNotFound;
    QTest::newRow("folder") << u"folder"_s << WinError::AccessDenied;
}

void TestFileSystem::deleteFile()
{
    QFETCH(QString, name);
    QFETCH(unsigned, expected);
    QVERIFY(writeBytes(path(u"file.txt"_s), "x"));

    QCOMPARE(m_files->deleteFile(local(path(name))).error, expected);
    if (expected == WinError::NoError)
        QVERIFY(!QFile::exists(path(name)));
}

void TestFileSystem::clearAttributesMakesFileWritable()
{
    const QString file = path(u"readonly.txt"_s);
    QVERIFY(writeBytes(file, "start"));
    QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));

    QCOMPARE(m_files->clearAttributes(local(file)).error, WinError::NoError);

    QVERIFY(QFile::permissions(file).testFlag(QFile::WriteOwner));
    QVERIFY(QFile::permissions(file).testFlag(QFile::ReadOther));
    QFile append(file);
    QVERIFY(append.open(QIODevice::Append));
    QCOMPARE(append.write(" end"), 4);
    append.close();
    QCOMPARE(readBytes(file), QByteArray("start end"));
    QCOMPARE(m_files->clearAttributes(local(path(u"missing.txt"_s))).error, WinError::FileNotFound);
}

void TestFileSystem::existence_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("isFile");
    QTest::addColumn<bool>("isDirectory");

    QTest::newRow("file") << u"file.txt"_s << true << false;
    QTest::newRow("folder") << u"folder"_s << false << true;
    QTest::newRow("missing") << u"missing.txt"_s << false << false;
}

void TestFileSystem::existence()
{
    QFETCH(QString, name);
    QFETCH(bool, isFile);
    QFETCH(bool, isDirectory);
    QVERIFY(writeBytes(path(u"file.txt"_s), "x"));

    QCOMPARE(m_files->fileExists(local(path(name))), isFile);
    QCOMPARE(m_files->directoryExists(local(path(name))), isDirectory);
}

void TestFileSystem::createDirectory_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<unsigned>("expected");

    QTest::newRow("new") << u"new"_s << WinError::NoError;
    QTest::newRow("existing folder") << u"folder"_s << WinError::AlreadyExists;
    QTest::newRow("missing parent") << u"nowhere/new"_s << WinError::PathNotFound;
}

void TestFileSystem::createDirectory()
{
    QFETCH(QString, name);
    QFETCH(unsigned, expected);

    QCOMPARE(m_files->createDirectory(local(path(name))).error, expected);
    QCOMPARE(QFileInfo(path(name)).isDir(), expected != WinError::PathNotFound);
}

void TestFileSystem::probeAccess_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<AccessMode>("mode");
    QTest::addColumn<unsigned>("expected");
    QTest::addColumn<quint64>("length");

    QTest::newRow("missing file is created")
        << u"new.txt"_s << AccessMode::Write << WinError::NoError << 0ULL;
    QTest::newRow("missing file, for reading")
        << u"new.txt"_s << AccessMode::Read << WinError::NoError << 0ULL;
    QTest::newRow("existing file") << u"five.txt"_s << AccessMode::Write << WinError::NoError << 5ULL;
    QTest::newRow("existing file, for reading")
        << u"five.txt"_s << AccessMode::Read << WinError::NoError << 5ULL;
    QTest::newRow("missing folder") << u"nowhere/new.txt"_s << AccessMode::Write << WinError::PathNotFound
                                    << 0ULL;
    QTest::newRow("folder") << u"folder"_s << AccessMode::Write << WinError::AccessDenied << 0ULL;
    QTest::newRow("folder, for reading") << u"folder"_s << AccessMode::Read << WinError::AccessDenied << 0ULL;
}

void TestFileSystem::probeAccess()
{
    QFETCH(QString, name);
    QFETCH(AccessMode, mode);
    QFETCH(unsigned, expected);
    QFETCH(quint64, length);
    QVERIFY(writeBytes(path(u"five.txt"_s), "12345"));

    const AccessProbe probe = m_files->probeAccess(local(path(name)), mode);

    QCOMPARE(probe.error, expected);
    QCOMPARE(probe.length, length);
    if (expected == WinError::NoError)
        QCOMPARE(QFileInfo(path(name)).size(), qint64(length));
}

void TestFileSystem::lockedFileIsSharingViolation()
{
    const QString file = path(u"held.txt"_s);
    QVERIFY(writeBytes(file, "held content"));
    LockHolder holder(file);
    QVERIFY(holder.holds());

    QCOMPARE(m_files->probeAccess(local(file), AccessMode::Write).error, WinError::SharingViolation);
    QCOMPARE(m_files->createEmptyFile(local(file)).error, WinError::SharingViolation);
    QCOMPARE(readBytes(file), QByteArray("held content"));
}

void TestFileSystem::probeAccessInReadOnlyFolder()
{
    if (::geteuid() == 0)
        QSKIP("Permissions do not bind root");
    QVERIFY(QFile::setPermissions(path(u"folder"_s), QFile::ReadOwner | QFile::ExeOwner));

    QCOMPARE(m_files->probeAccess(local(path(u"folder/new.txt"_s)), AccessMode::Write).error,
             WinError::AccessDenied);
    QVERIFY(writeBytes(path(u"source.txt"_s), "x"));
    QCOMPARE(
        m_files->copyFileNoOverwrite(local(path(u"source.txt"_s)), local(path(u"folder/target.txt"_s))).error,
        WinError::AccessDenied);
}

void TestFileSystem::createEmptyFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<unsigned>("expected");

    QTest::newRow("existing file is truncated") << u"five.txt"_s << WinError::NoError;
    QTest::newRow("missing file is created") << u"new.txt"_s << WinError::NoError;
    QTest::newRow("missing folder") << u"nowhere/new.txt"_s << WinError::PathNotFound;
    QTest::newRow("folder") << u"folder"_s << WinError::AccessDenied;
}

void TestFileSystem::createEmptyFile()
{
    QFETCH(QString, name);
    QFETCH(unsigned, expected);
    QVERIFY(writeBytes(path(u"five.txt"_s), "12345"));

    QCOMPARE(m_files->createEmptyFile(local(path(name))).error, expected);
    if (expected == WinError::NoError) {
        QVERIFY(QFileInfo(path(name)).isFile());
        QCOMPARE(QFileInfo(path(name)).size(), qint64(0));
    }
}

void TestFileSystem::errnoTranslation_data()
{
    QTest::addColumn<int>("errnoValue");
    QTest::addColumn<unsigned>("expected");

    QTest::newRow("none") << 0 << 0u;
    QTest::newRow("ENOENT") << ENOENT << 2u;
    QTest::newRow("ENOTDIR") << ENOTDIR << 3u;
    QTest::newRow("EACCES") << EACCES << 5u;
    QTest::newRow("EPERM") << EPERM << 5u;
    QTest::newRow("EROFS") << EROFS << 5u;
    QTest::newRow("EISDIR") << EISDIR << 5u;
    QTest::newRow("EBUSY") << EBUSY << 32u;
    QTest::newRow("ETXTBSY") << ETXTBSY << 32u;
    QTest::newRow("EWOULDBLOCK") << EWOULDBLOCK << 32u;
    QTest::newRow("EEXIST") << EEXIST << 80u;
    QTest::newRow("ENOSPC") << ENOSPC << 112u;
    QTest::newRow("EDQUOT") << EDQUOT << 112u;
    QTest::newRow("EFBIG") << EFBIG << 223u;
    QTest::newRow("ENAMETOOLONG") << ENAMETOOLONG << 206u;
    QTest::newRow("EMFILE") << EMFILE << 4u;
    QTest::newRow("ENFILE") << ENFILE << 4u;
    QTest::newRow("ENOMEM") << ENOMEM << 8u;
    QTest::newRow("EBADF") << EBADF << 6u;
    QTest::newRow("EXDEV") << EXDEV << 17u;
    QTest::newRow("ENOTEMPTY") << ENOTEMPTY << 145u;
    QTest::newRow("EILSEQ") << EILSEQ << 123u;
    QTest::newRow("EINVAL") << EINVAL << 87u;
    QTest::newRow("EIO") << EIO << 23u;
    QTest::newRow("unknown: EPIPE") << EPIPE << 31u;
    QTest::newRow("unknown: ELOOP") << ELOOP << 31u;
}

void TestFileSystem::errnoTranslation()
{
    QFETCH(int, errnoValue);
    QFETCH(unsigned, expected);

    QCOMPARE(windowsErrorFromErrno(errnoValue), expected);
}

QTEST_APPLESS_MAIN(TestFileSystem)
#include "tst_filesystem.moc"

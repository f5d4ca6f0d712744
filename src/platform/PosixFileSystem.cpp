#include "platform/PosixFileSystem.h"

#include "platform/PosixErrors.h"
#include "platform/PosixNoReplaceMove.h"
#include "platform/PosixUniqueFd.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {
namespace {

// A copy written completely into a temporary file in the target's folder, waiting to
// be moved onto the target name. The temporary is removed unless it was moved.
class StagedCopy
{
public:
    StagedCopy() = default;
    StagedCopy(const StagedCopy &) = delete;
    StagedCopy &operator=(const StagedCopy &) = delete;
    ~StagedCopy()
    {
        if (!m_path.empty() && !m_moved)
            ::unlink(m_path.c_str());
    }

    unsigned stage(const std::string &source, const std::string &target);
    const std::string &path() const { return m_path; }
    void markMoved() { m_moved = true; }

private:
    unsigned createTemporary(const std::string &target, mode_t mode, PosixUniqueFd &file);

    std::string m_path;
    bool m_moved = false;
};

std::string folderOf(const std::string &path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A fixed-length name, so that a long target name cannot make it too long.
std::string temporaryNameBeside(const std::string &target)
{
    thread_local std::mt19937_64 generator{std::random_device{}()};
    char name[40];
    std::snprintf(name, sizeof name, "/.omira-copy-%016llx.tmp",
                  static_cast<unsigned long long>(generator()));
    return folderOf(target) + name;
}

int copyContents(int from, int to)
{
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got == 0)
            return 0;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t written = ::write(to, buffer.data() + done, static_cast<size_t>(got - done));
            if (written < 0) {
                if (errno == EINTR)
                    continue;
                return errno;
            }
            done += written;
        }
    }
}

unsigned StagedCopy::createTemporary(const std::string &target, mode_t mode, PosixUniqueFd &file)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = temporaryNameBeside(target);
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) {
            m_path = std::move(candidate);
            file.reset(fd);
            return WinError::NoError;
        }
        if (errno != EEXIST)
            return windowsErrorForPath(errno, target);
    }
    return WinError::GeneralFailure;
}

unsigned StagedCopy::stage(const std::string &source, const std::string &target)
{
    PosixUniqueFd input(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (!input.valid())
        return windowsErrorForPath(errno, source);
    struct stat status = {};
    if (::fstat(input.get(), &status) != 0)
        return windowsErrorFromErrno(errno);
    if (S_ISDIR(status.st_mode))
        return WinError::AccessDenied;

    PosixUniqueFd output;
    // The copy takes the source's permissions, as a copy takes the attributes on Windows.
    if (const unsigned error = createTemporary(target, status.st_mode & 0777, output))
        return error;
    int error = copyContents(input.get(), output.get());
    if (error == 0 && ::fsync(output.get()) != 0)
        error = errno;
    const int closeError = output.close();
    return windowsErrorFromErrno(error != 0 ? error : closeError);
}

bool pathExists(const std::string &path)
{
    struct stat status = {};
    return ::lstat(path.c_str(), &status) == 0;
}

// Opens without sharing: another holder of the lock makes it a sharing violation. File
// systems without locks cannot keep anyone out, so their refusal is not a failure.
unsigned lockExclusively(int fd)
{
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK)
        return WinError::NoError;
    return WinError::SharingViolation;
}

} // namespace

FileStatus PosixFileSystem::copyFileNoOverwrite(const std::string &source, const std::string &target)
{
    if (::access(source.c_str(), F_OK) != 0)
        return {windowsErrorForPath(errno, source)};
    // Answers the common case without copying; the move below is what decides.
    if (pathExists(target))
        return {WinError::FileExists};
    StagedCopy copy;
    if (const unsigned error = copy.stage(source, target))
        return {error};
    const int error = moveNoReplace(copy.path(), target);
    if (error == 0)
        copy.markMoved();
    return {windowsErrorForPath(error, target)};
}

FileStatus PosixFileSystem::copyFileReplace(const std::string &source, const std::string &target)
{
    StagedCopy copy;
    if (const unsigned error = copy.stage(source, target))
        return {error};
    if (::rename(copy.path().c_str(), target.c_str()) != 0)
        return {windowsErrorForPath(errno, target)};
    copy.markMoved();
    return {};
}

FileStatus PosixFileSystem::deleteFile(const std::string &path)
{
    if (::unlink(path.c_str()) != 0)
        return {windowsErrorForPath(errno, path)};
    return {};
}

FileStatus PosixFileSystem::clearAttributes(const std::string &path)
{
    struct stat status = {};
    if (::stat(path.c_str(), &status) != 0)
        return {windowsErrorForPath(errno, path)};
    if (::chmod(path.c_str(), (status.st_mode & 07777) | S_IWUSR) != 0)
        return {windowsErrorForPath(errno, path)};
    return {};
}

bool PosixFileSystem::fileExists(const std::string &path) const
{
    struct stat status = {};
    return ::stat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

bool PosixFileSystem::directoryExists(const std::string &path) const
{
    struct stat status = {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

FileStatus PosixFileSystem::createDirectory(const std::string &path)
{
    if (::mkdir(path.c_str(), 0777) == 0)
        return {};
    return {errno == EEXIST ? WinError::AlreadyExists : windowsErrorForPath(errno, path)};
}

AccessProbe PosixFileSystem::probeAccess(const std::string &path, AccessMode mode)
{
    const int access = mode == AccessMode::Write ? O_WRONLY : O_RDONLY;
    PosixUniqueFd file(::open(path.c_str(), access | O_CREAT | O_CLOEXEC, 0666));
    if (!file.valid())
        return {windowsErrorForPath(errno, path)};
    if (const unsigned error = lockExclusively(file.get()))
        return {error};
    struct stat status = {};
    if (::fstat(file.get(), &status) != 0)
        return {windowsErrorFromErrno(errno)};
    return {WinError::NoError, static_cast<std::uint64_t>(status.st_size)};
}

FileStatus PosixFileSystem::createEmptyFile(const std::string &path)
{
    // Truncated only after the lock was taken, so that a holder's file stays whole.
    PosixUniqueFd file(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
    if (!file.valid())
        return {windowsErrorForPath(errno, path)};
    if (const unsigned error = lockExclusively(file.get()))
        return {error};
    if (::ftruncate(file.get(), 0) != 0)
        return {windowsErrorFromErrno(errno)};
    return {windowsErrorFromErrno(file.close())};
}

std::unique_ptr<FileSystem> createFileSystem()
{
    return std::make_unique<PosixFileSystem>();
}

} // namespace platform

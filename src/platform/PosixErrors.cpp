#include "platform/PosixErrors.h"

#include "platform/WindowsErrors.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace platform {

unsigned windowsErrorFromErrno(int errnoValue)
{
    switch (errnoValue) {
    case 0:
        return WinError::NoError;
    case ENOENT:
        return WinError::FileNotFound;
    case ENOTDIR:
        return WinError::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return WinError::AccessDenied;
    case EBUSY:
    case ETXTBSY:
    case EWOULDBLOCK:
        return WinError::SharingViolation;
#if EAGAIN != EWOULDBLOCK
    case EAGAIN:
        return WinError::SharingViolation;
#endif
    case EEXIST:
        return WinError::FileExists;
    case ENOSPC:
    case EDQUOT:
        return WinError::DiskFull;
    case EFBIG:
        return WinError::FileTooLarge;
    case ENAMETOOLONG:
        return WinError::FileNameTooLong;
    case EMFILE:
    case ENFILE:
        return WinError::TooManyOpenFiles;
    case ENOMEM:
        return WinError::NotEnoughMemory;
    case EBADF:
        return WinError::InvalidHandle;
    case EXDEV:
        return WinError::NotSameDevice;
    case ENOTEMPTY:
        return WinError::DirectoryNotEmpty;
    case EILSEQ:
        return WinError::InvalidName;
    case EINVAL:
        return WinError::InvalidParameter;
    // A medium that cannot be read or written: Windows reports a bad sector as a
    // data error, which is what an I/O error on a local disk mostly is.
    case EIO:
        return WinError::DataError;
    default:
        return WinError::GeneralFailure;
    }
}

unsigned windowsErrorForPath(int errnoValue, const std::string &path)
{
    const unsigned error = windowsErrorFromErrno(errnoValue);
    if (error != WinError::FileNotFound)
        return error;
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty())
        return error;
    std::error_code ignored;
    return std::filesystem::is_directory(folder, ignored) ? error : WinError::PathNotFound;
}

} // namespace platform

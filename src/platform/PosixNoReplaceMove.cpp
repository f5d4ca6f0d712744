#include "platform/PosixNoReplaceMove.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

int moveByHardLink(const std::string &from, const std::string &to)
{
    if (::link(from.c_str(), to.c_str()) != 0)
        return errno;
    // The target is in place; a temporary left behind only costs a directory entry.
    ::unlink(from.c_str());
    return 0;
}

int moveByRenameNoReplace(const std::string &from, const std::string &to)
{
    return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0 ? 0 : errno;
}

int moveByCheckThenRename(const std::string &from, const std::string &to)
{
    struct stat status = {};
    if (::lstat(to.c_str(), &status) == 0)
        return EEXIST;
    if (errno != ENOENT)
        return errno;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

bool isUnsupported(NoReplaceMethod method, int error)
{
    switch (method) {
    case NoReplaceMethod::HardLink:
        // FAT and some network file systems refuse links with EPERM.
        return error == EPERM || error == EOPNOTSUPP || error == ENOSYS;
    case NoReplaceMethod::RenameNoReplace:
        return error == EINVAL || error == EOPNOTSUPP || error == ENOSYS;
    case NoReplaceMethod::CheckThenRename:
        return false;
    }
    return false;
}

} // namespace

int moveNoReplace(const std::string &from, const std::string &to, NoReplaceMethod method)
{
    switch (method) {
    case NoReplaceMethod::HardLink:
        return moveByHardLink(from, to);
    case NoReplaceMethod::RenameNoReplace:
        return moveByRenameNoReplace(from, to);
    case NoReplaceMethod::CheckThenRename:
        return moveByCheckThenRename(from, to);
    }
    return EINVAL;
}

int moveNoReplace(const std::string &from, const std::string &to)
{
    for (NoReplaceMethod method :
         {NoReplaceMethod::HardLink, NoReplaceMethod::RenameNoReplace, NoReplaceMethod::CheckThenRename}) {
        const int error = moveNoReplace(from, to, method);
        if (!isUnsupported(method, error))
            return error;
    }
    return ENOSYS;
}

} // namespace platform

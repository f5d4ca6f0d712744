#pragma once

#include "platform/FileSystem.h"

namespace platform {

// The Windows file semantics on POSIX systems. Differences that remain:
//  - "No sharing" is an advisory flock(2) lock: it keeps out other holders of such a
//    lock (another instance of this program), not readers and writers that ignore it.
//  - The read-only attribute is the owner's write permission; as on POSIX generally,
//    it does not stop a delete or a replacing copy (the folder's permissions do).
class PosixFileSystem : public FileSystem
{
public:
    FileStatus copyFileNoOverwrite(const std::string &source, const std::string &target) override;
    FileStatus copyFileReplace(const std::string &source, const std::string &target) override;
    FileStatus deleteFile(const std::string &path) override;
    FileStatus clearAttributes(const std::string &path) override;
    bool fileExists(const std::string &path) const override;
    bool directoryExists(const std::string &path) const override;
    FileStatus createDirectory(const std::string &path) override;
    AccessProbe probeAccess(const std::string &path, AccessMode mode) override;
    FileStatus createEmptyFile(const std::string &path) override;
};

} // namespace platform

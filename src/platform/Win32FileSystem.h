#pragma once

#include "platform/FileSystem.h"

namespace platform {

// The Windows file functions on wide-character paths. Both copies write into a
// temporary file beside the target and rename it into place, so that the print
// manager, which polls for the target, never reads a file that is still being written.
class Win32FileSystem : public FileSystem
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

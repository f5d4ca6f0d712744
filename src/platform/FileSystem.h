#pragma once

#include "platform/WindowsErrors.h"

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// Outcome of a file operation: NoError, or the Windows system error code that the
// operation gives on Windows.
struct FileStatus
{
    unsigned error = WinError::NoError;
    bool ok() const { return error == WinError::NoError; }
};

// Outcome of an access test: the error, or the length of the file on success.
struct AccessProbe
{
    unsigned error = WinError::NoError;
    std::uint64_t length = 0;
    bool ok() const { return error == WinError::NoError; }
};

enum class AccessMode { Read, Write };

// File operations with the meanings of the Windows file functions, so that the
// exchange with the print manager and the start-up tests behave the same on every
// system. Paths are UTF-8.
class FileSystem
{
public:
    virtual ~FileSystem() = default;

    // Fails with FileExists when the target exists. The target appears whole or not at
    // all, so that a reader polling for it never sees part of the file.
    virtual FileStatus copyFileNoOverwrite(const std::string &source, const std::string &target) = 0;
    // The target, if present, is replaced whole.
    virtual FileStatus copyFileReplace(const std::string &source, const std::string &target) = 0;
    virtual FileStatus deleteFile(const std::string &path) = 0;
    // Clears the read-only attribute, so that the file can be written and deleted.
    virtual FileStatus clearAttributes(const std::string &path) = 0;
    // True for anything that is not a directory.
    virtual bool fileExists(const std::string &path) const = 0;
    virtual bool directoryExists(const std::string &path) const = 0;
    // Fails with AlreadyExists when the path exists.
    virtual FileStatus createDirectory(const std::string &path) = 0;
    // The access test of the start-up: opens the file without sharing, creating it when
    // missing, reads its length and closes it again.
    virtual AccessProbe probeAccess(const std::string &path, AccessMode mode) = 0;
    // Creates the file anew (an existing one is truncated to length 0) and closes it.
    virtual FileStatus createEmptyFile(const std::string &path) = 0;
};

// The implementation of the system the program runs on.
std::unique_ptr<FileSystem> createFileSystem();

} // namespace platform

#include "platform/Win32FileSystem.h"

#include "platform/Win32Text.h"

#include <windows.h>

#include <atomic>
#include <cwchar>

namespace platform {
namespace {

std::wstring folderOf(const std::wstring &path)
{
    const auto separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
}

std::wstring temporaryNameBeside(const std::wstring &target)
{
    static std::atomic<unsigned> counter{0};
    wchar_t name[64];
    std::swprintf(name, 64, L".omira-copy-%08lx-%08llx-%04x.tmp", GetCurrentProcessId(),
                  static_cast<unsigned long long>(GetTickCount64()), counter++ & 0xFFFFu);
    return folderOf(target) + name;
}

DWORD attributesOf(const std::wstring &path)
{
    return GetFileAttributesW(path.c_str());
}

// A copy of the source in a new temporary file in the target's folder; the temporary
// is removed unless it was moved onto the target.
class StagedCopy
{
public:
    StagedCopy() = default;
    StagedCopy(const StagedCopy &) = delete;
    StagedCopy &operator=(const StagedCopy &) = delete;
    ~StagedCopy()
    {
        if (!m_path.empty() && !m_moved)
            DeleteFileW(m_path.c_str());
    }

    unsigned stage(const std::wstring &source, const std::wstring &target)
    {
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::wstring candidate = temporaryNameBeside(target);
            if (CopyFileW(source.c_str(), candidate.c_str(), TRUE)) {
                m_path = std::move(candidate);
                return ERROR_SUCCESS;
            }
            const DWORD error = GetLastError();
            if (error != ERROR_FILE_EXISTS)
                return error;
        }
        return ERROR_GEN_FAILURE;
    }

    unsigned moveOnto(const std::wstring &target, DWORD flags)
    {
        if (!MoveFileExW(m_path.c_str(), target.c_str(), flags | MOVEFILE_WRITE_THROUGH))
            return GetLastError();
        m_moved = true;
        return ERROR_SUCCESS;
    }

private:
    std::wstring m_path;
    bool m_moved = false;
};

struct WidePaths
{
    std::optional<std::wstring> source;
    std::optional<std::wstring> target;
    bool valid() const { return source && target; }
};

} // namespace

FileStatus Win32FileSystem::copyFileNoOverwrite(const std::string &source, const std::string &target)
{
    const WidePaths paths{utf16FromUtf8(source), utf16FromUtf8(target)};
    if (!paths.valid())
        return {ERROR_INVALID_NAME};
    if (attributesOf(*paths.source) == INVALID_FILE_ATTRIBUTES)
        return {GetLastError()};
    if (attributesOf(*paths.target) != INVALID_FILE_ATTRIBUTES)
        return {ERROR_FILE_EXISTS};
    StagedCopy copy;
    if (const unsigned error = copy.stage(*paths.source, *paths.target))
        return {error};
    const unsigned error = copy.moveOnto(*paths.target, 0);
    return {error == ERROR_ALREADY_EXISTS ? ERROR_FILE_EXISTS : error};
}

FileStatus Win32FileSystem::copyFileReplace(const std::string &source, const std::string &target)
{
    const WidePaths paths{utf16FromUtf8(source), utf16FromUtf8(target)};
    if (!paths.valid())
        return {ERROR_INVALID_NAME};
    StagedCopy copy;
    if (const unsigned error = copy.stage(*paths.source, *paths.target))
        return {error};
    return {copy.moveOnto(*paths.target, MOVEFILE_REPLACE_EXISTING)};
}

FileStatus Win32FileSystem::deleteFile(const std::string &path)
{
    const std::optional<std::wstring> widePath = utf16FromUtf8(path);
    if (!widePath)
        return {ERROR_INVALID_NAME};
    return {DeleteFileW(widePath->c_str()) ? ERROR_SUCCESS : GetLastError()};
}

FileStatus Win32FileSystem::clearAttributes(const std::string &path)
{
    const std::optional<std::wstring> widePath = utf16FromUtf8(path);
    if (!widePath)
        return {ERROR_INVALID_NAME};
    return {SetFileAttributesW(widePath->c_str(), FILE_ATTRIBUTE_NORMAL) ? ERROR_SUCCESS : GetLastError()};
}

bool Win32FileSystem::fileExists(const std::string &path) const
{
    const std::optional<std::wstring> widePath = utf16FromUtf8(path);
    if (!widePath)
        return false;
    const DWORD attributes = attributesOf(*widePath);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32FileSystem::directoryExists(const std::string &path) const
{
    const std::optional<std::wstring> widePath = utf16FromUtf8(path);
    if (!widePath)
        return false;
    const DWORD attributes = attributesOf(*widePath);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

FileStatus Win32FileSystem::createDirectory(const std::string &path)
{
    const std::optional<std::wstring> widePath = utf16FromUtf8(path);
    if (!widePath)
        return {ERROR_INVALID_NAME};
    return {CreateDirectoryW(widePath->c_str(), nullptr) ? ERROR_SUCCESS : GetLastError()};
}

AccessProbe Win32FileSystem::probeAccess(const std::string &path, AccessMode mode)
{
    const std::optional<std::wstring> widePath = utf16FromUtf8(path);
    if (!widePath)
        return {ERROR_INVALID_NAME};
    const DWORD access = mode == AccessMode::Write ? GENERIC_WRITE : GENERIC_READ;
    HANDLE file =
        CreateFileW(widePath->c_str(), access, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {GetLastError()};
    LARGE_INTEGER size{};
    const bool sized = GetFileSizeEx(file, &size);
    const DWORD error = sized ? ERROR_SUCCESS : GetLastError();
    CloseHandle(file);
    if (!sized)
        return {error};
    return {ERROR_SUCCESS, static_cast<std::uint64_t>(size.QuadPart)};
}

FileStatus Win32FileSystem::createEmptyFile(const std::string &path)
{
    const std::optional<std::wstring> widePath = utf16FromUtf8(path);
    if (!widePath)
        return {ERROR_INVALID_NAME};
    HANDLE file = CreateFileW(widePath->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {GetLastError()};
    CloseHandle(file);
    return {};
}

std::unique_ptr<FileSystem> createFileSystem()
{
    return std::make_unique<Win32FileSystem>();
}

} // namespace platform

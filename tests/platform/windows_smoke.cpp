// Runs the Windows implementation of the platform layer against the real system
// (or wine): files in a fresh temporary folder, the version, the priority and a
// hidden window. Prints one line per check; the exit code is the number of failures.
#include "platform/FileSystem.h"
#include "platform/OsVersionQuery.h"
#include "platform/ProcessPriority.h"
#include "platform/WindowFinder.h"

#include <windows.h>

#include <cctype>
#include <cstdio>
#include <string>

using namespace platform;

namespace {

int failures = 0;

void check(bool passed, const std::string &what)
{
    std::printf("%s %s\n", passed ? "ok  " : "FAIL", what.c_str());
    if (!passed)
        ++failures;
}

void expectError(unsigned actual, unsigned expected, const std::string &what)
{
    check(actual == expected,
          what + " (error " + std::to_string(actual) + ", expected " + std::to_string(expected) + ")");
}

bool writeFile(const std::string &path, const std::string &bytes)
{
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

std::string readFile(const std::string &path)
{
    std::string bytes;
    if (std::FILE *file = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
            bytes.append(buffer, got);
        std::fclose(file);
    }
    return bytes;
}

int entriesIn(const std::string &folder)
{
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return -1;
    int count = 0;
    do {
        const std::string name = entry.cFileName;
        if (name != "." && name != "..")
            ++count;
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return count;
}

std::string freshFolder(FileSystem &files)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "omira-smoke-" + std::to_string(GetCurrentProcessId()) +
                               "-" + std::to_string(GetTickCount64());
    expectError(files.createDirectory(folder).error, 0, "create folder");
    expectError(files.createDirectory(folder).error, 183, "create existing folder");
    return folder;
}

void checkCopies(FileSystem &files, const std::string &folder)
{
    const std::string source = folder + "\\source.txt";
    const std::string target = folder + "\\target.txt";
    writeFile(source, "first");
    expectError(files.copyFileNoOverwrite(source, target).error, 0, "copy to a new target");
    check(readFile(target) == "first", "copied content");
    writeFile(source, "second, longer");
    expectError(files.copyFileNoOverwrite(source, target).error, 80, "copy onto an existing target");
    check(readFile(target) == "first", "existing target untouched");
    expectError(files.copyFileReplace(source, target).error, 0, "replacing copy");
    check(readFile(target) == "second, longer", "replaced content");
    expectError(files.copyFileNoOverwrite(folder + "\\missing.txt", folder + "\\x.txt").error, 2,
                "copy of a missing source");
    expectError(files.copyFileNoOverwrite(source, folder + "\\no\\x.txt").error, 3,
                "copy into a missing folder");
    check(entriesIn(folder) == 2, "no temporary file left behind");
}

void checkAccessAndAttributes(FileSystem &files, const std::string &folder)
{
    const std::string probe = folder + "\\probe.txt";
    const AccessProbe created = files.probeAccess(probe, AccessMode::Write);
    check(created.ok() && created.length == 0 && files.fileExists(probe), "access test creates the file");
    writeFile(probe, "12345");
    check(files.probeAccess(probe, AccessMode::Read).length == 5, "access test reports the length");
    expectError(files.probeAccess(folder, AccessMode::Write).error, 5, "access test on a folder");
    HANDLE holder = CreateFileA(probe.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    expectError(files.probeAccess(probe, AccessMode::Write).error, 32, "access test on a file held unshared");
    CloseHandle(holder);
    expectError(files.createEmptyFile(probe).error, 0, "create anew");
    check(files.probeAccess(probe, AccessMode::Read).length == 0, "created anew is empty");

    SetFileAttributesA(probe.c_str(), FILE_ATTRIBUTE_READONLY);
    expectError(files.deleteFile(probe).error, 5, "delete of a read-only file");
    expectError(files.clearAttributes(probe).error, 0, "clear attributes");
    expectError(files.deleteFile(probe).error, 0, "delete after clearing");
    expectError(files.deleteFile(probe).error, 2, "delete of a missing file");
    check(files.directoryExists(folder) && !files.fileExists(folder), "folder is a directory");
}

void removeFolder(FileSystem &files, const std::string &folder)
{
    files.deleteFile(folder + "\\source.txt");
    files.deleteFile(folder + "\\target.txt");
    RemoveDirectoryA(folder.c_str());
}

void checkSystem()
{
    const OsVersion version = createOsVersionQuery()->query();
    std::printf("     OS text: \"%s\"\n", composeOsText(version).c_str());
    check(version.isWindows && version.majorVersion >= 5, "Windows version");
    auto priority = createProcessPriority();
    check(priority->setPriorityClass(PriorityClass::BelowNormal), "below-normal priority");
    check(GetPriorityClass(GetCurrentProcess()) == PriorityClass::BelowNormal, "priority class in effect");
    check(priority->setPriorityClass(PriorityClass::Normal), "normal priority");
}

void checkWindowLookup()
{
    const std::string title = "Omira smoke " + std::to_string(GetCurrentProcessId());
    HWND window = CreateWindowExA(0, "STATIC", title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!window) {
        std::printf("skip window lookup: no window could be created (error %lu)\n", GetLastError());
        return;
    }
    auto finder = createWindowFinder();
    check(finder->windowExists(title), "hidden window found by its title");
    check(!finder->windowExists(title.substr(0, title.size() - 1)), "prefix of the title not found");
    std::string upper = title;
    for (char &c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::printf("     title in other case %s\n", finder->windowExists(upper) ? "found" : "not found");
    DestroyWindow(window);
    check(!finder->windowExists(title), "destroyed window not found");
}

} // namespace

int main()
{
    auto files = createFileSystem();
    const std::string folder = freshFolder(*files);
    checkCopies(*files, folder);
    checkAccessAndAttributes(*files, folder);
    removeFolder(*files, folder);
    checkSystem();
    checkWindowLookup();
    std::printf("%d failure(s)\n", failures);
    return failures;
}

#include "platform/Win32OsVersionQuery.h"

#include <windows.h>

namespace platform {
namespace {

using RtlGetVersionFunction = LONG(WINAPI *)(OSVERSIONINFOW *);

RtlGetVersionFunction findRtlGetVersion()
{
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (!ntdll)
        return nullptr;
    // Through void(*)(), the one function type that converts to any other without warning.
    auto *function = reinterpret_cast<void (*)()>(GetProcAddress(ntdll, "RtlGetVersion"));
    return reinterpret_cast<RtlGetVersionFunction>(function);
}

OsVersion versionFromGetVersion()
{
    const DWORD value = GetVersion();
    OsVersion version;
    version.majorVersion = LOBYTE(LOWORD(value));
    version.minorVersion = HIBYTE(LOWORD(value));
    version.buildNumber = (value & 0x80000000u) == 0 ? HIWORD(value) : 0;
    return version;
}

OsVersion queryNumbers()
{
    if (const RtlGetVersionFunction rtlGetVersion = findRtlGetVersion()) {
        OSVERSIONINFOW info{};
        info.dwOSVersionInfoSize = sizeof info;
        if (rtlGetVersion(&info) == 0) {
            OsVersion version;
            version.majorVersion = static_cast<int>(info.dwMajorVersion);
            version.minorVersion = static_cast<int>(info.dwMinorVersion);
            version.buildNumber = static_cast<int>(info.dwBuildNumber);
            return version;
        }
    }
    return versionFromGetVersion();
}

} // namespace

OsVersion Win32OsVersionQuery::query() const
{
    OsVersion version = queryNumbers();
    version.name = windowsReleaseName(version.majorVersion, version.minorVersion);
    version.isWindows = true;
    return version;
}

std::unique_ptr<OsVersionQuery> createOsVersionQuery()
{
    return std::make_unique<Win32OsVersionQuery>();
}

} // namespace platform

#pragma once

#include <string>

namespace platform {

struct OsVersion
{
    std::string name; // with a trailing blank, or empty: "Windows 7 ", "Linux "
    int majorVersion = 0;
    int minorVersion = 0;
    int buildNumber = 0;
    // The numbers are a Windows version; elsewhere they are the kernel's, which must
    // not be read as Windows releases (a Linux 4.19 is no Windows 98).
    bool isWindows = false;
};

// The release name the program shows for a Windows version, e.g. "Windows 7 " for
// 6.1; empty for versions it has no name for.
std::string windowsReleaseName(int majorVersion, int minorVersion);

// The text of the status bar: name, then major.minor.build, e.g. "Windows 7 6.1.7601".
std::string composeOsText(const OsVersion &version);

} // namespace platform

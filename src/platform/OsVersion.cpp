#include "platform/OsVersion.h"

namespace platform {

std::string windowsReleaseName(int majorVersion, int minorVersion)
{
    if (majorVersion < 5)
        return "Windows 98(95) ";
    if (majorVersion == 5) {
        switch (minorVersion) {
        case 0:
            return "Windows 2000 ";
        case 1:
            return "Windows XP ";
        case 2:
            return "Windows Server 2003 ";
        default:
            return {};
        }
    }
    if (majorVersion == 6) {
        switch (minorVersion) {
        case 0:
            return "Windows Vista ";
        case 1:
            return "Windows 7 ";
        case 2:
            return "Windows 8 ";
        default:
            return {};
        }
    }
    return {};
}

std::string composeOsText(const OsVersion &version)
{
    return version.name + std::to_string(version.majorVersion) + '.' + std::to_string(version.minorVersion) +
           '.' + std::to_string(version.buildNumber);
}

} // namespace platform

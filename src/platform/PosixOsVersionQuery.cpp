#include "platform/PosixOsVersionQuery.h"

#include <array>
#include <cctype>
#include <sys/utsname.h>

namespace platform {
namespace {

// Reads a run of digits at `position` and steps over it and one following dot.
int takeNumber(std::string_view text, std::size_t &position)
{
    int value = 0;
    bool any = false;
    while (position < text.size() && std::isdigit(static_cast<unsigned char>(text[position]))) {
        if (value < 100000000)
            value = value * 10 + (text[position] - '0');
        ++position;
        any = true;
    }
    if (any && position < text.size() && text[position] == '.')
        ++position;
    return value;
}

} // namespace

OsVersion osVersionFromUname(std::string_view systemName, std::string_view release)
{
    std::array<int, 3> numbers{};
    std::size_t position = 0;
    for (int &number : numbers) {
        const std::size_t start = position;
        number = takeNumber(release, position);
        if (position == start)
            break;
    }
    OsVersion version;
    version.name = std::string(systemName) + ' ';
    version.majorVersion = numbers[0];
    version.minorVersion = numbers[1];
    version.buildNumber = numbers[2];
    return version;
}

OsVersion PosixOsVersionQuery::query() const
{
    struct utsname system = {};
    if (::uname(&system) != 0)
        return {};
    return osVersionFromUname(system.sysname, system.release);
}

std::unique_ptr<OsVersionQuery> createOsVersionQuery()
{
    return std::make_unique<PosixOsVersionQuery>();
}

} // namespace platform

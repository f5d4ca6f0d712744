#pragma once

#include "platform/OsVersionQuery.h"

#include <string_view>

namespace platform {

class PosixOsVersionQuery : public OsVersionQuery
{
public:
    OsVersion query() const override;
};

// The system's name and the first three numbers of its release: "Linux", "6.1.0-18-amd64"
// gives "Linux " 6.1.0; missing numbers are 0.
OsVersion osVersionFromUname(std::string_view systemName, std::string_view release);

} // namespace platform

#pragma once

#include "platform/OsVersion.h"

#include <memory>

namespace platform {

class OsVersionQuery
{
public:
    virtual ~OsVersionQuery() = default;

    virtual OsVersion query() const = 0;
};

std::unique_ptr<OsVersionQuery> createOsVersionQuery();

} // namespace platform

#pragma once

#include "platform/OsVersionQuery.h"

namespace platform {

// The true version of the system. GetVersion answers 6.2 (Windows 8) on every later
// release to programs without a compatibility manifest; the version query of ntdll
// does not, so it is used where it exists.
class Win32OsVersionQuery : public OsVersionQuery
{
public:
    OsVersion query() const override;
};

} // namespace platform

#include "platform/Win32ProcessPriority.h"

#include <windows.h>

namespace platform {

bool Win32ProcessPriority::setPriorityClass(unsigned priorityClass)
{
    return SetPriorityClass(GetCurrentProcess(), priorityClass) != 0;
}

std::unique_ptr<ProcessPriority> createProcessPriority()
{
    return std::make_unique<Win32ProcessPriority>();
}

} // namespace platform

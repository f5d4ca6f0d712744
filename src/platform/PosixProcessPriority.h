#pragma once

#include "platform/ProcessPriority.h"

#include <optional>

namespace platform {

// Windows priority classes as nice values. Linux keeps the nice value per thread, so
// every thread of the process gets it, as a priority class holds for a whole process.
class PosixProcessPriority : public ProcessPriority
{
public:
    bool setPriorityClass(unsigned priorityClass) override;
};

// The nice value standing for a Windows priority class; none for an unknown class.
std::optional<int> niceValueForPriorityClass(unsigned priorityClass);

} // namespace platform

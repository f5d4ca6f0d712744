#pragma once

#include "platform/ProcessPriority.h"

namespace platform {

// The class goes to the system unchanged, which also accepts values beyond the six
// classes (the background mode, for one).
class Win32ProcessPriority : public ProcessPriority
{
public:
    bool setPriorityClass(unsigned priorityClass) override;
};

} // namespace platform

#pragma once

#include <memory>

namespace platform {

// Windows priority classes: the values of the configuration's process priority.
namespace PriorityClass {
inline constexpr unsigned Idle = 64;
inline constexpr unsigned BelowNormal = 16384;
inline constexpr unsigned Normal = 32;
inline constexpr unsigned AboveNormal = 32768;
inline constexpr unsigned High = 128;
inline constexpr unsigned Realtime = 256;
} // namespace PriorityClass

class ProcessPriority
{
public:
    virtual ~ProcessPriority() = default;

    // Sets the priority of the own process from a Windows priority class. False when
    // the system refuses (raising the priority needs privileges on most systems) or
    // does not know the class.
    virtual bool setPriorityClass(unsigned priorityClass) = 0;
};

std::unique_ptr<ProcessPriority> createProcessPriority();

} // namespace platform

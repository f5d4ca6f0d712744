#include "platform/PosixProcessPriority.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <system_error>
#include <unistd.h>

namespace platform {
namespace {

bool setNiceValue(id_t threadId, int niceValue)
{
    return ::setpriority(PRIO_PROCESS, threadId, niceValue) == 0;
}

// The threads of the own process besides the calling one; started threads inherit the
// value of the thread that starts them, so only the existing ones need it.
bool setNiceValueOfOtherThreads(int niceValue)
{
    const std::string self = std::to_string(::gettid());
    std::error_code error;
    std::filesystem::directory_iterator threads("/proc/self/task", error);
    if (error)
        return true;
    bool allSet = true;
    for (const auto &entry : threads) {
        const std::string threadId = entry.path().filename().string();
        if (threadId != self)
            allSet =
                setNiceValue(static_cast<id_t>(std::strtoul(threadId.c_str(), nullptr, 10)), niceValue) &&
                allSet;
    }
    return allSet;
}

} // namespace

std::optional<int> niceValueForPriorityClass(unsigned priorityClass)
{
    switch (priorityClass) {
    case PriorityClass::Idle:
        return 19;
    case PriorityClass::BelowNormal:
        return 10;
    case PriorityClass::Normal:
        return 0;
    case PriorityClass::AboveNormal:
        return -5;
    case PriorityClass::High:
        return -10;
    case PriorityClass::Realtime:
        return -15;
    default:
        return std::nullopt;
    }
}

bool PosixProcessPriority::setPriorityClass(unsigned priorityClass)
{
    const std::optional<int> niceValue = niceValueForPriorityClass(priorityClass);
    if (!niceValue)
        return false;
    if (!setNiceValue(0, *niceValue))
        return false;
    return setNiceValueOfOtherThreads(*niceValue);
}

std::unique_ptr<ProcessPriority> createProcessPriority()
{
    return std::make_unique<PosixProcessPriority>();
}

} // namespace platform

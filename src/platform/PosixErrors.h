#pragma once

#include <string>

namespace platform {

// The Windows system error code closest in meaning to an errno value; 0 for 0 and
// GeneralFailure for values without a counterpart.
unsigned windowsErrorFromErrno(int errnoValue);

// As windowsErrorFromErrno for an operation on `path`, but a missing entry whose
// folder is missing too gives PathNotFound instead of FileNotFound, as Windows tells
// the two apart.
unsigned windowsErrorForPath(int errnoValue, const std::string &path);

} // namespace platform

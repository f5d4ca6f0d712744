#pragma once

#include "platform/WindowFinder.h"

namespace platform {

// FindWindow without a class name. The title goes in as UTF-16, so that titles outside
// the ANSI code page are found too.
class Win32WindowFinder : public WindowFinder
{
public:
    bool windowExists(const std::string &title) const override;
};

} // namespace platform

#pragma once

#include <memory>
#include <string>

namespace platform {

// Looks for top-level windows by title, the way other programs on the same desktop
// (the print manager, a running instance of this program) are detected.
class WindowFinder
{
public:
    virtual ~WindowFinder() = default;

    // True when a top-level window, shown or hidden, has exactly this (UTF-8) title.
    // Without a desktop to look at the answer is false.
    virtual bool windowExists(const std::string &title) const = 0;
};

std::unique_ptr<WindowFinder> createWindowFinder();

} // namespace platform

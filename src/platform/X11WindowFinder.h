#pragma once

#include "platform/WindowFinder.h"

namespace platform {

// Looks through the top-level windows of an X display, mapped or not: the children of
// the root window and, for window managers that put each window into a frame, the
// children of those. A window matches when its _NET_WM_NAME or its WM_NAME equals the
// title. Each lookup opens its own connection, so a restarted X server is no matter.
class X11WindowFinder : public WindowFinder
{
public:
    // An empty display name stands for the one in $DISPLAY.
    explicit X11WindowFinder(std::string displayName = {});

    bool windowExists(const std::string &title) const override;

private:
    std::string m_displayName;
};

} // namespace platform

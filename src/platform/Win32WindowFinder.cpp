#include "platform/Win32WindowFinder.h"

#include "platform/Win32Text.h"

#include <windows.h>

namespace platform {

bool Win32WindowFinder::windowExists(const std::string &title) const
{
    const std::optional<std::wstring> wideTitle = utf16FromUtf8(title);
    return wideTitle && FindWindowW(nullptr, wideTitle->c_str()) != nullptr;
}

std::unique_ptr<WindowFinder> createWindowFinder()
{
    return std::make_unique<Win32WindowFinder>();
}

} // namespace platform

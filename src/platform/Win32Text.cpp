#include "platform/Win32Text.h"

#include <windows.h>

namespace platform {

std::optional<std::wstring> utf16FromUtf8(const std::string &text)
{
    if (text.empty())
        return std::wstring();
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (length <= 0)
        return std::nullopt;
    std::wstring result(static_cast<std::size_t>(length), L'\0');
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, result.data(), length) !=
        length)
        return std::nullopt;
    return result;
}

} // namespace platform

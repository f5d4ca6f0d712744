#pragma once

#include <optional>
#include <string>

namespace platform {

// UTF-8 as the UTF-16 of the Windows wide-character functions; none for text that is
// not valid UTF-8.
std::optional<std::wstring> utf16FromUtf8(const std::string &text);

} // namespace platform

#pragma once

// The version text shown in the status bar and written into every error-log line.
inline constexpr char16_t kVersionText[] = u"Ver. 3.0.2";

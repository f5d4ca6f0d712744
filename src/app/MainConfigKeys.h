#pragma once

#include "base/ProfileKey.h"

// Section and key names of the main configuration file (qd60_cfg.ini). The loader
// takes every name from here, so that a key is spelled in one place only.
enum class MainConfigKey {
    InputPath,           // CONFIG path_in
    OutputPath,          // CONFIG path_out
    InfoPath,            // CONFIG path_info
    ErrorLogPath,        // CONFIG path_err
    DebugPath,           // CONFIG path_debug
    ErrorLogOn,          // CONFIG err_file
    TraceLog,            // CONFIG filelog
    StartupDelay,        // CONFIG opozdenie
    PriorityClass,       // CONFIG apl_priority
    SkipInputAccessTest, // CONFIG folder
    AccessTests,         // CONFIG prava
    RepeatDeletion,      // CONFIG mazanie
    ClosingTextDisabled, // CONFIG skoda
    Database,            // CONFIG BDE
    SocketTest,          // CONFIG OMIRASOCKET
    Language,            // LANGUAGE default
};

namespace MainConfigKeys {
ProfileKey key(MainConfigKey which);
// The caption and message files of language `index` (LANGUAGE FILE<n>, MSG<n>).
ProfileKey captionFile(int index);
ProfileKey messageFile(int index);
QString fileName(); // "qd60_cfg.ini"
} // namespace MainConfigKeys

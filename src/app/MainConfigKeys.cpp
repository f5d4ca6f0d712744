#include "app/MainConfigKeys.h"

using namespace Qt::StringLiterals;

namespace {

ProfileKey configKey(const QString &name)
{
    return {u"CONFIG"_s, name};
}

} // namespace

ProfileKey MainConfigKeys::key(MainConfigKey which)
{
    switch (which) {
    case MainConfigKey::InputPath:
        return configKey(u"path_in"_s);
    case MainConfigKey::OutputPath:
        return configKey(u"path_out"_s);
    case MainConfigKey::InfoPath:
        return configKey(u"path_info"_s);
    case MainConfigKey::ErrorLogPath:
        return configKey(u"path_err"_s);
    case MainConfigKey::DebugPath:
        return configKey(u"path_debug"_s);
    case MainConfigKey::ErrorLogOn:
        return configKey(u"err_file"_s);
    case MainConfigKey::TraceLog:
        return configKey(u"filelog"_s);
    case MainConfigKey::StartupDelay:
        return configKey(u"opozdenie"_s);
    case MainConfigKey::PriorityClass:
        return configKey(u"apl_priority"_s);
    case MainConfigKey::SkipInputAccessTest:
        return configKey(u"folder"_s);
    case MainConfigKey::AccessTests:
        return configKey(u"prava"_s);
    case MainConfigKey::RepeatDeletion:
        return configKey(u"mazanie"_s);
    case MainConfigKey::ClosingTextDisabled:
        return configKey(u"skoda"_s);
    case MainConfigKey::Database:
        return configKey(u"BDE"_s);
    case MainConfigKey::SocketTest:
        return configKey(u"OMIRASOCKET"_s);
    case MainConfigKey::Language:
        return {u"LANGUAGE"_s, u"default"_s};
    }
    return {};
}

ProfileKey MainConfigKeys::captionFile(int index)
{
    return {u"LANGUAGE"_s, u"FILE%1"_s.arg(index)};
}

ProfileKey MainConfigKeys::messageFile(int index)
{
    return {u"LANGUAGE"_s, u"MSG%1"_s.arg(index)};
}

QString MainConfigKeys::fileName()
{
    return u"qd60_cfg.ini"_s;
}

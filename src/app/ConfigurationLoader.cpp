#include "app/ConfigurationLoader.h"

#include "app/MainConfigKeys.h"
#include "base/IniFile.h"
#include "stock/PointOfSaleKeys.h"
#include "stock/PointOfSaleSettings.h"

using namespace Qt::StringLiterals;

namespace {

// pokladna.ini has one reader: the key names, defaults and slot lengths of the
// point-of-sale settings are kept there.
void readPointOfSaleKeys(Configuration &config, const IniFile &ini)
{
    PointOfSaleSettings::read(ini, config.programFolder).applyTo(config);
}

QString readString(const IniFile &ini, MainConfigKey which, const QString &defaultValue)
{
    const ProfileKey key = MainConfigKeys::key(which);
    return ini.readString(key.section, key.name, defaultValue);
}

int readInt(const IniFile &ini, MainConfigKey which, int defaultValue)
{
    const ProfileKey key = MainConfigKeys::key(which);
    return ini.readInt(key.section, key.name, defaultValue);
}

bool readSwitch(const IniFile &ini, MainConfigKey which, bool defaultValue)
{
    const ProfileKey key = MainConfigKeys::key(which);
    return ini.readSwitch(key.section, key.name, defaultValue);
}

// A path given on the command line wins over the file's.
QString readPath(const IniFile &ini, MainConfigKey which, const QString &commandLineValue,
                 const QString &defaultValue)
{
    return commandLineValue.isEmpty() ? readString(ini, which, defaultValue) : commandLineValue;
}

void readMainKeys(Configuration &config, const IniFile &ini, const CommandLine &commandLine)
{
    using enum MainConfigKey;
    const QString &folder = config.programFolder;
    config.inputFile = readPath(ini, InputPath, commandLine.inputFile, joinPath(folder, u"blocek.txt"_s));
    config.outputFile = readPath(ini, OutputPath, commandLine.outputFile, joinPath(folder, u"zurnal.txt"_s));
    config.infoFolder = readPath(ini, InfoPath, commandLine.infoFolder, folder);
    config.errorLogPath = readString(ini, ErrorLogPath, joinPath(folder, u"fm_err.txt"_s));
    config.debugPath = readString(ini, DebugPath, joinPath(folder, u"debug.txt"_s));

    config.errorLogOn = readInt(ini, ErrorLogOn, 1) == 1;
    config.traceLog = readSwitch(ini, TraceLog, false);
    config.startupDelay = readInt(ini, StartupDelay, 2000);
    config.priorityClass = readInt(ini, PriorityClass, 32);
    config.skipInputAccessTest = readSwitch(ini, SkipInputAccessTest, false);
    config.accessTests = readSwitch(ini, AccessTests, true);
    config.repeatDeletion = readInt(ini, RepeatDeletion, 0) == 1;
    config.closingTextDisabled = readSwitch(ini, ClosingTextDisabled, false);
    config.databaseOn = readSwitch(ini, Database, true);
    config.socketTest = readSwitch(ini, SocketTest, false);
}

void readLanguageKeys(Configuration &config, const IniFile &ini)
{
    const int index = readInt(ini, MainConfigKey::Language, 0);
    // Only ten name pairs exist; an index outside them would name no file at all.
    config.languageIndex = index >= 0 && index < Configuration::LanguageCount ? index : 0;
    for (int i = 0; i < Configuration::LanguageCount; ++i) {
        const ProfileKey caption = MainConfigKeys::captionFile(i);
        const ProfileKey messages = MainConfigKeys::messageFile(i);
        config.captionFiles[i] =
            ini.readString(caption.section, caption.name, i == 0 ? u"vx60_sk.lng"_s : QString());
        config.messageFiles[i] =
            ini.readString(messages.section, messages.name, i == 0 ? u"vx60_sk.msg"_s : QString());
    }
}

} // namespace

Configuration LoadConfiguration(const QString &programFolder, const CommandLine &commandLine,
                                const std::function<void(int priorityClass)> &applyPriority)
{
    Configuration config;
    config.programFolder = programFolder;
    const QString dataFolder = joinPath(programFolder, u"cennik"_s);
    config.dataFolder = joinPath(dataFolder, QString());

    IniFile pointOfSale(PointOfSaleKeys::filePath(programFolder));
    pointOfSale.load();
    readPointOfSaleKeys(config, pointOfSale);

    config.configPath = commandLine.iniPath.isEmpty() ? joinPath(programFolder, MainConfigKeys::fileName())
                                                      : commandLine.iniPath;
    IniFile main(config.configPath);
    main.load();
    readMainKeys(config, main, commandLine);
    readLanguageKeys(config, main);

    if (applyPriority)
        applyPriority(config.priorityClass);
    config.loaded = true;
    return config;
}

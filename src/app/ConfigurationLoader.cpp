#include "app/ConfigurationLoader.h"

#include "app/IniFile.h"
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

void readMainKeys(Configuration &config, const IniFile &ini, const CommandLine &commandLine)
{
    const QString section = u"CONFIG"_s;
    const QString &folder = config.programFolder;
    config.inputFile = commandLine.inputFile.isEmpty()
                           ? ini.readString(section, u"path_in"_s, joinPath(folder, u"blocek.txt"_s))
                           : commandLine.inputFile;
    config.outputFile = commandLine.outputFile.isEmpty()
                            ? ini.readString(section, u"path_out"_s, joinPath(folder, u"zurnal.txt"_s))
                            : commandLine.outputFile;
    config.infoFolder = commandLine.infoFolder.isEmpty() ? ini.readString(section, u"path_info"_s, folder)
                                                         : commandLine.infoFolder;
    config.errorLogPath = ini.readString(section, u"path_err"_s, joinPath(folder, u"fm_err.txt"_s));
    config.debugPath = ini.readString(section, u"path_debug"_s, joinPath(folder, u"debug.txt"_s));

    config.errorLogOn = ini.readInt(section, u"err_file"_s, 1) == 1;
    config.traceLog = ini.readSwitch(section, u"filelog"_s, false);
    config.startupDelay = ini.readInt(section, u"opozdenie"_s, 2000);
    config.priorityClass = ini.readInt(section, u"apl_priority"_s, 32);
    config.skipInputAccessTest = ini.readSwitch(section, u"folder"_s, false);
    config.accessTests = ini.readSwitch(section, u"prava"_s, true);
    config.repeatDeletion = ini.readInt(section, u"mazanie"_s, 0) == 1;
    config.closingTextDisabled = ini.readSwitch(section, u"skoda"_s, false);
    config.databaseOn = ini.readSwitch(section, u"BDE"_s, true);
    config.socketTest = ini.readSwitch(section, u"OMIRASOCKET"_s, false);
}

void readLanguageKeys(Configuration &config, const IniFile &ini)
{
    const QString section = u"LANGUAGE"_s;
    const int index = ini.readInt(section, u"default"_s, 0);
    // Only ten name pairs exist; an index outside them would name no file at all.
    config.languageIndex = index >= 0 && index < Configuration::LanguageCount ? index : 0;
    for (int i = 0; i < Configuration::LanguageCount; ++i) {
        config.captionFiles[i] =
            ini.readString(section, u"FILE%1"_s.arg(i), i == 0 ? u"vx60_sk.lng"_s : QString());
        config.messageFiles[i] =
            ini.readString(section, u"MSG%1"_s.arg(i), i == 0 ? u"vx60_sk.msg"_s : QString());
    }
}

} // namespace

QString joinPath(const QString &folder, const QString &name)
{
#ifdef Q_OS_WIN
    return folder + u'\\' + name;
#else
    return folder + u'/' + name;
#endif
}

QString Configuration::captionFile() const
{
    return joinPath(programFolder, captionFiles[languageIndex]);
}

QString Configuration::messageFile() const
{
    return joinPath(programFolder, messageFiles[languageIndex]);
}

QString resolveInputPattern(const QString &value)
{
    const qsizetype star = value.indexOf(u'*');
    if (star < 0)
        return value;
    // The extension is that of the file name, never a dot in a folder name.
    const qsizetype dot = value.lastIndexOf(u'.');
    const bool hasExtension = dot > std::max(value.lastIndexOf(u'\\'), value.lastIndexOf(u'/'));
    return value.first(star) + (hasExtension ? value.sliced(dot) : QString());
}

QString folderOf(const QString &path)
{
    const qsizetype separator = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    return path.first(separator + 1);
}

QString fitToSlot(const QString &name, int length)
{
    return name.size() > length ? name.first(length) : name;
}

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

    config.configPath =
        commandLine.iniPath.isEmpty() ? joinPath(programFolder, u"qd60_cfg.ini"_s) : commandLine.iniPath;
    IniFile main(config.configPath);
    main.load();
    readMainKeys(config, main, commandLine);
    readLanguageKeys(config, main);

    if (applyPriority)
        applyPriority(config.priorityClass);
    config.loaded = true;
    return config;
}

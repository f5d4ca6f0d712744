#include "app/ConfigurationLoader.h"

#include "app/IniFile.h"

using namespace Qt::StringLiterals;

namespace {

// Table file names are appended to the data folder directly.
QString withTrailingSeparator(const QString &folder)
{
    if (folder.isEmpty() || folder.endsWith(u'\\') || folder.endsWith(u'/'))
        return folder;
    return joinPath(folder, QString());
}

void readPointOfSaleKeys(Configuration &config, const IniFile &ini)
{
    const QString section = u"CONFIG"_s;
    config.printManagerInput = resolveInputPattern(
        ini.readString(section, u"TL_MAN"_s, joinPath(config.programFolder, u"blocek.txt"_s)));
    config.exchangeFolder = folderOf(config.printManagerInput);
    config.saleScreenAtStart = ini.readInt(section, u"POKL_START"_s, 1);
    config.demo = ini.readSwitch(section, u"DEMO"_s, false);
    config.lan = true;
    config.infoTimeout = ini.readInt(section, u"LAN_INFO"_s, 15000);
    config.statusTimeout = ini.readInt(section, u"LAN_DC"_s, 8000);
    config.repeatPeriod = ini.readInt(section, u"LAN_REPEAT"_s, 300);
    config.cashierRequired = ini.readInt(section, u"POKLADNIK"_s, 0);
    config.terminatePrintManager = ini.readSwitch(section, u"ENDTM"_s, true);
    config.printManagerTitle = ini.readString(section, u"TM"_s, u"RL70ZQ"_s);
    config.dataFolder = withTrailingSeparator(ini.readString(section, u"LAN_PATH"_s, config.dataFolder));

    for (int i = 0; i < Configuration::CashierCount; ++i) {
        const QString name = ini.readString(u"POKLADNIK"_s, u"POKL_%1"_s.arg(i + 1), QString());
        config.cashiers[i] = fitToSlot(name, Configuration::CashierNameLength);
    }
    config.paymentDialog = ini.readInt(u"PLATBA"_s, u"SHOW"_s, 1);
    const std::array<QString, Configuration::PaymentMeansCount> defaults = {
        u"Hotovosť:"_s, u"Platobná karta:"_s, u"Stravné lístky:"_s, u"Šeky:"_s, u"Platba faktúr:"_s};
    for (int i = 0; i < Configuration::PaymentMeansCount; ++i) {
        const QString name = ini.readString(u"PLATBA"_s, u"PLAT_%1"_s.arg(i + 1), defaults[i]);
        config.paymentMeans[i] = fitToSlot(name, Configuration::PaymentNameLength);
    }
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

    IniFile pointOfSale(joinPath(dataFolder, u"pokladna.ini"_s));
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

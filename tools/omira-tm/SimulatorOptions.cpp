#include "omira-tm/SimulatorOptions.h"

#include "base/Configuration.h"
#include "stock/PointOfSaleSettings.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

const QString ProgramFolderOption = u"program-folder"_s;
const QString InputOption = u"input"_s;
const QString StateOption = u"state"_s;
const QString JournalOption = u"journal"_s;
const QString TitleOption = u"title"_s;
const QString StatusWordOption = u"status-word"_s;
const QString ReplyDelayOption = u"reply-delay"_s;
const QString PollIntervalOption = u"poll-interval"_s;
const QString NoReplyOption = u"no-reply"_s;
const QString NoTakeOption = u"no-take"_s;
const QString MalformedOption = u"malformed"_s;
const QString HeadlessOption = u"headless"_s;

constexpr int LongestReplyDelayMs = 600'000;
constexpr int LongestPollIntervalMs = 10'000;

void describeOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        u"Stand-in for the print manager: takes the documents and commands that the point of sale "
        "leaves in its input file and answers them with the reply files of a fiscal printer."_s);
    parser.addHelpOption();
    parser.addOptions({
        {ProgramFolderOption,
         u"Program folder whose cennik/pokladna.ini names the input file (TL_MAN) "
         "and the window title (TM). Default: the folder of omira-tm."_s,
         u"DIR"_s},
        {InputOption, u"The input file to watch, instead of the configured one."_s, u"PATH"_s},
        {StateOption, u"The printer's memory. Default: omira-tm.ini in the exchange folder."_s, u"FILE"_s},
        {JournalOption, u"Folder of the journal. Default: journal beside the state file."_s, u"DIR"_s},
        {TitleOption, u"Window title, instead of the configured one."_s, u"TITLE"_s},
        {StatusWordOption, u"Status word in hexadecimal (default 1: ready; 1001 blocks cash vouchers)."_s,
         u"HEX"_s},
        {ReplyDelayOption, u"Wait this long before each reply."_s, u"MS"_s},
        {PollIntervalOption, u"Look at the exchange folder this often (default 20)."_s, u"MS"_s},
        {NoReplyOption, u"Take and print, but never reply."_s},
        {NoTakeOption, u"Never take the input file."_s},
        {MalformedOption, u"Reply with files that cannot be read."_s},
        {HeadlessOption, u"Run without a display (the window cannot be found by the program then)."_s},
    });
}

bool readNumber(const QCommandLineParser &parser, const QString &option, int lowest, int highest, int &value,
                QString &error)
{
    if (!parser.isSet(option))
        return true;
    bool ok = false;
    const int number = parser.value(option).toInt(&ok);
    if (!ok || number < lowest || number > highest) {
        error = u"--%1 takes a number from %2 to %3."_s.arg(option).arg(lowest).arg(highest);
        return false;
    }
    value = number;
    return true;
}

bool readStatusWord(const QCommandLineParser &parser, quint32 &value, QString &error)
{
    if (!parser.isSet(StatusWordOption))
        return true;
    QString text = parser.value(StatusWordOption);
    if (text.startsWith(u"0x"_s, Qt::CaseInsensitive))
        text.remove(0, 2);
    bool ok = false;
    const uint word = text.toUInt(&ok, 16);
    if (!ok || text.isEmpty() || text.size() > 8) {
        error = u"--status-word takes up to eight hexadecimal digits, e.g. 1001."_s;
        return false;
    }
    value = word;
    return true;
}

// The exchange folder and title the program itself would use; an input file given on
// the command line keeps the default title unless a program folder is named as well.
void applyConfiguration(const QCommandLineParser &parser, const QString &ownFolder,
                        SimulatorSettings &settings)
{
    const bool named = parser.isSet(ProgramFolderOption);
    // The program takes relative paths of its configuration against its own folder.
    const QString programFolder = QDir(named ? parser.value(ProgramFolderOption) : ownFolder).absolutePath();
    // The keys come from pokladna.ini, read the way the program reads them.
    Configuration config;
    PointOfSaleSettings::load(QDir::cleanPath(programFolder)).applyTo(config);
    settings.paymentNames = QStringList(config.paymentMeans.begin(), config.paymentMeans.end());
    if (named || !parser.isSet(InputOption))
        settings.title = config.printManagerTitle;
    // The program runs in its own folder, so a relative input file lies there.
    settings.inputPath = parser.isSet(InputOption)
                             ? QFileInfo(parser.value(InputOption)).absoluteFilePath()
                             : QDir(programFolder).absoluteFilePath(config.printManagerInput);
}

void applyPaths(const QCommandLineParser &parser, const QString &ownFolder, SimulatorSettings &settings)
{
    settings.title = QString::fromLatin1(SimulatorOptions::DefaultTitle);
    applyConfiguration(parser, ownFolder, settings);
    if (parser.isSet(TitleOption))
        settings.title = parser.value(TitleOption);
    settings.statePath =
        parser.isSet(StateOption)
            ? QFileInfo(parser.value(StateOption)).absoluteFilePath()
            : QDir(settings.exchangeFolder()).filePath(QString::fromLatin1(SimulatorOptions::StateFileName));
    settings.journalFolder = parser.isSet(JournalOption)
                                 ? QFileInfo(parser.value(JournalOption)).absoluteFilePath()
                                 : QFileInfo(settings.statePath)
                                       .dir()
                                       .filePath(QString::fromLatin1(SimulatorOptions::JournalFolderName));
}

} // namespace

SimulatorOptions SimulatorOptions::parse(const QStringList &arguments, const QString &ownFolder)
{
    SimulatorOptions options;
    QCommandLineParser parser;
    describeOptions(parser);
    if (!parser.parse(arguments)) {
        options.error = parser.errorText();
        return options;
    }
    if (!parser.positionalArguments().isEmpty()) {
        options.error = u"Unexpected argument: %1"_s.arg(parser.positionalArguments().constFirst());
        return options;
    }
    options.helpRequested = parser.isSet(u"help"_s);
    options.headless = parser.isSet(HeadlessOption);

    SimulatorSettings &settings = options.settings;
    settings.noReply = parser.isSet(NoReplyOption);
    settings.noTake = parser.isSet(NoTakeOption);
    settings.malformed = parser.isSet(MalformedOption);
    if (!readStatusWord(parser, settings.statusWord, options.error) ||
        !readNumber(parser, ReplyDelayOption, 0, LongestReplyDelayMs, settings.replyDelayMs, options.error) ||
        !readNumber(parser, PollIntervalOption, 1, LongestPollIntervalMs, settings.pollIntervalMs,
                    options.error))
        return options;
    applyPaths(parser, ownFolder, settings);
    return options;
}

QString SimulatorOptions::helpText()
{
    QCommandLineParser parser;
    describeOptions(parser);
    return parser.helpText();
}

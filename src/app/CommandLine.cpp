#include "app/CommandLine.h"

CommandLine CommandLine::parse(const QStringList &arguments)
{
    CommandLine result;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        QString *value = argument == u"/ini"     ? &result.iniPath
                         : argument == u"/fin"   ? &result.inputFile
                         : argument == u"/finfo" ? &result.infoFolder
                         : argument == u"/fout"  ? &result.outputFile
                                                 : nullptr;
        if (value) {
            *value = i + 1 < arguments.size() ? arguments[i + 1] : QString();
            ++i;
        } else if (argument == u"/nohide" || argument == u"/NOHIDE") {
            result.noHide = true;
        }
    }
    return result;
}

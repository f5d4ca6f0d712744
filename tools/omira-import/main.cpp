// omira-import [--data-folder DIR] [--sheet NAME] [--table NAME] [--separator C]
//              [--encoding cp1250|utf-8] [--title-row] FILE
// Replaces the whole price list of a data folder by the rows of FILE, as "Import" of the
// maintenance screen does: in one transaction after a backup, so the price list is replaced
// whole or left as it was; a till working on the same folder meanwhile just waits a moment.
// Prints a line for each refused row and a summary. Exit code 0 when every row was imported,
// 1 when some were refused, 2 for a wrong command line, 3 when no card was imported.
#include "base/IniFile.h"
#include "base/Progress.h"
#include "stock/DataFolder.h"
#include "stock/PointOfSaleKeys.h"
#include "stock/PointOfSaleSettings.h"
#include "stock/PriceListImportJob.h"
#include "stock/TableLayouts.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

enum Exit { AllImported = 0, SomeRefused = 1, UsageError = 2, NothingImported = 3 };

void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toUtf8().constData(), stream);
    std::fflush(stream);
}

struct Arguments
{
    QString dataFolder;
    QString file;
    ImportFile::Options options;
};

// The settings of the till of the current folder: its data folder (LAN_PATH of
// its cennik/pokladna.ini, or its own "cennik" folder) and its database server.
PointOfSaleSettings tillSettings()
{
    const QString programFolder = QDir::currentPath();
    IniFile ini(PointOfSaleKeys::filePath(programFolder));
    ini.load();
    return PointOfSaleSettings::read(ini, programFolder);
}

std::optional<QChar> separatorOf(const QString &text)
{
    if (text == u"\\t"_s || text.compare(u"tab"_s, Qt::CaseInsensitive) == 0)
        return QChar(u'\t');
    if (text.size() == 1)
        return text.at(0);
    return std::nullopt;
}

std::optional<Arguments> parse(const QCoreApplication &app, QString *problem)
{
    QCommandLineParser parser;
    const QCommandLineOption dataFolder(u"data-folder"_s, u"priečinok dát"_s, u"PRIEČINOK"_s);
    const QCommandLineOption sheet(u"sheet"_s, u"hárok zošita"_s, u"NÁZOV"_s);
    const QCommandLineOption table(u"table"_s, u"tabuľka databázy alebo webovej stránky"_s, u"NÁZOV"_s);
    const QCommandLineOption separator(u"separator"_s, u"oddeľovač textového súboru"_s, u"ZNAK"_s);
    const QCommandLineOption encoding(u"encoding"_s, u"kódovanie textového súboru"_s, u"cp1250|utf-8"_s);
    const QCommandLineOption titleRow(u"title-row"_s, u"prvý riadok obsahuje názvy stĺpcov"_s);
    parser.addOptions({dataFolder, sheet, table, separator, encoding, titleRow});
    parser.addPositionalArgument(u"SÚBOR"_s, u"importovaný súbor"_s);
    if (!parser.parse(app.arguments())) {
        *problem = parser.errorText();
        return std::nullopt;
    }
    if (parser.positionalArguments().size() != 1 || (parser.isSet(sheet) && parser.isSet(table))) {
        *problem = u"Treba práve jeden súbor a najviac jeden z --sheet a --table."_s;
        return std::nullopt;
    }
    Arguments arguments;
    arguments.file = parser.positionalArguments().constFirst();
    arguments.dataFolder = parser.isSet(dataFolder) ? parser.value(dataFolder) : tillSettings().dataFolder;
    arguments.options.part = parser.isSet(sheet) ? parser.value(sheet) : parser.value(table);
    arguments.options.titleRow = parser.isSet(titleRow);
    if (parser.isSet(separator)) {
        arguments.options.separator = separatorOf(parser.value(separator));
        if (!arguments.options.separator) {
            *problem = u"Oddeľovač je jeden znak alebo „tab“."_s;
            return std::nullopt;
        }
    }
    if (parser.isSet(encoding)) {
        const QString name = parser.value(encoding).toLower();
        if (name == u"cp1250"_s)
            arguments.options.encoding = CsvImportSource::Encoding::Cp1250;
        else if (name == u"utf-8"_s || name == u"utf8"_s)
            arguments.options.encoding = CsvImportSource::Encoding::Utf8;
        else {
            *problem = u"Kódovanie je cp1250 alebo utf-8."_s;
            return std::nullopt;
        }
    }
    return arguments;
}

QString usage()
{
    return u"Použitie: omira-import [--data-folder PRIEČINOK] [--sheet NÁZOV] [--table NÁZOV]\n"
           u"                       [--separator ZNAK] [--encoding cp1250|utf-8] [--title-row] SÚBOR\n"
           u"Nahradí celý cenník priečinka dát riadkami súboru (stĺpce: názov, kód, cena, počet,\n"
           u"poradie DPH, poradie mernej jednotky).\n"_s;
}

// The sheet or table named must be one of the file's; without a name the first is taken.
bool checkPart(const Arguments &arguments)
{
    QString error;
    const QStringList parts = ImportFile::parts(arguments.file, &error);
    if (!error.isEmpty()) {
        print(stderr, error + u'\n');
        return false;
    }
    if (arguments.options.part.isEmpty() || parts.contains(arguments.options.part))
        return true;
    print(stderr,
          u"Súbor nemá hárok ani tabuľku „%1“. Má: %2\n"_s.arg(arguments.options.part, parts.join(u", "_s)));
    return false;
}

int report(const PriceListImport::Result &result)
{
    for (const PriceListImport::RowError &error : result.errors)
        print(stdout, error.reason + u'\n');
    const QString unchanged = u"Cenník zostal bez zmeny."_s;
    switch (result.outcome) {
    case PriceListImport::Outcome::Imported:
        break;
    case PriceListImport::Outcome::TooManyErrors:
        print(stderr, u"Viac ako %1 riadkov sa nedalo importovať, import bol zastavený. %2\n"_s
                          .arg(PriceListImport::MostErrors)
                          .arg(unchanged));
        return NothingImported;
    case PriceListImport::Outcome::Cancelled:
        print(stderr, u"Import bol zrušený. %1\n"_s.arg(unchanged));
        return NothingImported;
    case PriceListImport::Outcome::NothingImported:
        print(stderr,
              u"V súbore nie je ani jedna položka, ktorá by sa dala importovať. %1\n"_s.arg(unchanged));
        return NothingImported;
    case PriceListImport::Outcome::BackupFailed:
    case PriceListImport::Outcome::Failed:
        print(stderr, u"Import sa nepodaril: %1\n%2\n"_s.arg(result.error, unchanged));
        return NothingImported;
    }
    print(stdout, u"Importované karty: %1\nOdmietnuté riadky: %2\nZáloha: %3\n"_s.arg(result.imported)
                      .arg(result.errors.size())
                      .arg(result.backupPath.isEmpty() ? u"žiadna (cenník bol prázdny)"_s
                                                       : QDir::toNativeSeparators(result.backupPath)));
    return result.errors.isEmpty() ? AllImported : SomeRefused;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QString problem;
    const std::optional<Arguments> arguments = parse(app, &problem);
    if (!arguments) {
        print(stderr, problem + u"\n\n"_s + usage());
        return UsageError;
    }
    if (!QFileInfo(arguments->dataFolder).isDir()) {
        print(stderr,
              u"Priečinok dát %1 neexistuje.\n"_s.arg(QDir::toNativeSeparators(arguments->dataFolder)));
        return NothingImported;
    }
    if (!QFileInfo::exists(arguments->file)) {
        print(stderr, u"Súbor %1 neexistuje.\n"_s.arg(QDir::toNativeSeparators(arguments->file)));
        return NothingImported;
    }
    if (!checkPart(*arguments))
        return NothingImported;
    PriceListImportJob job{DataFolder::file(arguments->dataFolder, TableLayouts::StockFileName),
                           arguments->dataFolder,
                           arguments->file,
                           arguments->options,
                           QLocale(),
                           QDateTime::currentDateTime(),
                           true};
    // A shop on a database server imports into the server's price list, as its tills read it.
    job.server = tillSettings().server;
    NoProgress progress;
    return report(job.run(progress));
}

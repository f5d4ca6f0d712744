#pragma once

#include "stock/CsvImportSource.h"
#include "stock/ImportRowSource.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

// The kinds of files a price list is imported from, and opening one of them as
// rows. The kind comes from the file's extension; each reader checks the
// content itself and refuses a file that is not what its name says.
class ImportFile
{
public:
    enum class Kind { Unknown, Text, Xls, Xlsx, Ods, Docx, Dbf, Paradox, Access, Html, Xml };

    struct Options
    {
        // The sheet of a workbook, the table of a database or of a web page;
        // empty for the first one.
        QString part;
        // The first row names the columns and is not imported. Only for text
        // files and sheets: the fields of a database table have names of
        // their own and never a title row.
        bool titleRow = false;
        // For text files; detected from the file when not set.
        std::optional<QChar> separator;
        std::optional<CsvImportSource::Encoding> encoding;
    };

    static Kind kindOf(const QString &path);

    // The sheets or tables of the file that the user chooses from; empty for a
    // kind that has none, or with `error` set when the file cannot be read.
    static QStringList parts(const QString &path, QString *error);

    // The rows of the file, or null with `error` set.
    static std::unique_ptr<ImportRowSource> open(const QString &path, const Options &options, QString *error);

    // The file dialog's filter of every kind that can be imported.
    static QString dialogFilter();
};

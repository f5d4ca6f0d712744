#pragma once

#include "stock/ImportFile.h"
#include "stock/PriceListImport.h"
#include "stock/PriceListImportJob.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <functional>
#include <optional>

class DataFile;
class MessageTable;
class Progress;
class UserDialogs;

struct PriceListImportingContext
{
    QString dataFolder;
    DataFile &stock; // the screen's connection to the stock file, open
    const MessageTable &messages;
    UserDialogs &dialogs;
    // Shown on this thread while the import runs on one of its own.
    Progress &progress;
    // Called once the import's thread ended, before the outcome is told.
    std::function<void()> progressDone;
    // Shows the first rows of the file as `options` read them and lets the user
    // correct the options; false when the user gave up. None: taken as found.
    std::function<bool(const QString &path, ImportFile::Options &options)> preview;
    QLocale locale; // how the user writes numbers
    // The sheets or tables of a file; none: ImportFile::parts.
    std::function<QStringList(const QString &path, QString *error)> listParts;
};

// Replacing the whole price list by a file the operator chooses ("Import"): the
// question, the file, the sheet or table, the reading options, the backup's
// notice, then the import on a thread of its own. Every outcome is told through
// the dialogs after the import ended: a box waiting for the user while the
// import's transaction is open would hold every other till's writes.
class PriceListImporting
{
public:
    explicit PriceListImporting(PriceListImportingContext context);

    // True when the price list was replaced; the caller refreshes the screens then.
    bool run(const QDateTime &now = QDateTime::currentDateTime());
    const PriceListImport::Result &result() const { return m_result; }

    // The reading options of `path` as found in the file: a text file's separator
    // and encoding, and whether the first row names the columns (none of its
    // number columns holds a number while the next row's do).
    static ImportFile::Options detectOptions(const QString &path, const QString &part, const QLocale &locale);

    // The text of the box that lists the refused rows, one a line.
    static QString errorList(const QList<PriceListImport::RowError> &errors, const MessageTable &messages);

private:
    std::optional<PriceListImportJob> prepare(const QDateTime &now);
    bool announceBackup();
    QString chooseFile();
    bool choosePart(const QString &path, ImportFile::Options &options);
    std::optional<bool> holdsCards();
    void tell(const PriceListImport::Result &result);

    PriceListImportingContext m_context;
    PriceListImport::Result m_result;
};

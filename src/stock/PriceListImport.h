#pragma once

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>

#include <optional>

class DataFile;
class ImportRowSource;
class MessageTable;
class Progress;

// Replaces the whole price list by the rows of an outside source. The source's
// columns are taken by position: 1 NAZOV, 2 KOD, 3 JC, 4 POCET, 5 DPH_IDX,
// 6 MJ_IDX; the unit's name (MJ) is the one of that position in the data
// folder's unit names, as a card saved on the screen gets it. Blanks around a value are dropped, rows without
// any value are skipped, numbers are read as the user's regional settings write them.
//
// One write transaction from the backup to the last card: the other tills see
// the old price list or the new one, never a mix, and any way out before the
// end (cancel, too many bad rows, a failure) leaves the price list exactly as
// it was. The old cards are deleted row by row rather than with the file, so
// the other tills keep their connection and their change log tells them.
//
// A row that cannot be a card is reported and left out; the import goes on
// until more than MostErrors rows failed.
//
// A row without a code gets "I_0001", "I_0002"... (the first not taken), as the
// old binary price list does: the code is the table's key, so empty codes
// cannot stay empty. When a later row brings such a code itself, the later row
// keeps it and the earlier card takes the next free generated code.
class PriceListImport
{
public:
    static constexpr int MostErrors = 30;
    static constexpr int ColumnCount = 6;

    enum class Outcome {
        Imported,
        TooManyErrors,   // rolled back
        NothingImported, // no row was a card: rolled back, not left as an empty price list
        Cancelled,       // rolled back
        BackupFailed,    // nothing written
        Failed,          // rolled back; error tells why
    };

    struct RowError
    {
        qint64 row = 0; // the row's number in the source
        int column = 0; // 1 to ColumnCount; 0 for the row as a whole
        QString reason;
        qint64 rowsDone = 0; // rows of the source read before this one

        // The text a message box shows for it: message 234, the rows done
        // before it and the reason in angle brackets. The screen shows these
        // after the run: a box waiting for the user inside the transaction
        // would hold the other tills' writes.
        QString message(const MessageTable &messages) const;
    };

    struct Result
    {
        Outcome outcome = Outcome::Failed;
        qint64 imported = 0;
        qint64 rowsRead = 0; // every row of the source, empty ones too
        QList<RowError> errors;
        QString backupPath; // empty when the price list held no card
        QString error;
    };

    // `dataFolder` holds the backup folder; `locale` writes the numbers.
    PriceListImport(DataFile &stock, QString dataFolder, QLocale locale);

    // Backs the stock file up under the minute `now` when it holds cards and
    // replaces them by the rows of `source`.
    Result run(ImportRowSource &source, Progress &progress, const QDateTime &now);

private:
    Result replace(ImportRowSource &source, Progress &progress, const QDateTime &now);
    bool backUpAndEmpty(const QDateTime &now, Result &result);
    std::optional<bool> holdsCards();

    DataFile &m_stock;
    QString m_dataFolder;
    QLocale m_locale;
};

#pragma once

#include <QDateTime>
#include <QString>

class DataFile;
class Progress;
class StockRowSource;

// Merges the price list of another installation into the stock table: a card
// whose code the table has replaces that card (which keeps its row id), any
// other card is added. The previous contents of every replaced card go to the
// table ZALOHA of the stock file, emptied at the start of each merge.
//
// One write transaction from the backup to the last card: the merge lands
// whole or not at all, and another till never sees half of it. A card the
// table refuses (a name too long, no name) is skipped and counted; it does not
// stop the merge.
class PriceListMerge
{
public:
    static inline const QString BackupTableName = QStringLiteral("ZALOHA");

    enum class Outcome {
        Merged,
        LayoutRefused, // the source is not a stock table of this layout; nothing written
        BackupFailed,  // the stock file could not be backed up; nothing written
        Cancelled,     // rolled back
        Failed,        // rolled back
    };

    struct Result
    {
        Outcome outcome = Outcome::Failed;
        qint64 appended = 0;
        qint64 replaced = 0;
        qint64 skipped = 0;
        QString backupPath;
        QString error;

        qint64 moved() const { return appended + replaced; }
    };

    // `dataFolder` holds the backup folder.
    PriceListMerge(DataFile &stock, QString dataFolder);

    // Backs the stock file up under the minute `now` and merges `source`.
    Result run(StockRowSource &source, Progress &progress, const QDateTime &now);

private:
    Result merge(StockRowSource &source, Progress &progress, const QDateTime &now);
    bool prepareBackupTable();
    Result failed(Outcome outcome, const QString &error) const;

    DataFile &m_stock;
    QString m_dataFolder;
};

#pragma once

#include "stock/ParadoxTableConversion.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class Progress;

// Takes a data folder of an older installation over: the stock table and every
// year's sales table that is still a Paradox file become SQLite files of the same
// names (the names the program opens), with the same rows.
//
// The originals with their companion files (primary and secondary indexes, memo
// and validity files) are first copied into zaloha/paradox_<date_time>/ and the
// copies compared byte by byte; only then is each new file renamed over its
// original and the companions removed. A table that fails keeps its original in
// place. A folder that already holds converted tables is refused unless `force`
// is set; with it, SQLite tables are left as they are. The report lists per table
// the rows read, written and refused (with row number and reason); it is written
// to migracia_<date_time>.txt in the folder (code page 1250).
class DataFolderMigration
{
public:
    struct TableResult
    {
        QString fileName; // as found in the folder
        bool converted = false;
        qint64 rowsRead = 0;
        qint64 rowsWritten = 0;
        QList<ParadoxTableConversion::Refusal> refusals;
        QString error;
    };

    DataFolderMigration(QString folder, bool force, QDateTime now);

    // True when every Paradox table was converted without a refused row.
    bool run(Progress &progress);

    // The table being converted (for a progress line).
    const QString &currentTable() const { return m_current; }
    // Why the migration did not start at all (empty when it ran).
    const QString &error() const { return m_error; }
    const QList<TableResult> &results() const { return m_results; }
    QString backupFolder() const;
    QString reportPath() const;
    QString report() const;

private:
    struct Table
    {
        QString fileName;
        QString targetName;
        ParadoxTableConversion::Kind kind;
        int year = 0;
    };

    bool collect(QList<Table> &tables);
    QStringList companions(const QString &fileName) const;
    bool backUp(const QList<Table> &tables);
    TableResult convert(const Table &table, Progress &progress);
    bool replaceOriginal(const Table &table, QString &error);
    bool writeReport();

    QString m_folder;
    bool m_force;
    QString m_stamp;
    QString m_current;
    QString m_error;
    QStringList m_skipped;
    QList<TableResult> m_results;
};

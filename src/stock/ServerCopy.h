#pragma once

#include "base/DataServer.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

class DataFile;
class Progress;
class QSqlQuery;

// Copies a data folder's SQLite tables (the price list and every year's sales)
// into the shop's PostgreSQL database, so that the tills can be switched over to
// the server. The files are only read and stay as they were: a till not yet
// switched over keeps working on them.
//
// Each table is copied in one transaction of the server: whole or not at all. A
// table that the server already holds is left alone and reported, so a copy
// that stopped half way can be run again. A Paradox table of an older
// installation is not copied: it is first converted into the folder's own
// tables. The report lists per table the rows read and written; it is written
// to migracia_<date_time>.txt in the folder (code page 1250).
class ServerCopy
{
public:
    struct TableResult
    {
        QString fileName;
        QString tableName;
        bool copied = false;
        qint64 rowsRead = 0;
        qint64 rowsWritten = 0;
        QString error;
    };

    ServerCopy(QString folder, DataServer server, QDateTime now);

    // True when every table of the folder was copied.
    bool run(Progress &progress);

    const QString &currentTable() const { return m_current; }
    // Why the copy did not start at all (empty when it ran).
    const QString &error() const { return m_error; }
    const QList<TableResult> &results() const { return m_results; }
    QString reportPath() const;
    QString report() const;

    // Rows sent to the server in one statement.
    static constexpr int RowsPerStatement = 200;

private:
    struct Table
    {
        QString fileName;
        QString tableName;
        int year = 0; // 0 for the price list
    };

    bool collect(QList<Table> &tables);
    TableResult copy(const Table &table, Progress &progress);
    bool copyRows(DataFile &source, DataFile &target, const Table &table, TableResult &result,
                  Progress &progress);
    bool sendRows(QSqlQuery &insert, QVariantList &values, qsizetype columnCount, TableResult &result,
                  Progress &progress, qint64 total);
    bool writeReport();

    QString m_folder;
    DataServer m_server;
    QString m_stamp;
    QString m_current;
    QString m_error;
    QStringList m_skipped;
    QList<TableResult> m_results;
};

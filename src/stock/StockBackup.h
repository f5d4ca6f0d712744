#pragma once

#include <QDateTime>
#include <QString>

class DataFile;

// Copies of the stock table's file in the data folder's "zaloha" folder, named by
// the minute they were taken: vx60_sklad_<ddMMyy_HHmm>.db. A copy is taken before
// a price list is merged into the table, so that the operator can go back to it.
class StockBackup
{
public:
    explicit StockBackup(QString dataFolder);

    static QString folderName(); // "zaloha"
    // "vx60_sklad_090325_1432.db" for 9 March 2025, 14:32.
    static QString fileName(const QDateTime &when);

    // Copies `stockPath` to the backup of `when`, replacing a copy of that name,
    // and checks that the copy holds the same bytes. The caller holds the stock
    // file's write lock, so no till changes the file while it is copied.
    // False with lastError() naming the file and the reason.
    bool take(const QString &stockPath, const QDateTime &when);
    // On a database server: a copy of the stock table's cards in the table
    // VX60_SKLAD_<ddMMyy_HHmm> beside it, replacing one of that name, made in
    // the caller's write transaction (so it stays only if the change is
    // committed). path() is then the table's name.
    bool takeTable(DataFile &stock, const QDateTime &when);
    // "VX60_SKLAD_090325_1432" for 9 March 2025, 14:32.
    static QString tableName(const QDateTime &when);
    // The copy that the last successful take() wrote.
    const QString &path() const { return m_path; }
    const QString &lastError() const { return m_error; }

    // The newest backup of the stock table in `dataFolder`: by the date and time
    // in its name, by its modification time where the name tells none (or both
    // tell the same minute). Empty when there is none.
    static QString newest(const QString &dataFolder);

private:
    bool fail(const QString &file, const QString &reason);
    bool copy(const QString &from, const QString &to);
    bool verify(const QString &from, const QString &to);

    QString m_dataFolder;
    QString m_path;
    QString m_error;
};

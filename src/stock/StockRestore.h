#pragma once

#include <QDateTime>
#include <QString>

// Puts a backup of the stock table in place of a damaged stock file. The damaged
// file is not deleted: it stays in the data folder under a name of its own, so
// that whatever it still holds can be looked at later.
class StockRestore
{
public:
    // "vx60_sklad_poskodeny_20260311_143210.db"
    static QString keptName(const QDateTime &when);

    // Copies `backupPath` beside `stockPath`, checks the copy, moves the damaged
    // file (and a journal left beside it, which must never be applied to the
    // restored file) aside and the copy into its place. False with lastError()
    // when any step fails; the stock file is then where it was.
    bool restore(const QString &backupPath, const QString &stockPath, const QDateTime &when);

    const QString &keptPath() const { return m_keptPath; }
    const QString &lastError() const { return m_error; }

private:
    bool fail(const QString &reason);
    bool copyChecked(const QString &from, const QString &to);

    QString m_keptPath;
    QString m_error;
};

#pragma once

#include "base/DataServer.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

// One SQLite file of the data folder opened through its own Qt connection, so
// that every thread and every table has a connection of its own. The file keeps
// SQLite's rollback journal (truncated after each commit) (it may lie in a folder shared over the network,
// where a write-ahead log does not work) and waits for a busy lock instead of
// failing, so a second till simply waits for the first one.
//
// On a server (setServer()) the same object stands for the file's tables in the
// shop's PostgreSQL database: open() connects, the file's name only names its
// write lock, and every file's tables live side by side in the database.
class DataFile
{
public:
    enum class Kind {
        Missing,    // no such file
        Empty,      // a file of 0 bytes: SQLite takes it as an empty database
        Sqlite,     // starts with SQLite's header
        Damaged,    // an SQLite file shorter than its header says, for example cut short by a crash
        Foreign,    // anything else: a table of an older installation or a damaged file
        Unreadable, // exists but cannot be read
        Server,     // the tables are in the server's database, not in a file
    };

    static constexpr int DefaultBusyTimeoutMs = 10000;

    DataFile();
    ~DataFile();
    DataFile(const DataFile &) = delete;
    DataFile &operator=(const DataFile &) = delete;

    // Looks at a file without opening it as a database, so that a file of
    // another kind is never touched.
    static Kind probe(const QString &path);
    // probe() for the files, Server on a server.
    Kind look(const QString &path) const;

    // Where the tables are; the files of the folder unless set (before open()).
    void setServer(const DataServer &server) { m_server = server; }
    const DataServer &server() const { return m_server; }
    bool isOnServer() const { return m_server.isServer(); }

    // Opens `path`; a missing file is created only when `create` is set, a file
    // that is not an SQLite database is never opened. Errors go to lastError().
    bool open(const QString &path, bool create, int busyTimeoutMs = DefaultBusyTimeoutMs);
    void close();
    bool isOpen() const;

    QSqlDatabase database() const;
    const QString &path() const { return m_path; }
    const QString &lastError() const { return m_error; }
    Kind lastKind() const { return m_kind; }

    // One statement without parameters; false with lastError() on failure.
    bool exec(const QString &statement);
    // A write transaction that takes the write lock at once (BEGIN IMMEDIATE):
    // what is read inside cannot be changed by another till before the commit.
    // On the server the lock is the file's own advisory lock, held to the end
    // of the transaction: the same one writer per file at a time.
    bool beginWrite();
    bool commit();
    void rollback();

    bool hasTable(const QString &table);
    QStringList columnNames(const QString &table); // empty on error

    void setError(const QString &text) { m_error = text; }
    // The engine's own text of an error, as the user is shown it; a damaged
    // file is said in Slovak, with the engine's words after it.
    static QString engineText(const QSqlError &error);
    // Whether the engine found the file damaged.
    static bool isDamage(const QSqlError &error);
    static QString damagedText();

private:
    bool connect(int busyTimeoutMs);
    bool connectToServer(int busyTimeoutMs);
    bool confirmDamage();

    QString m_connectionName;
    QString m_path;
    QString m_error;
    Kind m_kind = Kind::Missing;
    DataServer m_server;
};

#include "stock/DataFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

#include <algorithm>
#include <atomic>

using namespace Qt::StringLiterals;

namespace {

constexpr QByteArrayView SqliteHeader("SQLite format 3\0", 16);
constexpr qint64 SqliteHeaderSize = 100;
// SQLite's result codes for a damaged file: SQLITE_CORRUPT and SQLITE_NOTADB.
const QString CorruptCode = u"11"_s;
const QString NotADatabaseCode = u"26"_s;

quint32 bigEndian(const QByteArray &bytes, int offset, int size)
{
    quint32 value = 0;
    for (int i = 0; i < size; ++i)
        value = (value << 8) | quint8(bytes[offset + i]);
    return value;
}

// A file that starts as an SQLite database but is shorter than its header
// says, or not made of whole pages, was cut short (a crash of the disk, an
// interrupted copy). SQLite itself would open it and fail only at the first
// read of a missing page, with an English message and possibly half way
// through a change.
bool isCutShort(const QByteArray &header, qint64 fileSize)
{
    if (fileSize < SqliteHeaderSize || header.size() < SqliteHeaderSize)
        return true;
    quint32 pageSize = bigEndian(header, 16, 2);
    if (pageSize == 1)
        pageSize = 65536;
    if (pageSize < 512 || pageSize > 65536 || (pageSize & (pageSize - 1)) != 0)
        return true;
    if (fileSize % pageSize != 0)
        return true;
    // The page count in the header is valid only when written by a version that
    // keeps it (the two change counters agree).
    const quint32 pages = bigEndian(header, 28, 4);
    const bool countValid = pages != 0 && bigEndian(header, 24, 4) == bigEndian(header, 92, 4);
    return countValid && fileSize < qint64(pages) * pageSize;
}

QString uniqueConnectionName()
{
    static std::atomic<quint64> counter{0};
    return u"omira-data-%1"_s.arg(counter.fetch_add(1) + 1);
}

} // namespace

QString DataFile::engineText(const QSqlError &error)
{
    const QString database = error.databaseText();
    const QString text = database.isEmpty() ? error.text() : database;
    if (isDamage(error))
        return u"Súbor databázy je poškodený (%1)."_s.arg(text);
    return text;
}

bool DataFile::isDamage(const QSqlError &error)
{
    const QString code = error.nativeErrorCode();
    return code == CorruptCode || code == NotADatabaseCode;
}

DataFile::DataFile() : m_connectionName(uniqueConnectionName()) {}

DataFile::~DataFile()
{
    close();
}

DataFile::Kind DataFile::probe(const QString &path)
{
    QFileInfo info(path);
    if (!info.exists())
        return Kind::Missing;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Kind::Unreadable;
    if (file.size() == 0)
        return Kind::Empty;
    const QByteArray header = file.read(SqliteHeaderSize);
    if (!header.startsWith(SqliteHeader)) {
        // Cut inside the 16 bytes that name the format.
        const bool cutInName =
            header.size() < SqliteHeader.size() && QByteArrayView(SqliteHeader).startsWith(header);
        return cutInName ? Kind::Damaged : Kind::Foreign;
    }
    return isCutShort(header, file.size()) ? Kind::Damaged : Kind::Sqlite;
}

DataFile::Kind DataFile::look(const QString &path) const
{
    return m_server.kind == DataServer::Kind::Files ? probe(path) : Kind::Server;
}

bool DataFile::open(const QString &path, bool create, int busyTimeoutMs)
{
    close();
    m_path = path;
    m_error.clear();
    if (m_server.kind == DataServer::Kind::Unknown) {
        m_kind = Kind::Server;
        m_error = u"Neznámy databázový server „%1“ (pokladna.ini, [DATABAZA] SERVER). Známe sú SQLITE a "
                  "POSTGRESQL."_s.arg(m_server.name);
        return false;
    }
    if (isOnServer()) {
        m_kind = Kind::Server;
        return connectToServer(busyTimeoutMs);
    }
    m_kind = probe(path);
    switch (m_kind) {
    case Kind::Missing:
        if (!create) {
            m_error = u"The file does not exist."_s;
            return false;
        }
        break;
    case Kind::Foreign:
        m_error = u"The file is not an SQLite database."_s;
        return false;
    case Kind::Unreadable:
        m_error = u"The file cannot be read."_s;
        return false;
    case Kind::Damaged: // confirmed below, under a lock
    case Kind::Empty:
    case Kind::Sqlite:
    case Kind::Server:
        break;
    }
    if (!connect(busyTimeoutMs))
        return false;
    // The rollback journal, never a write-ahead log (a file left in that mode is
    // put back). Truncating the journal instead of deleting it saves the
    // folder's sync on each commit, about half of a commit's time on a disk;
    // synchronous FULL makes each commit survive a power cut.
    const bool set = exec(u"PRAGMA journal_mode=TRUNCATE"_s) && exec(u"PRAGMA synchronous=FULL"_s);
    if (set && (m_kind != Kind::Damaged || !confirmDamage()))
        return true;
    const QString error = m_kind == Kind::Damaged ? damagedText() : m_error;
    close();
    m_error = error;
    return false;
}

bool DataFile::connect(int busyTimeoutMs)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_connectionName);
        db.setDatabaseName(m_path);
        db.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT=%1"_s.arg(busyTimeoutMs));
        if (db.open())
            return true;
        m_error = engineText(db.lastError());
    }
    close();
    return false;
}

// The connection text goes to libpq as it stands (Qt's driver joins it to the
// parts it builds itself); every file of the folder shares the database.
bool DataFile::connectToServer(int busyTimeoutMs)
{
    if (!QSqlDatabase::isDriverAvailable(u"QPSQL"_s)) {
        m_error = u"Ovládač databázového servera PostgreSQL (QPSQL) nie je nainštalovaný."_s;
        return false;
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QPSQL"_s, m_connectionName);
        db.setConnectOptions(m_server.connection);
        if (db.open()) {
            // A till waits for another till's write as long as on the files, then fails.
            if (exec(u"SET lock_timeout = %1"_s.arg(std::max(busyTimeoutMs, 1))) &&
                exec(u"SET client_min_messages = warning"_s))
                return true;
        } else {
            m_error = u"Databázový server: %1"_s.arg(engineText(db.lastError()));
        }
    }
    close();
    return false;
}

bool DataFile::confirmDamage()
{
    // Another till's commit may be growing the file at the moment of the first
    // look, and a crashed one may have left a journal that SQLite rolls back at
    // the first read. A read lock waits for both, and while it is held no
    // commit changes the file, so a second look tells for sure.
    if (!exec(u"BEGIN"_s))
        return true;
    QSqlQuery query(database());
    const bool read = query.exec(u"SELECT COUNT(*) FROM sqlite_master"_s) && query.next();
    const bool damage = !read && isDamage(query.lastError());
    query.finish();
    m_kind = damage ? Kind::Damaged : probe(m_path);
    rollback();
    return m_kind == Kind::Damaged;
}

QString DataFile::damagedText()
{
    return u"Súbor databázy je poškodený (napríklad po páde disku alebo prerušenom kopírovaní)."_s;
}

void DataFile::close()
{
    if (!QSqlDatabase::contains(m_connectionName))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

bool DataFile::isOpen() const
{
    return QSqlDatabase::contains(m_connectionName) && database().isOpen();
}

QSqlDatabase DataFile::database() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

bool DataFile::exec(const QString &statement)
{
    QSqlQuery query(database());
    if (!query.exec(statement)) {
        m_error = engineText(query.lastError());
        return false;
    }
    return true;
}

bool DataFile::beginWrite()
{
    if (!isOnServer())
        return exec(u"BEGIN IMMEDIATE"_s);
    if (!exec(u"BEGIN"_s))
        return false;
    // One lock per file and schema, as SQLite has one per file: what a till
    // reads after taking it (the highest key, say) stays true until it commits.
    QSqlQuery query(database());
    query.prepare(u"SELECT pg_advisory_xact_lock(hashtext(current_schema() || '/' || ?))"_s);
    query.addBindValue(QFileInfo(m_path).fileName());
    if (query.exec())
        return true;
    m_error = engineText(query.lastError());
    rollback();
    return false;
}

bool DataFile::commit()
{
    if (exec(u"COMMIT"_s))
        return true;
    const QString error = m_error;
    rollback();
    m_error = error;
    return false;
}

void DataFile::rollback()
{
    QSqlQuery query(database());
    query.exec(u"ROLLBACK"_s);
}

bool DataFile::hasTable(const QString &table)
{
    QSqlQuery query(database());
    query.prepare(
        isOnServer()
            ? u"SELECT COUNT(*) FROM information_schema.tables WHERE table_schema = "
              "current_schema() AND upper(table_name) = upper(?)"_s
            : u"SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND upper(name) = upper(?)"_s);
    query.addBindValue(table);
    if (!query.exec() || !query.next()) {
        m_error = engineText(query.lastError());
        return false;
    }
    return query.value(0).toInt() > 0;
}

QStringList DataFile::columnNames(const QString &table)
{
    QSqlQuery query(database());
    query.setForwardOnly(true);
    // Table names come from this program, never from the user.
    if (!query.exec(u"SELECT * FROM %1 WHERE 1 = 0"_s.arg(table))) {
        m_error = engineText(query.lastError());
        return {};
    }
    QStringList names;
    const QSqlRecord record = query.record();
    // The server folds the program's unquoted upper-case names to lower case.
    for (int i = 0; i < record.count(); ++i)
        names << (isOnServer() ? record.fieldName(i).toUpper() : record.fieldName(i));
    return names;
}

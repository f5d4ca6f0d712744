#include "stock/DataFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

#include <atomic>

using namespace Qt::StringLiterals;

namespace {

constexpr QByteArrayView SqliteHeader("SQLite format 3\0", 16);

QString uniqueConnectionName()
{
    static std::atomic<quint64> counter{0};
    return u"omira-data-%1"_s.arg(counter.fetch_add(1) + 1);
}

} // namespace

QString DataFile::engineText(const QSqlError &error)
{
    const QString database = error.databaseText();
    return database.isEmpty() ? error.text() : database;
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
    return file.read(SqliteHeader.size()) == SqliteHeader ? Kind::Sqlite : Kind::Foreign;
}

bool DataFile::open(const QString &path, bool create, int busyTimeoutMs)
{
    close();
    m_path = path;
    m_error.clear();
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
    case Kind::Empty:
    case Kind::Sqlite:
        break;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_connectionName);
    db.setDatabaseName(path);
    db.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT=%1"_s.arg(busyTimeoutMs));
    if (!db.open()) {
        m_error = engineText(db.lastError());
        close();
        return false;
    }
    // The rollback journal, never a write-ahead log (a file left in that mode is
    // put back). Truncating the journal instead of deleting it saves the
    // folder's sync on each commit, about half of a commit's time on a disk;
    // synchronous FULL makes each commit survive a power cut.
    if (!exec(u"PRAGMA journal_mode=TRUNCATE"_s) || !exec(u"PRAGMA synchronous=FULL"_s)) {
        const QString error = m_error;
        close();
        m_error = error;
        return false;
    }
    return true;
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
    return exec(u"BEGIN IMMEDIATE"_s);
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
    query.prepare(u"SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND upper(name) = upper(?)"_s);
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
    for (int i = 0; i < record.count(); ++i)
        names << record.fieldName(i);
    return names;
}

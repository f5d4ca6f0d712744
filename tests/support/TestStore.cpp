#include "TestStore.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <atomic>

using namespace Qt::StringLiterals;

namespace {

QString serverConnection()
{
    return qEnvironmentVariable("OMIRA_TEST_POSTGRES");
}

// Runs `statement` on a connection of its own to the test database.
bool runOnServer(const QString &statement, QString *error = nullptr)
{
    static std::atomic<int> counter{0};
    const QString name = u"omira-test-admin-%1"_s.arg(counter.fetch_add(1));
    bool done = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QPSQL"_s, name);
        db.setConnectOptions(serverConnection());
        if (db.open()) {
            QSqlQuery query(db);
            done = query.exec(u"SET lock_timeout = 5000"_s) &&
                   query.exec(u"SET client_min_messages = warning"_s) && query.exec(statement);
            if (!done && error)
                *error = query.lastError().text();
        } else if (error) {
            *error = db.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return done;
}

} // namespace

bool TestStore::onServer()
{
    return qEnvironmentVariable("OMIRA_TEST_BACKEND").compare(u"postgresql"_s, Qt::CaseInsensitive) == 0;
}

QString TestStore::unavailable()
{
    return unavailable(onServer());
}

QString TestStore::unavailable(bool server)
{
    if (!server)
        return {};
    if (!QSqlDatabase::isDriverAvailable(u"QPSQL"_s))
        return u"Qt's PostgreSQL driver is not installed (libqt6sql6-psql)"_s;
    if (serverConnection().isEmpty())
        return u"no test server: run under scripts/with-postgres.sh"_s;
    QString error;
    if (!runOnServer(u"SELECT 1"_s, &error))
        return u"the test server does not answer: "_s + error;
    return {};
}

TestStore::TestStore() : TestStore(onServer()) {}

TestStore::TestStore(bool server) : m_wantsServer(server)
{
    if (!server || serverConnection().isEmpty())
        return;
    static std::atomic<int> counter{0};
    m_schema = u"t%1_%2"_s.arg(QCoreApplication::applicationPid()).arg(counter.fetch_add(1));
    QString error;
    if (!runOnServer(u"CREATE SCHEMA "_s + m_schema, &error)) {
        qWarning("test schema not made: %s", qPrintable(error));
        m_schema.clear();
        return;
    }
    m_server.kind = DataServer::Kind::PostgreSql;
    m_server.connection = serverConnection() + u" options='-c search_path=%1'"_s.arg(m_schema);
}

TestStore::~TestStore()
{
    if (!m_schema.isEmpty())
        runOnServer(u"DROP SCHEMA %1 CASCADE"_s.arg(m_schema));
}

bool TestStore::isValid() const
{
    return m_dir.isValid() && (!m_wantsServer || !m_schema.isEmpty());
}

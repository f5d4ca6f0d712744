#pragma once

#include "base/DataServer.h"

#include <QString>
#include <QTemporaryDir>

// The data layer's suites run once on the data folder's files and once on a
// PostgreSQL server: ctest registers each of them twice, the second time with
// OMIRA_TEST_BACKEND=postgresql, and the server is the one that
// scripts/with-postgres.sh starts (OMIRA_TEST_POSTGRES).
//
// A TestStore is one test's own store: a temporary data folder and, on the
// server, a schema of its own in the test database, dropped at the end, so
// that suites running at the same time never see each other's tables.
class TestStore
{
public:
    TestStore();
    // A store on the server (or on the files) whatever this run's backend.
    explicit TestStore(bool server);
    ~TestStore();
    TestStore(const TestStore &) = delete;
    TestStore &operator=(const TestStore &) = delete;

    // Whether this run is the one on the server.
    static bool onServer();
    // Empty when this run's backend can be used, else why not (for initTestCase:
    // see OMIRA_REQUIRE_BACKEND).
    static QString unavailable();
    static QString unavailable(bool server);

    bool isValid() const;
    // The data folder, with a trailing separator.
    QString folder() const { return m_dir.path() + u'/'; }
    QString path(const QString &fileName) const { return folder() + fileName; }
    // Where the data layer keeps the tables of this store.
    DataServer server() const { return m_server; }
    const QString &schema() const { return m_schema; }

private:
    QTemporaryDir m_dir;
    bool m_wantsServer = false;
    QString m_schema;
    DataServer m_server;
};

// In initTestCase: a run on a server that is not there fails under CI (the test
// script always starts one) and is skipped elsewhere.
#define OMIRA_REQUIRE_BACKEND()                                                                              \
    do {                                                                                                     \
        const QString reason = TestStore::unavailable();                                                     \
        if (!reason.isEmpty()) {                                                                             \
            if (qEnvironmentVariableIsSet("CI"))                                                             \
                QFAIL(qPrintable(reason));                                                                   \
            QSKIP(qPrintable(reason));                                                                       \
        }                                                                                                    \
    } while (false)

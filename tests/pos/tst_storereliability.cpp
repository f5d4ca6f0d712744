#include "TestStore.h"
#include "stock/DataFile.h"
#include "stock/TableLayouts.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QSqlQuery>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

constexpr int Year = 2026;

// Keys from the lines a child finished printing; a cut last line is ignored.
QList<int> keysPrinted(const QByteArray &output)
{
    QList<int> keys;
    const QList<QByteArray> lines = output.split('\n');
    for (qsizetype i = 0; i + 1 < lines.size(); ++i)
        keys << lines.at(i).toInt();
    return keys;
}

QSet<int> storedKeys(const TestStore &store, QString &integrity)
{
    DataFile file;
    file.setServer(store.server());
    QSet<int> keys;
    if (!file.open(store.path(TableLayouts::salesFileName(Year)), false)) {
        integrity = file.lastError();
        return keys;
    }
    QSqlQuery query(file.database());
    // The server keeps its own pages sound; a file is checked page by page.
    integrity = u"ok"_s;
    if (!store.onServer() && query.exec(u"PRAGMA integrity_check"_s))
        integrity = query.next() ? query.value(0).toString() : query.lastError().text();
    query.exec(u"SELECT ID_PRIMARY FROM "_s + TableLayouts::salesTableName(Year));
    while (query.next())
        keys.insert(query.value(0).toInt());
    return keys;
}

} // namespace

class TestStoreReliability : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void killedTillLosesNothingItReported();
    void fourTillsStoreAtOnce();

private:
    QProcess *startTill(const TestStore &store, int count, int till);
};

void TestStoreReliability::initTestCase()
{
    OMIRA_REQUIRE_BACKEND();
}

QProcess *TestStoreReliability::startTill(const TestStore &store, int count, int till)
{
    auto *process = new QProcess(this);
    QStringList arguments{store.folder(), QString::number(Year), QString::number(count),
                          QString::number(till)};
    if (store.onServer())
        arguments << store.server().connection;
    process->start(QStringLiteral(POS_STORE_CHILD), arguments);
    return process;
}

void TestStoreReliability::killedTillLosesNothingItReported()
{
    TestStore store;
    QVERIFY(store.isValid());
    const quint32 seed = QRandomGenerator::global()->generate();
    qInfo("seed %u", seed);
    QRandomGenerator random(seed);
    QList<int> reported;
    QElapsedTimer elapsed;
    elapsed.start();
    for (int round = 0; round < 12 && elapsed.elapsed() < 8000; ++round) {
        QProcess *till = startTill(store, 1000000, round);
        QVERIFY(till->waitForStarted(10000));
        // Wait for the first key, so that every round kills a till that writes.
        QVERIFY(QTest::qWaitFor(
            [&] { return till->bytesAvailable() > 0 || till->state() != QProcess::Running; }, 10000));
        QTest::qWait(int(random.bounded(5, 150)));
        till->kill(); // SIGKILL
        QVERIFY(till->waitForFinished(10000));
        QCOMPARE(till->exitStatus(), QProcess::CrashExit);
        QCOMPARE(till->readAllStandardError(), QByteArray());
        reported << keysPrinted(till->readAllStandardOutput());
        delete till;
    }
    QVERIFY(reported.size() > 0);
    QString integrity;
    const QSet<int> stored = storedKeys(store, integrity);
    QCOMPARE(integrity, u"ok"_s);
    for (int key : std::as_const(reported))
        QVERIFY2(stored.contains(key), qPrintable(u"key %1 reported but not stored"_s.arg(key)));
    QCOMPARE(QSet<int>(reported.begin(), reported.end()).size(), reported.size());
}

void TestStoreReliability::fourTillsStoreAtOnce()
{
    TestStore store;
    QVERIFY(store.isValid());
    constexpr int Tills = 4;
    constexpr int Items = 100;
    QList<QProcess *> tills;
    for (int till = 0; till < Tills; ++till)
        tills << startTill(store, Items, till);
    QList<int> reported;
    for (QProcess *till : std::as_const(tills)) {
        QVERIFY(till->waitForFinished(60000));
        QCOMPARE(till->readAllStandardError(), QByteArray());
        QCOMPARE(till->exitStatus(), QProcess::NormalExit);
        QCOMPARE(till->exitCode(), 0);
        const QList<int> keys = keysPrinted(till->readAllStandardOutput());
        QCOMPARE(keys.size(), Items);
        reported << keys;
        delete till;
    }
    QString integrity;
    const QSet<int> stored = storedKeys(store, integrity);
    QCOMPARE(integrity, u"ok"_s);
    QCOMPARE(QSet<int>(reported.begin(), reported.end()).size(), Tills * Items);
    QCOMPARE(stored, QSet<int>(reported.begin(), reported.end()));
}

QTEST_GUILESS_MAIN(TestStoreReliability)
#include "tst_storereliability.moc"

// A data folder's SQLite tables copied into the shop's database server: every
// row arrives as it was, a table the server holds already is left alone, a
// Paradox table is sent to its own conversion first, and a cancelled copy leaves
// nothing half written.
#include "SalesFixture.h"
#include "TestStore.h"
#include "base/Cp1250.h"
#include "base/Progress.h"
#include "stock/DataFile.h"
#include "stock/ServerCopy.h"
#include "stock/TableLayouts.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QDateTime Now(QDate(2026, 12, 11), QTime(8, 30));

// A price list of three cards, two with Slovak names.
void writeStockFile(const QString &path)
{
    DataFile file;
    QVERIFY(file.open(path, true));
    for (const QString &statement : TableLayouts::stockTableStatements())
        QVERIFY2(file.exec(statement), qPrintable(file.lastError()));
    QSqlQuery insert(file.database());
    insert.prepare(u"INSERT INTO VX60_SKLAD (KOD, NAZOV, MJ, JC, SKLAD_IDX) VALUES (?, ?, ?, ?, ?)"_s);
    const QList<QVariantList> cards = {{u"100"_s, u"Mlieko 1,5%"_s, u"ks"_s, 1.5, 1},
                                       {u"200"_s, u"Čaj zelený"_s, u"bal"_s, 2.1, 2},
                                       {u"300"_s, u"ČOKOLÁDA mliečna"_s, u"ks"_s, 1.2, 1}};
    for (const QVariantList &card : cards) {
        for (const QVariant &value : card)
            insert.addBindValue(value);
        QVERIFY2(insert.exec(), qPrintable(insert.lastError().text()));
    }
}

// Every row of `table` as text, in key order, the same for either backend.
QStringList rowsOf(DataFile &file, const QString &table, const QString &order)
{
    QSqlQuery query(file.database());
    if (!query.exec(u"SELECT * FROM %1 ORDER BY %2"_s.arg(table, order)))
        return {query.lastError().text()};
    QStringList rows;
    while (query.next()) {
        QStringList cells;
        const QSqlRecord record = query.record();
        for (const TableLayouts::Field &field : table == TableLayouts::StockTableName
                                                    ? TableLayouts::stockFields()
                                                    : TableLayouts::salesFields()) {
            const int column = record.indexOf(QString::fromUtf16(field.name));
            const QVariant value = query.value(column);
            // Dates and times come back typed from the server and as text from a file;
            // a null number reads as 0 from the server's driver.
            if (query.isNull(column))
                cells << u"NULL"_s;
            else if (value.typeId() == QMetaType::QTime)
                cells << value.toTime().toString(u"HH:mm:ss"_s);
            else
                cells << value.toString();
        }
        rows << cells.join(u'|');
    }
    return rows;
}

class CancelAt : public Progress
{
public:
    bool advance(qint64 done, qint64) override { return done < 1; }
};

} // namespace

class TestServerCopy : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyRowArrives();
    void tableOnTheServerIsLeftAlone();
    void paradoxTableIsNotCopied();
    void cancelledCopyLeavesNothing();
    void toolCopiesAndReports();
};

void TestServerCopy::initTestCase()
{
    OMIRA_REQUIRE_BACKEND();
    if (!TestStore::onServer())
        QSKIP("copies to the server only");
}

void TestServerCopy::everyRowArrives()
{
    TestStore store;
    QVERIFY(store.isValid());
    writeStockFile(store.path(TableLayouts::StockFileName));
    SalesFixture::writeSalesFile(store.path(u"predaj_2025.db"_s), 2025, SalesFixture::FixtureRows);
    // More rows than one statement sends.
    QList<SalesFixture::SaleRow> many;
    for (int i = 0; i < ServerCopy::RowsPerStatement * 2 + 7; ++i)
        many.append({1 + i / 100, 10 + i, u"2026-03-02", u"100", u"Rožok", u"ks", 1, 0.1, 0.1, 20, 1});
    SalesFixture::writeSalesFile(store.path(u"predaj_2026.db"_s), 2026, many);

    ServerCopy copy(store.folder(), store.server(), Now);
    NoProgress progress;
    QVERIFY2(copy.run(progress), qPrintable(copy.report()));
    QCOMPARE(copy.results().size(), 3);

    DataFile server;
    server.setServer(store.server());
    QVERIFY(server.open(store.path(TableLayouts::StockFileName), false));
    const QList<std::tuple<QString, QString, QString>> tables = {
        {TableLayouts::StockFileName, TableLayouts::StockTableName, u"KOD"_s},
        {u"predaj_2025.db"_s, u"PREDAJ_2025"_s, u"ID_PRIMARY"_s},
        {u"predaj_2026.db"_s, u"PREDAJ_2026"_s, u"ID_PRIMARY"_s}};
    for (const auto &[fileName, table, order] : tables) {
        DataFile file;
        QVERIFY(file.open(store.path(fileName), false));
        const QStringList rows = rowsOf(file, table, order);
        QVERIFY(!rows.isEmpty());
        QCOMPARE(rowsOf(server, table, order), rows);
    }
    const QString report = copy.report();
    QVERIFY2(report.contains(u"predaj_2026.db (PREDAJ_2026): prečítané riadky 407, zapísané 407"_s),
             qPrintable(report));
    QFile written(copy.reportPath());
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(Cp1250::decode(written.readAll()).contains(u"\r\n  skopírovaná"_s));
}

void TestServerCopy::tableOnTheServerIsLeftAlone()
{
    TestStore store;
    QVERIFY(store.isValid());
    SalesFixture::writeSalesFile(store.path(u"predaj_2026.db"_s), 2026, SalesFixture::FixtureRows);
    NoProgress progress;
    ServerCopy first(store.folder(), store.server(), Now);
    QVERIFY(first.run(progress));
    // The till has sold on the server since; a second run must not copy over it.
    DataFile server;
    server.setServer(store.server());
    QVERIFY(server.open(store.path(u"predaj_2026.db"_s), false));
    QVERIFY(server.exec(u"DELETE FROM PREDAJ_2026 WHERE DU = 3"_s));
    ServerCopy second(store.folder(), store.server(), Now.addSecs(60));
    QVERIFY(!second.run(progress));
    QCOMPARE(second.results().size(), 1);
    QVERIFY(!second.results().first().copied);
    QVERIFY(second.results().first().error.contains(u"už na serveri"_s));
    QSqlQuery count(server.database());
    QVERIFY(count.exec(u"SELECT COUNT(*) FROM PREDAJ_2026"_s) && count.next());
    QCOMPARE(count.value(0).toInt(), 6);
}

void TestServerCopy::paradoxTableIsNotCopied()
{
    TestStore store;
    QVERIFY(store.isValid());
    QVERIFY(QFile::copy(QStringLiteral(OMIRA_PARADOX_DATA "/vx60_sklad.db"), store.path(u"vx60_sklad.db"_s)));
    ServerCopy copy(store.folder(), store.server(), Now);
    NoProgress progress;
    QVERIFY(!copy.run(progress));
    QCOMPARE(copy.results().size(), 1);
    QVERIFY(copy.results().first().error.contains(u"omira-migrate"_s));
    DataFile server;
    server.setServer(store.server());
    QVERIFY(server.open(store.path(TableLayouts::StockFileName), false));
    QVERIFY(!server.hasTable(TableLayouts::StockTableName));
}

void TestServerCopy::cancelledCopyLeavesNothing()
{
    TestStore store;
    QVERIFY(store.isValid());
    QList<SalesFixture::SaleRow> many;
    for (int i = 0; i < ServerCopy::RowsPerStatement * 2; ++i)
        many.append({1, 10 + i, u"2026-03-02", u"100", u"Rožok", u"ks", 1, 0.1, 0.1, 20, 1});
    SalesFixture::writeSalesFile(store.path(u"predaj_2026.db"_s), 2026, many);
    ServerCopy copy(store.folder(), store.server(), Now);
    CancelAt cancel;
    QVERIFY(!copy.run(cancel));
    QCOMPARE(copy.results().first().error, u"prerušené"_s);
    QCOMPARE(copy.results().first().rowsWritten, 0);
    DataFile server;
    server.setServer(store.server());
    QVERIFY(server.open(store.path(u"predaj_2026.db"_s), false));
    QVERIFY(!server.hasTable(u"PREDAJ_2026"_s));
}

void TestServerCopy::toolCopiesAndReports()
{
    TestStore store;
    QVERIFY(store.isValid());
    SalesFixture::writeSalesFile(store.path(u"predaj_2026.db"_s), 2026, SalesFixture::FixtureRows);
    const auto run = [](const QStringList &arguments) {
        QProcess tool;
        tool.start(QStringLiteral(OMIRA_MIGRATE_EXE), arguments);
        tool.waitForFinished(60000);
        return std::pair{tool.exitCode(), QString::fromUtf8(tool.readAllStandardOutput())};
    };
    const auto [copied, output] = run({store.folder(), u"--server"_s, store.server().connection});
    QCOMPARE(copied, 0);
    QVERIFY2(output.contains(u"prečítané riadky 9, zapísané 9"_s), qPrintable(output));
    QCOMPARE(run({store.folder(), u"--server"_s, store.server().connection}).first, 1); // already there
    QCOMPARE(run({store.folder(), u"--server"_s}).first, 2);
    QCOMPARE(run({store.folder(), u"--server"_s, store.server().connection, u"--force"_s}).first, 2);
}

QTEST_MAIN(TestServerCopy)
#include "tst_servercopy.moc"

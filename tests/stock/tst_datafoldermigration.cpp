#include "ParadoxFixtureRows.h"
#include "TestPaths.h"
#include "base/Cp1250.h"
#include "base/Progress.h"
#include "stock/DataFile.h"
#include "stock/DataFolderMigration.h"
#include "stock/StockTable.h"
#include "stock/TableLayouts.h"

#include <QDir>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QDateTime Now(QDate(2026, 3, 14), QTime(9, 26, 53));
const QString Stamp = u"20260314_092653"_s;

QString fixture(const QString &name)
{
    return QStringLiteral(OMIRA_PARADOX_DATA "/") + name;
}

// A data folder of an older installation: the tables under the names given, with
// an index file and a secondary index beside them as the old program leaves them.
struct OldFolder
{
    QTemporaryDir dir;

    void put(const QString &fixtureName, const QString &name)
    {
        QVERIFY(QFile::copy(fixture(fixtureName), path(name)));
    }
    void putStandard()
    {
        put(u"vx60_sklad.db"_s, u"vx60_sklad.db"_s);
        put(u"predaj_2024.db"_s, u"predaj_2024.db"_s);
        put(u"predaj_2019.db"_s, u"PREDAJ_2019.DB"_s);
        QVERIFY(TestPaths::writeFile(path(u"VX60_SKLAD.PX"_s), "primary index"));
        QVERIFY(TestPaths::writeFile(path(u"predaj_2024.X02"_s), "secondary index"));
        QVERIFY(TestPaths::writeFile(path(u"predaj_2024.Y02"_s), "secondary index"));
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    QString report() const
    {
        return Cp1250::decode(TestPaths::readFile(path(u"migracia_"_s + Stamp + u".txt"_s)));
    }
};

// Values as our columns hold them.
QVariant stored(const QVariant &value)
{
    if (value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::QDate:
        return value.toDate().toString(u"yyyy-MM-dd"_s);
    case QMetaType::QTime:
        return value.toTime().toString(u"HH:mm:ss"_s);
    case QMetaType::Bool:
        return int(value.toBool());
    default:
        return value;
    }
}

void compareRow(const QSqlQuery &query, const QVariantList &expected, const QString &what)
{
    for (qsizetype f = 0; f < expected.size(); ++f) {
        const QVariant want = stored(expected[f]);
        const QVariant got = query.value(int(f));
        const bool same = want.isNull()                        ? got.isNull()
                          : want.typeId() == QMetaType::Double ? got.toDouble() == want.toDouble()
                                                               : got.toString() == want.toString();
        QVERIFY2(same, qPrintable(u"%1 column %2: %3, expected %4"_s.arg(what).arg(f).arg(got.toString(),
                                                                                          want.toString())));
    }
}

QStringList schemaOf(DataFile &file)
{
    QSqlQuery query(file.database());
    query.exec(u"SELECT type, name, sql FROM sqlite_master ORDER BY type, name"_s);
    QStringList rows;
    while (query.next())
        rows << query.value(0).toString() + u' ' + query.value(1).toString() + u' ' +
                    query.value(2).toString();
    return rows;
}

class CancelAtCall : public Progress
{
public:
    explicit CancelAtCall(int call) : m_call(call) {}
    bool advance(qint64, qint64) override { return ++m_calls != m_call; }

private:
    int m_call;
    int m_calls = 0;
};

} // namespace

class TestDataFolderMigration : public QObject
{
    Q_OBJECT

private slots:
    void convertsEveryTableRowByRow();
    void keepsVerifiedCopiesOfTheOriginals();
    void reportsRefusedRows();
    void refusesAConvertedFolderWithoutForce();
    void forceConvertsOnlyTheParadoxTables();
    void failureHalfWayLeavesTheOriginal();
    void damagedTableStaysInPlace();
};

void TestDataFolderMigration::convertsEveryTableRowByRow()
{
    OldFolder folder;
    folder.putStandard();
    NoProgress progress;
    DataFolderMigration migration(folder.dir.path(), false, Now);
    QVERIFY2(migration.run(progress), qPrintable(migration.error() + migration.report()));

    QCOMPARE(QDir(folder.dir.path()).entryList(QDir::Files),
             (QStringList{u"migracia_"_s + Stamp + u".txt"_s, u"predaj_2019.db"_s, u"predaj_2024.db"_s,
                          u"vx60_sklad.db"_s}));
    DataFile stock;
    QVERIFY(stock.open(folder.path(u"vx60_sklad.db"_s), false));
    QSqlQuery cards(stock.database());
    QVERIFY(cards.exec(u"SELECT %1 FROM VX60_SKLAD ORDER BY rowid"_s.arg(StockTable::columnList())));
    for (int i = 0; i < ParadoxFixtureRows::StockRows; ++i) {
        QVERIFY(cards.next());
        compareRow(cards, ParadoxFixtureRows::stockRow(i), u"card %1"_s.arg(i));
    }
    QVERIFY(!cards.next());
    // The file is the one the program creates, change log included.
    QTemporaryDir fresh;
    DataFile created;
    QVERIFY(created.open(fresh.filePath(u"vx60_sklad.db"_s), true));
    QVERIFY(StockTable(created).create());
    QCOMPARE(schemaOf(stock), schemaOf(created));

    const struct
    {
        int year;
        int rows;
        bool discounts;
    } years[] = {{2024, ParadoxFixtureRows::SalesRows, true},
                 {2019, ParadoxFixtureRows::OldSalesRows, false}};
    for (const auto &year : years) {
        DataFile sales;
        QVERIFY(sales.open(folder.path(TableLayouts::salesFileName(year.year)), false));
        QSqlQuery row(sales.database());
        row.prepare(u"SELECT * FROM %1 WHERE ID_PRIMARY = ?"_s.arg(TableLayouts::salesTableName(year.year)));
        for (int i = 0; i < year.rows; ++i) {
            QVariantList expected = ParadoxFixtureRows::salesRow(i, year.discounts);
            if (!year.discounts)
                expected << 0 << 0; // as the program's upgrade gives them
            row.addBindValue(expected[0]);
            QVERIFY(row.exec() && row.next());
            compareRow(row, expected, u"%1 row %2"_s.arg(year.year).arg(i));
        }
        QSqlQuery count(sales.database());
        QVERIFY(count.exec(u"SELECT COUNT(*) FROM "_s + TableLayouts::salesTableName(year.year)) &&
                count.next());
        QCOMPARE(count.value(0).toInt(), year.rows);
        DataFile empty;
        QVERIFY(empty.open(fresh.filePath(u"sales%1.db"_s.arg(year.year)), true));
        for (const QString &statement :
             TableLayouts::salesTableStatements(TableLayouts::salesTableName(year.year)))
            QVERIFY(empty.exec(statement));
        QCOMPARE(schemaOf(sales), schemaOf(empty));
    }
    QVERIFY2(folder.report().contains(u"vx60_sklad.db: prečítané riadky 300, zapísané 300, odmietnuté 0"_s),
             qPrintable(folder.report()));
    QVERIFY(folder.report().contains(u"PREDAJ_2019.DB: prečítané riadky 180, zapísané 180, odmietnuté 0"_s));
    QCOMPARE(folder.report(), QString(migration.report()).replace(u'\n', u"\r\n"_s));
}

void TestDataFolderMigration::keepsVerifiedCopiesOfTheOriginals()
{
    OldFolder folder;
    folder.putStandard();
    QMap<QString, QByteArray> originals;
    for (const QString &name : QDir(folder.dir.path()).entryList(QDir::Files))
        originals[name] = TestPaths::readFile(folder.path(name));
    NoProgress progress;
    DataFolderMigration migration(folder.dir.path(), false, Now);
    QVERIFY(migration.run(progress));
    QCOMPARE(migration.backupFolder(), folder.path(u"zaloha/paradox_"_s + Stamp));
    QDir backup(migration.backupFolder());
    QStringList copies = backup.entryList(QDir::Files);
    copies.sort();
    QCOMPARE(copies, QStringList(originals.keys()));
    for (auto it = originals.cbegin(); it != originals.cend(); ++it)
        QCOMPARE(TestPaths::readFile(backup.filePath(it.key())), it.value());
}

void TestDataFolderMigration::reportsRefusedRows()
{
    OldFolder folder;
    folder.put(u"problems/vx60_sklad.db"_s, u"vx60_sklad.db"_s);
    folder.put(u"problems/predaj_2023.db"_s, u"predaj_2023.db"_s);
    NoProgress progress;
    DataFolderMigration migration(folder.dir.path(), false, Now);
    QVERIFY(!migration.run(progress)); // refused rows make the run fail, the tables are converted
    const QString report = folder.report();
    const QString expectedLines[] = {
        u"predaj_2023.db: prečítané riadky 30, zapísané 28, odmietnuté 2"_s,
        u"  riadok 6: hodnota poľa NAZOV má 50 znakov, pole ich má najviac 41"_s,
        u"  riadok 7: duplicitný kľúč ID_PRIMARY = 13"_s,
        u"vx60_sklad.db: prečítané riadky 40, zapísané 38, odmietnuté 2"_s,
        u"  riadok 11: duplicitný kľúč KOD = K00009"_s,
        u"  riadok 21: pole NAZOV je prázdne, musí byť vyplnené"_s,
    };
    for (const QString &line : expectedLines)
        QVERIFY2(report.contains(line), qPrintable(report));
    QCOMPARE(DataFile::probe(folder.path(u"vx60_sklad.db"_s)), DataFile::Kind::Sqlite);
    QCOMPARE(DataFile::probe(folder.path(u"predaj_2023.db"_s)), DataFile::Kind::Sqlite);
}

void TestDataFolderMigration::refusesAConvertedFolderWithoutForce()
{
    OldFolder folder;
    folder.put(u"vx60_sklad.db"_s, u"vx60_sklad.db"_s);
    DataFile converted;
    QVERIFY(converted.open(folder.path(u"predaj_2025.db"_s), true));
    QVERIFY(converted.exec(u"CREATE TABLE PREDAJ_2025 (ID_PRIMARY INTEGER PRIMARY KEY)"_s));
    converted.close();
    NoProgress progress;
    DataFolderMigration migration(folder.dir.path(), false, Now);
    QVERIFY(!migration.run(progress));
    QVERIFY2(migration.error().contains(u"--force"_s), qPrintable(migration.error()));
    QVERIFY(migration.error().contains(u"predaj_2025.db"_s));
    QCOMPARE(TestPaths::readFile(folder.path(u"vx60_sklad.db"_s)),
             TestPaths::readFile(fixture(u"vx60_sklad.db"_s)));
    QVERIFY(!QDir(folder.path(u"zaloha"_s)).exists());
}

void TestDataFolderMigration::forceConvertsOnlyTheParadoxTables()
{
    OldFolder folder;
    folder.put(u"vx60_sklad.db"_s, u"vx60_sklad.db"_s);
    {
        DataFile converted;
        QVERIFY(converted.open(folder.path(u"predaj_2025.db"_s), true));
        QVERIFY(converted.exec(u"CREATE TABLE PREDAJ_2025 (ID_PRIMARY INTEGER PRIMARY KEY)"_s));
    }
    const QByteArray sqlite = TestPaths::readFile(folder.path(u"predaj_2025.db"_s));
    NoProgress progress;
    DataFolderMigration migration(folder.dir.path(), true, Now);
    QVERIFY2(migration.run(progress), qPrintable(migration.error() + migration.report()));
    QCOMPARE(TestPaths::readFile(folder.path(u"predaj_2025.db"_s)), sqlite);
    QCOMPARE(DataFile::probe(folder.path(u"vx60_sklad.db"_s)), DataFile::Kind::Sqlite);
    QCOMPARE(migration.results().size(), 1);
}

void TestDataFolderMigration::failureHalfWayLeavesTheOriginal()
{
    OldFolder folder;
    folder.putStandard();
    // Folder order: PREDAJ_2019.DB, predaj_2024.db, vx60_sklad.db; the second table is stopped.
    CancelAtCall progress(2);
    DataFolderMigration migration(folder.dir.path(), false, Now);
    QVERIFY(!migration.run(progress));
    QCOMPARE(TestPaths::readFile(folder.path(u"predaj_2024.db"_s)),
             TestPaths::readFile(fixture(u"predaj_2024.db"_s)));
    QVERIFY(QFile::exists(folder.path(u"predaj_2024.X02"_s)));
    QVERIFY(!QFile::exists(folder.path(u"predaj_2024.db.migracia"_s)));
    QCOMPARE(DataFile::probe(folder.path(u"predaj_2019.db"_s)), DataFile::Kind::Sqlite);
    QCOMPARE(DataFile::probe(folder.path(u"vx60_sklad.db"_s)), DataFile::Kind::Sqlite);
    QVERIFY2(folder.report().contains(u"CHYBA: Prevod bol prerušený. Pôvodná tabuľka ostala na mieste."_s),
             qPrintable(folder.report()));
}

void TestDataFolderMigration::damagedTableStaysInPlace()
{
    OldFolder folder;
    folder.put(u"damaged_block_chain.db"_s, u"vx60_sklad.db"_s);
    NoProgress progress;
    DataFolderMigration migration(folder.dir.path(), false, Now);
    QVERIFY(!migration.run(progress));
    QCOMPARE(TestPaths::readFile(folder.path(u"vx60_sklad.db"_s)),
             TestPaths::readFile(fixture(u"damaged_block_chain.db"_s)));
    QCOMPARE(migration.results().size(), 1);
    QVERIFY(!migration.results().first().converted);
    QVERIFY(folder.report().contains(u"CHYBA: "_s));
}

QTEST_GUILESS_MAIN(TestDataFolderMigration)
#include "tst_datafoldermigration.moc"

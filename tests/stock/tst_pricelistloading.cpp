#include "CancelAfter.h"
#include "ScriptedDialogs.h"
#include "TestPaths.h"
#include "TestStore.h"
#include "base/Progress.h"
#include "lang/MessageTable.h"
#include "stock/DataFile.h"
#include "stock/ParadoxStockSource.h"
#include "stock/PriceListLoading.h"
#include "stock/PriceListMerge.h"
#include "stock/SqliteStockSource.h"
#include "stock/StockBackup.h"
#include "stock/StockChangeLog.h"
#include "stock/StockTable.h"
#include "stock/TableLayouts.h"
#include "stock/UnitAndGroupNames.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QDateTime Now(QDate(2025, 3, 9), QTime(14, 32, 51));
const QString BackupName = u"vx60_sklad_090325_1432.db"_s;

StockRow card(const QString &kod, const QString &nazov, double price)
{
    StockRow row;
    row.kod = kod;
    row.nazov = nazov;
    row.jc = price;
    row.mj = u"ks"_s;
    row.mjIdx = 1;
    row.skladIdx = 2;
    return row;
}

QList<StockRow> rowsOf(DataFile &file, const QString &table)
{
    QList<StockRow> rows;
    QSqlQuery query(file.database());
    if (!query.exec(u"SELECT %1 FROM %2 ORDER BY rowid"_s.arg(StockTable::columnList(), table)))
        return rows;
    while (query.next())
        rows << StockTable::rowFrom(query);
    return rows;
}

// A data folder whose price list has two cards, and the stock table of another
// installation in its "import" folder: one card of the same code, one new.
struct Shop
{
    Shop()
    {
        dataFolder = dir.path() + u"/cennik/"_s;
        importFolder = dataFolder + u"import/"_s;
        QDir().mkpath(importFolder);
        UnitAndGroupNames::fromLists({u"krát"_s, u"ks"_s}, {u"Potraviny"_s}).save(dataFolder);
        stock.setServer(store.server());
        QVERIFY(stock.open(dataFolder + u"vx60_sklad.db"_s, true));
        QVERIFY(StockTable(stock).create());
        for (const StockRow &row : ours)
            QVERIFY(StockTable(stock).insert(row));
        sourcePath = importFolder + u"vx60_sklad.db"_s;
        writeSource(theirs);
    }

    void writeSource(const QList<StockRow> &rows, bool ignoreChecks = false)
    {
        QFile::remove(sourcePath);
        DataFile source;
        QVERIFY(source.open(sourcePath, true));
        QVERIFY(StockTable(source).create());
        if (ignoreChecks)
            QVERIFY(source.exec(u"PRAGMA ignore_check_constraints = 1"_s));
        for (const StockRow &row : rows)
            QVERIFY(StockTable(source).insert(row));
    }

    // A source file holding just the table made by `create`.
    void writeForeignTable(const QString &create)
    {
        QFile::remove(sourcePath);
        DataFile source;
        QVERIFY(source.open(sourcePath, true));
        QVERIFY(source.exec(create));
    }

    QList<StockRow> cards() { return rowsOf(stock, TableLayouts::StockTableName); }
    QList<StockRow> kept() { return rowsOf(stock, PriceListMerge::BackupTableName); }
    QString backupPath() const { return dataFolder + u"zaloha/"_s + BackupName; }

    PriceListMerge::Result merge(Progress &progress)
    {
        SqliteStockSource source(sourcePath);
        return PriceListMerge(stock, dataFolder).run(source, progress, Now);
    }

    PriceListLoading::Changes load(const QString &chosen)
    {
        dialogs.queueFile(chosen);
        NoProgress progress;
        return PriceListLoading({dataFolder, stock, messages, dialogs, progress}).run(Now);
    }

    TestStore store; // the price list merged into: the folder's file or the test server
    QTemporaryDir dir;
    QString dataFolder;
    QString importFolder;
    QString sourcePath;
    DataFile stock;
    MessageTable messages; // placeholders: a box shows "[MSG_n]"
    ScriptedDialogs dialogs;
    NoProgress noProgress;
    const QList<StockRow> ours{card(u"100"_s, u"Mlieko"_s, 0.89), card(u"200"_s, u"Chlieb"_s, 1.5)};
    const QList<StockRow> theirs{card(u"200"_s, u"Chlieb tmavý"_s, 1.79), card(u"300"_s, u"Maslo"_s, 2.2)};
};

QString msg(int number)
{
    return u"[MSG_%1]"_s.arg(number);
}

} // namespace

class TestPriceListLoading : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void backupName();
    void newestBackup();

    void mergeReplacesAndAppends();
    void backupTableHoldsOnlyTheLastMerge();
    void backupTakenBeforeTheMerge();
    void failingBackupStopsTheMerge();
    void otherLayoutRefused_data();
    void otherLayoutRefused();
    void refusedRowsSkipped();
    void cancelRollsBack();
    void replacedCardsReachTheChangeLog();

    void fileRequest();
    void missingFileWarns();
    void binaryByExtension_data();
    void binaryByExtension();
    void unreadableBinaryWarns();
    void mergeWithCompanionSettings();
    void mergeWithoutCompanionKeepsUnits();
    void oldInstallationsTableMerges();
    void refusalsBeforeAnythingIsWritten_data();
    void refusalsBeforeAnythingIsWritten();
    void databaseErrorWarns();
};

void TestPriceListLoading::initTestCase()
{
    OMIRA_REQUIRE_BACKEND();
}

void TestPriceListLoading::backupName()
{
    QCOMPARE(StockBackup::fileName(Now), BackupName);
    QCOMPARE(StockBackup::fileName(QDateTime(QDate(2031, 12, 1), QTime(7, 5))),
             u"vx60_sklad_011231_0705.db"_s);
}

// By the minute in the name, not by the name's order nor by the file's time.
void TestPriceListLoading::newestBackup()
{
    QTemporaryDir dir;
    QCOMPARE(StockBackup::newest(dir.path()), QString());
    QDir().mkpath(dir.filePath(u"zaloha"_s));
    const QDateTime fileTime(QDate(2020, 1, 1), QTime(0, 0));
    for (const QString &name : {u"vx60_sklad_311224_2359.db"_s, u"vx60_sklad_010225_0800.db"_s,
                                u"vx60_sklad_150125_1200.db"_s, u"vx60_sklad_kopia.db"_s}) {
        const QString path = dir.filePath(u"zaloha/"_s + name);
        QVERIFY(TestPaths::writeFile(path, "x"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(fileTime, QFileDevice::FileModificationTime));
    }
    QCOMPARE(StockBackup::newest(dir.path()), dir.filePath(u"zaloha/vx60_sklad_010225_0800.db"_s));
    // A copy without a minute in its name counts by its modification time.
    QFile later(dir.filePath(u"zaloha/vx60_sklad_kopia.db"_s));
    QVERIFY(later.open(QIODevice::ReadWrite));
    QVERIFY(later.setFileTime(QDateTime(QDate(2026, 1, 1), QTime(0, 0)), QFileDevice::FileModificationTime));
    QCOMPARE(StockBackup::newest(dir.path()), dir.filePath(u"zaloha/vx60_sklad_kopia.db"_s));
}

void TestPriceListLoading::mergeReplacesAndAppends()
{
    Shop shop;
    const QList<StockRow> before = shop.cards();
    const auto result = shop.merge(shop.noProgress);
    QCOMPARE(result.outcome, PriceListMerge::Outcome::Merged);
    QCOMPARE(result.replaced, 1);
    QCOMPARE(result.appended, 1);
    QCOMPARE(result.moved(), 2);
    QCOMPARE(result.skipped, 0);
    // The replaced card keeps its place (row id); the new one comes last.
    QCOMPARE(shop.cards(), (QList<StockRow>{shop.ours[0], shop.theirs[0], shop.theirs[1]}));
    QCOMPARE(shop.kept(), QList<StockRow>{before[1]});
}

void TestPriceListLoading::backupTableHoldsOnlyTheLastMerge()
{
    Shop shop;
    QCOMPARE(shop.merge(shop.noProgress).outcome, PriceListMerge::Outcome::Merged);
    shop.writeSource({card(u"100"_s, u"Mlieko polotučné"_s, 0.95)});
    QCOMPARE(shop.merge(shop.noProgress).outcome, PriceListMerge::Outcome::Merged);
    QCOMPARE(shop.kept(), QList<StockRow>{shop.ours[0]});
}

void TestPriceListLoading::backupTakenBeforeTheMerge()
{
    Shop shop;
    if (TestStore::onServer()) {
        // A table beside the price list.
        const auto result = shop.merge(shop.noProgress);
        QCOMPARE(result.outcome, PriceListMerge::Outcome::Merged);
        QCOMPARE(result.backupPath, StockBackup::tableName(Now));
        QCOMPARE(rowsOf(shop.stock, result.backupPath), shop.ours);
        return;
    }
    const QByteArray before = TestPaths::readFile(shop.stock.path());
    QVERIFY(!before.isEmpty());
    // A copy of the same minute from an earlier attempt is replaced.
    QDir().mkpath(shop.dataFolder + u"zaloha"_s);
    QVERIFY(TestPaths::writeFile(shop.backupPath(), "an older copy"));
    const auto result = shop.merge(shop.noProgress);
    QCOMPARE(result.outcome, PriceListMerge::Outcome::Merged);
    QCOMPARE(result.backupPath, shop.backupPath());
    QCOMPARE(TestPaths::readFile(shop.backupPath()), before);
    DataFile backup;
    QVERIFY(backup.open(shop.backupPath(), false));
    QCOMPARE(rowsOf(backup, TableLayouts::StockTableName), shop.ours);
}

void TestPriceListLoading::failingBackupStopsTheMerge()
{
    if (TestStore::onServer())
        QSKIP("the files only");
    Shop shop;
    QVERIFY(TestPaths::writeFile(shop.dataFolder + u"zaloha"_s, "a file where the folder belongs"));
    const auto result = shop.merge(shop.noProgress);
    QCOMPARE(result.outcome, PriceListMerge::Outcome::BackupFailed);
    QVERIFY2(result.error.contains(BackupName), qPrintable(result.error));
    QCOMPARE(shop.cards(), shop.ours);
    QVERIFY(!shop.stock.hasTable(PriceListMerge::BackupTableName));
    // The lock is given back: the next change goes through.
    QVERIFY(StockTable(shop.stock).insert(card(u"400"_s, u"Soľ"_s, 0.3)));
}

void TestPriceListLoading::otherLayoutRefused_data()
{
    QTest::addColumn<QString>("create");
    QTest::addColumn<QString>("named"); // what the message must name
    const QString stockColumns =
        u"KOD VARCHAR(20), KOD_IDX INTEGER, NAZOV VARCHAR(41), Nazov1 VARCHAR(41), Nazov2 VARCHAR(41), "
        "BARCODE VARCHAR(20), MJ VARCHAR(10), MJ_IDX INTEGER, POCET DOUBLE PRECISION, JC DOUBLE PRECISION, "
        "JC_1 DOUBLE PRECISION, JC_2 DOUBLE PRECISION, JC_NAKUP DOUBLE PRECISION, DPH_IDX INTEGER, "
        "PREF SMALLINT, OBAL SMALLINT, SKLAD_IDX INTEGER"_s;
    QTest::newRow("no stock table") << u"CREATE TABLE PREDAJ_2025 (ID INTEGER)"_s << u"VX60_SKLAD"_s;
    QTest::newRow("last column missing")
        << u"CREATE TABLE VX60_SKLAD (%1)"_s.arg(stockColumns) << u"VER_DB"_s;
    QTest::newRow("a column more") << u"CREATE TABLE VX60_SKLAD (%1, VER_DB INTEGER, CENA2 DOUBLE)"_s.arg(
                                          stockColumns)
                                   << u"CENA2"_s;
    QTest::newRow("another type")
        << u"CREATE TABLE VX60_SKLAD (%1, VER_DB INTEGER)"_s.arg(
               QString(stockColumns).replace(u"JC DOUBLE PRECISION"_s, u"JC INTEGER"_s))
        << u"10. stĺpec „JC INTEGER“"_s;
    QTest::newRow("columns swapped") << u"CREATE TABLE VX60_SKLAD (%1, VER_DB INTEGER)"_s.arg(
                                            QString(stockColumns)
                                                .replace(
                                                    u"KOD VARCHAR(20), KOD_IDX INTEGER, NAZOV VARCHAR(41)"_s,
                                                    u"KOD VARCHAR(20), NAZOV VARCHAR(41), KOD_IDX INTEGER"_s))
                                     << u"2. stĺpec „NAZOV VARCHAR(41)“"_s;
}

void TestPriceListLoading::otherLayoutRefused()
{
    QFETCH(QString, create);
    QFETCH(QString, named);
    Shop shop;
    shop.writeForeignTable(create);
    const auto result = shop.merge(shop.noProgress);
    QCOMPARE(result.outcome, PriceListMerge::Outcome::LayoutRefused);
    QVERIFY2(result.error.contains(named), qPrintable(result.error));
    QCOMPARE(shop.cards(), shop.ours);
    QVERIFY(!QFile::exists(shop.backupPath()));
}

void TestPriceListLoading::refusedRowsSkipped()
{
    Shop shop;
    const QString tooLong(42, u'x');
    shop.writeSource({card(u"100"_s, tooLong, 1), card(u"300"_s, u"Maslo"_s, 2.2), card(u"400"_s, tooLong, 1),
                      card(u"500"_s, u"  "_s, 1)},
                     true);
    const auto result = shop.merge(shop.noProgress);
    QCOMPARE(result.outcome, PriceListMerge::Outcome::Merged);
    QCOMPARE(result.skipped, 3);
    QCOMPARE(result.moved(), 1);
    QCOMPARE(shop.cards(), (QList<StockRow>{shop.ours[0], shop.ours[1], card(u"300"_s, u"Maslo"_s, 2.2)}));
    // The card that stayed as it was is not among the replaced ones.
    QCOMPARE(shop.kept(), QList<StockRow>{});
}

void TestPriceListLoading::cancelRollsBack()
{
    Shop shop;
    // Cancelled before the first card and after the last one.
    for (int steps : {0, 1}) {
        CancelAfter progress(steps);
        QCOMPARE(shop.merge(progress).outcome, PriceListMerge::Outcome::Cancelled);
        QCOMPARE(shop.cards(), shop.ours);
        QVERIFY(!shop.stock.hasTable(PriceListMerge::BackupTableName));
    }
}

void TestPriceListLoading::replacedCardsReachTheChangeLog()
{
    Shop shop;
    StockChangeLog log(shop.stock);
    const std::optional<qint64> before = log.lastPosition();
    QVERIFY(before);
    QCOMPARE(shop.merge(shop.noProgress).outcome, PriceListMerge::Outcome::Merged);
    const auto changes = log.changesAfter(*before, 100);
    QVERIFY(changes);
    QCOMPARE(changes->rowIds, (QList<qint64>{2, 3}));
}

void TestPriceListLoading::fileRequest()
{
    Shop shop;
    shop.dialogs.setStrict(true);
    NoProgress progress;
    PriceListLoading loading({shop.dataFolder, shop.stock, shop.messages, shop.dialogs, progress});
    const PriceListLoading::Changes changes = loading.run(Now);
    QVERIFY(!changes.cards && !changes.unitsAndGroups);
    QCOMPARE(shop.dialogs.fileRequests().size(), 1);
    const UserDialogs::FileRequest &request = shop.dialogs.fileRequests().first();
    QCOMPARE(request.title, msg(220));
    QCOMPARE(request.filter, msg(221));
    QCOMPARE(QDir::cleanPath(request.folder), QDir::cleanPath(shop.importFolder));
    QCOMPARE(request.proposedName, u"vx60_sklad.db"_s);
    QVERIFY(request.existingOnly);
    QCOMPARE(loading.chosenFile(), QString());
}

void TestPriceListLoading::missingFileWarns()
{
    Shop shop;
    const auto changes = shop.load(shop.importFolder + u"zmazany.db"_s);
    QVERIFY(!changes.cards);
    QCOMPARE(shop.dialogs.shown().size(), 1);
    QCOMPARE(shop.dialogs.shown()[0].text, msg(222));
    QCOMPARE(shop.dialogs.shown()[0].caption, msg(223));
    QCOMPARE(shop.dialogs.shown()[0].icon, UserDialogs::Icon::Warning);
}

void TestPriceListLoading::binaryByExtension_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("loads");
    QTest::newRow("upper case") << u"CENNIK.BIN"_s << true;
    QTest::newRow("lower case") << u"cennik.bin"_s << true;
    QTest::newRow("mixed case") << u"cennik.Bin"_s << true;
    QTest::newRow("another extension") << u"cennik.txt"_s << false;
}

void TestPriceListLoading::binaryByExtension()
{
    QFETCH(QString, name);
    QFETCH(bool, loads);
    Shop shop;
    shop.dialogs.setStrict(true);
    QByteArray record(88, '\0');
    record.replace(0, 4, QByteArrayView("Ocot"));
    QVERIFY(TestPaths::writeFile(shop.importFolder + name, record + record));
    const auto changes = shop.load(shop.importFolder + name);
    QCOMPARE(changes.cards, loads);
    QCOMPARE(shop.cards().size(), loads ? 4 : 2);
    QCOMPARE(shop.dialogs.shown().size(), 0);
}

void TestPriceListLoading::unreadableBinaryWarns()
{
    Shop shop;
    QVERIFY(QDir().mkpath(shop.importFolder + u"priecinok.BIN"_s));
    QVERIFY(!shop.load(shop.importFolder + u"priecinok.BIN"_s).cards);
    QCOMPARE(shop.dialogs.shown().size(), 1);
    QVERIFY(shop.dialogs.shown()[0].text.startsWith(msg(91)));
    QCOMPARE(shop.dialogs.shown()[0].caption, msg(217));
    QCOMPARE(shop.cards(), shop.ours);
}

void TestPriceListLoading::mergeWithCompanionSettings()
{
    Shop shop;
    const QByteArray theirUnits = "[MJ]\r\nMJ_0=kg\r\nMJ_1=l\r\n";
    QVERIFY(TestPaths::writeFile(shop.importFolder + u"vx60_sklad.ini"_s, theirUnits));
    const auto changes = shop.load(shop.sourcePath);
    QVERIFY(changes.cards);
    QVERIFY(changes.unitsAndGroups);
    QCOMPARE(TestPaths::readFile(UnitAndGroupNames::filePath(shop.dataFolder)), theirUnits);
    QCOMPARE(shop.dialogs.shown().size(), 1);
    QCOMPARE(shop.dialogs.shown()[0].text, msg(227) + u"2"_s + msg(228));
    QCOMPARE(shop.dialogs.shown()[0].caption, msg(227));
    QCOMPARE(shop.dialogs.shown()[0].icon, UserDialogs::Icon::Information);
    QCOMPARE(shop.cards().size(), 3);
}

void TestPriceListLoading::mergeWithoutCompanionKeepsUnits()
{
    Shop shop;
    const QByteArray ourUnits = TestPaths::readFile(UnitAndGroupNames::filePath(shop.dataFolder));
    const auto changes = shop.load(shop.sourcePath);
    QVERIFY(changes.cards);
    QVERIFY(!changes.unitsAndGroups);
    QCOMPARE(TestPaths::readFile(UnitAndGroupNames::filePath(shop.dataFolder)), ourUnits);
    QCOMPARE(shop.dialogs.shown().size(), 2);
    const UserDialogs::Message &missing = shop.dialogs.shown()[0];
    QCOMPARE(missing.text, msg(224) + QDir::toNativeSeparators(shop.importFolder + u"vx60_sklad.ini"_s) +
                               u" \r\n"_s + msg(225));
    QCOMPARE(missing.caption, msg(226));
    QCOMPARE(missing.icon, UserDialogs::Icon::Information);
    QCOMPARE(shop.dialogs.shown()[1].text, msg(227) + u"2"_s + msg(228));
}

// The stock table of the old Windows version (a Paradox file, its extension in capitals as
// that system wrote it) merges like one of ours.
void TestPriceListLoading::oldInstallationsTableMerges()
{
    Shop shop;
    const QString oldTable = shop.importFolder + u"VX60_SKLAD.DB"_s;
    QVERIFY(QFile::copy(QStringLiteral(OMIRA_PARADOX_DATA) + u"/vx60_sklad.db"_s, oldTable));
    QList<StockRow> theirs;
    {
        ParadoxStockSource source(oldTable);
        QVERIFY2(source.checkLayout(), qPrintable(source.error()));
        StockRow row;
        while (source.next(row) == StockRowSource::Read::Row)
            theirs << row;
    }
    QVERIFY(theirs.size() > 100);

    const auto changes = shop.load(oldTable);
    QVERIFY(changes.cards);
    const UserDialogs::Message &done = shop.dialogs.shown().constLast();
    QVERIFY2(done.text.startsWith(msg(227) + QString::number(theirs.size()) + msg(228)),
             qPrintable(done.text));
    QHash<QString, StockRow> merged;
    for (const StockRow &card : shop.cards())
        merged.insert(card.kod, card);
    QCOMPARE(merged.size(), shop.ours.size() + theirs.size());
    for (const StockRow &card : theirs) {
        QVERIFY2(merged.contains(card.kod), qPrintable(card.kod));
        QCOMPARE(merged.value(card.kod).nazov, card.nazov);
        QCOMPARE(merged.value(card.kod).jc, card.jc);
    }
}

void TestPriceListLoading::refusalsBeforeAnythingIsWritten_data()
{
    QTest::addColumn<QString>("refusal");
    QTest::newRow("another layout") << u"layout"_s;
    QTest::newRow("not a table of ours") << u"foreign"_s;
    QTest::newRow("the stock file itself") << u"self"_s;
}

void TestPriceListLoading::refusalsBeforeAnythingIsWritten()
{
    QFETCH(QString, refusal);
    Shop shop;
    QString chosen = shop.sourcePath;
    if (refusal == u"layout")
        shop.writeForeignTable(u"CREATE TABLE VX60_SKLAD (KOD VARCHAR(20), NAZOV VARCHAR(41))"_s);
    else if (refusal == u"foreign")
        QVERIFY(TestPaths::writeFile(chosen, QByteArray(2048, '\x03')));
    else if (TestStore::onServer())
        QSKIP("the files only: on the server the price list is no file to choose");
    else
        chosen = shop.stock.path();
    const auto changes = shop.load(chosen);
    QVERIFY(!changes.cards && !changes.unitsAndGroups);
    QCOMPARE(shop.dialogs.shown().size(), 1);
    QCOMPARE(shop.dialogs.shown()[0].icon, UserDialogs::Icon::Warning);
    QCOMPARE(shop.dialogs.shown()[0].caption, msg(226));
    QVERIFY(shop.dialogs.shown()[0].text.contains(u"Cenník zostal bez zmeny."_s));
    QCOMPARE(shop.cards(), shop.ours);
    QVERIFY(!QFile::exists(shop.backupPath()));
}

// A ZALOHA that is a view cannot be emptied: the engine's error ends the merge.
void TestPriceListLoading::databaseErrorWarns()
{
    Shop shop;
    QVERIFY(shop.stock.exec(u"CREATE VIEW ZALOHA AS SELECT * FROM VX60_SKLAD"_s));
    const auto changes = shop.load(shop.sourcePath);
    QVERIFY(!changes.cards);
    QCOMPARE(shop.dialogs.shown().size(), 1);
    const UserDialogs::Message &box = shop.dialogs.shown()[0];
    QVERIFY2(box.text.startsWith(msg(229)) && box.text.size() > msg(229).size(), qPrintable(box.text));
    QCOMPARE(box.caption, msg(230));
    QCOMPARE(shop.cards(), shop.ours);
}

QTEST_GUILESS_MAIN(TestPriceListLoading)
#include "tst_pricelistloading.moc"

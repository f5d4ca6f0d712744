#include "ScriptedDialogs.h"
#include "TestPaths.h"
#include "TestStore.h"
#include "lang/MessageTable.h"
#include "pos/DataModule.h"
#include "pos/PrintedRows.h"
#include "stock/DataFile.h"
#include "stock/TableLayouts.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QDate Today(2026, 3, 14);

QString placeholder(Msg message)
{
    return u"[MSG_%1]"_s.arg(int(message));
}

SaleRow item(const QString &name, int cents, bool printed = false)
{
    SaleRow row;
    row.kod = u"K1"_s;
    row.nazov = name;
    row.mj = u"ks"_s;
    row.pocet = 1;
    row.jc = cents / 100.0;
    row.cenaInt = cents;
    row.cena = cents / 100.0;
    row.datum = Today;
    row.cas = QTime(10, 15, 0);
    row.fisk = printed;
    return row;
}

// Runs one statement on a file of `store` through a connection of its own.
QList<QVariantList> rowsOf(const TestStore &store, const QString &fileName, const QString &sql)
{
    DataFile file;
    file.setServer(store.server());
    if (!file.open(store.path(fileName), false))
        return {};
    QSqlQuery query(file.database());
    QList<QVariantList> rows;
    if (!query.exec(sql))
        return {{query.lastError().text()}};
    while (query.next()) {
        QVariantList row;
        for (int i = 0; i < query.record().count(); ++i)
            row << query.value(i);
        rows << row;
    }
    return rows;
}

} // namespace

class TestDataModule : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void salesTableHasTheLayoutsFieldsInOrder();
    void layoutRulesAreEnforced_data();
    void layoutRulesAreEnforced();
    void stockTableHasItsIndexes();

    void firstStartCreatesBothTablesSilently();
    void yearIsFixedAtCreation();
    void databaseSwitchOffOpensNothing();
    void missingDataFolderIsReported();
    void olderSalesTableGainsTheDiscountColumns();
    void upgradeReleasesTheTableForOtherTills();
    void salesTableGainsTheOverviewIndexes_data();
    void salesTableGainsTheOverviewIndexes();
    void tablesOfTwoYearsLiveSideBySide();
    void emptyTableGetsKeyOneAndStoringReturnsTheTotal();
    void openRowsOfAnInterruptedRunReappear();
    void twoModulesOnOneFolderNeverShareAKey();
    void openDocumentChangesAndPrinting();
    void foreignFileIsLeftAloneAndReported_data();
    void foreignFileIsLeftAloneAndReported();
    void damagedSqliteFileIsNotRepaired();
    void fileCutShortIsNamedAndLeftAlone_data();
    void fileCutShortIsNamedAndLeftAlone();
    void damagedPriceListIsRestoredOnlyOnYes_data();
    void damagedPriceListIsRestoredOnlyOnYes();
    void userTextIsStoredAsTyped();
    void insertFailureLeavesTheCallerTheEngineText();
    void unknownServerOpensNothingAndSaysSo();

private:
    DataModule &module(QDate today = Today);
    DataModuleSettings settings(const QString &folder = {}) const;
    QString path(const QString &name) const { return m_store->path(name); }
    QList<QVariantList> rowsOf(const QString &fileName, const QString &sql) const
    {
        return ::rowsOf(*m_store, fileName, sql);
    }
    bool openFile(DataFile &file, const QString &fileName, bool create = false, int busyMs = 2000) const;
    // Whether the store holds `table` of file `fileName` (on the files: the file exists too).
    bool holds(const QString &fileName, const QString &table) const;
    QStringList overviewIndexes(const QString &fileName, const QString &table) const;

    std::unique_ptr<TestStore> m_store;
    MessageTable m_messages;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<DataModule> m_module;
};

void TestDataModule::initTestCase()
{
    OMIRA_REQUIRE_BACKEND();
}

void TestDataModule::init()
{
    m_module.reset();
    m_store = std::make_unique<TestStore>();
    QVERIFY(m_store->isValid());
    m_dialogs.clear();
}

DataModuleSettings TestDataModule::settings(const QString &folder) const
{
    DataModuleSettings settings{u"/opt/omira"_s, folder.isEmpty() ? m_store->folder() : folder, true, 2000};
    settings.server = m_store->server();
    return settings;
}

DataModule &TestDataModule::module(QDate today)
{
    m_module = std::make_unique<DataModule>(settings(), m_messages, m_dialogs, today);
    return *m_module;
}

bool TestDataModule::openFile(DataFile &file, const QString &fileName, bool create, int busyMs) const
{
    file.setServer(m_store->server());
    return file.open(path(fileName), create, busyMs);
}

bool TestDataModule::holds(const QString &fileName, const QString &table) const
{
    if (!TestStore::onServer() && !QFile::exists(path(fileName)))
        return false;
    DataFile file;
    return openFile(file, fileName) && file.hasTable(table);
}

// The overview's indexes of `table`, upper case, in name order.
QStringList TestDataModule::overviewIndexes(const QString &fileName, const QString &table) const
{
    const QString sql =
        TestStore::onServer()
            ? u"SELECT upper(indexname) FROM pg_indexes WHERE schemaname = current_schema() AND "
              "upper(tablename) = '%1' AND indexname ILIKE '%%IDXPREHLAD%%' ORDER BY 1"_s.arg(table)
            : u"SELECT upper(name) FROM sqlite_master WHERE type = 'index' AND tbl_name = '%1' AND "
              "name LIKE 'IDXPREHLAD%%' ORDER BY 1"_s.arg(table);
    QStringList names;
    for (const QVariantList &row : rowsOf(fileName, sql))
        names << row.value(0).toString();
    return names;
}

void TestDataModule::salesTableHasTheLayoutsFieldsInOrder()
{
    QVERIFY(module().prepareSalesTable());
    DataFile file;
    QVERIFY(openFile(file, u"predaj_2026.db"_s));
    QCOMPARE(file.columnNames(u"PREDAJ_2026"_s),
             (QStringList{u"ID_PRIMARY"_s, u"KOD"_s,       u"NAZOV"_s,    u"NAZOV1"_s,    u"NAZOV2"_s,
                          u"MJ"_s,         u"POCET"_s,     u"JC"_s,       u"DPH"_s,       u"DU"_s,
                          u"DOKLAD"_s,     u"DATUM"_s,     u"CAS"_s,      u"ID_DOKLAD"_s, u"VER_DB"_s,
                          u"IDX_DPH"_s,    u"CENA"_s,      u"CENA_INT"_s, u"OBAL"_s,      u"FISK"_s,
                          u"SKLAD"_s,      u"POL_COUNT"_s, u"UCET"_s,     u"ZLAVA_INT"_s, u"ZLAVA_PERC"_s}));
    // A row written with the key and the name only gets the defaults of the layout.
    QVERIFY(file.exec(u"INSERT INTO PREDAJ_2026 (ID_PRIMARY, NAZOV) VALUES (1, 'x')"_s));
    file.close();
    const auto row = rowsOf(u"predaj_2026.db"_s,
                            u"SELECT DU, VER_DB, FISK, SKLAD, POL_COUNT, UCET, ZLAVA_INT FROM PREDAJ_2026"_s);
    QCOMPARE(row.value(0), (QVariantList{0, 2, 0, 0, 1, 1, 0}));
}

void TestDataModule::layoutRulesAreEnforced_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<bool>("accepted");
    // The server keeps a date or a time as one, so a short text naming one is
    // read into it; the files keep the text and accept only the full form.
    QTest::addColumn<bool>("acceptedOnServer");
    const QString name41 = QString(41, u'Ž');
    const auto row = [](const char *tag, const QString &statement, bool accepted) {
        QTest::newRow(tag) << statement << accepted << accepted;
    };
    row("name of 41 characters",
        u"INSERT INTO PREDAJ_2026 (ID_PRIMARY, NAZOV) VALUES (1, '%1')"_s.arg(name41), true);
    row("name of 42 characters",
        u"INSERT INTO PREDAJ_2026 (ID_PRIMARY, NAZOV) VALUES (1, '%1Ž')"_s.arg(name41), false);
    row("name missing", u"INSERT INTO PREDAJ_2026 (ID_PRIMARY, KOD) VALUES (1, 'A')"_s, false);
    row("code of 21 characters",
        u"INSERT INTO PREDAJ_2026 (ID_PRIMARY, NAZOV, KOD) VALUES (1, 'x', '%1')"_s.arg(QString(21, u'1')),
        false);
    row("logical other than 0 or 1",
        u"INSERT INTO PREDAJ_2026 (ID_PRIMARY, NAZOV, FISK) VALUES (1, 'x', 2)"_s, false);
    row("long integer above 32 bits",
        u"INSERT INTO PREDAJ_2026 (ID_PRIMARY, NAZOV, CENA_INT) VALUES (1, 'x', 2147483648)"_s, false);
    row("long integer at its minimum",
        u"INSERT INTO PREDAJ_2026 (ID_PRIMARY, NAZOV, CENA_INT) VALUES (1, 'x', -2147483648)"_s, true);
    QTest::newRow("date not yyyy-MM-dd")
        << u"INSERT INTO PREDAJ_2026 (ID_PRIMARY, NAZOV, DATUM) VALUES (1, 'x', '2026-3-1')"_s << false
        << true;
    QTest::newRow("time not HH:mm:ss")
        << u"INSERT INTO PREDAJ_2026 (ID_PRIMARY, NAZOV, CAS) VALUES (1, 'x', '9:00')"_s << false << true;
    row("date that is none", u"INSERT INTO PREDAJ_2026 (ID_PRIMARY, NAZOV, DATUM) VALUES (1, 'x', 'x')"_s,
        false);
    row("duplicate key", u"INSERT INTO PREDAJ_2026 (ID_PRIMARY, NAZOV) VALUES (7, 'x'), (7, 'y')"_s, false);
    row("stock code twice", u"INSERT INTO VX60_SKLAD (KOD, NAZOV) VALUES ('A', 'x'), ('A', 'y')"_s, false);
    row("stock name missing", u"INSERT INTO VX60_SKLAD (KOD) VALUES ('A')"_s, false);
}

void TestDataModule::layoutRulesAreEnforced()
{
    QFETCH(QString, statement);
    QFETCH(bool, accepted);
    QFETCH(bool, acceptedOnServer);
    QVERIFY(module().prepareSalesTable());
    DataFile file;
    const bool stock = statement.contains(u"VX60_SKLAD"_s);
    QVERIFY(openFile(file, stock ? u"vx60_sklad.db"_s : u"predaj_2026.db"_s));
    QCOMPARE(file.exec(statement), TestStore::onServer() ? acceptedOnServer : accepted);
}

void TestDataModule::stockTableHasItsIndexes()
{
    if (TestStore::onServer())
        QSKIP("the files only: the server's stock table is the stock suites' concern");
    QVERIFY(module().prepareSalesTable());
    const auto indexes = rowsOf(u"vx60_sklad.db"_s,
                                u"SELECT name, sql FROM sqlite_master WHERE type = 'index' ORDER BY name"_s);
    QCOMPARE(indexes.size(), 3); // IDXBARCODE, IDXNAZOV and the primary key's own index
    QCOMPARE(indexes.at(0).at(0).toString(), u"IDXBARCODE"_s);
    QVERIFY(indexes.at(0).at(1).toString().contains(u"BARCODE COLLATE NOCASE"_s));
    QCOMPARE(indexes.at(1).at(0).toString(), u"IDXNAZOV"_s);
    QVERIFY(indexes.at(1).at(1).toString().contains(u"(NAZOV COLLATE NOCASE, SKLAD_IDX, MJ_IDX, JC)"_s));
    QVERIFY(indexes.at(2).at(0).toString().startsWith(u"sqlite_autoindex_VX60_SKLAD"_s));
    const auto columns = rowsOf(u"vx60_sklad.db"_s, u"PRAGMA table_info(VX60_SKLAD)"_s);
    QCOMPARE(columns.size(), 18);
    QCOMPARE(columns.at(3).at(1).toString(), u"Nazov1"_s);
}

void TestDataModule::firstStartCreatesBothTablesSilently()
{
    DataModule &dm = module();
    QVERIFY(dm.databaseReady());
    QVERIFY(!holds(u"predaj_2026.db"_s, u"PREDAJ_2026"_s));
    QVERIFY(dm.prepareSalesTable());
    QVERIFY(m_dialogs.shown().isEmpty());
    QVERIFY(holds(u"predaj_2026.db"_s, u"PREDAJ_2026"_s));
    QVERIFY(holds(u"vx60_sklad.db"_s, u"VX60_SKLAD"_s));
    QCOMPARE(dm.openFilter(), u"FISK=0 AND UCET=1"_s);
    QCOMPARE(dm.openRows()->size(), 0);
    QCOMPARE(dm.openTotal(), 0);
    QVERIFY(!dm.documentSourceEnabled()); // until the first item is added
}

void TestDataModule::yearIsFixedAtCreation()
{
    DataModule &dm = module(QDate(2025, 12, 31));
    QCOMPARE(dm.year(), 2025);
    QCOMPARE(dm.salesFileName(), u"predaj_2025.db"_s);
    QCOMPARE(dm.salesTableName(), u"PREDAJ_2025"_s);
    QCOMPARE(dm.salesPath(), m_store->folder() + u"predaj_2025.db"_s);
    QCOMPARE(dm.stockPath(), m_store->folder() + u"vx60_sklad.db"_s);
    QVERIFY(dm.prepareSalesTable());
    QVERIFY(holds(u"predaj_2025.db"_s, u"PREDAJ_2025"_s));
}

void TestDataModule::databaseSwitchOffOpensNothing()
{
    DataModuleSettings off = settings();
    off.databaseOn = false;
    DataModule dm(off, m_messages, m_dialogs, Today);
    QVERIFY(!dm.databaseReady());
    QVERIFY(!dm.prepareSalesTable());
    QVERIFY(QDir(m_store->folder()).isEmpty());
    QVERIFY(!holds(u"predaj_2026.db"_s, u"PREDAJ_2026"_s));
    QVERIFY(m_dialogs.shown().isEmpty());
}

void TestDataModule::missingDataFolderIsReported()
{
    DataModule dm(settings(m_store->folder() + u"chyba/"_s), m_messages, m_dialogs, Today);
    QVERIFY(!dm.createSalesTable());
    QCOMPARE(m_dialogs.shown().size(), 1);
    QCOMPARE(m_dialogs.shown().at(0).text,
             m_store->folder() + u"chyba/\r\n"_s + placeholder(Msg::SalesFolderMissing));
    QCOMPARE(m_dialogs.shown().at(0).caption, placeholder(Msg::SalesFolderMissingCaption));
    QVERIFY(!QFile::exists(m_store->folder() + u"chyba"_s));
}

void TestDataModule::olderSalesTableGainsTheDiscountColumns()
{
    {
        DataFile old;
        QVERIFY(openFile(old, u"predaj_2026.db"_s, true));
        QStringList columns;
        const auto fields = TableLayouts::salesFields();
        for (const auto &field : fields.first(fields.size() - 2))
            columns << TableLayouts::columnDefinition(field, m_store->server().kind);
        QVERIFY(old.exec(u"CREATE TABLE PREDAJ_2026 (%1)"_s.arg(columns.join(u", "_s))));
        QVERIFY(old.exec(u"INSERT INTO PREDAJ_2026 (ID_PRIMARY, NAZOV, CENA_INT, FISK) VALUES "
                         "(1, 'stará', 150, 1), (2, 'otvorená', 250, 0)"_s));
    }
    DataModule &dm = module();
    QVERIFY(dm.prepareSalesTable());
    QVERIFY(m_dialogs.shown().isEmpty());
    QCOMPARE(rowsOf(u"predaj_2026.db"_s,
                    u"SELECT ID_PRIMARY, ZLAVA_INT, ZLAVA_PERC FROM PREDAJ_2026 ORDER BY 1"_s),
             (QList<QVariantList>{{1, 0, 0}, {2, 0, 0}}));
    QCOMPARE(dm.openTotal(), 250);
    const auto stored = dm.storeItem(item(u"nová"_s, 100));
    QCOMPARE(stored.failure, SalesTable::Failure::None);
    QCOMPARE(stored.key, 3);
}

void TestDataModule::upgradeReleasesTheTableForOtherTills()
{
    {
        DataFile old;
        QVERIFY(openFile(old, u"predaj_2026.db"_s, true));
        QVERIFY(old.exec(u"CREATE TABLE PREDAJ_2026 (ID_PRIMARY INTEGER PRIMARY KEY, NAZOV VARCHAR(41), "
                         "CENA_INT INTEGER, FISK SMALLINT)"_s));
    }
    QVERIFY(module().prepareSalesTable());
    DataFile otherTill;
    QVERIFY(openFile(otherTill, u"predaj_2026.db"_s, false, 0)); // no waiting: the lock must be free
    QVERIFY2(otherTill.beginWrite(), qPrintable(otherTill.lastError()));
    QVERIFY(otherTill.commit());
}

void TestDataModule::salesTableGainsTheOverviewIndexes_data()
{
    QTest::addColumn<bool>("earlierTable");
    QTest::newRow("new table") << false;
    QTest::newRow("table of an earlier version") << true;
}

void TestDataModule::salesTableGainsTheOverviewIndexes()
{
    QFETCH(bool, earlierTable);
    if (earlierTable) {
        if (TestStore::onServer())
            QSKIP("the files only: no earlier version kept its tables on a server");
        DataFile old;
        QVERIFY(openFile(old, u"predaj_2026.db"_s, true));
        for (const QString &statement : TableLayouts::salesTableStatements(u"PREDAJ_2026"_s))
            QVERIFY(old.exec(statement));
        // The by-document index of an earlier version, led by the document number,
        // and a by-closing index of one that did not tell printed rows from open ones.
        QVERIFY(old.exec(u"CREATE INDEX IDXPREHLAD_BL ON PREDAJ_2026 (ID_DOKLAD, DU, DATUM)"_s));
        QVERIFY(old.exec(u"CREATE INDEX IDXPREHLAD_DU ON PREDAJ_2026 "
                         "(DU,KOD,NAZOV,MJ,JC,DPH,DATUM,SKLAD,CENA,POCET)"_s));
    }
    // On the server an index name is the schema's: there each carries its table's name.
    const QString prefix = TestStore::onServer() ? u"PREDAJ_2026_"_s : QString();
    QStringList expected;
    for (const char16_t *name : {u"IDXPREHLAD_DOK", u"IDXPREHLAD_DU", u"IDXPREHLAD_DUBL", u"IDXPREHLAD_KOD"})
        expected << prefix + QString::fromUtf16(name);
    QVERIFY(module().prepareSalesTable());
    QCOMPARE(overviewIndexes(u"predaj_2026.db"_s, u"PREDAJ_2026"_s), expected);
    if (!TestStore::onServer()) {
        const auto withoutFisk =
            rowsOf(u"predaj_2026.db"_s, u"SELECT name FROM sqlite_master WHERE type = 'index' AND "
                                        "name LIKE 'IDXPREHLAD%' AND sql NOT LIKE '%FISK%'"_s);
        QVERIFY(withoutFisk.isEmpty());
    }
    bool has = false;
    QVERIFY(m_module->salesTable().hasOverviewIndexes(has));
    QVERIFY(has);
    // The next showing finds them and adds nothing.
    QVERIFY(module().prepareSalesTable());
    QCOMPARE(overviewIndexes(u"predaj_2026.db"_s, u"PREDAJ_2026"_s), expected);
    QVERIFY(m_dialogs.shown().isEmpty());
}

// On the server every year's table lives in one schema, beside the others.
void TestDataModule::tablesOfTwoYearsLiveSideBySide()
{
    QVERIFY(module(QDate(2025, 12, 31)).prepareSalesTable());
    QCOMPARE(m_module->storeItem(item(u"starý rok"_s, 100)).key, 1);
    QVERIFY(module(Today).prepareSalesTable());
    QVERIFY2(m_dialogs.shown().isEmpty(), qPrintable(m_dialogs.shown().value(0).text));
    bool has = false;
    QVERIFY(m_module->salesTable().hasOverviewIndexes(has));
    QVERIFY(has);
    QCOMPARE(m_module->storeItem(item(u"nový rok"_s, 200)).key, 1);
    QCOMPARE(m_module->openTotal(), 200);
    QCOMPARE(overviewIndexes(u"predaj_2025.db"_s, u"PREDAJ_2025"_s).size(), 4);
    QCOMPARE(overviewIndexes(u"predaj_2026.db"_s, u"PREDAJ_2026"_s).size(), 4);
}

void TestDataModule::emptyTableGetsKeyOneAndStoringReturnsTheTotal()
{
    DataModule &dm = module();
    QVERIFY(dm.prepareSalesTable());
    QCOMPARE(dm.sqlMaxIdx(), 1);
    auto first = dm.storeItem(item(u"chlieb"_s, 129));
    QCOMPARE(first.key, 1);
    QCOMPARE(first.openTotal, 129);
    auto second = dm.storeItem(item(u"vrátenie"_s, -50));
    QCOMPARE(second.key, 2);
    QCOMPARE(second.openTotal, 79);
    QCOMPARE(dm.sqlMaxIdx(), 3);
    QVERIFY(m_dialogs.shown().isEmpty());
}

void TestDataModule::openRowsOfAnInterruptedRunReappear()
{
    {
        DataModule &dm = module();
        QVERIFY(dm.prepareSalesTable());
        QCOMPARE(dm.storeItem(item(u"vytlačená"_s, 1000, true)).failure, SalesTable::Failure::None);
        QCOMPARE(dm.storeItem(item(u"rožok"_s, 12)).failure, SalesTable::Failure::None);
        QCOMPARE(dm.storeItem(item(u"mlieko"_s, 89)).failure, SalesTable::Failure::None);
    }
    DataModule &restarted = module();
    QVERIFY(restarted.prepareSalesTable());
    QVERIFY(restarted.documentSourceEnabled()); // the table has rows
    const QList<SaleRow> rows = *restarted.openRows();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(0).nazov, u"rožok"_s);
    QCOMPARE(rows.at(0).idPrimary, 2);
    QCOMPARE(rows.at(0).datum, Today);
    QCOMPARE(rows.at(0).cas, QTime(10, 15, 0));
    QCOMPARE(rows.at(1).nazov, u"mlieko"_s);
    QCOMPARE(restarted.openTotal(), 101);
}

void TestDataModule::twoModulesOnOneFolderNeverShareAKey()
{
    DataModule &first = module();
    QVERIFY(first.prepareSalesTable());
    DataModule second(settings(), m_messages, m_dialogs, Today);
    QVERIFY(second.prepareSalesTable());
    // The key each till would have read before the other one stored is stale;
    // storing takes the key inside its own write transaction.
    QCOMPARE(first.sqlMaxIdx(), 1);
    QCOMPARE(second.sqlMaxIdx(), 1);
    QCOMPARE(first.storeItem(item(u"a"_s, 1)).key, 1);
    const auto fromSecond = second.storeItem(item(u"b"_s, 2));
    QCOMPARE(fromSecond.key, 2);
    QCOMPARE(fromSecond.openTotal, 3); // open rows belong to the folder, not to a till
}

// Changes of the open document and the printing of its receipt touch this
// till's open rows only; a printed row keeps the print's date and time.
void TestDataModule::openDocumentChangesAndPrinting()
{
    DataModule &dm = module();
    QVERIFY(dm.prepareSalesTable());
    for (int cents : {100, 200, 300, 400})
        QVERIFY(dm.storeItem(item(u"položka"_s, cents)).key > 0);
    QVERIFY(dm.changeOpenAmounts({{2, 180, 20, 10}}));
    QVERIFY(dm.deleteOpenRow(3));
    PrintedRows printed(dm.salesFile(), dm.salesTableName());
    const QDateTime printTime(QDate(2026, 3, 15), QTime(9, 5, 7));
    QVERIFY2(printed.mark({1, 2}, 1, {printTime, 4, 17}), qPrintable(printed.lastError()));
    QVERIFY(printed.mark({4}, 2, {printTime, 4, 18})); // another till's receipt
    QCOMPARE(dm.openRows()->size(), 1);
    QCOMPARE(dm.openRows()->at(0).idPrimary, 4);
    QCOMPARE(dm.openTotal(), 400);

    const auto rows =
        rowsOf(u"predaj_2026.db"_s, u"SELECT ID_PRIMARY, FISK, DATUM, CAS, DU, DOKLAD, ID_DOKLAD, "
                                    "CENA_INT, ZLAVA_INT, ZLAVA_PERC FROM PREDAJ_2026 ORDER BY 1"_s);
    QCOMPARE(rows.size(), 3);
    const QVariantList second = rows.at(1);
    QCOMPARE(second.mid(0, 2), (QVariantList{2, 1}));
    QCOMPARE(second.at(2).toDate(), printTime.date());
    QCOMPARE(second.at(3).toTime(), printTime.time());
    QCOMPARE(second.mid(4), (QVariantList{4, 17, 17, 180, 20, 10}));
    QCOMPARE(rows.at(2).mid(0, 2), (QVariantList{4, 0}));

    QVERIFY(printed.remove({4}, 1));
    QCOMPARE(dm.openRows()->size(), 0);
    QCOMPARE(dm.openTotal(), 0);
}

void TestDataModule::foreignFileIsLeftAloneAndReported_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("foreign");
    QTest::addColumn<bool>("oldInstallation"); // the box names the tool that converts it

    const QByteArray unknown = QByteArray("\x4a\x0b\x00\x08\x00\x00\x00\x00", 8).repeated(512);
    QTest::newRow("unknown sales file") << u"predaj_2026.db"_s << unknown << false;
    QTest::newRow("unknown stock file") << u"vx60_sklad.db"_s << unknown << false;
    const QString oldTables = QStringLiteral(OMIRA_PARADOX_DATA) + u'/';
    QTest::newRow("old sales table") << u"predaj_2026.db"_s
                                     << TestPaths::readFile(oldTables + u"predaj_2024.db"_s) << true;
    QTest::newRow("old stock table") << u"vx60_sklad.db"_s
                                     << TestPaths::readFile(oldTables + u"vx60_sklad.db"_s) << true;
}

void TestDataModule::foreignFileIsLeftAloneAndReported()
{
    if (TestStore::onServer())
        QSKIP("the files only: a foreign file");
    QFETCH(QString, fileName);
    QFETCH(QByteArray, foreign);
    QFETCH(bool, oldInstallation);
    QVERIFY(foreign.size() > 1000);
    QVERIFY(TestPaths::writeFile(path(fileName), foreign));
    DataModule &dm = module();
    QVERIFY(!dm.prepareSalesTable());
    QCOMPARE(TestPaths::readFile(path(fileName)), foreign);
    QCOMPARE(m_dialogs.shown().size(), 1);
    QVERIFY(m_dialogs.shown().at(0).text.contains(QDir::toNativeSeparators(path(fileName))));
    QCOMPARE(m_dialogs.shown().at(0).text.contains(u"omira-migrate"_s), oldInstallation);
    const bool sales = fileName.startsWith(u"predaj"_s);
    QCOMPARE(dm.salesTableUsable(), !sales);
    QCOMPARE(dm.stockTableUsable(), sales);
    if (sales) {
        m_dialogs.clear();
        QCOMPARE(dm.storeItem(item(u"x"_s, 1)).failure, SalesTable::Failure::Key);
        QCOMPARE(m_dialogs.shown().at(0).text, placeholder(Msg::QueryFailed));
    } else {
        QVERIFY(!dm.stockSearch().search(StockSearch::Column::Name, u"x"_s));
    }
    QCOMPARE(TestPaths::readFile(path(fileName)), foreign);
}

void TestDataModule::damagedSqliteFileIsNotRepaired()
{
    if (TestStore::onServer())
        QSKIP("the files only: a damaged file");
    {
        DataModule &dm = module();
        QVERIFY(dm.prepareSalesTable());
        QCOMPARE(dm.storeItem(item(u"x"_s, 1)).key, 1);
    }
    m_module.reset();
    QByteArray bytes = TestPaths::readFile(path(u"predaj_2026.db"_s));
    for (qsizetype i = 100; i < bytes.size(); ++i)
        bytes[i] = char(0xA5);
    QVERIFY(TestPaths::writeFile(path(u"predaj_2026.db"_s), bytes));
    m_dialogs.clear();
    DataModule &dm = module();
    QVERIFY(!dm.prepareSalesTable());
    QVERIFY(!m_dialogs.shown().isEmpty());
    dm.storeItem(item(u"y"_s, 1));
    dm.closeDatabases();
    QCOMPARE(TestPaths::readFile(path(u"predaj_2026.db"_s)), bytes);
}

void TestDataModule::fileCutShortIsNamedAndLeftAlone_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<int>("keep"); // bytes left of the file; negative: counted from its end

    for (const QString &name : {u"predaj_2026.db"_s, u"vx60_sklad.db"_s}) {
        const QByteArray tag = name.left(6).toLatin1();
        QTest::newRow(tag + ", inside the format name") << name << 9;
        QTest::newRow(tag + ", inside the header") << name << 60;
        QTest::newRow(tag + ", after the first page") << name << 4096;
        QTest::newRow(tag + ", inside the last page") << name << -1000;
    }
}

void TestDataModule::fileCutShortIsNamedAndLeftAlone()
{
    if (TestStore::onServer())
        QSKIP("the files only: a file cut short");
    QFETCH(QString, fileName);
    QFETCH(int, keep);
    {
        DataModule &dm = module();
        QVERIFY(dm.prepareSalesTable());
        // Enough rows for a file of several pages.
        for (int i = 0; i < 200; ++i)
            QVERIFY(dm.storeItem(item(u"Položka %1 s dlhším názvom"_s.arg(i), 100 + i)).key > 0);
        DataFile stock;
        QVERIFY(stock.open(path(u"vx60_sklad.db"_s), false));
        for (int i = 0; i < 200; ++i)
            QVERIFY(stock.exec(
                u"INSERT INTO VX60_SKLAD (KOD, NAZOV) VALUES ('K%1', 'Karta s dlhším názvom %1')"_s.arg(i)));
    }
    m_module.reset();
    const QByteArray whole = TestPaths::readFile(path(fileName));
    QVERIFY(whole.size() > 3 * 4096);
    const QByteArray cut = whole.left(keep >= 0 ? keep : whole.size() + keep);
    QVERIFY(TestPaths::writeFile(path(fileName), cut));
    QCOMPARE(DataFile::probe(path(fileName)), DataFile::Kind::Damaged);

    m_dialogs.clear();
    DataModule &dm = module();
    QVERIFY(!dm.prepareSalesTable());
    QCOMPARE(m_dialogs.shown().size(), 1);
    const QString text = m_dialogs.shown().at(0).text;
    QVERIFY2(text.contains(QDir::toNativeSeparators(path(fileName))), qPrintable(text));
    QVERIFY2(text.contains(u"poškodený"_s), qPrintable(text));
    const bool sales = fileName.startsWith(u"predaj"_s);
    QCOMPARE(dm.salesTableUsable(), !sales);
    QCOMPARE(dm.stockTableUsable(), sales);
    if (sales) {
        QVERIFY(text.contains(u"Predaj sa nedá zaznamenať"_s));
        QVERIFY(dm.storeItem(item(u"nový"_s, 100)).failure != SalesTable::Failure::None);
    }
    dm.closeDatabases();
    QCOMPARE(TestPaths::readFile(path(fileName)), cut);
}

void TestDataModule::damagedPriceListIsRestoredOnlyOnYes_data()
{
    QTest::addColumn<bool>("backups");
    QTest::addColumn<UserDialogs::Answer>("answer");
    QTest::newRow("yes") << true << UserDialogs::Answer::Yes;
    QTest::newRow("no") << true << UserDialogs::Answer::No;
    QTest::newRow("no backup") << false << UserDialogs::Answer::Ok;
}

// Two backups of the price list, the newer holding card NEW; the price list then cut short.
void TestDataModule::damagedPriceListIsRestoredOnlyOnYes()
{
    if (TestStore::onServer())
        QSKIP("the files only: a restore from a file backup");
    QFETCH(bool, backups);
    QFETCH(UserDialogs::Answer, answer);
    const QString stock = path(u"vx60_sklad.db"_s);
    {
        DataModule &dm = module();
        QVERIFY(dm.prepareSalesTable());
    }
    m_module.reset();
    const auto addCard = [&stock](const QString &code) {
        DataFile file;
        return file.open(stock, false) &&
               file.exec(u"INSERT INTO VX60_SKLAD (KOD, NAZOV) VALUES ('%1', 'Karta %1')"_s.arg(code));
    };
    QVERIFY(QDir().mkpath(path(u"zaloha"_s)));
    QVERIFY(addCard(u"OLD"_s));
    const QString older = path(u"zaloha/vx60_sklad_010326_0800.db"_s);
    const QString newer = path(u"zaloha/vx60_sklad_100326_1745.db"_s);
    if (backups)
        QVERIFY(QFile::copy(stock, older));
    QVERIFY(addCard(u"NEW"_s));
    if (backups)
        QVERIFY(QFile::copy(stock, newer));
    for (int i = 0; i < 300; ++i)
        QVERIFY(addCard(u"LATER%1"_s.arg(i)));
    const QByteArray cut = TestPaths::readFile(stock).left(4096 + 1000);
    QVERIFY(TestPaths::writeFile(stock, cut));

    m_dialogs.queueAnswer(answer);
    DataModule &dm = module();
    const bool prepared = dm.prepareSalesTable();
    QCOMPARE(m_dialogs.shown().size(), 1);
    const UserDialogs::Message box = m_dialogs.shown().at(0);
    QVERIFY2(box.text.contains(QDir::toNativeSeparators(stock)), qPrintable(box.text));
    if (!backups) {
        QVERIFY(box.text.contains(u"nie je žiadna záloha"_s));
        QVERIFY(!prepared);
        QCOMPARE(TestPaths::readFile(stock), cut);
        return;
    }
    QCOMPARE(box.buttons, UserDialogs::Buttons::YesNo);
    QCOMPARE(box.defaultAnswer, UserDialogs::Answer::No);
    QVERIFY2(box.text.contains(QDir::toNativeSeparators(newer)), qPrintable(box.text));
    const QStringList kept = QDir(m_store->folder()).entryList({u"vx60_sklad_poskodeny_*.db"_s});
    if (answer == UserDialogs::Answer::No) {
        QVERIFY(!prepared);
        QVERIFY(!dm.stockTableUsable());
        QCOMPARE(TestPaths::readFile(stock), cut);
        QVERIFY(kept.isEmpty());
        return;
    }
    QVERIFY(prepared);
    QVERIFY(dm.stockTableUsable());
    QCOMPARE(kept.size(), 1);
    QCOMPARE(TestPaths::readFile(path(kept.at(0))), cut);
    QCOMPARE(dm.stockSearch().search(StockSearch::Column::Code, u"NEW"_s)->size(), 1);
    QCOMPARE(TestPaths::readFile(newer).size(), TestPaths::readFile(stock).size());
}

void TestDataModule::userTextIsStoredAsTyped()
{
    DataModule &dm = module();
    QVERIFY(dm.prepareSalesTable());
    SaleRow row = item(u"Jack's \"best\"; DROP TABLE PREDAJ_2026 --"_s, 5);
    row.kod = u"X0000"_s;
    QCOMPARE(dm.storeItem(row).failure, SalesTable::Failure::None);
    QCOMPARE(dm.openRows()->at(0).nazov, row.nazov);
}

void TestDataModule::insertFailureLeavesTheCallerTheEngineText()
{
    DataModule &dm = module();
    QVERIFY(dm.prepareSalesTable());
    // On the server the failed insert's prepared statement is freed only after the
    // rollback; freed before it, the server refuses and the statement stays behind.
    QTest::failOnWarning(QRegularExpression(u"Unable to free statement"_s));
    const auto stored = dm.storeItem(item(QString(42, u'a'), 5));
    QCOMPARE(stored.failure, SalesTable::Failure::Insert);
    // The files check a length, the server's type holds it.
    const QString engineWords = TestStore::onServer() ? u"character varying(41)"_s : u"CHECK"_s;
    QVERIFY2(dm.lastError().contains(engineWords, Qt::CaseInsensitive), qPrintable(dm.lastError()));
    QVERIFY(m_dialogs.shown().isEmpty());
    // Nothing of the failed item is left, and the table is not locked.
    QCOMPARE(dm.openRows()->size(), 0);
    QCOMPARE(dm.storeItem(item(u"ok"_s, 5)).key, 1);
}

// A misspelt server in pokladna.ini: the till must neither fall back to the
// folder's files (the other tills are on the server) nor fail silently.
void TestDataModule::unknownServerOpensNothingAndSaysSo()
{
    DataModuleSettings misspelt = settings();
    misspelt.server = DataServer::fromSettings(u"POSTGRES"_s, u"service=obchod"_s);
    DataModule dm(misspelt, m_messages, m_dialogs, Today);
    QVERIFY(!dm.prepareSalesTable());
    // One box for both tables, not one per table and step.
    QCOMPARE(m_dialogs.shown().size(), 1);
    QVERIFY(m_dialogs.shown().at(0).text.contains(u"Neznámy databázový server „POSTGRES“"_s));
    QVERIFY(!dm.storeItem(item(u"Chlieb"_s, 120)).key);
    QVERIFY(QDir(m_store->folder()).entryList(QDir::Files).isEmpty());
}

QTEST_GUILESS_MAIN(TestDataModule)
#include "tst_datamodule.moc"

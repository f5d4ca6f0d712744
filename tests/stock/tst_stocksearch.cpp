#include "stock/CardListQuery.h"
#include "stock/DataFile.h"
#include "stock/StockChangeLog.h"
#include "stock/StockSearch.h"
#include "stock/StockTable.h"
#include "stock/TableLayouts.h"

#include "TestStore.h"

#include <QSqlDriver>
#include <QSqlQuery>
#include <QtTest>

#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

DataServer::Kind backend()
{
    return TestStore::onServer() ? DataServer::Kind::PostgreSql : DataServer::Kind::Files;
}

// The first statement on the files, the second on the server.
QStringList eitherOf(const QStringList &files, const QStringList &server)
{
    return TestStore::onServer() ? server : files;
}

// Tells the moment a till's connection waits for a lock that another till holds, so that
// a test acts while it waits rather than after a guessed time.
class LockWait
{
public:
    // On the waiting till's thread, after it opened its file and before it asks for the lock.
    void watch(DataFile &file)
    {
        if (TestStore::onServer())
            return; // the server tells it of its own
        const QVariant handle = file.database().driver()->handle();
        if (qstrcmp(handle.typeName(), "sqlite3*") != 0)
            qFatal("no SQLite connection to watch");
        sqlite3_busy_handler(*static_cast<sqlite3 *const *>(handle.data()), &LockWait::busy, &m_busy);
    }
    // Asked of another till's connection.
    bool waiting(DataFile &observer) const
    {
        if (!TestStore::onServer())
            return m_busy;
        QSqlQuery query(observer.database());
        // A connection inside a transaction keeps the first look at the server's activity
        // unless told to look again.
        query.exec(u"SELECT pg_stat_clear_snapshot()"_s);
        return query.exec(u"SELECT count(*) FROM pg_stat_activity WHERE wait_event_type = 'Lock' "
                          "AND datname = current_database()"_s) &&
               query.next() && query.value(0).toInt() > 0;
    }

private:
    // SQLite's busy handler: notes the wait, then waits as the till's own timeout does.
    static int busy(void *flag, int attempts)
    {
        static_cast<std::atomic<bool> *>(flag)->store(true);
        if (attempts >= DataFile::DefaultBusyTimeoutMs)
            return 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return 1;
    }

    std::atomic<bool> m_busy = false;
};

// A stock file with a few cards, opened by this till (`file`) and by another
// one (`other`), as two tills share a data folder.
struct SharedStock
{
    TestStore store;
    DataFile file;
    DataFile other;
    StockTable table{file};

    // `withLog` false makes the table as an earlier version did, without the change log.
    explicit SharedStock(bool withLog = true)
    {
        const QString path = store.path(u"vx60_sklad.db"_s);
        file.setServer(store.server());
        other.setServer(store.server());
        if (!file.open(path, true) || !other.open(path, false))
            qFatal("stock file not opened");
        if (!(withLog ? table.create() : createdAsBefore()))
            qFatal("stock table not created");
        struct Card
        {
            const char16_t *kod, *nazov, *barcode;
            double jc;
            bool pref;
            int group;
        };
        const Card cards[] = {
            {u"100", u"MLIEKO 1,5%", u"8580001", 0.89, false, 1},
            {u"101", u"Mliečna čokoláda", u"", 1.20, true, 1},
            {u"200", u"ČAJ ZELENÝ", u"12", 2.10, false, 2},
            {u"120", u"Jack's whisky", u"777", 25.0, false, 2},
            {u"012", u"Syr 100_g", nullptr, 1.90, true, 1},
            {u"ab7", u"Pivo čierne", u"", 1.0, false, 3},
            {nullptr, u"čajová sušienka", u"3001", 0.50, false, 3},
        };
        for (const Card &card : cards) {
            StockRow row;
            row.kod = card.kod ? QString::fromUtf16(card.kod) : QString();
            row.nazov = QString::fromUtf16(card.nazov);
            row.barcode = card.barcode ? QString::fromUtf16(card.barcode) : QString();
            row.jc = card.jc;
            row.pref = card.pref;
            row.skladIdx = card.group;
            if (!table.insert(row))
                qFatal("card not written: %s", qPrintable(table.lastError()));
        }
    }

    bool createdAsBefore()
    {
        const QStringList statements = TableLayouts::stockTableStatements(backend());
        return std::all_of(statements.begin(), statements.end(),
                           [this](const QString &s) { return file.exec(s); });
    }

    bool otherTillRuns(const QStringList &statements)
    {
        for (const QString &statement : statements) {
            if (!other.exec(statement)) {
                qWarning("%s: %s", qPrintable(statement), qPrintable(other.lastError()));
                return false;
            }
        }
        return true;
    }

    // The codes of the cards, "-" for a card without one and "<gone>" for an id
    // whose card is no longer in the table.
    QStringList codesOf(const std::optional<QList<qint64>> &ids)
    {
        if (!ids)
            return {u"<error>"_s};
        QStringList codes;
        for (qint64 id : *ids) {
            const auto card = table.cards(std::span(&id, 1));
            codes << (card->isEmpty()               ? u"<gone>"_s
                      : card->first().kod.isEmpty() ? u"-"_s
                                                    : card->first().kod);
        }
        return codes;
    }
};

// How a test looks at the cards: a sale search in a column, or the card list
// of a group.
enum class View { Name, Code, Price, Group };

std::optional<QList<qint64>> look(StockSearch &search, View view, const QString &text, int group = -1)
{
    if (view != View::Group)
        return search.search(StockSearch::Column(int(view)), text);
    CardListQuery query;
    query.text = text;
    query.group = group;
    return search.cardList(query);
}

// Every view of a search that applied changes equals that of a search that
// reads the table now.
void compareWithFreshRead(StockSearch &search, DataFile &file)
{
    StockSearch fresh(file);
    for (View view : {View::Name, View::Code, View::Price}) {
        for (const QString &text : {QString(), u"0"_s, u"mlie"_s, u"čaj"_s})
            QCOMPARE(look(search, view, text), look(fresh, view, text));
    }
    for (int group : {1, 2, 3})
        QCOMPARE(look(search, View::Group, {}, group), look(fresh, View::Group, {}, group));
}

} // namespace

class TestStockSearch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void finds_data();
    void finds();
    void listsCards_data();
    void listsCards();
    void appliesAnotherTillsChange_data();
    void appliesAnotherTillsChange();
    void readsWholeTableWhenTheLogCannotTell_data();
    void readsWholeTableWhenTheLogCannotTell();
    void tableOfAnEarlierVersionGetsTheLog();
    void seesCardsAddedByAnotherTill();
    void fetchesCardsInTheListsOrder();
    void changeCommittedLaterIsNotPassedOver();

private:
    QStringList codesOf(const QList<qint64> &ids);

    std::unique_ptr<TestStore> m_store;
    DataFile m_file;
    std::unique_ptr<StockTable> m_table;
    std::unique_ptr<StockSearch> m_search;
};

void TestStockSearch::initTestCase()
{
    OMIRA_REQUIRE_BACKEND();
    m_store = std::make_unique<TestStore>();
    QVERIFY(m_store->isValid());
    m_file.setServer(m_store->server());
    QVERIFY2(m_file.open(m_store->path(u"vx60_sklad.db"_s), true), qPrintable(m_file.lastError()));
    m_table = std::make_unique<StockTable>(m_file);
    QVERIFY(m_table->create());
    struct Card
    {
        const char16_t *kod, *nazov, *barcode;
        double jc;
        bool pref;
    };
    const Card cards[] = {
        {u"100", u"MLIEKO 1,5%", u"8580001", 0.89, false}, {u"101", u"Mliečna čokoláda", u"", 1.20, true},
        {u"200", u"ČAJ ZELENÝ", u"12", 2.10, false},       {u"120", u"Jack's whisky", u"777", 25.0, false},
        {u"012", u"Syr 100_g", u"", 1.90, true},           {u"300", u"čajová sušienka", u"3001", 0.50, false},
    };
    for (const Card &card : cards) {
        StockRow row;
        row.kod = QString::fromUtf16(card.kod);
        row.nazov = QString::fromUtf16(card.nazov);
        row.barcode = QString::fromUtf16(card.barcode);
        row.jc = card.jc;
        row.pref = card.pref;
        QVERIFY2(m_table->insert(row), qPrintable(m_table->lastError()));
    }
    m_search = std::make_unique<StockSearch>(m_file);
}

QStringList TestStockSearch::codesOf(const QList<qint64> &ids)
{
    QStringList codes;
    const auto cards = m_table->cards(ids);
    for (const StockRow &card : *cards)
        codes << card.kod;
    return codes;
}

void TestStockSearch::finds_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("codes");
    const int name = int(StockSearch::Column::Name);
    const int code = int(StockSearch::Column::Code);
    const int price = int(StockSearch::Column::Price);
    // Names sort as SQL sorts them: by code point, so Č after every ASCII letter.
    QTest::newRow("part of a name in small letters") << name << u"mlie"_s << QStringList{u"100"_s, u"101"_s};
    QTest::newRow("Slovak letters fold") << name << u"čaj"_s << QStringList{u"200"_s, u"300"_s};
    QTest::newRow("inner part") << name << u"ČOKO"_s << QStringList{u"101"_s};
    QTest::newRow("apostrophe") << name << u"jack's"_s << QStringList{u"120"_s};
    QTest::newRow("percent sign taken literally") << name << u"5%"_s << QStringList{u"100"_s};
    QTest::newRow("underscore taken literally") << name << u"0_g"_s << QStringList{u"012"_s};
    QTest::newRow("no match") << name << u"pivo"_s << QStringList{};
    QTest::newRow("empty text: preferred first")
        << name << QString() << QStringList{u"101"_s, u"012"_s, u"120"_s, u"100"_s, u"200"_s, u"300"_s};
    QTest::newRow("code prefix or whole bar code") << code << u"12"_s << QStringList{u"120"_s, u"200"_s};
    QTest::newRow("bar code only whole") << code << u"858"_s << QStringList{};
    QTest::newRow("code, empty text: preferred first")
        << code << QString() << QStringList{u"012"_s, u"101"_s, u"100"_s, u"120"_s, u"200"_s, u"300"_s};
    QTest::newRow("price order, text ignored")
        << price << u"x"_s << QStringList{u"300"_s, u"100"_s, u"101"_s, u"012"_s, u"200"_s, u"120"_s};
    QTest::newRow("price, empty text: preferred first")
        << price << QString() << QStringList{u"101"_s, u"012"_s, u"300"_s, u"100"_s, u"200"_s, u"120"_s};
}

void TestStockSearch::finds()
{
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(QStringList, codes);
    const auto ids = m_search->search(StockSearch::Column(column), text);
    QVERIFY2(ids, qPrintable(m_search->lastError()));
    QCOMPARE(codesOf(*ids), codes);
}

void TestStockSearch::listsCards_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("group");
    QTest::addColumn<QString>("codePrefix");
    QTest::addColumn<QStringList>("codes");
    const int name = int(StockSearch::Column::Name);
    const int code = int(StockSearch::Column::Code);
    // Name order: Jack's, MLIEKO, Mliečna, Pivo, Syr, ČAJ, čajová (no code).
    QTest::newRow("everything by name")
        << name << QString() << -1 << QString()
        << QStringList{u"120"_s, u"100"_s, u"101"_s, u"ab7"_s, u"012"_s, u"200"_s, u"-"_s};
    QTest::newRow("part of a name") << name << u"mlie"_s << -1 << QString()
                                    << QStringList{u"100"_s, u"101"_s};
    QTest::newRow("čaj finds ČAJ") << name << u"čaj"_s << -1 << QString() << QStringList{u"200"_s, u"-"_s};
    QTest::newRow("apostrophe") << name << u"k's"_s << -1 << QString() << QStringList{u"120"_s};
    QTest::newRow("percent sign") << name << u"%"_s << -1 << QString() << QStringList{u"100"_s};
    QTest::newRow("underscore") << name << u"_"_s << -1 << QString() << QStringList{u"012"_s};
    QTest::newRow("group") << name << QString() << 1 << QString()
                           << QStringList{u"100"_s, u"101"_s, u"012"_s};
    QTest::newRow("text in a group") << name << u"čaj"_s << 3 << QString() << QStringList{u"-"_s};
    QTest::newRow("group without cards") << name << QString() << 9 << QString() << QStringList{};
    QTest::newRow("code prefix instead of the group")
        << name << QString() << 2 << u"1"_s << QStringList{u"120"_s, u"100"_s, u"101"_s};
    QTest::newRow("code prefix folded") << name << u"pivo"_s << -1 << u"A"_s << QStringList{u"ab7"_s};
    // Code order: NULL first, then the codes.
    QTest::newRow("everything by code")
        << code << QString() << -1 << QString()
        << QStringList{u"-"_s, u"012"_s, u"100"_s, u"101"_s, u"120"_s, u"200"_s, u"ab7"_s};
    QTest::newRow("code holds the text anywhere")
        << code << u"0"_s << -1 << QString() << QStringList{u"012"_s, u"100"_s, u"101"_s, u"120"_s, u"200"_s};
    QTest::newRow("code folded") << code << u"B"_s << -1 << QString() << QStringList{u"ab7"_s};
    QTest::newRow("code in a group") << code << QString() << 2 << QString()
                                     << QStringList{u"120"_s, u"200"_s};
    QTest::newRow("code and code prefix")
        << code << u"0"_s << -1 << u"1"_s << QStringList{u"100"_s, u"101"_s, u"120"_s};
}

void TestStockSearch::listsCards()
{
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(int, group);
    QFETCH(QString, codePrefix);
    QFETCH(QStringList, codes);
    SharedStock stock;
    StockSearch search(stock.file);
    CardListQuery query;
    query.column = StockSearch::Column(column);
    query.text = text;
    query.group = group;
    query.codePrefix = codePrefix;
    QCOMPARE(stock.codesOf(search.cardList(query)), codes);
}

void TestStockSearch::appliesAnotherTillsChange_data()
{
    QTest::addColumn<QStringList>("statements");
    QTest::addColumn<int>("view");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("group");
    QTest::addColumn<QStringList>("codes");
    const auto update = [](const QString &set, const QString &code) {
        return QStringList{u"UPDATE VX60_SKLAD SET %1 WHERE KOD = '%2'"_s.arg(set, code)};
    };
    QTest::newRow("insert") << QStringList{u"INSERT INTO VX60_SKLAD (KOD, NAZOV, JC, SKLAD_IDX) "
                                           "VALUES ('150', 'MLIEKO bio', 0.5, 1)"_s}
                            << int(View::Name) << u"mlie"_s << -1
                            << QStringList{u"100"_s, u"150"_s, u"101"_s};
    QTest::newRow("new name") << update(u"NAZOV = 'Acko mlieko'"_s, u"101"_s) << int(View::Name) << u"mlie"_s
                              << -1 << QStringList{u"101"_s, u"100"_s};
    QTest::newRow("new code") << update(u"KOD = '050'"_s, u"ab7"_s) << int(View::Code) << u"0"_s << -1
                              << QStringList{u"012"_s, u"050"_s};
    QTest::newRow("new bar code found") << update(u"BARCODE = '999'"_s, u"100"_s) << int(View::Code)
                                        << u"999"_s << -1 << QStringList{u"100"_s};
    QTest::newRow("old bar code not found")
        << update(u"BARCODE = '999'"_s, u"100"_s) << int(View::Code) << u"8580001"_s << -1 << QStringList{};
    QTest::newRow("new group") << update(u"SKLAD_IDX = 2"_s, u"100"_s) << int(View::Group) << QString() << 2
                               << QStringList{u"120"_s, u"100"_s, u"200"_s};
    QTest::newRow("now preferred") << update(u"PREF = 1"_s, u"100"_s) << int(View::Name) << QString() << -1
                                   << QStringList{u"100"_s, u"101"_s, u"012"_s, u"120"_s,
                                                  u"ab7"_s, u"200"_s, u"-"_s};
    QTest::newRow("new price") << update(u"JC = 0.1"_s, u"200"_s) << int(View::Price) << u"x"_s << -1
                               << QStringList{u"200"_s, u"-"_s,   u"100"_s, u"ab7"_s,
                                              u"101"_s, u"012"_s, u"120"_s};
    QTest::newRow("delete") << QStringList{u"DELETE FROM VX60_SKLAD WHERE KOD = '101'"_s} << int(View::Name)
                            << u"mlie"_s << -1 << QStringList{u"100"_s};
    // The server's way of the same: it has no REPLACE.
    QTest::newRow("insert replacing the card of that code")
        << eitherOf({u"INSERT OR REPLACE INTO VX60_SKLAD (KOD, NAZOV) VALUES ('101', 'KEFÍR')"_s},
                    {u"INSERT INTO VX60_SKLAD (KOD, NAZOV) VALUES ('101', 'KEFÍR') ON CONFLICT (KOD) "
                     "DO UPDATE SET NAZOV = EXCLUDED.NAZOV, PREF = EXCLUDED.PREF"_s})
        << int(View::Name) << QString() << -1
        << QStringList{u"012"_s, u"120"_s, u"101"_s, u"100"_s, u"ab7"_s, u"200"_s, u"-"_s};
    QTest::newRow("update replacing the card of that code")
        << eitherOf({u"UPDATE OR REPLACE VX60_SKLAD SET KOD = '100' WHERE KOD = '101'"_s},
                    {u"DELETE FROM VX60_SKLAD WHERE KOD = '100'"_s,
                     u"UPDATE VX60_SKLAD SET KOD = '100' WHERE KOD = '101'"_s})
        << int(View::Code) << u"10"_s << -1 << QStringList{u"100"_s};
    QTest::newRow("several changes, one card twice")
        << QStringList{u"UPDATE VX60_SKLAD SET NAZOV = 'MLIEKO 3,5%' WHERE KOD = '100'"_s,
                       u"DELETE FROM VX60_SKLAD WHERE KOD = '012'"_s,
                       u"UPDATE VX60_SKLAD SET NAZOV = 'Zmrzlina' WHERE KOD = '100'"_s}
        << int(View::Name) << QString() << -1
        << QStringList{u"101"_s, u"120"_s, u"ab7"_s, u"100"_s, u"200"_s, u"-"_s};
    QTest::newRow("every card deleted")
        << QStringList{u"DELETE FROM VX60_SKLAD"_s} << int(View::Name) << QString() << -1 << QStringList{};
}

// The change reaches this till through the log: the next search shows it,
// without reading the table whole.
void TestStockSearch::appliesAnotherTillsChange()
{
    QFETCH(QStringList, statements);
    QFETCH(int, view);
    QFETCH(QString, text);
    QFETCH(int, group);
    QFETCH(QStringList, codes);
    SharedStock stock;
    StockSearch search(stock.file);
    QVERIFY(look(search, View(view), text, group));
    QVERIFY(stock.otherTillRuns(statements));
    QCOMPARE(stock.codesOf(look(search, View(view), text, group)), codes);
    QCOMPARE(search.fullReads(), 1);
    compareWithFreshRead(search, stock.file);
}

void TestStockSearch::readsWholeTableWhenTheLogCannotTell_data()
{
    QTest::addColumn<QStringList>("statements");
    QTest::addColumn<QString>("newName"); // the name of card 100 afterwards
    const QString rename = u"UPDATE VX60_SKLAD SET NAZOV = 'MLIEKO 3,5%' WHERE KOD = '100'"_s;
    const QString reprice = u"UPDATE VX60_SKLAD SET JC = 9 WHERE KOD = '200'"_s;
    QTest::newRow("whole import")
        << QStringList{rename,
                       u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                       "INSERT INTO VX60_SKLAD (KOD, NAZOV) SELECT 'N' || i, 'mliečny ' || i FROM n"_s.arg(
                           StockSearch::MostPatchedChanges + 1)}
        << u"MLIEKO 3,5%"_s;
    // A till away while more than the kept entries were written: its position
    // and the rename after it are trimmed away, only the repricing is left.
    QTest::newRow("position trimmed away")
        << QStringList{rename, u"DELETE FROM VX60_SKLAD_ZMENY"_s, reprice} << u"MLIEKO 3,5%"_s;
    // Numbered anew from 1: only the schema version (the log's new file on the server) tells.
    QTest::newRow("log made anew") << eitherOf({rename, u"DROP TABLE VX60_SKLAD_ZMENY"_s,
                                                u"DELETE FROM sqlite_sequence"_s},
                                               {rename, u"DROP TABLE VX60_SKLAD_ZMENY"_s}) +
                                          StockChangeLog::statements(backend()) + QStringList{reprice}
                                   << u"MLIEKO 3,5%"_s;
    // Its cards numbered anew from 1, so the same row ids name other cards.
    const QString renamedCard = u"INSERT INTO VX60_SKLAD (KOD, NAZOV) VALUES ('100', 'MLIEKO 3,5%')"_s;
    QTest::newRow("table made anew") << QStringList{u"DROP TABLE VX60_SKLAD"_s} +
                                            TableLayouts::stockTableStatements(backend()) +
                                            StockChangeLog::statements(backend()) + QStringList{renamedCard}
                                     << u"MLIEKO 3,5%"_s;
    // The server's TRUNCATE empties the table without a row trigger.
    if (TestStore::onServer())
        QTest::newRow("emptied by TRUNCATE")
            << QStringList{u"TRUNCATE VX60_SKLAD"_s, renamedCard} << u"MLIEKO 3,5%"_s;
}

void TestStockSearch::readsWholeTableWhenTheLogCannotTell()
{
    QFETCH(QStringList, statements);
    QFETCH(QString, newName);
    SharedStock stock;
    StockSearch search(stock.file);
    QVERIFY(search.search(StockSearch::Column::Name, {}));
    QVERIFY(stock.otherTillRuns(statements));
    const auto ids = search.search(StockSearch::Column::Name, u"mlieko 3"_s);
    QCOMPARE(stock.codesOf(ids), QStringList{u"100"_s});
    QCOMPARE(stock.table.cards(*ids)->first().nazov, newName);
    QCOMPARE(search.fullReads(), 2);
    compareWithFreshRead(search, stock.file);
}

// A table made before the change log gets it when the file is opened for use,
// even by two tills at once; a search follows every change throughout.
void TestStockSearch::tableOfAnEarlierVersionGetsTheLog()
{
    SharedStock stock(false);
    QCOMPARE(StockChangeLog(stock.file).isInstalled(), std::optional<bool>(false));
    StockSearch search(stock.file);
    QVERIFY(search.search(StockSearch::Column::Name, {}));
    QVERIFY(stock.otherTillRuns({u"UPDATE VX60_SKLAD SET NAZOV = 'Acko' WHERE KOD = '100'"_s}));
    QCOMPARE(stock.codesOf(search.search(StockSearch::Column::Name, u"ACKO"_s)), QStringList{u"100"_s});
    QCOMPARE(search.fullReads(), 2);

    // The other till holds the write lock while it adds the log; this one
    // waits for it and finds the log there.
    QVERIFY(stock.other.beginWrite());
    std::atomic<bool> thirdTillReady = false;
    LockWait lockWait;
    std::jthread thirdTill([&] {
        DataFile file;
        file.setServer(stock.store.server());
        if (!file.open(stock.file.path(), false))
            return;
        lockWait.watch(file);
        thirdTillReady = StockTable(file).ensureChangeLog();
    });
    QTRY_VERIFY(lockWait.waiting(stock.other));
    QVERIFY(!thirdTillReady);
    for (const QString &statement : StockChangeLog::statements(backend()))
        QVERIFY2(stock.other.exec(statement), qPrintable(stock.other.lastError()));
    QVERIFY(stock.other.commit());
    thirdTill.join();
    QVERIFY(thirdTillReady);
    QVERIFY(stock.table.ensureChangeLog());
    QCOMPARE(StockChangeLog(stock.file).isInstalled(), std::optional<bool>(true));

    QVERIFY(search.search(StockSearch::Column::Name, {})); // the schema changed: read whole once more
    QVERIFY(stock.otherTillRuns({u"UPDATE VX60_SKLAD SET NAZOV = 'Bcko' WHERE KOD = '100'"_s}));
    QCOMPARE(stock.codesOf(search.search(StockSearch::Column::Name, u"BCKO"_s)), QStringList{u"100"_s});
    QCOMPARE(search.fullReads(), 3);
    compareWithFreshRead(search, stock.file);
}

void TestStockSearch::seesCardsAddedByAnotherTill()
{
    QCOMPARE(m_search->search(StockSearch::Column::Name, u"kefír"_s)->size(), 0);
    {
        DataFile otherTill;
        otherTill.setServer(m_store->server());
        QVERIFY(otherTill.open(m_file.path(), false));
        StockRow row;
        row.kod = u"400"_s;
        row.nazov = u"KEFÍR"_s;
        QVERIFY(StockTable(otherTill).insert(row));
    }
    QCOMPARE(codesOf(*m_search->search(StockSearch::Column::Name, u"kefír"_s)), QStringList{u"400"_s});
    StockRow own;
    own.kod = u"401"_s;
    own.nazov = u"Kefírové mlieko"_s;
    QVERIFY(m_table->insert(own));
    QCOMPARE(codesOf(*m_search->search(StockSearch::Column::Name, u"kefír"_s)),
             (QStringList{u"400"_s, u"401"_s}));
}

void TestStockSearch::fetchesCardsInTheListsOrder()
{
    const auto ids = *m_search->search(StockSearch::Column::Name, u"mlie"_s);
    QList<qint64> reversed(ids.rbegin(), ids.rend());
    reversed.append(999999); // a card deleted meanwhile is left out
    const auto cards = *m_table->cards(reversed);
    QCOMPARE(cards.size(), ids.size());
    QCOMPARE(cards.first().nazov, m_table->cards(std::span(&ids.last(), 1))->first().nazov);
    std::optional<StockRow> card;
    QVERIFY(m_table->cardByCode(u"120"_s, card));
    QCOMPARE(card->nazov, u"Jack's whisky"_s);
    QVERIFY(m_table->cardByCode(u"' OR '1'='1"_s, card));
    QVERIFY(!card);
}

// A till that changes a card while another till's change is still open takes
// its log entry only after that one's commit: a search in between, which
// remembers the newest number it saw, would otherwise pass over the earlier
// number committed after it. The third till writes without asking for the
// write lock, as a statement typed at the server does.
void TestStockSearch::changeCommittedLaterIsNotPassedOver()
{
    SharedStock stock;
    StockSearch search(stock.file);
    QVERIFY(search.search(StockSearch::Column::Name, {}));
    QVERIFY(stock.other.beginWrite());
    QVERIFY(stock.other.exec(u"UPDATE VX60_SKLAD SET NAZOV = 'Acko' WHERE KOD = '100'"_s));
    std::atomic<bool> thirdTillWrote = false;
    LockWait lockWait;
    std::jthread thirdTill([&] {
        DataFile file;
        file.setServer(stock.store.server());
        if (!file.open(stock.file.path(), false))
            return;
        lockWait.watch(file);
        thirdTillWrote = file.exec(u"UPDATE VX60_SKLAD SET NAZOV = 'Bcko' WHERE KOD = '200'"_s);
    });
    QTRY_VERIFY(lockWait.waiting(stock.other));
    QVERIFY(!thirdTillWrote);
    QCOMPARE(stock.codesOf(search.search(StockSearch::Column::Name, u"cko"_s)), QStringList{});
    QVERIFY(stock.other.commit());
    thirdTill.join();
    QVERIFY(thirdTillWrote);
    QCOMPARE(stock.codesOf(search.search(StockSearch::Column::Name, u"cko"_s)),
             (QStringList{u"100"_s, u"200"_s}));
    QCOMPARE(search.fullReads(), 1);
    compareWithFreshRead(search, stock.file);
}

QTEST_GUILESS_MAIN(TestStockSearch)
#include "tst_stocksearch.moc"

// The indexes through which the sales overview groups a year: the till adds them
// once to a table that lacks them, and the overview's rows, totals and pages are
// the same with them as without them, read straight or kept.
#include "SalesOverviewFixture.h"
#include "pos/SalesTable.h"
#include "stock/DataFile.h"
#include "stock/SalesOverview.h"
#include "stock/SalesOverviewStatements.h"
#include "stock/TableLayouts.h"

#include <QRegularExpression>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <vector>

using namespace Qt::StringLiterals;

using Choices = SalesOverviewChoices;
using Grouping = Choices::Grouping;
using Sort = Choices::Sort;

namespace {

QStringList described(const QList<SalesOverviewRows::Item> &items)
{
    QStringList rows;
    for (const SalesOverviewRows::Item &item : items) {
        rows << u"%1/%2/%3/%4/%5/%6/%7/%8"_s.arg(item.closing)
                    .arg(item.document)
                    .arg(item.date.toString(Qt::ISODate), item.code, item.name)
                    .arg(item.quantity)
                    .arg(qRound64(item.total * 100))
                    .arg(item.vatRate);
    }
    return rows;
}

QStringList described(const QList<SalesOverviewRows::Document> &documents)
{
    QStringList rows;
    for (const SalesOverviewRows::Document &document : documents) {
        rows << u"%1/%2/%3/%4/%5"_s.arg(document.closing)
                    .arg(document.document)
                    .arg(document.date.toString(Qt::ISODate))
                    .arg(document.number)
                    .arg(qRound64(document.total * 100));
    }
    return rows;
}

// The documents of `choices` read as the document grid reads them: a page at a
// time from the last one backwards.
QList<SalesOverviewRows::Document> documentsFromTheEnd(SalesOverview &overview, const Choices &choices)
{
    constexpr int Page = 97;
    QList<SalesOverviewRows::Document> documents = overview.documents(choices, std::nullopt, Page);
    for (qsizetype read = documents.size(); read == Page;) {
        const QList<SalesOverviewRows::Document> earlier =
            overview.documents(choices, documents.first(), Page);
        read = earlier.size();
        documents = earlier + documents;
    }
    return documents;
}

QString summaryOf(const SalesOverviewRows::ItemSummary &summary)
{
    return u"%1 rows, %2 cents"_s.arg(summary.rows).arg(qRound64(summary.total * 100));
}

// Many documents of a few items, over closings 1 to 6, so that the grouped rows
// run past the ones the overview reads straight from the table. Some rows are of
// the open document, not printed: they are no sale.
std::vector<SalesOverviewFixture::Sale> busyYear()
{
    static const char16_t *const codes[] = {u"100", u"200", u"300", u"120"};
    static const char16_t *const names[] = {u"Mlieko", u"Čaj", u"Čokoláda", u"Rožok"};
    static const char16_t *const dates[] = {u"2026-03-02", u"2026-03-03", u"2026-03-05"};
    std::vector<SalesOverviewFixture::Sale> sales;
    for (int i = 0; i < 2 * int(SalesOverview::DirectRows); ++i) {
        const int item = i % 4;
        sales.push_back({1 + i % 6, i / 2, dates[i % 3], codes[item], names[item], u"ks", double(1 + i % 3),
                         1.5, 1.5 * (1 + i % 3), 20, 1 + item % 2, i % 97 != 5});
    }
    return sales;
}

// The overview's indexes as an earlier version made them: without FISK.
void addEarlierIndexes(const QString &path)
{
    DataFile file;
    QVERIFY(file.open(path, false));
    const QString table = TableLayouts::salesTableName(SalesOverviewFixture::Year);
    const std::pair<const char16_t *, const char16_t *> earlier[] = {
        {u"IDXPREHLAD_DUBL", u"DU,ID_DOKLAD,DATUM,KOD,NAZOV,MJ,JC,DPH,SKLAD,CENA,POCET"},
        {u"IDXPREHLAD_DU", u"DU,KOD,NAZOV,MJ,JC,DPH,DATUM,SKLAD,CENA,POCET"},
        {u"IDXPREHLAD_KOD", u"KOD,NAZOV,MJ,JC,DPH,DU,DATUM,SKLAD,CENA,POCET"},
        {u"IDXPREHLAD_DOK", u"DU,ID_DOKLAD,DATUM,DOKLAD,CENA"}};
    for (const auto &[name, columns] : earlier) {
        QVERIFY2(file.exec(u"CREATE INDEX %1 ON %2 (%3)"_s.arg(QString::fromUtf16(name), table,
                                                               QString::fromUtf16(columns))),
                 qPrintable(file.lastError()));
    }
}

// The overview's indexes of the file that hold FISK.
int indexesWithFisk(const QString &path)
{
    DataFile file;
    file.open(path, false);
    QSqlQuery query(file.database());
    query.exec(u"SELECT COUNT(*) FROM sqlite_master WHERE type = 'index' AND name LIKE 'IDXPREHLAD%' "
               "AND sql LIKE '%FISK%'"_s);
    return query.next() ? query.value(0).toInt() : -1;
}

// The till's step at opening a year: the table lacks the overview's indexes and has them after.
void addMissingIndexes(SalesTable &table)
{
    bool has = true;
    QVERIFY(table.hasOverviewIndexes(has));
    QVERIFY(!has);
    QVERIFY2(table.addOverviewIndexes(), qPrintable(table.lastError()));
    QVERIFY(table.hasOverviewIndexes(has));
    QVERIFY(has);
}

int overviewIndexCount(const QString &path)
{
    DataFile file;
    file.open(path, false);
    QSqlQuery query(file.database());
    query.exec(u"SELECT COUNT(*) FROM sqlite_master WHERE type = 'index' AND name LIKE 'IDXPREHLAD%'"_s);
    return query.next() ? query.value(0).toInt() : -1;
}

} // namespace

class TestSalesOverviewIndexes : public QObject
{
    Q_OBJECT

    QTemporaryDir m_without;
    QTemporaryDir m_with;
    QTemporaryDir m_earlier; // the overview's indexes of an earlier version
    QString m_fileName = QString::fromUtf16(SalesOverviewFixture::FileName);

private slots:
    void initTestCase();
    void init();
    void indexesAreAddedOnce();
    void earlierIndexesAreMadeAnew();
    void resultsUnchangedByTheIndexes_data();
    void resultsUnchangedByTheIndexes();
};

void TestSalesOverviewIndexes::initTestCase()
{
    QVERIFY(m_without.isValid() && m_with.isValid() && m_earlier.isValid());
    const std::vector<SalesOverviewFixture::Sale> sales = busyYear();
    SalesOverviewFixture::write(m_without.filePath(m_fileName), sales);
    SalesOverviewFixture::write(m_with.filePath(m_fileName), sales);
    SalesOverviewFixture::write(m_earlier.filePath(m_fileName), sales);
    addEarlierIndexes(m_earlier.filePath(m_fileName));
}

void TestSalesOverviewIndexes::init()
{
    // A row read without a column its grouping sums away must not ask for it.
    QTest::failOnWarning(QRegularExpression(u"QSqlQuery"_s));
}

void TestSalesOverviewIndexes::indexesAreAddedOnce()
{
    const QString path = m_with.filePath(m_fileName);
    DataFile file;
    QVERIFY(file.open(path, false));
    SalesTable table(file, TableLayouts::salesTableName(SalesOverviewFixture::Year));
    addMissingIndexes(table);
    if (QTest::currentTestFailed())
        return;
    // A second till that finds them there (or adds them after waiting) changes nothing.
    QVERIFY2(table.addOverviewIndexes(), qPrintable(table.lastError()));
    file.close();
    QCOMPARE(overviewIndexCount(path), int(SalesOverviewStatements::overviewIndexNames().size()));
    QCOMPARE(overviewIndexCount(m_without.filePath(m_fileName)), 0);
}

// A till finds the indexes of an earlier version and makes them anew with FISK.
void TestSalesOverviewIndexes::earlierIndexesAreMadeAnew()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(m_fileName);
    QVERIFY(QFile::copy(m_earlier.filePath(m_fileName), path));
    QCOMPARE(indexesWithFisk(path), 0);
    DataFile file;
    QVERIFY(file.open(path, false));
    SalesTable table(file, TableLayouts::salesTableName(SalesOverviewFixture::Year));
    addMissingIndexes(table);
    if (QTest::currentTestFailed())
        return;
    file.close();
    const int count = int(SalesOverviewStatements::overviewIndexNames().size());
    QCOMPARE(overviewIndexCount(path), count);
    QCOMPARE(indexesWithFisk(path), count);
}

void TestSalesOverviewIndexes::resultsUnchangedByTheIndexes_data()
{
    QTest::addColumn<Choices>("choices");
    const auto make = [](Grouping grouping, Sort sort, bool descending) {
        // Wider than a month of closings: the grouping's index is read whole.
        Choices choices;
        choices.closingFrom = 1;
        choices.closingTo = 400;
        choices.grouping = grouping;
        choices.sort = sort;
        choices.descending = descending;
        return choices;
    };
    // Each grouping in the order its index holds, and in orders it does not.
    QTest::newRow("po dokladoch by document") << make(Grouping::ByDocument, Sort::Document, false);
    QTest::newRow("po dokladoch by closing") << make(Grouping::ByDocument, Sort::Closing, false);
    QTest::newRow("po dokladoch by name, descending") << make(Grouping::ByDocument, Sort::Name, true);
    QTest::newRow("po uzávierkach by closing") << make(Grouping::ByClosing, Sort::Closing, false);
    QTest::newRow("po uzávierkach by closing, descending") << make(Grouping::ByClosing, Sort::Closing, true);
    QTest::newRow("súhrnne by code") << make(Grouping::Summary, Sort::Code, false);
    QTest::newRow("súhrnne by name") << make(Grouping::Summary, Sort::Name, false);
    Choices narrow = make(Grouping::ByDocument, Sort::Document, false);
    narrow.closingFrom = 2;
    narrow.closingTo = 5;
    QTest::newRow("a few closings, sought by their numbers") << narrow;
    Choices dates = make(Grouping::ByDocument, Sort::Document, false);
    dates.rangeMode = Choices::RangeMode::Dates;
    dates.dateFrom = QDate(2026, 3, 3);
    dates.dateTo = QDate(2026, 3, 5);
    dates.group = 2;
    QTest::newRow("date range and stock group") << dates;
    Choices filtered = make(Grouping::Summary, Sort::Code, false);
    filtered.filterColumn = Choices::Column::Name;
    filtered.filterText = u"čo"_s;
    QTest::newRow("name filter") << filtered;
}

void TestSalesOverviewIndexes::resultsUnchangedByTheIndexes()
{
    QFETCH(Choices, choices);
    if (overviewIndexCount(m_with.filePath(m_fileName)) == 0)
        QSKIP("runs after indexesAreAddedOnce");
    SalesOverview without;
    SalesOverview with;
    SalesOverview earlier;
    QVERIFY(without.open(m_without.path(), m_fileName));
    QVERIFY(with.open(m_with.path(), m_fileName));
    QVERIFY(earlier.open(m_earlier.path(), m_fileName));

    const SalesOverviewRows::ItemSummary kept = without.selectItems(choices);
    const QStringList rows = described(without.items());
    QVERIFY(!rows.isEmpty());
    QCOMPARE(summaryOf(with.selectItems(choices)), summaryOf(kept));
    QCOMPARE(described(with.items()), rows);
    QCOMPARE(summaryOf(earlier.selectItems(choices)), summaryOf(kept));
    QCOMPARE(described(earlier.items()), rows);
    // The rows of the open document are in none of them.
    if (choices.rangeMode == Choices::RangeMode::Closings && !choices.group && choices.filterText.isEmpty()) {
        qint64 printed = 0;
        for (const SalesOverviewFixture::Sale &sale : busyYear()) {
            if (sale.printed && sale.closing >= choices.closingFrom && sale.closing <= choices.closingTo)
                printed += qRound64(sale.price * 100);
        }
        QCOMPARE(qRound64(kept.total * 100), printed);
    }

    // Read straight: the first pages, then one past them, which keeps the rows.
    with.chooseItems(choices);
    QCOMPARE(described(with.items(0, 100)), rows.mid(0, 100));
    QCOMPARE(qRound64(with.itemTotal() * 100), qRound64(kept.total * 100));
    QCOMPARE(summaryOf(with.itemSummary()), summaryOf(kept));
    const qint64 deep = SalesOverview::DirectRows - 50;
    QCOMPARE(described(with.items(deep, 100)), rows.mid(deep, 100));
    QCOMPARE(described(with.items(50, 10)), rows.mid(50, 10));
    QCOMPARE(summaryOf(with.itemSummary()), summaryOf(kept));

    // The document grid's pages, read backwards through its own index.
    const QStringList documents = described(without.documents(choices));
    QVERIFY(documents.size() > 200);
    QCOMPARE(described(documentsFromTheEnd(with, choices)), documents);
    QCOMPARE(described(documentsFromTheEnd(earlier, choices)), documents);
    earlier.chooseItems(choices);
    QCOMPARE(described(earlier.items(0, 100)), rows.mid(0, 100));
    QCOMPARE(qRound64(earlier.itemTotal() * 100), qRound64(kept.total * 100));
}

QTEST_MAIN(TestSalesOverviewIndexes)
#include "tst_salesoverviewindexes.moc"

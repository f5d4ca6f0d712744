#include "SalesFixture.h"
#include "TestStore.h"
#include "stock/DataFile.h"
#include "stock/SalesFiles.h"
#include "stock/SalesOverview.h"
#include "stock/TableLayouts.h"

#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

using Choices = SalesOverviewChoices;
using Grouping = Choices::Grouping;
using SalesFixture::closings;
using Sort = Choices::Sort;
using Column = Choices::Column;

namespace {

using SalesFixture::FixtureRows;
using SalesFixture::writeSalesFile;

void touch(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("file not created");
}

qint64 cents(double amount)
{
    return qRound64(amount * 100);
}

// "closing/document/date/code/quantity/total/discount", amounts in cents.
QStringList described(const QList<SalesOverviewRows::Item> &items)
{
    QStringList rows;
    for (const SalesOverviewRows::Item &item : items) {
        rows << u"%1/%2/%3/%4/%5/%6/%7"_s.arg(item.closing)
                    .arg(item.document)
                    .arg(item.date.toString(Qt::ISODate), item.code)
                    .arg(item.quantity)
                    .arg(cents(item.total))
                    .arg(cents(item.discount()));
    }
    return rows;
}

} // namespace

class TestSalesOverview : public QObject
{
    Q_OBJECT

    TestStore m_store;
    QString m_path;
    SalesOverview m_overview;

private slots:
    void initTestCase();
    void itemRows_data();
    void itemRows();
    void itemRowsPaged();
    void documentsAndTheirLines();
    void dateOfClosing();
    void emptyTableGivesRangeZero();
    void failingStatementGivesEmptyResult();
    void fileList_data();
    void fileList();
    void yearsOnTheServer();
    void refusesNamesOutsideTheList();
    void readingLeavesTheFileUnchanged();
    void otherTillsCanSellWhileTheOverviewIsOpen();
};

void TestSalesOverview::initTestCase()
{
    OMIRA_REQUIRE_BACKEND();
    QVERIFY(m_store.isValid());
    m_path = m_store.path(u"predaj_2026.db"_s);
    writeSalesFile(m_path, 2026, FixtureRows, m_store.server());
    QVERIFY2(m_overview.open(m_store.folder(), u"predaj_2026.db"_s, m_store.server()),
             qPrintable(m_overview.lastError()));
}

void TestSalesOverview::itemRows_data()
{
    QTest::addColumn<Choices>("choices");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<qint64>("totalCents");

    Choices all = closings(3, 7, Grouping::ByDocument);
    QTest::newRow("po dokladoch, closings ascending")
        << all << QStringList{u"3/10/2026-03-02/100/2/270/-30"_s, u"3/10/2026-03-02/200/1/210/0"_s,
                              u"3/11/2026-03-02/100/1/150/0"_s,   u"4/12/2026-03-03/120/1/2500/0"_s,
                              u"4/12/2026-03-03/300/3/360/0"_s,   u"4/13/2026-03-03/100/-1/-150/0"_s,
                              u"7/14/2026-03-05/100/2/300/0"_s,   u"7/14/2026-03-05/200/2/420/0"_s}
        << qint64(4060);

    const QStringList byClosing = {u"3/0//100/3/420/-30"_s, u"3/0//200/1/210/0"_s, u"4/0//100/-1/-150/0"_s,
                                   u"4/0//120/1/2500/0"_s, u"4/0//300/3/360/0"_s};
    QTest::newRow("po uzávierkach, 3..4 ascending")
        << closings(3, 4, Grouping::ByClosing) << byClosing << qint64(3340);
    Choices descending = closings(3, 4, Grouping::ByClosing);
    descending.descending = true;
    QTest::newRow("po uzávierkach, 3..4 descending")
        << descending << QStringList{byClosing[2], byClosing[3], byClosing[4], byClosing[0], byClosing[1]}
        << qint64(3340);

    // The date is summed away: no order by it, and so no direction either.
    Choices summaryByDate = closings(0, 0, Grouping::Summary);
    summaryByDate.rangeMode = Choices::RangeMode::Dates;
    summaryByDate.dateFrom = QDate(2026, 3, 2);
    summaryByDate.dateTo = QDate(2026, 3, 5);
    summaryByDate.sort = Sort::Date;
    summaryByDate.descending = true;
    const QStringList summary = {u"0/0//100/4/570/-30"_s, u"0/0//120/1/2500/0"_s, u"0/0//200/3/630/0"_s,
                                 u"0/0//300/3/360/0"_s};
    QTest::newRow("súhrnne, date range, sorted by the hidden date")
        << summaryByDate << summary << qint64(4060);

    Choices oneDay = summaryByDate;
    oneDay.grouping = Grouping::ByDocument;
    oneDay.dateFrom = oneDay.dateTo = QDate(2026, 3, 3);
    oneDay.sort = Sort::Document;
    QTest::newRow("one day, by document number descending")
        << oneDay
        << QStringList{u"4/13/2026-03-03/100/-1/-150/0"_s, u"4/12/2026-03-03/120/1/2500/0"_s,
                       u"4/12/2026-03-03/300/3/360/0"_s}
        << qint64(2710);

    Choices byCode = closings(3, 7, Grouping::Summary);
    byCode.sort = Sort::Code;
    byCode.descending = true;
    QTest::newRow("súhrnne by code descending")
        << byCode << QStringList{summary[3], summary[2], summary[1], summary[0]} << qint64(4060);

    Choices name = all;
    name.filterColumn = Column::Name;
    name.filterText = u"mlie"_s;
    QTest::newRow("name contains 'mlie' in any case")
        << name
        << QStringList{u"3/10/2026-03-02/100/2/270/-30"_s, u"3/11/2026-03-02/100/1/150/0"_s,
                       u"4/12/2026-03-03/300/3/360/0"_s, u"4/13/2026-03-03/100/-1/-150/0"_s,
                       u"7/14/2026-03-05/100/2/300/0"_s}
        << qint64(930);

    Choices slovak = closings(3, 7, Grouping::Summary);
    slovak.filterColumn = Column::Name;
    slovak.filterText = u"čokol"_s;
    QTest::newRow("Slovak letters folded") << slovak << QStringList{summary[3]} << qint64(360);
    slovak.filterText = u"ZELENÝ"_s;
    QTest::newRow("Slovak capitals folded") << slovak << QStringList{summary[2]} << qint64(630);

    Choices quoted = slovak;
    quoted.filterText = u"' OR ''='"_s;
    QTest::newRow("quotes and SQL matched literally") << quoted << QStringList{summary[1]} << qint64(2500);
    quoted.filterText = u"%"_s;
    QTest::newRow("percent sign matched literally") << quoted << QStringList{summary[0]} << qint64(570);

    Choices code = slovak;
    code.filterColumn = Column::Code;
    code.filterText = u"1"_s;
    QTest::newRow("code contains 1") << code << QStringList{summary[0], summary[1]} << qint64(3070);

    Choices closing = closings(3, 7, Grouping::ByClosing);
    closing.filterColumn = Column::Closing;
    closing.filterText = u"7"_s;
    QTest::newRow("closing 7") << closing << QStringList{u"7/0//100/2/300/0"_s, u"7/0//200/2/420/0"_s}
                               << qint64(720);
    closing.filterText = u"x7"_s;
    QTest::newRow("closing filter not a number") << closing << QStringList{} << qint64(0);
    closing.filterText = u"7 OR 1=1"_s;
    QTest::newRow("closing filter with SQL in it") << closing << QStringList{} << qint64(0);

    Choices document = all;
    document.filterColumn = Column::Document;
    document.filterText = u"12"_s;
    QTest::newRow("document 12") << document
                                 << QStringList{u"4/12/2026-03-03/120/1/2500/0"_s,
                                                u"4/12/2026-03-03/300/3/360/0"_s}
                                 << qint64(2860);

    Choices date = closings(7, 7, Grouping::ByDocument);
    date.filterColumn = Column::Date;
    date.filterText = u"no date"_s;
    QTest::newRow("a date column does not filter")
        << date << QStringList{u"7/14/2026-03-05/100/2/300/0"_s, u"7/14/2026-03-05/200/2/420/0"_s}
        << qint64(720);

    Choices group = closings(3, 7, Grouping::Summary);
    group.group = 2;
    QTest::newRow("stock group 2") << group << QStringList{summary[1], summary[2]} << qint64(3130);

    QTest::newRow("range without rows") << closings(5, 6, Grouping::ByDocument) << QStringList{} << qint64(0);
}

void TestSalesOverview::itemRows()
{
    QFETCH(Choices, choices);
    QFETCH(QStringList, expected);
    QFETCH(qint64, totalCents);

    const SalesOverviewRows::ItemSummary summary = m_overview.selectItems(choices);
    QCOMPARE(described(m_overview.items()), expected);
    QCOMPARE(summary.rows, expected.size());
    QCOMPARE(cents(summary.total), totalCents);
}

void TestSalesOverview::itemRowsPaged()
{
    const Choices choices = closings(3, 7, Grouping::ByDocument);
    QCOMPARE(m_overview.selectItems(choices).rows, 8);
    const QStringList all = described(m_overview.items());
    QStringList paged;
    for (qint64 offset = 0; offset < all.size(); offset += 3)
        paged += described(m_overview.items(offset, 3));
    QCOMPARE(paged, all);
    QVERIFY(m_overview.items(8, 3).isEmpty());
    QCOMPARE(cents(m_overview.itemSummary().total), 4060);

    // Choices that match nothing leave no rows of the earlier selection behind.
    Choices none = choices;
    none.filterColumn = Column::Closing;
    none.filterText = u"x"_s;
    QCOMPARE(m_overview.selectItems(none).rows, 0);
    QVERIFY(m_overview.items().isEmpty());
}

void TestSalesOverview::documentsAndTheirLines()
{
    const QList<SalesOverviewRows::Document> documents =
        m_overview.documents(closings(3, 4, Grouping::ByDocument));
    QStringList described;
    for (const SalesOverviewRows::Document &document : documents)
        described << u"%1/%2/%3/%4"_s.arg(document.closing)
                         .arg(document.document)
                         .arg(document.date.toString(Qt::ISODate))
                         .arg(cents(document.total));
    QCOMPARE(described, (QStringList{u"3/10/2026-03-02/480"_s, u"3/11/2026-03-02/150"_s,
                                     u"4/12/2026-03-03/2860"_s, u"4/13/2026-03-03/-150"_s}));

    const QList<SalesOverviewRows::Line> lines = m_overview.documentLines(4, 12, QDate(2026, 3, 3));
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0].code, u"300"_s);
    QCOMPARE(lines[0].name, u"ČOKOLÁDA mliečna"_s);
    QCOMPARE(lines[0].quantity, 3.0);
    QCOMPARE(lines[0].unit, u"ks"_s);
    QCOMPARE(lines[0].time, QTime(10, 15));
    QCOMPARE(lines[1].code, u"120"_s);
    QVERIFY(m_overview.documentLines(4, 12, QDate(2026, 3, 2)).isEmpty());
}

void TestSalesOverview::dateOfClosing()
{
    QCOMPARE(m_overview.dateOfClosing(4), std::optional<QDate>(QDate(2026, 3, 3)));
    QCOMPARE(m_overview.dateOfClosing(5), std::nullopt);
    QCOMPARE(m_overview.closingRange().from, 3);
    QCOMPARE(m_overview.closingRange().to, 7);
}

void TestSalesOverview::emptyTableGivesRangeZero()
{
    TestStore store;
    writeSalesFile(store.path(u"predaj_2025.db"_s), 2025, {}, store.server());
    SalesOverview overview;
    QVERIFY(overview.open(store.folder(), u"predaj_2025.db"_s, store.server()));
    const SalesOverviewRows::ClosingRange range = overview.closingRange();
    QCOMPARE(range.from, 0);
    QCOMPARE(range.to, 0);
    QVERIFY(overview.lastError().isEmpty());
    const Choices choices = closings(0, 0, Grouping::ByDocument);
    QCOMPARE(overview.selectItems(choices).rows, 0);
    QVERIFY(overview.items().isEmpty());
    QVERIFY(overview.documents(choices).isEmpty());
}

// A file of the right name that lacks the year's table (here it holds the one
// of another year): every read is empty, and says why. (On a server the year's
// table is looked for when opening: see refusesNamesOutsideTheList.)
void TestSalesOverview::failingStatementGivesEmptyResult()
{
    if (TestStore::onServer())
        QSKIP("the files only");
    QTemporaryDir dir;
    writeSalesFile(dir.filePath(u"predaj_2024.db"_s), 2023, FixtureRows);
    SalesOverview overview;
    QVERIFY(overview.open(dir.path(), u"predaj_2024.db"_s));
    QCOMPARE(overview.selectItems(closings(3, 7, Grouping::ByDocument)).rows, 0);
    QVERIFY(!overview.lastError().isEmpty());
    QVERIFY(overview.items().isEmpty());
    QCOMPARE(overview.closingRange().to, 0);
    QCOMPARE(overview.dateOfClosing(3), std::nullopt);
}

void TestSalesOverview::fileList_data()
{
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<int>("currentYear");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QString>("chosen");

    const QStringList threeYears = {u"predaj_2026.db"_s, u"predaj_2024.db"_s,     u"predaj_2025.db"_s,
                                    u"predaj_1999.db"_s, u"predaj_2026.db.bak"_s, u"vx60_sklad.db"_s};
    const QStringList listed = {u"predaj_2024.db"_s, u"predaj_2025.db"_s, u"predaj_2026.db"_s};
    QTest::newRow("current year present") << threeYears << 2026 << listed << u"predaj_2026.db"_s;
    QTest::newRow("earlier year present") << threeYears << 2025 << listed << u"predaj_2025.db"_s;
    QTest::newRow("new year: the last file") << threeYears << 2027 << listed << u"predaj_2026.db"_s;
    QTest::newRow("no sales file") << QStringList{u"vx60_sklad.db"_s} << 2027
                                   << QStringList{u"predaj_2027.db"_s} << u"predaj_2027.db"_s;
    QTest::newRow("capitals of older installations")
        << QStringList{u"PREDAJ_2025.DB"_s} << 2025 << QStringList{u"PREDAJ_2025.DB"_s}
        << u"PREDAJ_2025.DB"_s;
}

void TestSalesOverview::fileList()
{
    QFETCH(QStringList, present);
    QFETCH(int, currentYear);
    QFETCH(QStringList, listed);
    QFETCH(QString, chosen);
    if (TestStore::onServer())
        QSKIP("the files only: see yearsOnTheServer");

    QTemporaryDir dir;
    for (const QString &name : present)
        touch(dir.filePath(name));
    const QStringList files = SalesFiles::list(dir.path(), currentYear);
    QCOMPARE(files, listed);
    QCOMPARE(SalesFiles::choose(files, currentYear), chosen);
}

// The yearly tables of the server, listed by their file names as on a folder.
void TestSalesOverview::yearsOnTheServer()
{
    if (!TestStore::onServer())
        QSKIP("the server only: see fileList");
    TestStore store;
    QCOMPARE(SalesFiles::list(store.folder(), 2027, store.server()), QStringList{u"predaj_2027.db"_s});
    writeSalesFile(store.path(u"predaj_2026.db"_s), 2026, {}, store.server());
    writeSalesFile(store.path(u"predaj_2024.db"_s), 2024, {}, store.server());
    const QStringList files = SalesFiles::list(store.folder(), 2025, store.server());
    QCOMPARE(files, (QStringList{u"predaj_2024.db"_s, u"predaj_2026.db"_s}));
    QCOMPARE(SalesFiles::choose(files, 2025), u"predaj_2026.db"_s);
}

void TestSalesOverview::refusesNamesOutsideTheList()
{
    SalesOverview overview;
    const DataServer server = m_store.server();
    QVERIFY(!overview.open(m_store.folder(), u"vx60_sklad.db"_s, server));
    QVERIFY(!overview.open(m_store.folder(), u"../predaj_2026.db"_s, server));
    QVERIFY(!overview.open(m_store.folder(), u"predaj_2026.db; DROP TABLE PREDAJ_2026"_s, server));
    QCOMPARE(SalesFiles::tableNameOf(u"predaj_2026.db"_s), u"PREDAJ_2026"_s);
    // A year without a file is not created by looking at it.
    QVERIFY(!overview.open(m_store.folder(), u"predaj_2027.db"_s, server));
    QVERIFY(!QFile::exists(m_store.path(u"predaj_2027.db"_s)));
    QCOMPARE(overview.selectItems(closings(3, 7, Grouping::ByDocument)).rows, 0);
    QVERIFY(overview.items().isEmpty());
}

void TestSalesOverview::readingLeavesTheFileUnchanged()
{
    if (TestStore::onServer())
        QSKIP("the files only");
    QTemporaryDir dir;
    const QString path = dir.filePath(u"predaj_2026.db"_s);
    writeSalesFile(path, 2026, FixtureRows);
    const auto bytes = [&path] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray before = bytes();
    const QDateTime modified = QFileInfo(path).lastModified();
    const QStringList files = QDir(dir.path()).entryList(QDir::Files);
    {
        SalesOverview overview;
        QVERIFY(overview.open(dir.path(), u"predaj_2026.db"_s));
        for (Grouping grouping : {Grouping::ByDocument, Grouping::ByClosing, Grouping::Summary}) {
            Choices choices = closings(0, 9, grouping);
            choices.filterColumn = Column::Name;
            choices.filterText = u"čaj"_s;
            QVERIFY(overview.selectItems(choices).rows > 0);
            QVERIFY(!overview.items(0, 2).isEmpty());
        }
        overview.documents(closings(0, 9, Grouping::ByDocument));
        overview.documentLines(3, 10, QDate(2026, 3, 2));
        overview.closingRange();
    }
    QCOMPARE(bytes(), before);
    QCOMPARE(QFileInfo(path).lastModified(), modified);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), files);
}

// The overview stays open while the other tills of the folder go on selling:
// no read may leave a lock on the sales file behind.
void TestSalesOverview::otherTillsCanSellWhileTheOverviewIsOpen()
{
    TestStore store;
    writeSalesFile(store.path(u"predaj_2026.db"_s), 2026, FixtureRows, store.server());
    SalesOverview overview;
    QVERIFY(overview.open(store.folder(), u"predaj_2026.db"_s, store.server()));
    const Choices choices = closings(3, 7, Grouping::ByDocument);
    QCOMPARE(overview.selectItems(choices).rows, 8);
    QCOMPARE(overview.items(2, 1).size(), 1);
    QVERIFY(!overview.documents(choices).isEmpty());
    QVERIFY(overview.dateOfClosing(3).has_value());
    QCOMPARE(overview.closingRange().to, 7);

    DataFile till;
    till.setServer(store.server());
    QVERIFY(till.open(store.path(u"predaj_2026.db"_s), false, 100));
    QVERIFY2(till.beginWrite(), qPrintable(till.lastError()));
    QVERIFY(till.exec(u"UPDATE PREDAJ_2026 SET FISK=1 WHERE DU=7"_s));
    QVERIFY2(till.commit(), qPrintable(till.lastError()));
}

QTEST_GUILESS_MAIN(TestSalesOverview)
#include "tst_salesoverview.moc"

// The printed sales overview, read back from its PDF by a real PDF reader
// (poppler's pdftotext): the header with the selection line, the captions of the
// columns the grouping shows, the rows in their order and the closing total.
#include "SalesOverviewFixture.h"
#include "stock/SalesOverview.h"
#include "stock/ui/SalesOverviewPrint.h"
#include "stock/ui/SalesOverviewReport.h"

#include <QApplication>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <vector>

using namespace Qt::StringLiterals;

using Choices = SalesOverviewChoices;
using Grouping = Choices::Grouping;
using SalesFixture::closings;

namespace {

const QDate PrintDate(2026, 5, 20);

QString pdftotext()
{
    return QStandardPaths::findExecutable(u"pdftotext"_s);
}

// The pages' text as pdftotext lays it out, one string per page.
QStringList layoutPages(const QString &pdf)
{
    QProcess process;
    process.start(pdftotext(), {u"-layout"_s, u"-enc"_s, u"UTF-8"_s, pdf, u"-"_s});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    QStringList pages = QString::fromUtf8(process.readAllStandardOutput()).split(u'\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

// The words of each line of `text` that holds `marker`, blanks between them ignored.
QList<QStringList> linesWith(const QString &text, const QString &marker)
{
    QList<QStringList> lines;
    for (const QString &line : text.split(u'\n')) {
        if (line.contains(marker))
            lines.append(line.simplified().split(u' '));
    }
    return lines;
}

} // namespace

class TestSalesOverviewPrint : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_files = 0;

    QString writePdf(const SalesOverviewReport &report)
    {
        const QString path = m_dir.filePath(u"prehlad%1.pdf"_s.arg(++m_files));
        return report.writePdf(path) ? path : QString();
    }

private slots:
    void initTestCase();
    void printOfEachGrouping_data();
    void printOfEachGrouping();
    void longSelectionRunsOverPagesInOrder();
    void previewShowsTheSelection_data();
    void previewShowsTheSelection();
};

void TestSalesOverviewPrint::initTestCase()
{
    QVERIFY2(!pdftotext().isEmpty(), "pdftotext is missing: scripts/install-deps.sh installs poppler-utils");
    QVERIFY(m_dir.isValid());
    SalesOverviewFixture::write(m_dir.filePath(QString::fromUtf16(SalesOverviewFixture::FileName)),
                                SalesOverviewFixture::Sales);
}

void TestSalesOverviewPrint::printOfEachGrouping_data()
{
    QTest::addColumn<Grouping>("grouping");
    QTest::addColumn<QStringList>("captions");
    // A row as pdftotext reads it, by the code of its item.
    QTest::addColumn<QList<QStringList>>("rows");

    QTest::newRow("po dokladoch")
        << Grouping::ByDocument
        << QStringList{u"DU"_s, u"BL"_s, u"DATUM"_s, u"KOD"_s,   u"NAZOV"_s, u"POCET"_s,
                       u"MJ"_s, u"JC"_s, u"ZLAVA"_s, u"SPOLU"_s, u"DPH"_s}
        << QList<QStringList>{
               u"3 10 02.03.2026 100 Mlieko 1,5% 2,00 ks 1,50 -0,30 2,70 20"_s.split(u' '),
               u"3 10 02.03.2026 200 Čaj zelený; \"sypaný\" 1,00 bal 2,10 0,00 2,10 20"_s.split(u' '),
               u"4 12 03.03.2026 300 ČOKOLÁDA mliečna 3,00 ks 1,20 0,00 3,60 20"_s.split(u' '),
               u"4 13 03.03.2026 100 Mlieko 1,5% -1,00 ks 1,50 0,00 -1,50 20"_s.split(u' '),
               u"7 14 05.03.2026 100 Mlieko 1,5% 1,00 ks 1,50 0,00 1,50 20"_s.split(u' ')};
    QTest::newRow("po uzávierkach")
        << Grouping::ByClosing << QStringList{u"DU"_s, u"KOD"_s,   u"NAZOV"_s, u"POCET"_s, u"MJ"_s,
                                              u"JC"_s, u"ZLAVA"_s, u"SPOLU"_s, u"DPH"_s}
        << QList<QStringList>{u"3 100 Mlieko 1,5% 2,00 ks 1,50 -0,30 2,70 20"_s.split(u' '),
                              u"3 200 Čaj zelený; \"sypaný\" 1,00 bal 2,10 0,00 2,10 20"_s.split(u' '),
                              u"4 100 Mlieko 1,5% -1,00 ks 1,50 0,00 -1,50 20"_s.split(u' '),
                              u"4 300 ČOKOLÁDA mliečna 3,00 ks 1,20 0,00 3,60 20"_s.split(u' '),
                              u"7 100 Mlieko 1,5% 1,00 ks 1,50 0,00 1,50 20"_s.split(u' ')};
    QTest::newRow("súhrnne") << Grouping::Summary << QStringList{u"KOD"_s, u"NAZOV"_s, u"POCET"_s, u"MJ"_s,
                                                                 u"JC"_s,  u"ZLAVA"_s, u"SPOLU"_s, u"DPH"_s}
                             << QList<QStringList>{
                                    u"100 Mlieko 1,5% 2,00 ks 1,50 -0,30 2,70 20"_s.split(u' '),
                                    u"200 Čaj zelený; \"sypaný\" 1,00 bal 2,10 0,00 2,10 20"_s.split(u' '),
                                    u"300 ČOKOLÁDA mliečna 3,00 ks 1,20 0,00 3,60 20"_s.split(u' ')};
}

void TestSalesOverviewPrint::printOfEachGrouping()
{
    QFETCH(Grouping, grouping);
    QFETCH(QStringList, captions);
    QFETCH(QList<QStringList>, rows);

    SalesOverview overview;
    QVERIFY(overview.open(m_dir.path(), QString::fromUtf16(SalesOverviewFixture::FileName)));
    overview.selectItems(closings(3, 7, grouping));
    const QString selection = u"predaj_2026.db, uzávierky 3 až 7, súhrn položiek"_s;
    const QString pdf = writePdf(SalesOverviewReport(overview, grouping, selection, PrintDate));
    QVERIFY(!pdf.isEmpty());
    const QStringList pages = layoutPages(pdf);
    QCOMPARE(pages.size(), 1);
    const QString &page = pages.first();

    QCOMPARE(linesWith(page, u"Prehľad predaja"_s).size(), 1);
    QCOMPARE(linesWith(page, selection).value(0).join(u' '), selection);
    QCOMPARE(linesWith(page, u"NAZOV"_s).value(0), captions);
    QList<QStringList> printed;
    for (const QString &line : page.split(u'\n')) {
        if (line.contains(u"Mlieko"_s) || line.contains(u"Čaj"_s) || line.contains(u"ČOKOLÁDA"_s))
            printed.append(line.simplified().split(u' '));
    }
    QCOMPARE(printed, rows);
    QCOMPARE(linesWith(page, u"Spolu"_s).value(0), (QStringList{u"Spolu"_s, u"8,40"_s}));
    QVERIFY(QRegularExpression(u"Strana: 1\\s+Dátum:\\s+20\\.5\\.2026"_s).match(page).hasMatch());
}

void TestSalesOverviewPrint::longSelectionRunsOverPagesInOrder()
{
    // More rows than the report reads from the overview at once, one document each.
    std::vector<SalesOverviewFixture::Sale> sales;
    const int count = SalesOverviewReport::RowsPerRead + 40;
    for (int i = 0; i < count; ++i)
        sales.push_back({1, 1000 + i, u"2026-04-01", u"500", u"Rožok", u"ks", 1, 0.1, 0.1, 20, 1});
    QTemporaryDir dir;
    SalesOverviewFixture::write(dir.filePath(QString::fromUtf16(SalesOverviewFixture::FileName)), sales);
    SalesOverview overview;
    QVERIFY(overview.open(dir.path(), QString::fromUtf16(SalesOverviewFixture::FileName)));
    Choices choices = closings(1, 1, Grouping::ByDocument);
    choices.sort = Choices::Sort::Document;
    overview.selectItems(choices);

    const QString pdf = writePdf(SalesOverviewReport(overview, Grouping::ByDocument, u"výber"_s, PrintDate));
    QVERIFY(!pdf.isEmpty());
    const QStringList pages = layoutPages(pdf);
    const int perPage = TableReport::rowsPerPage(297 - 20, 1);
    QCOMPARE(pages.size(), (count + 1 + perPage - 1) / perPage);
    QList<int> documents;
    for (int i = 0; i < pages.size(); ++i) {
        QCOMPARE(linesWith(pages[i], u"Prehľad predaja"_s).size(), 1);
        QCOMPARE(linesWith(pages[i], u"NAZOV"_s).size(), 1);
        QVERIFY(pages[i].contains(u"Strana: %1"_s.arg(i + 1)));
        for (const QStringList &line : linesWith(pages[i], u"Rožok"_s))
            documents.append(line.value(1).toInt());
        QCOMPARE(linesWith(pages[i], u"Spolu"_s).size(), i == pages.size() - 1 ? 1 : 0);
    }
    QList<int> expected;
    for (int i = 0; i < count; ++i)
        expected.append(1000 + i);
    QCOMPARE(documents, expected);
    QCOMPARE(linesWith(pages.last(), u"Spolu"_s).value(0), (QStringList{u"Spolu"_s, u"54,00"_s}));
}

void TestSalesOverviewPrint::previewShowsTheSelection_data()
{
    QTest::addColumn<int>("closingTo");
    QTest::newRow("rows") << 7;
    // No row selected: the page still says what was selected and that it came to nothing.
    QTest::newRow("nothing selected") << 2;
}

void TestSalesOverviewPrint::previewShowsTheSelection()
{
    QFETCH(int, closingTo);
    SalesOverview overview;
    QVERIFY(overview.open(m_dir.path(), QString::fromUtf16(SalesOverviewFixture::FileName)));
    const Choices choices = closings(1, closingTo, Grouping::Summary);
    overview.selectItems(choices);
    QString title;
    int pages = -1;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        auto *preview = qobject_cast<QPrintPreviewDialog *>(QApplication::activeModalWidget());
        if (!preview || !preview->isVisible())
            return;
        title = preview->windowTitle();
        pages = preview->findChild<QPrintPreviewWidget *>()->pageCount();
        preview->reject();
    });
    poll.start(10);
    SalesOverviewPrint::preview(nullptr, overview, choices, u"výber"_s);
    QCOMPARE(title, u"Prehľad predaja"_s);
    QCOMPARE(pages, 1);
    // The overview keeps its selection for the screen.
    QCOMPARE(overview.itemSummary().rows, closingTo == 7 ? 3 : 0);
}

QTEST_MAIN(TestSalesOverviewPrint)
#include "tst_salesoverviewprint.moc"

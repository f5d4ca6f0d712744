// The export of the sales overview: the bytes of the separated text in both
// encodings, the workbook read back as the import reads spreadsheets, and the
// request that asks for the file and tells a failure.
#include "SalesOverviewFixture.h"
#include "ScriptedDialogs.h"
#include "base/Cp1250.h"
#include "stock/DataFile.h"
#include "stock/ImportFile.h"
#include "stock/SalesOverview.h"
#include "stock/SalesOverviewExport.h"
#include "stock/ui/SalesOverviewExportRequest.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

using Choices = SalesOverviewChoices;
using Format = SalesOverviewExport::Format;

namespace {

Choices closings(int from, int to, Choices::Grouping grouping)
{
    Choices choices;
    choices.closingFrom = from;
    choices.closingTo = to;
    choices.grouping = grouping;
    return choices;
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The separated text of the fixture's closings 3 to 7, summed up per item.
const QString SummaryCsv = u"KOD;NAZOV;POCET;MJ;JC;ZLAVA;SPOLU;DPH\r\n"
                           "100;Mlieko 1,5%;2,00;ks;1,50;-0,30;2,70;20\r\n"
                           "200;\"Čaj zelený; \"\"sypaný\"\"\";1,00;bal;2,10;0,00;2,10;20\r\n"
                           "300;ČOKOLÁDA mliečna;3,00;ks;1,20;0,00;3,60;20\r\n"
                           "Spolu;;;;;;8,40;\r\n"_s;

// A cell read back from a workbook: a typed number or a text.
struct Cell
{
    QString text;
    bool number = false;
};

} // namespace

class TestSalesOverviewExport : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    SalesOverview m_overview;
    ScriptedDialogs m_dialogs;

private slots:
    void initTestCase();
    void init();
    void csvBytes_data();
    void csvBytes();
    void csvOfEachGroupingHasItsColumns_data();
    void csvOfEachGroupingHasItsColumns();
    void workbookReadBackAsTheImportReadsIt();
    void unwritableFileKeepsNothingAndSaysWhy_data();
    void unwritableFileKeepsNothingAndSaysWhy();
    void unreadableSalesKeepNothingAndSayWhy_data();
    void unreadableSalesKeepNothingAndSayWhy();
    void requestWritesTheChosenKind_data();
    void requestWritesTheChosenKind();
    void requestCancelledWritesNothing();
    void requestTellsAFailure();
};

void TestSalesOverviewExport::initTestCase()
{
    QVERIFY(m_dir.isValid());
    SalesOverviewFixture::write(m_dir.filePath(QString::fromUtf16(SalesOverviewFixture::FileName)),
                                SalesOverviewFixture::Sales);
    QVERIFY(m_overview.open(m_dir.path(), QString::fromUtf16(SalesOverviewFixture::FileName)));
}

void TestSalesOverviewExport::init()
{
    m_dialogs.clear();
    m_dialogs.setStrict(true);
    m_overview.selectItems(closings(3, 7, Choices::Grouping::Summary));
}

void TestSalesOverviewExport::csvBytes_data()
{
    QTest::addColumn<Format>("format");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("code page 1250") << Format::CsvCp1250 << Cp1250::encode(SummaryCsv);
    QTest::newRow("UTF-8 with BOM") << Format::CsvUtf8 << QByteArray("\xEF\xBB\xBF") + SummaryCsv.toUtf8();
}

void TestSalesOverviewExport::csvBytes()
{
    QFETCH(Format, format);
    QFETCH(QByteArray, expected);
    const QString path = m_dir.filePath(u"prehlad.csv"_s);
    SalesOverviewExport exporter(m_overview, Choices::Grouping::Summary);
    QVERIFY2(exporter.write(path, format), qPrintable(exporter.lastError()));
    QCOMPARE(contentOf(path), expected);
}

void TestSalesOverviewExport::csvOfEachGroupingHasItsColumns_data()
{
    QTest::addColumn<Choices::Grouping>("grouping");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("po dokladoch") << Choices::Grouping::ByDocument
                                  << QStringList{
                                         u"DU;BL;DATUM;KOD;NAZOV;POCET;MJ;JC;ZLAVA;SPOLU;DPH"_s,
                                         u"3;10;02.03.2026;100;Mlieko 1,5%;2,00;ks;1,50;-0,30;2,70;20"_s};
    QTest::newRow("po uzávierkach") << Choices::Grouping::ByClosing
                                    << QStringList{u"DU;KOD;NAZOV;POCET;MJ;JC;ZLAVA;SPOLU;DPH"_s,
                                                   u"3;100;Mlieko 1,5%;2,00;ks;1,50;-0,30;2,70;20"_s};
}

void TestSalesOverviewExport::csvOfEachGroupingHasItsColumns()
{
    QFETCH(Choices::Grouping, grouping);
    QFETCH(QStringList, lines);
    m_overview.selectItems(closings(3, 7, grouping));
    const QString path = m_dir.filePath(u"skupiny.csv"_s);
    QVERIFY(SalesOverviewExport(m_overview, grouping).write(path, Format::CsvUtf8));
    const QStringList written = QString::fromUtf8(contentOf(path).mid(3)).split(u"\r\n"_s);
    QCOMPARE(written.mid(0, 2), lines);
    // Five rows between the captions and the total, then the end of the last line.
    QCOMPARE(written.size(), 1 + 5 + 1 + 1);
    QVERIFY(written[6].startsWith(u"Spolu;"_s) && written[6].contains(u";8,40;"_s));
}

void TestSalesOverviewExport::workbookReadBackAsTheImportReadsIt()
{
    m_overview.selectItems(closings(3, 7, Choices::Grouping::ByDocument));
    const QString path = m_dir.filePath(u"prehlad.xlsx"_s);
    SalesOverviewExport exporter(m_overview, Choices::Grouping::ByDocument);
    QVERIFY2(exporter.write(path, Format::Xlsx), qPrintable(exporter.lastError()));
    QVERIFY(!QFile::exists(path + u".part"_s));

    QString error;
    const std::unique_ptr<ImportRowSource> source = ImportFile::open(path, {}, &error);
    QVERIFY2(source, qPrintable(error));
    QList<QList<Cell>> rows;
    ImportRow row;
    while (source->next(row) == ImportRowSource::Read::Row) {
        QList<Cell> cells;
        for (qsizetype i = 0; i < row.cells.size(); ++i)
            cells.append({row.cells[i], row.isNumber(i)});
        rows.append(cells);
    }
    QCOMPARE(rows.size(), 1 + 5 + 1);
    QStringList captions;
    for (const Cell &cell : rows[0])
        captions.append(cell.text);
    QCOMPARE(captions, u"DU BL DATUM KOD NAZOV POCET MJ JC ZLAVA SPOLU DPH"_s.split(u' '));

    // 3 / 10 / 2.3.2026 / 100 / Mlieko 1,5% / 2 / ks / 1.50 / -0.30 / 2.70 / 20
    const QList<Cell> &first = rows[1];
    QCOMPARE(first.size(), 11);
    for (const int column : {0, 1, 5, 7, 8, 9, 10})
        QVERIFY2(first[column].number, qPrintable(u"column %1 is not a number"_s.arg(column)));
    const QList<double> numbers = {3, 10, 0, 0, 0, 2, 0, 1.5, -0.3, 2.7, 20};
    for (const int column : {0, 1, 5, 7, 8, 9, 10})
        QVERIFY(qAbs(first[column].text.toDouble() - numbers[column]) < 1e-9);
    // A date cell: a date as text, or a typed day number counted the spreadsheet's way.
    const QDate date(2026, 3, 2);
    const Cell &dateCell = first[2];
    const bool isDate = dateCell.number ? qRound(dateCell.text.toDouble()) == QDate(1899, 12, 30).daysTo(date)
                                        : QDate::fromString(dateCell.text, u"dd.MM.yyyy"_s) == date ||
                                              QDate::fromString(dateCell.text, u"d.M.yyyy"_s) == date ||
                                              QDate::fromString(dateCell.text, Qt::ISODate) == date;
    QVERIFY2(isDate, qPrintable(dateCell.text));
    QCOMPARE(first[3].text, u"100"_s);
    QVERIFY(!first[3].number); // a code is text, leading zeros and all
    QCOMPARE(first[4].text, u"Mlieko 1,5%"_s);
    QCOMPARE(rows[2][4].text, u"Čaj zelený; \"sypaný\""_s);

    const QList<Cell> &total = rows.last();
    QCOMPARE(total.value(0).text, u"Spolu"_s);
    QVERIFY(total.value(9).number && qAbs(total.value(9).text.toDouble() - 8.4) < 1e-9);
}

void TestSalesOverviewExport::unwritableFileKeepsNothingAndSaysWhy_data()
{
    QTest::addColumn<Format>("format");
    QTest::newRow("xlsx") << Format::Xlsx;
    QTest::newRow("csv") << Format::CsvCp1250;
}

void TestSalesOverviewExport::unwritableFileKeepsNothingAndSaysWhy()
{
    QFETCH(Format, format);
    const QString path = m_dir.filePath(u"niet/takej/zlozky.dat"_s);
    SalesOverviewExport exporter(m_overview, Choices::Grouping::Summary);
    QVERIFY(!exporter.write(path, format));
    QVERIFY2(exporter.lastError().contains(path) && exporter.lastError().contains(u"Súbor"_s),
             qPrintable(exporter.lastError()));
    QVERIFY(!QFile::exists(path) && !QFile::exists(path + u".part"_s));
}

void TestSalesOverviewExport::unreadableSalesKeepNothingAndSayWhy_data()
{
    unwritableFileKeepsNothingAndSaysWhy_data();
}

// Rows that cannot be read once counted (the year taken away meanwhile) make no
// file: a short one would pass for the whole selection.
void TestSalesOverviewExport::unreadableSalesKeepNothingAndSayWhy()
{
    QFETCH(Format, format);
    QTemporaryDir dir;
    const QString fileName = QString::fromUtf16(SalesOverviewFixture::FileName);
    SalesOverviewFixture::write(dir.filePath(fileName), SalesOverviewFixture::Sales);
    SalesOverview overview;
    QVERIFY(overview.open(dir.path(), fileName));
    overview.chooseItems(closings(3, 7, Choices::Grouping::Summary));
    QCOMPARE(overview.itemSummary().rows, 3);
    {
        DataFile other;
        QVERIFY(other.open(dir.filePath(fileName), false));
        QVERIFY2(other.exec(u"DROP TABLE PREDAJ_2026"_s), qPrintable(other.lastError()));
    }
    const QString path = dir.filePath(u"prehlad.dat"_s);
    SalesOverviewExport exporter(overview, Choices::Grouping::Summary);
    QVERIFY(!exporter.write(path, format));
    QVERIFY2(exporter.lastError().contains(path), qPrintable(exporter.lastError()));
    QVERIFY(!QFile::exists(path) && !QFile::exists(path + u".part"_s));
}

void TestSalesOverviewExport::requestWritesTheChosenKind_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("entry"); // of the dialog's filter; -1 when the dialog does not say
    QTest::addColumn<QString>("written");
    QTest::addColumn<QByteArray>("start");
    QTest::newRow("workbook, name without extension") << u"a"_s << 0 << u"a.xlsx"_s << QByteArray("PK");
    QTest::newRow("code page 1250") << u"b.csv"_s << 1 << u"b.csv"_s << QByteArray("KOD;");
    QTest::newRow("UTF-8, name without extension")
        << u"c"_s << 2 << u"c.csv"_s << QByteArray("\xEF\xBB\xBFKOD;");
    QTest::newRow("kind from the extension") << u"d.csv"_s << -1 << u"d.csv"_s << QByteArray("KOD;");
    QTest::newRow("workbook from the extension") << u"e.XLSX"_s << -1 << u"e.XLSX"_s << QByteArray("PK");
}

void TestSalesOverviewExport::requestWritesTheChosenKind()
{
    QFETCH(QString, typed);
    QFETCH(int, entry);
    QFETCH(QString, written);
    QFETCH(QByteArray, start);
    const QStringList entries = SalesOverviewExportRequest::filter().split(u";;"_s);
    QCOMPARE(entries.size(), 3);
    m_dialogs.queueFile(m_dir.filePath(typed), entry < 0 ? QString() : entries[entry]);
    m_dialogs.queueAnswer(UserDialogs::Answer::Ok);
    SalesOverviewExportRequest request(m_dialogs);
    const QString path =
        request.run(m_overview, closings(3, 7, Choices::Grouping::Summary), m_dir.path(), u"prehlad"_s);
    QCOMPARE(path, m_dir.filePath(written));
    QVERIFY(contentOf(path).startsWith(start));
    // The box names the file written, with its extension.
    QCOMPARE(m_dialogs.shown().size(), 1);
    QCOMPARE(m_dialogs.shown().first().icon, UserDialogs::Icon::Information);
    QVERIFY2(m_dialogs.shown().first().text.contains(QDir::toNativeSeparators(path)),
             qPrintable(m_dialogs.shown().first().text));

    const UserDialogs::FileRequest asked = m_dialogs.fileRequests().value(0);
    QVERIFY(asked.forSaving);
    QVERIFY(!asked.existingOnly);
    QCOMPARE(asked.folder, m_dir.path());
    QCOMPARE(asked.proposedName, u"prehlad"_s);
}

void TestSalesOverviewExport::requestCancelledWritesNothing()
{
    const QStringList before = QDir(m_dir.path()).entryList(QDir::Files);
    SalesOverviewExportRequest request(m_dialogs);
    QVERIFY(request.run(m_overview, closings(3, 7, Choices::Grouping::Summary), m_dir.path(), {}).isEmpty());
    QCOMPARE(m_dialogs.fileRequests().size(), 1);
    QVERIFY(m_dialogs.shown().isEmpty());
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), before);
}

void TestSalesOverviewExport::requestTellsAFailure()
{
    const QString path = m_dir.filePath(u"niet/prehlad.csv"_s);
    m_dialogs.queueFile(path);
    m_dialogs.queueAnswer(UserDialogs::Answer::Ok);
    SalesOverviewExportRequest request(m_dialogs);
    QVERIFY(request.run(m_overview, closings(3, 7, Choices::Grouping::Summary), m_dir.path(), {}).isEmpty());
    QCOMPARE(m_dialogs.shown().size(), 1);
    const UserDialogs::Message &box = m_dialogs.shown().first();
    QCOMPARE(box.icon, UserDialogs::Icon::Error);
    QCOMPARE(box.caption, QString::fromUtf16(SalesOverviewExportRequest::Caption));
    QVERIFY2(box.text.contains(path), qPrintable(box.text));
}

QTEST_MAIN(TestSalesOverviewExport)
#include "tst_salesoverviewexport.moc"

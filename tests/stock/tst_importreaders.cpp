#include "ImportShop.h"
#include "TestPaths.h"
#include "base/Progress.h"
#include "stock/DataFile.h"
#include "stock/ImportFile.h"
#include "stock/PriceListImport.h"
#include "stock/StockTable.h"
#include "stock/TableLayouts.h"
#include "stock/UnitAndGroupNames.h"
#include "stock/XlsxDateStyles.h"
#include "stock/XlsxSharedStrings.h"

#include <QDir>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <zip.h>

using namespace Qt::StringLiterals;

class TestImportReaders : public QObject
{
    Q_OBJECT

private slots:
    void fixtureRows_data();
    void fixtureRows();
    void typedCells_data();
    void typedCells();
    void xlsxCells_data();
    void xlsxCells();
    void largePartsStream_data();
    void largePartsStream();
    void odsCells_data();
    void odsCells();
    void docxCells_data();
    void docxCells();
    void htmlCells_data();
    void htmlCells();
    void xmlLayouts_data();
    void xmlLayouts();
    void parts_data();
    void parts();
    void partByName_data();
    void partByName();
    void damagedFiles_data();
    void damagedFiles();
    void sharedStrings_data();
    void sharedStrings();
    void dateFormats_data();
    void dateFormats();
    void importGivesTheCardsOfTheTextFile_data();
    void importGivesTheCardsOfTheTextFile();
};

namespace {

using Rows = QList<QStringList>;
using Numbers = QList<qint64>;
using Parts = QList<QPair<QString, QByteArray>>;

const QDateTime Now(QDate(2026, 3, 9), QTime(14, 32));

QString fixture(const QString &name)
{
    return TestPaths::sourceDir() + u"/tests/stock/data/import/"_s + name;
}

// A zip archive of the given parts, as an office program packs a document.
bool writeZip(const QString &path, const Parts &parts)
{
    int code = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!archive)
        return false;
    for (const auto &[name, bytes] : parts) {
        zip_source_t *source = zip_source_buffer(archive, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        if (!source || zip_file_add(archive, name.toUtf8().constData(), source, ZIP_FL_OVERWRITE) < 0) {
            zip_source_free(source);
            zip_discard(archive);
            return false;
        }
    }
    return zip_close(archive) == 0;
}

const QByteArray SheetStart = R"(<?xml version="1.0" encoding="UTF-8"?>
<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)";
const QByteArray SheetEnd = "</sheetData></worksheet>";

// A workbook of one sheet "Cenník" (or the sheets given) around `sheetData`.
Parts workbook(const QByteArray &sheetData, const QByteArray &sharedStrings = {},
               const QByteArray &styles = {}, const QByteArray &workbookPr = {})
{
    const QByteArray rels =
        R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>)";
    const QByteArray book =
        R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)" +
        workbookPr + R"(<sheets><sheet name="Cenník" sheetId="1" r:id="rId1"/></sheets></workbook>)";
    const QByteArray bookRels =
        R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>
<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="/xl/sharedStrings.xml"/>
<Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/></Relationships>)";
    Parts parts{{u"_rels/.rels"_s, rels},
                {u"xl/workbook.xml"_s, book},
                {u"xl/_rels/workbook.xml.rels"_s, bookRels},
                {u"xl/worksheets/sheet1.xml"_s, SheetStart + sheetData + SheetEnd}};
    if (!sharedStrings.isEmpty())
        parts << qMakePair(u"xl/sharedStrings.xml"_s,
                           R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)" +
                               sharedStrings + "</sst>");
    if (!styles.isEmpty())
        parts << qMakePair(
            u"xl/styles.xml"_s,
            R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)" + styles +
                "</styleSheet>");
    return parts;
}

Parts spreadsheet(const QByteArray &tables)
{
    return {
        {u"mimetype"_s, "application/vnd.oasis.opendocument.spreadsheet"},
        {u"content.xml"_s,
         R"(<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" )"
         R"(xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" )"
         R"(xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"><office:body><office:spreadsheet>)" +
             tables + "</office:spreadsheet></office:body></office:document-content>"}};
}

Parts wordDocument(const QByteArray &body)
{
    return {
        {u"word/document.xml"_s,
         R"(<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"><w:body>)" +
             body + "</w:body></w:document>"}};
}

struct ReadBack
{
    Rows rows;
    Numbers numbers;
    QList<QList<bool>> typed;
    ImportRowSource::Read end = ImportRowSource::Read::End;
    QString error;
};

ReadBack readAll(const QString &path, const QString &part = {}, bool titleRow = false)
{
    ReadBack back;
    ImportFile::Options options;
    options.part = part;
    options.titleRow = titleRow;
    const std::unique_ptr<ImportRowSource> source = ImportFile::open(path, options, &back.error);
    if (!source) {
        back.end = ImportRowSource::Read::Failed;
        return back;
    }
    ImportRow row;
    while ((back.end = source->next(row)) == ImportRowSource::Read::Row) {
        back.rows << row.cells;
        back.numbers << row.number;
        QList<bool> typed = row.numbers;
        typed.resize(row.cells.size());
        back.typed << typed;
    }
    back.error = source->error();
    return back;
}

// The price list's rows as the files made from cennik.csv give them: values
// typed in the sheet (typed numbers the C way, dates as dd.MM.yyyy) or as
// shown in a document.
Rows typedPriceList()
{
    return {{u"Šošovica červená"_s, u"300"_s, u"1234.5"_s, u"2.5"_s, u"1"_s, u"3"_s, u"01.03.2026"_s},
            {u"Ďatle sušené"_s, u"400"_s, u"0.99"_s, u"1000"_s, u"2"_s, u"1"_s, u"15.02.2026"_s},
            {u"Čučoriedky lesné"_s, u"500"_s, u"3.2"_s, u"10"_s, u"1"_s, u"0"_s},
            {u"Hruška"_s, u"600"_s},
            {u"Žemľa"_s, u"700"_s, u"lacná"_s, u"5"_s, u"1"_s, u"0"_s, u"01.01.2026"_s},
            {u"Mlieko polotučné 1 l"_s, u"800"_s, u"0.89"_s, u"24"_s, u"2"_s, u"0"_s, u"31.12.2026"_s}};
}

Rows shownPriceList()
{
    Rows rows = typedPriceList();
    for (QStringList &row : rows)
        for (QString &cell : row)
            if (cell.contains(u'.') && !cell.contains(u' ') && cell.size() < 8)
                cell.replace(u'.', u',');
    return rows;
}

const Numbers PriceListRows{2, 3, 5, 6, 7, 8};

QList<QPair<qint64, int>> errorsOf(const PriceListImport::Result &result)
{
    QList<QPair<qint64, int>> errors;
    for (const PriceListImport::RowError &error : result.errors)
        errors << qMakePair(error.row, error.column);
    return errors;
}

} // namespace

// Files that office programs made from cennik.csv, and the XML files.
void TestImportReaders::fixtureRows_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("titleRow");
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<Numbers>("numbers");

    for (const QString &file : {u"cennik.xlsx"_s, u"cennik_gnumeric.xlsx"_s, u"cennik.ods"_s})
        QTest::newRow(qPrintable(file)) << file << true << typedPriceList() << PriceListRows;
    QTest::newRow("cennik.html") << u"cennik.html"_s << true << shownPriceList() << PriceListRows;
    QTest::newRow("cennik.docx") << u"cennik.docx"_s << true << shownPriceList() << PriceListRows;

    Rows withTitles = typedPriceList();
    withTitles.prepend({u"Názov"_s, u"Kód"_s, u"Cena"_s, u"Počet"_s, u"DPH"_s, u"MJ"_s, u"Platí od"_s});
    QTest::newRow("title row kept") << u"cennik.xlsx"_s << false << withTitles
                                    << (Numbers{1} + PriceListRows);

    Rows xml = typedPriceList();
    xml[0][6] = u"2026-03-01"_s;
    xml[1][2] = u"0,99"_s;
    xml[1][6] = u"2026-02-15"_s;
    xml[2][2] = u"3.20"_s;
    xml[4][6] = u"2026-01-01"_s;
    xml[5][6] = u"2026-12-31"_s;
    QTest::newRow("cennik.xml") << u"cennik.xml"_s << false << xml << Numbers{1, 2, 4, 5, 6, 7};
    Rows attributes = typedPriceList();
    for (QStringList &row : attributes)
        row = row.mid(0, 6);
    attributes[2][2] = u"3,20"_s;
    QTest::newRow("cennik_atributy.xml in code page 1250")
        << u"cennik_atributy.xml"_s << false << attributes << Numbers{1, 2, 4, 5, 6, 7};
}

void TestImportReaders::fixtureRows()
{
    QFETCH(QString, file);
    QFETCH(bool, titleRow);
    const ReadBack back = readAll(fixture(file), {}, titleRow);
    QVERIFY2(back.end == ImportRowSource::Read::End, qPrintable(back.error));
    QTEST(back.rows, "rows");
    QTEST(back.numbers, "numbers");
}

// Spreadsheets give their number cells as values, documents as text the
// regional way.
void TestImportReaders::typedCells_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QList<bool>>("typed");

    const QList<bool> sheet{false, true, true, true, true, true, false};
    QTest::newRow("xlsx") << u"cennik.xlsx"_s << sheet;
    QTest::newRow("gnumeric xlsx") << u"cennik_gnumeric.xlsx"_s << sheet;
    QTest::newRow("ods") << u"cennik.ods"_s << sheet;
    QTest::newRow("html") << u"cennik.html"_s << QList<bool>(7, false);
    QTest::newRow("docx") << u"cennik.docx"_s << QList<bool>(7, false);
    QTest::newRow("xml") << u"cennik.xml"_s << sheet;
}

void TestImportReaders::typedCells()
{
    QFETCH(QString, file);
    const ReadBack back = readAll(fixture(file), {}, !file.endsWith(u".xml"_s));
    QVERIFY2(!back.typed.isEmpty(), qPrintable(back.error));
    QTEST(back.typed.first(), "typed");
}

void TestImportReaders::xlsxCells_data()
{
    QTest::addColumn<QByteArray>("sheetData");
    QTest::addColumn<QByteArray>("sharedStrings");
    QTest::addColumn<QByteArray>("workbookPr");
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<Numbers>("numbers");

    const QByteArray strings =
        R"(<si><t>Čaj</t></si><si><r><rPr><b/></rPr><t>Zelený </t></r><r><t xml:space="preserve">čaj </t></r>)"
        R"(<rPh sb="0" eb="1"><t>fonetika</t></rPh></si><si><t>riadok_x000D_ďalší _x005F_x0041_</t></si>)";
    QTest::newRow("shared, rich and escaped strings")
        << R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c><c r="C1" t="s"><v>2</v></c></row>)"_ba
        << strings << QByteArray() << Rows{{u"Čaj"_s, u"Zelený čaj "_s, u"riadok\rďalší _x0041_"_s}}
        << Numbers{1};
    QTest::newRow("inline strings, formulas, booleans, errors")
        << R"(<row r="3"><c r="A3" t="inlineStr"><is><r><t>Ma</t></r><r><t>slo</t></r></is></c>)"
           R"(<c r="B3" t="str"><f>A3&amp;"x"</f><v>Maslox</v></c><c r="C3" t="b"><v>1</v></c>)"
           R"(<c r="D3" t="e"><v>#DIV/0!</v></c></row>)"_ba
        << QByteArray() << QByteArray() << Rows{{u"Maslo"_s, u"Maslox"_s, u"1"_s, u"#DIV/0!"_s}}
        << Numbers{3};
    QTest::newRow("gaps keep columns, empty cells and rows dropped")
        << R"(<row r="2"><c r="B2"><v>7</v></c><c r="E2" s="0"/><c r="F2" t="inlineStr"><is><t>x</t></is></c>)"
           R"(<c r="H2"/></row><row r="4"><c r="A4"/></row><row r="9"><c r="AA9"><v>1</v></c></row>)"_ba
        << QByteArray() << QByteArray()
        << Rows{{u""_s, u"7"_s, u""_s, u""_s, u""_s, u"x"_s},
                QStringList(26, QString()) + QStringList{u"1"_s}}
        << Numbers{2, 9};
    QTest::newRow("cells and rows without references follow the ones before")
        << R"(<row><c><v>1</v></c><c r="C1"><v>3</v></c><c><v>4</v></c></row><row><c><v>5</v></c></row>)"_ba
        << QByteArray() << QByteArray() << Rows{{u"1"_s, u""_s, u"3"_s, u"4"_s}, {u"5"_s}} << Numbers{1, 2};
    QTest::newRow("numbers the C way, whole ones without a point")
        << R"(<row r="1"><c r="A1"><v>100000</v></c><c r="B1"><v>0.1</v></c><c r="C1"><v>1.5E-3</v></c>)"
           R"(<c r="D1"><v>-12</v></c><c r="E1"><v>0.89999999999999991</v></c></row>)"_ba
        << QByteArray() << QByteArray()
        << Rows{{u"100000"_s, u"0.1"_s, u"0.0015"_s, u"-12"_s, u"0.8999999999999999"_s}} << Numbers{1};
    QTest::newRow("dates of the 1904 system and typed dates")
        << R"(<row r="1"><c r="A1" s="1"><v>0</v></c><c r="B1" s="1"><v>44620.75</v></c>)"
           R"(<c r="C1" t="d"><v>2026-03-01T00:00:00</v></c></row>)"_ba
        << QByteArray() << R"(<workbookPr date1904="1"/>)"_ba
        << Rows{{u"01.01.1904"_s, u"01.03.2026"_s, u"01.03.2026"_s}} << Numbers{1};
}

void TestImportReaders::xlsxCells()
{
    QFETCH(QByteArray, sheetData);
    QFETCH(QByteArray, sharedStrings);
    QFETCH(QByteArray, workbookPr);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"cennik.xlsx"_s);
    const QByteArray styles = R"(<cellXfs count="2"><xf numFmtId="0"/><xf numFmtId="14"/></cellXfs>)";
    QVERIFY(writeZip(path, workbook(sheetData, sharedStrings, styles, workbookPr)));
    const ReadBack back = readAll(path);
    QVERIFY2(back.end == ImportRowSource::Read::End, qPrintable(back.error));
    QTEST(back.rows, "rows");
    QTEST(back.numbers, "numbers");
}

// Parts far larger than one read of the archive: every row comes, the last one whole.
void TestImportReaders::largePartsStream_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<Parts>("zip");

    constexpr int Count = 6000;
    QByteArray sheet;
    QByteArray strings;
    QByteArray table;
    for (int i = 1; i <= Count; ++i) {
        strings += u"<si><t>Čučoriedky č. %1</t></si>"_s.arg(i).toUtf8();
        sheet += QByteArray(R"(<row r=")") + QByteArray::number(i) + R"("><c t="s"><v>)" +
                 QByteArray::number(i - 1) + R"(</v></c><c><v>)" + QByteArray::number(i) + "</v></c></row>";
        table +=
            u"<table:table-row><table:table-cell><text:p>Čučoriedky č. %1</text:p></table:table-cell>"
            "<table:table-cell office:value-type=\"float\" office:value=\"%1\"/></table:table-row>"_s.arg(i)
                .toUtf8();
    }
    QTest::newRow("xlsx") << u"a.xlsx"_s << workbook(sheet, strings);
    QTest::newRow("ods") << u"a.ods"_s
                         << spreadsheet(R"(<table:table table:name="Hárok1">)" + table + "</table:table>");
}

void TestImportReaders::largePartsStream()
{
    QFETCH(QString, file);
    QFETCH(Parts, zip);
    QTemporaryDir dir;
    const QString path = dir.filePath(file);
    QVERIFY(writeZip(path, zip));
    const ReadBack back = readAll(path);
    QVERIFY2(back.end == ImportRowSource::Read::End, qPrintable(back.error));
    QCOMPARE(back.rows.size(), 6000);
    QCOMPARE(back.rows.last(), (QStringList{u"Čučoriedky č. 6000"_s, u"6000"_s}));
    QCOMPARE(back.numbers.last(), 6000);
}

void TestImportReaders::odsCells_data()
{
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<bool>("titleRow");
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<Numbers>("numbers");

    QTest::newRow("a million empty cells at a row's end, a million empty rows at the end")
        << R"(<table:table-row><table:table-cell office:value-type="string"><text:p>Čaj</text:p></table:table-cell>)"
           R"(<table:table-cell table:number-columns-repeated="1048575"/></table:table-row>)"
           R"(<table:table-row table:number-rows-repeated="1048575"><table:table-cell table:number-columns-repeated="1024"/></table:table-row>)"_ba
        << false << Rows{{u"Čaj"_s}} << Numbers{1};
    QTest::newRow("repeated values and rows, covered cells keep places")
        << R"(<table:table-row table:number-rows-repeated="2"><table:table-cell office:value-type="float" office:value="2" table:number-columns-repeated="3"/>)"
           R"(<table:covered-table-cell/><table:table-cell office:value-type="boolean" office:boolean-value="true"/></table:table-row>)"
           R"(<table:table-row table:number-rows-repeated="3"/><table:table-row><table:table-cell table:number-columns-repeated="2"/>)"
           R"(<table:table-cell office:value-type="date" office:date-value="2026-12-31T10:00:00"/></table:table-row>)"_ba
        << false
        << Rows{{u"2"_s, u"2"_s, u"2"_s, u""_s, u"1"_s},
                {u"2"_s, u"2"_s, u"2"_s, u""_s, u"1"_s},
                {u""_s, u""_s, u"31.12.2026"_s}}
        << Numbers{1, 2, 6};
    QTest::newRow("text: spaces, tabs, paragraphs, spans; notes left out")
        << R"(<table:table-header-rows><table:table-row><table:table-cell><office:annotation><text:p>poznámka</text:p></office:annotation>)"
           R"(<text:p>a<text:s text:c="3"/>b<text:tab/>c</text:p><text:p><text:span>d</text:span><text:line-break/>e</text:p>)"
           R"(</table:table-cell></table:table-row></table:table-header-rows>)"_ba
        << false << Rows{{u"a   b\tc\nd\ne"_s}} << Numbers{1};
    QTest::newRow("a repeated title row: its repeats are rows")
        << R"(<table:table-row table:number-rows-repeated="3"><table:table-cell office:value-type="string"><text:p>N</text:p></table:table-cell></table:table-row>)"_ba
        << true << Rows{{u"N"_s}, {u"N"_s}} << Numbers{2, 3};
}

void TestImportReaders::odsCells()
{
    QFETCH(QByteArray, table);
    QFETCH(bool, titleRow);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"cennik.ods"_s);
    QVERIFY(writeZip(path, spreadsheet(R"(<table:table table:name="Hárok1">)" + table + "</table:table>")));
    const ReadBack back = readAll(path, {}, titleRow);
    QVERIFY2(back.end == ImportRowSource::Read::End, qPrintable(back.error));
    QTEST(back.rows, "rows");
    QTEST(back.numbers, "numbers");
}

void TestImportReaders::docxCells_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<Rows>("rows");

    QTest::newRow("merged cells keep columns, the first table only")
        << R"(<w:p><w:r><w:t>Cenník</w:t></w:r></w:p><w:tbl><w:tr><w:tc><w:tcPr><w:gridSpan w:val="2"/></w:tcPr>)"
           R"(<w:p><w:r><w:t>Čaj</w:t></w:r></w:p></w:tc><w:tc><w:p><w:r><w:t>1</w:t></w:r></w:p></w:tc></w:tr>)"
           R"(<w:tr><w:trPr><w:gridBefore w:val="1"/></w:trPr><w:tc><w:p><w:r><w:t>x</w:t></w:r></w:p></w:tc></w:tr></w:tbl>)"
           R"(<w:tbl><w:tr><w:tc><w:p><w:r><w:t>druhá</w:t></w:r></w:p></w:tc></w:tr></w:tbl>)"_ba
        << Rows{{u"Čaj"_s, u""_s, u"1"_s}, {u""_s, u"x"_s}};
    QTest::newRow("runs, tabs, paragraphs; deleted text left out")
        << R"(<w:tbl><w:tr><w:tc><w:p><w:r><w:t xml:space="preserve">Ze </w:t></w:r><w:r><w:t>lený</w:t><w:tab/></w:r>)"
           R"(<w:del><w:r><w:delText>starý</w:delText></w:r></w:del></w:p><w:p><w:r><w:t>čaj</w:t></w:r></w:p></w:tc></w:tr></w:tbl>)"_ba
        << Rows{{u"Ze lený\t\nčaj"_s}};
}

void TestImportReaders::docxCells()
{
    QFETCH(QByteArray, body);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"cennik.docx"_s);
    QVERIFY(writeZip(path, wordDocument(body)));
    const ReadBack back = readAll(path);
    QVERIFY2(back.end == ImportRowSource::Read::End, qPrintable(back.error));
    QTEST(back.rows, "rows");
}

void TestImportReaders::htmlCells_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<bool>("titleRow");
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<Numbers>("numbers");

    QTest::newRow("th titles, colspan and rowspan keep columns")
        << R"(<table><thead><tr><th>Názov</th><th>Kód</th><th>Cena</th></tr></thead><tbody>)"
           R"(<tr><td colspan="2">Čaj   zelený</td><td>1,5</td></tr><tr><td rowspan="2">A</td><td>B</td><td>C</td></tr>)"
           R"(<tr><td>D</td><td>E</td></tr><tr><td>F<br>G</td></tr></tbody></table>)"_ba
        << true
        << Rows{{u"Čaj zelený"_s, u""_s, u"1,5"_s},
                {u"A"_s, u"B"_s, u"C"_s},
                {u""_s, u"D"_s, u"E"_s},
                {u"F\nG"_s}}
        << Numbers{2, 3, 4, 5};
    QTest::newRow("title row without th, no tbody, unclosed tags")
        << "<table><tr><td>N<td>K<tr><td>Čaj<td>1<tr><td><br><td> </table>"_ba << true
        << Rows{{u"Čaj"_s, u"1"_s}} << Numbers{2};
    QTest::newRow("code page 1250 without a charset")
        << QByteArray("<table><tr><td>\x8A\x9D\x61va</td></tr></table>") << false << Rows{{u"Šťava"_s}}
        << Numbers{1};
    QTest::newRow("rows of a table inside a cell are not the outer table's")
        << "<table><tr><td>a</td><td><table><tr><td>vnútri</td></tr></table></td></tr></table>"_ba << false
        << Rows{{u"a"_s, u"vnútri"_s}} << Numbers{1};
}

void TestImportReaders::htmlCells()
{
    QFETCH(QByteArray, page);
    QFETCH(bool, titleRow);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"cennik.html"_s);
    QVERIFY(TestPaths::writeFile(path, page));
    const ReadBack back = readAll(path, {}, titleRow);
    QVERIFY2(back.end == ImportRowSource::Read::End, qPrintable(back.error));
    QTEST(back.rows, "rows");
    QTEST(back.numbers, "numbers");
}

void TestImportReaders::xmlLayouts_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<Rows>("rows");

    QTest::newRow("the root's children, missing child keeps no place")
        << "<c><p><n>Čaj</n><k/><j>1.5</j></p><p><n>Káva</n></p></c>"_ba
        << Rows{{u"Čaj"_s, u""_s, u"1.5"_s}, {u"Káva"_s}};
    QTest::newRow("the first element that repeats its children")
        << "<a><b><x>1</x></b><c><r v='1' w='2'/><r v='3'/></c><d><r>9</r><r>9</r></d></a>"_ba
        << Rows{{u"1"_s, u"2"_s}, {u"3"_s}};
    QTest::newRow("the root wins over an inner list met first")
        << "<a><meta><x/><x/></meta><i><n>1</n></i><i><n>2</n></i></a>"_ba << Rows{{u"1"_s}, {u"2"_s}};
    QTest::newRow("rows of text only, other children skipped")
        << "<a><title>T</title><r>1</r><r> 2 </r></a>"_ba << Rows{{u"1"_s}, {u"2"_s}};
}

void TestImportReaders::xmlLayouts()
{
    QFETCH(QByteArray, xml);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"cennik.xml"_s);
    QVERIFY(TestPaths::writeFile(path, xml));
    const ReadBack back = readAll(path);
    QVERIFY2(back.end == ImportRowSource::Read::End, qPrintable(back.error));
    QTEST(back.rows, "rows");
}

void TestImportReaders::parts_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<Parts>("zip");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("names");

    Parts twoSheets = workbook(R"(<row r="1"><c r="A1"><v>1</v></c></row>)"_ba);
    twoSheets[1].second.replace(R"(</sheets>)", R"(<sheet name="Druhý" sheetId="2" r:id="rId9"/></sheets>)");
    twoSheets[2].second.replace(
        "</Relationships>",
        R"(<Relationship Id="rId9" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet2.xml"/></Relationships>)");
    twoSheets << qMakePair(u"xl/worksheets/sheet2.xml"_s,
                           SheetStart + R"(<row r="5"><c r="A5"><v>2</v></c></row>)" + SheetEnd);
    QTest::newRow("xlsx") << u"a.xlsx"_s << twoSheets << QByteArray() << QStringList{u"Cenník"_s, u"Druhý"_s};
    QTest::newRow("ods") << u"a.ods"_s
                         << spreadsheet(R"(<table:table table:name="Jeden"><table:table-row/></table:table>)"
                                        R"(<table:table table:name="Dva"/>)")
                         << QByteArray() << QStringList{u"Jeden"_s, u"Dva"_s};
    QTest::newRow("html")
        << u"a.html"_s << Parts()
        << "<table><caption> Ceny </caption><tr><td>1</td></tr></table><table><tr><td>2</td></tr></table>"_ba
        << QStringList{u"Ceny"_s, u"Tabuľka 2"_s};
    QTest::newRow("text file has none") << u"a.csv"_s << Parts() << "a;b\n"_ba << QStringList();
}

void TestImportReaders::parts()
{
    QFETCH(QString, file);
    QFETCH(Parts, zip);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(file);
    QVERIFY(zip.isEmpty() ? TestPaths::writeFile(path, bytes) : writeZip(path, zip));
    QString error;
    QTEST(ImportFile::parts(path, &error), "names");
    QCOMPARE(error, QString());
}

// The part the user chose from parts() is the one read.
void TestImportReaders::partByName_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<Parts>("zip");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("part");
    QTest::addColumn<Rows>("rows");

    Parts twoSheets = workbook(R"(<row r="1"><c r="A1"><v>1</v></c></row>)"_ba);
    twoSheets[1].second.replace("</sheets>", R"(<sheet name="Druhý" sheetId="2" r:id="rId9"/></sheets>)");
    twoSheets[2].second.replace(
        "</Relationships>",
        R"(<Relationship Id="rId9" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet2.xml"/></Relationships>)");
    twoSheets << qMakePair(u"xl/worksheets/sheet2.xml"_s,
                           SheetStart + R"(<row r="5"><c r="A5"><v>2</v></c></row>)" + SheetEnd);
    QTest::newRow("xlsx") << u"a.xlsx"_s << twoSheets << QByteArray() << u"Druhý"_s << Rows{{u"2"_s}};
    QTest::newRow("ods")
        << u"a.ods"_s
        << spreadsheet(
               R"(<table:table table:name="Jeden"><table:table-row><table:table-cell office:value-type="float" office:value="1"/></table:table-row></table:table>)"
               R"(<table:table table:name="Dva"><table:table-row><table:table-cell office:value-type="float" office:value="2"/></table:table-row></table:table>)")
        << QByteArray() << u"Dva"_s << Rows{{u"2"_s}};
    QTest::newRow("html")
        << u"a.html"_s << Parts()
        << "<table><caption>Ceny</caption><tr><td>1</td></tr></table><table><tr><td>2</td></tr></table>"_ba
        << u"Tabuľka 2"_s << Rows{{u"2"_s}};
}

void TestImportReaders::partByName()
{
    QFETCH(QString, file);
    QFETCH(Parts, zip);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, part);
    QTemporaryDir dir;
    const QString path = dir.filePath(file);
    QVERIFY(zip.isEmpty() ? TestPaths::writeFile(path, bytes) : writeZip(path, zip));
    const ReadBack back = readAll(path, part);
    QVERIFY2(back.end == ImportRowSource::Read::End, qPrintable(back.error));
    QTEST(back.rows, "rows");
    QVERIFY(!readAll(path, u"Žiadny"_s).error.isEmpty());
}

// A file that is not what its name says or is damaged is refused with a
// message naming it, never read as nonsense and never a crash.
void TestImportReaders::damagedFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Parts>("zip");

    const QByteArray xlsx = TestPaths::readFile(fixture(u"cennik.xlsx"_s));
    const QByteArray ods = TestPaths::readFile(fixture(u"cennik.ods"_s));
    const QByteArray docx = TestPaths::readFile(fixture(u"cennik.docx"_s));
    QTest::newRow("xlsx that is a text file") << u"a.xlsx"_s << "Názov;Kód\nČaj;1\n"_ba << Parts();
    QTest::newRow("empty xlsx") << u"a.xlsx"_s << QByteArray() << Parts();
    QTest::newRow("zip without a workbook")
        << u"a.xlsx"_s << QByteArray() << Parts{{u"readme.txt"_s, "nič"_ba}};
    Parts noSheet = workbook({});
    noSheet.removeIf([](const auto &part) { return part.first.contains(u"worksheets"_s); });
    QTest::newRow("workbook without its sheet") << u"a.xlsx"_s << QByteArray() << noSheet;
    QTest::newRow("sheet that is not XML")
        << u"a.xlsx"_s << QByteArray() << Parts(workbook("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row><row"));
    QTest::newRow("shared string that is not there")
        << u"a.xlsx"_s << QByteArray()
        << workbook(R"(<row r="1"><c r="A1" t="s"><v>5</v></c></row>)", "<si><t>a</t></si>");
    QTest::newRow("cut-off xlsx") << u"a.xlsx"_s << xlsx.left(xlsx.size() / 2) << Parts();
    QByteArray flipped = xlsx;
    const qsizetype sheetData = flipped.indexOf("xl/worksheets/sheet1.xml") + 200;
    for (qsizetype i = sheetData; i < sheetData + 64; ++i)
        flipped[i] = char(flipped[i] ^ 0x5A);
    QTest::newRow("xlsx with damaged sheet data") << u"a.xlsx"_s << flipped << Parts();
    QTest::newRow("ods that is a text file") << u"a.ods"_s << "Názov;Kód\n"_ba << Parts();
    QTest::newRow("cut-off ods") << u"a.ods"_s << ods.left(ods.size() - 200) << Parts();
    QTest::newRow("ods without content") << u"a.ods"_s << QByteArray() << Parts{{u"mimetype"_s, "x"_ba}};
    QTest::newRow("docx that is a text file") << u"a.docx"_s << "Názov\n"_ba << Parts();
    QTest::newRow("cut-off docx") << u"a.docx"_s << docx.left(docx.size() / 3) << Parts();
    QTest::newRow("docx without a table")
        << u"a.docx"_s << QByteArray() << wordDocument("<w:p><w:r><w:t>Text</w:t></w:r></w:p>");
    QTest::newRow("html without a table") << u"a.html"_s << "<p>Cenník</p>"_ba << Parts();
    QTest::newRow("html that is a zip") << u"a.html"_s << xlsx << Parts();
    QTest::newRow("xml that is a text file") << u"a.xml"_s << "Názov;Kód\n"_ba << Parts();
    QTest::newRow("cut-off xml") << u"a.xml"_s << "<c><p><n>1</n></p><p><n>2</n></p><p><n>"_ba << Parts();
}

void TestImportReaders::damagedFiles()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(Parts, zip);
    QTemporaryDir dir;
    const QString path = dir.filePath(file);
    QVERIFY(zip.isEmpty() ? TestPaths::writeFile(path, bytes) : writeZip(path, zip));
    const ReadBack back = readAll(path);
    QCOMPARE(back.end, ImportRowSource::Read::Failed);
    QVERIFY2(back.error.contains(QDir::toNativeSeparators(path)), qPrintable(back.error));
    QVERIFY2(back.error.contains(u"nedá čítať"_s), qPrintable(back.error));
}

void TestImportReaders::sharedStrings_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QStringList>("strings");
    QTest::addColumn<bool>("valid");

    QTest::newRow("prefixed elements, a space kept")
        << R"(<x:sst xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><x:si><x:t xml:space="preserve"> </x:t></x:si><x:si><x:t>a&amp;b</x:t></x:si></x:sst>)"_ba
        << QStringList{u" "_s, u"a&b"_s} << true;
    QTest::newRow("empty item keeps its number")
        << "<sst><si/><si><t>b</t></si></sst>"_ba << QStringList{u""_s, u"b"_s} << true;
    QTest::newRow("escapes: broken ones stay")
        << "<sst><si><t>_x0041__x00_x004G_</t></si></sst>"_ba << QStringList{u"A_x00_x004G_"_s} << true;
    QTest::newRow("not XML") << "<sst><si><t>a</si>"_ba << QStringList() << false;
}

void TestImportReaders::sharedStrings()
{
    QFETCH(QByteArray, xml);
    QFETCH(bool, valid);
    const std::optional<QStringList> strings = XlsxSharedStrings::parse(xml);
    QCOMPARE(strings.has_value(), valid);
    if (valid)
        QTEST(*strings, "strings");
}

void TestImportReaders::dateFormats_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("date");

    QTest::newRow("LibreOffice") << u"dd/mm/yyyy"_s << true;
    QTest::newRow("gnumeric, quoted points") << u"dd\".\"mm\".\"yyyy"_s << true;
    QTest::newRow("locale in brackets") << u"[$-41B]d\\.m\\.yyyy;@"_s << true;
    QTest::newRow("general") << u"General"_s << false;
    QTest::newRow("currency with a quoted word") << u"#,##0.00\" dní\""_s << false;
    QTest::newRow("coloured sections") << u"0.00;[Red]-0.00"_s << false;
    QTest::newRow("time only") << u"hh:mm"_s << false;
}

void TestImportReaders::dateFormats()
{
    QFETCH(QString, code);
    QTEST(XlsxDateStyles::isDateFormat(code), "date");
}

// The same price list from every kind of file gives the cards and the row
// errors the text file gives: the Slovak names, 1 234,50, the empty row,
// the row with too few columns and the price that is not a number; and a
// workbook of bad rows is refused as its text file is.
void TestImportReaders::importGivesTheCardsOfTheTextFile_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("textFile");
    QTest::addColumn<bool>("titleRow");

    for (const QString &file :
         {u"cennik.xlsx"_s, u"cennik_gnumeric.xlsx"_s, u"cennik.ods"_s, u"cennik.docx"_s, u"cennik.html"_s})
        QTest::newRow(qPrintable(file)) << file << u"cennik.csv"_s << true;
    // The XML files have no title row, so their rows are numbered one less.
    QTest::newRow("cennik.xml") << u"cennik.xml"_s << u"cennik.csv"_s << false;
    QTest::newRow("cennik_atributy.xml") << u"cennik_atributy.xml"_s << u"cennik.csv"_s << false;
    QTest::newRow("chyby.xlsx") << u"chyby.xlsx"_s << u"chyby.csv"_s << true;
}

void TestImportReaders::importGivesTheCardsOfTheTextFile()
{
    QFETCH(QString, file);
    QFETCH(QString, textFile);
    QFETCH(bool, titleRow);
    ImportShop text;
    const PriceListImport::Result expected = text.importFile(fixture(textFile), true, Now);
    if (textFile == u"cennik.csv"_s) {
        QCOMPARE(expected.outcome, PriceListImport::Outcome::Imported);
        QCOMPARE(expected.imported, 4);
        QCOMPARE(errorsOf(expected), (QList<QPair<qint64, int>>{{6, 0}, {7, 3}}));
    } else {
        QCOMPARE(expected.outcome, PriceListImport::Outcome::TooManyErrors);
    }

    ImportShop shop;
    const PriceListImport::Result result = shop.importFile(fixture(file), titleRow, Now);
    QCOMPARE(result.outcome, expected.outcome);
    QCOMPARE(shop.cards(), text.cards());
    auto errors = errorsOf(result);
    if (!titleRow)
        for (auto &error : errors)
            ++error.first;
    QCOMPARE(errors, errorsOf(expected));
}

QTEST_GUILESS_MAIN(TestImportReaders)
#include "tst_importreaders.moc"

#include "ImportShop.h"
#include "ParadoxFixtureRows.h"
#include "TestPaths.h"
#include "base/Progress.h"
#include "stock/DataFile.h"
#include "stock/DbfImportSource.h"
#include "stock/ImportCells.h"
#include "stock/ImportFile.h"
#include "stock/PriceListImport.h"
#include "stock/StockTable.h"
#include "stock/TableLayouts.h"
#include "stock/UnitAndGroupNames.h"

// pxlib's header declares C functions without saying so.
extern "C" {
#include <paradox.h>
}

#include <QDir>
#include <QSqlQuery>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QString ImportData = QStringLiteral(OMIRA_IMPORT_DATA);
const QString ParadoxData = QStringLiteral(OMIRA_PARADOX_DATA);
const QDateTime Now(QDate(2026, 3, 9), QTime(14, 32));

// Rows written for comparison: a typed number cell as "#" and its text, so
// that "300" typed as text and 300 typed as a number differ.
using Rows = QList<QStringList>;
using Numbers = QList<qint64>;

// The first record of cennik.dbf: where its name lies, and how long the field is.
constexpr int DbfHeaderLength = 0x101;
constexpr int DbfRecordLength = 0x61;
constexpr int DbfNameLength = 40;
constexpr int DbfLanguageByte = 29;

QStringList shown(const ImportRow &row)
{
    QStringList cells;
    for (qsizetype i = 0; i < row.cells.size(); ++i)
        cells << (row.isNumber(i) ? u"#"_s : QString()) + row.cells.at(i);
    return cells;
}

struct ReadBack
{
    Rows rows;
    Numbers numbers;
    QString error;
};

ReadBack readAll(ImportRowSource &source)
{
    ReadBack back;
    ImportRow row;
    ImportRowSource::Read read;
    while ((read = source.next(row)) == ImportRowSource::Read::Row) {
        back.rows << shown(row);
        back.numbers << row.number;
    }
    if (read == ImportRowSource::Read::Failed)
        back.error = source.error();
    return back;
}

ReadBack readFile(const QString &path, const ImportFile::Options &options = {})
{
    QString error;
    std::unique_ptr<ImportRowSource> source = ImportFile::open(path, options, &error);
    if (!source)
        return {{}, {}, error};
    return readAll(*source);
}

// The price list of cennik.csv as the office programs' sheets hold it: the
// title, then numbers typed and dates as dates, the empty row without cells.
Rows sheetRows()
{
    return {
        {u"Názov"_s, u"Kód"_s, u"Cena"_s, u"Počet"_s, u"DPH"_s, u"MJ"_s, u"Platí od"_s},
        {u"Šošovica červená"_s, u"#300"_s, u"#1234.5"_s, u"#2.5"_s, u"#1"_s, u"#3"_s, u"01.03.2026"_s},
        {u"Ďatle sušené"_s, u"#400"_s, u"#0.99"_s, u"#1000"_s, u"#2"_s, u"#1"_s, u"15.02.2026"_s},
        {},
        {u"Čučoriedky lesné"_s, u"#500"_s, u"#3.2"_s, u"#10"_s, u"#1"_s, u"#0"_s},
        {u"Hruška"_s, u"#600"_s},
        {u"Žemľa"_s, u"#700"_s, u"lacná"_s, u"#5"_s, u"#1"_s, u"#0"_s, u"01.01.2026"_s},
        {u"Mlieko polotučné 1 l"_s, u"#800"_s, u"#0.89"_s, u"#24"_s, u"#2"_s, u"#0"_s, u"31.12.2026"_s},
    };
}

// cennik.dbf: the codes are a text field, an empty number field holds 0, and
// the price that was not a number became a VAT position beyond the list.
Rows dbfRows()
{
    return {
        {u"Šošovica červená"_s, u"300"_s, u"#1234.5"_s, u"#2.5"_s, u"#1"_s, u"#3"_s, u"01.03.2026"_s},
        {u"Ďatle sušené"_s, u"400"_s, u"#0.99"_s, u"#1000"_s, u"#2"_s, u"#1"_s, u"15.02.2026"_s},
        {u""_s, u""_s, u"#0"_s, u"#0"_s, u"#0"_s, u"#0"_s, u""_s},
        {u"Čučoriedky lesné"_s, u"500"_s, u"#3.2"_s, u"#10"_s, u"#1"_s, u"#0"_s, u""_s},
        {u"Hruška"_s, u"600"_s, u"#0"_s, u"#0"_s, u"#0"_s, u"#0"_s, u""_s},
        {u"Žemľa"_s, u"700"_s, u"#0"_s, u"#5"_s, u"#9"_s, u"#0"_s, u"01.01.2026"_s},
        {u"Mlieko polotučné 1 l"_s, u"800"_s, u"#0.89"_s, u"#24"_s, u"#2"_s, u"#0"_s, u"31.12.2026"_s},
    };
}

// cennik.dbf with the first record's name written in another code page.
QByteArray dbfWithName(uchar languageByte, const QByteArray &name)
{
    QByteArray bytes = TestPaths::readFile(ImportData + u"/cennik.dbf"_s);
    bytes[DbfLanguageByte] = char(languageByte);
    const QByteArray field = name.leftJustified(DbfNameLength, ' ');
    bytes.replace(DbfHeaderLength + 1, DbfNameLength, field);
    return bytes;
}

// The price list of cennik.csv in a Paradox table as pxlib writes one: the
// price that was not a number left empty, the empty row all empty.
bool writeParadoxPriceList(const QString &path, QString *error)
{
    using ParadoxFixtureRows::FieldDef;
    const QList<FieldDef> fields{{u"NAZOV"_s, pxfAlpha, 40}, {u"KOD"_s, pxfAlpha, 20},
                                 {u"JC"_s, pxfNumber, 8},    {u"POCET"_s, pxfNumber, 8},
                                 {u"DPH_IDX"_s, pxfLong, 4}, {u"MJ_IDX"_s, pxfLong, 4},
                                 {u"PLATI_OD"_s, pxfDate, 4}};
    const QVariant none;
    const QList<QVariantList> rows{
        {u"Šošovica červená"_s, u"300"_s, 1234.5, 2.5, 1, 3, QDate(2026, 3, 1)},
        {u"Ďatle sušené"_s, u"400"_s, 0.99, 1000.0, 2, 1, QDate(2026, 2, 15)},
        {none, none, none, none, none, none, none},
        {u"Čučoriedky lesné"_s, u"500"_s, 3.2, 10.0, 1, 0, none},
        {u"Hruška"_s, u"600"_s, none, none, none, none, none},
        {u"Žemľa"_s, u"700"_s, none, 5.0, 9, 0, QDate(2026, 1, 1)},
        {u"Mlieko polotučné 1 l"_s, u"800"_s, 0.89, 24.0, 2, 0, QDate(2026, 12, 31)},
    };
    return ParadoxFixtureRows::writeTable(
        path, fields, int(rows.size()), [&](int i) { return rows.at(i); }, 0, error);
}

QStringList codesOf(const QList<StockRow> &cards)
{
    QStringList codes;
    for (const StockRow &card : cards)
        codes << card.kod;
    return codes;
}

} // namespace

class TestImportDatabases : public QObject
{
    Q_OBJECT

private slots:
    void numberText_data();
    void numberText();
    void rows_data();
    void rows();
    void dbfCodePages_data();
    void dbfCodePages();
    void dbfDeletedRecordsSkipped();
    void paradoxFieldsInTableOrder();
    void parts_data();
    void parts();
    void refused_data();
    void refused();
    void sqliteWithoutStockTableRefused();
    void importGivesTheCardsOfTheTextFile_data();
    void importGivesTheCardsOfTheTextFile();
};

void TestImportDatabases::numberText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("code") << 300.0 << u"300"_s;
    QTest::newRow("code of seven digits") << 1000000.0 << u"1000000"_s;
    QTest::newRow("bar code") << 8585000000001.0 << u"8585000000001"_s;
    QTest::newRow("price") << 1234.5 << u"1234.5"_s;
    QTest::newRow("shortest form") << 0.89 << u"0.89"_s;
    QTest::newRow("negative") << -2.5 << u"-2.5"_s;
    QTest::newRow("negative zero") << -0.0 << u"0"_s;
    QTest::newRow("beyond whole digits") << 1e20 << u"1e+20"_s;
}

// A typed number as the import reads it the C way: a whole number keeps its
// digits, so that a code typed as a number stays the same code.
void TestImportDatabases::numberText()
{
    QFETCH(double, value);
    QTEST(ImportCells::numberText(value), "text");
}

void TestImportDatabases::rows_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<QString>("part");
    QTest::addColumn<bool>("titleRow");
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<Numbers>("numbers");

    QTest::newRow("xls of LibreOffice")
        << u"cennik.xls"_s << QString() << false << sheetRows() << Numbers{1, 2, 3, 4, 5, 6, 7, 8};
    QTest::newRow("xls of gnumeric") << u"cennik_gnumeric.xls"_s << QString() << false << sheetRows()
                                     << Numbers{1, 2, 3, 4, 5, 6, 7, 8};
    QTest::newRow("xls, title row") << u"cennik.xls"_s << QString() << true << sheetRows().mid(1)
                                    << Numbers{2, 3, 4, 5, 6, 7, 8};
    QTest::newRow("xls, second sheet by name")
        << u"harky.xls"_s << u"Pečivo"_s << false << Rows{{u"Rožok"_s, u"#30"_s, u"#0.12"_s}} << Numbers{1};
    // The field names of a table are no row, whatever the option says.
    QTest::newRow("dbf") << u"cennik.dbf"_s << QString() << true << dbfRows() << Numbers{1, 2, 3, 4, 5, 6, 7};
}

void TestImportDatabases::rows()
{
    QFETCH(QString, fixture);
    QFETCH(QString, part);
    QFETCH(bool, titleRow);
    ImportFile::Options options;
    options.part = part;
    options.titleRow = titleRow;
    const ReadBack back = readFile(ImportData + u'/' + fixture, options);
    QCOMPARE(back.error, QString());
    QTEST(back.rows, "rows");
    QTEST(back.numbers, "numbers");
}

void TestImportDatabases::dbfCodePages_data()
{
    QTest::addColumn<int>("languageByte");
    QTest::addColumn<QByteArray>("cpgFile"); // null for none
    QTest::addColumn<QByteArray>("encoding");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("codePage");

    const QString slovak = u"Šošovica červená"_s;
    const QString french = u"Crème brûlée"_s;
    QTest::newRow("no language byte")
        << 0x00 << QByteArray() << "windows-1250"_ba << slovak << u"windows-1250"_s;
    QTest::newRow("1250") << 0xC8 << QByteArray() << "windows-1250"_ba << slovak << u"windows-1250"_s;
    QTest::newRow("852") << 0x64 << QByteArray() << "IBM852"_ba << slovak << u"IBM852"_s;
    QTest::newRow("1252 of Windows") << 0x57 << QByteArray() << "windows-1252"_ba << french
                                     << u"windows-1252"_s;
    QTest::newRow("1252 of dBase") << 0x03 << QByteArray() << "windows-1252"_ba << french
                                   << u"windows-1252"_s;
    QTest::newRow("unknown language byte")
        << 0x7E << QByteArray() << "windows-1250"_ba << slovak << u"windows-1250"_s;
    QTest::newRow(".cpg says UTF-8") << 0xC8 << "UTF-8\r\n"_ba
                                     << "UTF-8"_ba << slovak << u"UTF-8"_s;
    QTest::newRow(".cpg says 852") << 0x57 << "852"_ba
                                   << "IBM852"_ba << slovak << u"IBM852"_s;
}

// The first record's name written in the code page the file says, on
// patched copies of cennik.dbf; a .cpg file beside the table wins over the byte.
void TestImportDatabases::dbfCodePages()
{
    QFETCH(int, languageByte);
    QFETCH(QByteArray, cpgFile);
    QFETCH(QByteArray, encoding);
    QFETCH(QString, name);
    QStringEncoder encoder(encoding.constData());
    QVERIFY(encoder.isValid());
    const QByteArray encoded = encoder(name);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"CENNIK.DBF"_s);
    QVERIFY(TestPaths::writeFile(path, dbfWithName(uchar(languageByte), encoded)));
    if (!cpgFile.isNull())
        QVERIFY(TestPaths::writeFile(dir.filePath(u"CENNIK.cpg"_s), cpgFile));
    DbfImportSource source(path);
    QVERIFY2(source.open(), qPrintable(source.error()));
    QTEST(source.codePage(), "codePage");
    ImportRow row;
    QCOMPARE(source.next(row), ImportRowSource::Read::Row);
    QCOMPARE(row.cells.value(0), name);
    QCOMPARE(row.cells.value(1), u"300"_s);
}

void TestImportDatabases::dbfDeletedRecordsSkipped()
{
    QByteArray bytes = TestPaths::readFile(ImportData + u"/cennik.dbf"_s);
    for (int record : {0, 2})
        bytes[DbfHeaderLength + record * DbfRecordLength] = '*';
    DbfImportSource source(bytes, QByteArray(), u"cennik.dbf"_s);
    QVERIFY(source.open());
    const ReadBack back = readAll(source);
    QCOMPARE(back.error, QString());
    QCOMPARE(back.numbers, (Numbers{2, 4, 5, 6, 7}));
    QCOMPARE(back.rows.first().first(), u"Ďatle sušené"_s);
}

// A table of the older installations' stock layout: all eighteen fields in the
// table's order, the numbers typed, the empty fields empty.
void TestImportDatabases::paradoxFieldsInTableOrder()
{
    const ReadBack back = readFile(ParadoxData + u"/vx60_sklad.db"_s);
    QCOMPARE(back.error, QString());
    QCOMPARE(back.rows.size(), ParadoxFixtureRows::StockRows);
    const QList<ParadoxFixtureRows::FieldDef> fields = ParadoxFixtureRows::stockFields();
    for (int i : {0, 1, ParadoxFixtureRows::StockRows - 1}) {
        const QVariantList values = ParadoxFixtureRows::stockRow(i);
        const QStringList &cells = back.rows.at(i);
        QCOMPARE(cells.size(), fields.size());
        for (qsizetype field = 0; field < fields.size(); ++field) {
            const QVariant &value = values.at(field);
            const int type = fields.at(field).type;
            QString expected = value.isNull() ? QString() : value.toString();
            if (!value.isNull() && (type == pxfLong || type == pxfNumber))
                expected = u"#"_s + ImportCells::numberText(value.toDouble());
            else if (!value.isNull() && type == pxfLogical)
                expected = value.toBool() ? u"T"_s : u"F"_s;
            QCOMPARE(cells.at(field), expected);
        }
    }
}

void TestImportDatabases::parts_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<QString>("name"); // under which the test reads it
    QTest::addColumn<QStringList>("parts");
    QTest::addColumn<bool>("fails");

    QTest::newRow("xls of LibreOffice")
        << u"cennik.xls"_s << u"cennik.xls"_s << QStringList{u"cennik"_s} << false;
    QTest::newRow("xls of gnumeric") << u"cennik_gnumeric.xls"_s << u"cennik.xls"_s
                                     << QStringList{u"cennik"_s} << false;
    QTest::newRow("xls of two sheets")
        << u"harky.xls"_s << u"harky.xls"_s << QStringList{u"Nápoje"_s, u"Pečivo"_s} << false;
    QTest::newRow("dbf has none") << u"cennik.dbf"_s << u"cennik.dbf"_s << QStringList{} << false;
    QTest::newRow("text named xls") << u"cennik.csv"_s << u"cennik.xls"_s << QStringList{} << true;
    QTest::newRow("text named mdb") << u"cennik.csv"_s << u"cennik.mdb"_s << QStringList{} << true;
    QTest::newRow("workbook named accdb") << u"cennik.xls"_s << u"cennik.accdb"_s << QStringList{} << true;
}

void TestImportDatabases::parts()
{
    QFETCH(QString, fixture);
    QFETCH(QString, name);
    QFETCH(bool, fails);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QVERIFY(QFile::copy(ImportData + u'/' + fixture, path));
    QString error;
    QTEST(ImportFile::parts(path, &error), "parts");
    QCOMPARE(error.contains(QDir::toNativeSeparators(path)), fails);
}

void TestImportDatabases::refused_data()
{
    QTest::addColumn<QString>("name"); // of the file the test writes
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("part");

    const QByteArray xls = TestPaths::readFile(ImportData + u"/cennik.xls"_s);
    const QByteArray dbf = TestPaths::readFile(ImportData + u"/cennik.dbf"_s);
    const QByteArray csv = TestPaths::readFile(ImportData + u"/cennik.csv"_s);
    QByteArray dbfShortRecords = dbf;
    dbfShortRecords[10] = 10; // a record shorter than its fields
    QByteArray dbfLongHeader = dbf;
    dbfLongHeader[9] = char(0x7F); // a header beyond the end of the file
    QByteArray jetLike(4096, '\0');
    jetLike.replace(4, 16, QByteArray("Standard Jet DB", 16));

    QTest::newRow("text named xls") << u"cennik.xls"_s << csv << QString();
    QTest::newRow("xls cut in half") << u"cennik.xls"_s << xls.left(xls.size() / 2) << QString();
    QTest::newRow("empty xls") << u"cennik.xls"_s << QByteArray() << QString();
    QTest::newRow("xls without that sheet") << u"cennik.xls"_s << xls << u"Hárok2"_s;
    QTest::newRow("workbook named dbf") << u"cennik.dbf"_s << xls << QString();
    QTest::newRow("text named dbf") << u"cennik.dbf"_s << csv << QString();
    QTest::newRow("dbf cut in a record") << u"cennik.dbf"_s << dbf.left(dbf.size() - 40) << QString();
    QTest::newRow("dbf cut in its header") << u"cennik.dbf"_s << dbf.left(100) << QString();
    QTest::newRow("dbf record shorter than its fields") << u"cennik.dbf"_s << dbfShortRecords << QString();
    QTest::newRow("dbf header beyond the file") << u"cennik.dbf"_s << dbfLongHeader << QString();
    QTest::newRow("text named mdb") << u"cennik.mdb"_s << csv << QString();
    QTest::newRow("workbook named accdb") << u"cennik.accdb"_s << xls << QString();
    QTest::newRow("Jet signature over empty pages") << u"cennik.mdb"_s << jetLike << QString();
    QTest::newRow("text named db") << u"cennik.db"_s << csv << QString();
    QTest::newRow("Paradox table cut in its header")
        << u"cennik.db"_s << TestPaths::readFile(ParadoxData + u"/damaged_cut_header.db"_s) << QString();
    QTest::newRow("Paradox table of damaged block chain")
        << u"cennik.db"_s << TestPaths::readFile(ParadoxData + u"/damaged_block_chain.db"_s) << QString();
}

// Refused with a Slovak message naming the file, at opening or at the first
// row, and never a crash.
void TestImportDatabases::refused()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, part);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QVERIFY(TestPaths::writeFile(path, bytes));
    ImportFile::Options options;
    options.part = part;
    const ReadBack back = readFile(path, options);
    QVERIFY2(!back.error.isEmpty(),
             qPrintable(back.rows.isEmpty() ? QString() : back.rows.first().join(u'|')));
    QVERIFY2(back.error.contains(QDir::toNativeSeparators(path)), qPrintable(back.error));
}

void TestImportDatabases::sqliteWithoutStockTableRefused()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"predaj_2026.db"_s);
    {
        DataFile other;
        QVERIFY(other.open(path, true));
        QVERIFY(QSqlQuery(other.database()).exec(u"CREATE TABLE PREDAJ (KOD TEXT)"_s));
    }
    const ReadBack back = readFile(path);
    QVERIFY(back.rows.isEmpty());
    QVERIFY2(back.error.contains(QDir::toNativeSeparators(path)), qPrintable(back.error));
}

void TestImportDatabases::importGivesTheCardsOfTheTextFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("extraCodes"); // of cards that only this file makes
    QTest::addColumn<Numbers>("errorRows");

    // The office program wrote the empty row's numbers as 0, so that row is no
    // longer empty and lacks a name; Hruška's empty fields are 0 in a table
    // row and make a card, where the text file's row is too short.
    QTest::newRow("xls of LibreOffice") << u"cennik.xls"_s << QStringList{} << Numbers{6, 7};
    QTest::newRow("xls of gnumeric") << u"cennik_gnumeric.xls"_s << QStringList{} << Numbers{6, 7};
    QTest::newRow("dbf") << u"cennik.dbf"_s << QStringList{u"600"_s} << Numbers{3, 6};
    QTest::newRow("Paradox") << u"paradox"_s << QStringList{u"600"_s} << Numbers{6};
    QTest::newRow("stock table of another installation") << u"sqlite"_s << QStringList{} << Numbers{};
}

// The same price list through each kind of file: the cards it makes are those
// of cennik.csv, but for what the file's kind could not hold.
void TestImportDatabases::importGivesTheCardsOfTheTextFile()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, extraCodes);
    QFETCH(Numbers, errorRows);
    ImportShop fromText;
    const auto text = fromText.importFile(ImportData + u"/cennik.csv"_s, true, Now);
    QCOMPARE(text.outcome, PriceListImport::Outcome::Imported);
    const QList<StockRow> expected = fromText.cards();
    QCOMPARE(codesOf(expected), (QStringList{u"300"_s, u"400"_s, u"500"_s, u"800"_s}));

    QTemporaryDir dir;
    QString path = ImportData + u'/' + kind;
    if (kind == u"paradox") {
        path = dir.filePath(u"cennik.db"_s);
        QString error;
        QVERIFY2(writeParadoxPriceList(path, &error), qPrintable(error));
    } else if (kind == u"sqlite") {
        path = dir.filePath(u"vx60_sklad.db"_s);
        DataFile other;
        QVERIFY(other.open(path, true));
        QVERIFY(StockTable(other).create());
        for (const StockRow &card : expected)
            QVERIFY(StockTable(other).insert(card));
    }
    ImportShop shop;
    const auto result = shop.importFile(path, kind.endsWith(u".xls"), Now);
    QCOMPARE(result.error, QString());
    QCOMPARE(result.outcome, PriceListImport::Outcome::Imported);
    Numbers failed;
    for (const PriceListImport::RowError &error : result.errors)
        failed << error.row;
    QCOMPARE(failed, errorRows);
    QList<StockRow> cards = shop.cards();
    cards.removeIf([&](const StockRow &card) { return extraCodes.contains(card.kod); });
    QCOMPARE(cards, expected);
}

QTEST_GUILESS_MAIN(TestImportDatabases)
#include "tst_importdatabases.moc"

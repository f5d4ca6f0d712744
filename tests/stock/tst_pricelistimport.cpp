#include "CancelAfter.h"
#include "ImportShop.h"
#include "TestPaths.h"
#include "base/Cp1250.h"
#include "base/Progress.h"
#include "lang/MessageTable.h"
#include "stock/CsvImportSource.h"
#include "stock/DataFile.h"
#include "stock/PriceListImport.h"
#include "stock/StockBackup.h"
#include "stock/StockChangeLog.h"
#include "stock/StockRowWriter.h"
#include "stock/StockTable.h"
#include "stock/TableLayouts.h"
#include "stock/UnitAndGroupNames.h"
#include "stock/WriteTransaction.h"

#include <QDir>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QDateTime Now(QDate(2025, 3, 9), QTime(14, 32, 51));
const QString BackupName = u"vx60_sklad_090325_1432.db"_s;
const QStringList &Units = ImportShop::Units;

using Rows = QList<QStringList>;
using Numbers = QList<qint64>;

struct ReadBack
{
    Rows rows;
    Numbers numbers;
};

// Every row of a file, or the test fails.
ReadBack readAll(CsvImportSource &source)
{
    ReadBack back;
    ImportRow row;
    ImportRowSource::Read read;
    while ((read = source.next(row)) == ImportRowSource::Read::Row) {
        back.rows << row.cells;
        back.numbers << row.number;
    }
    if (read != ImportRowSource::Read::End)
        qWarning("%s", qPrintable(source.error()));
    return back;
}

StockRow card(const QString &kod, const QString &nazov, double jc, double pocet = 0, int dph = 0, int mj = 0)
{
    StockRow row;
    row.kod = kod;
    row.nazov = nazov;
    row.jc = jc;
    row.pocet = pocet;
    row.dphIdx = dph;
    row.mjIdx = mj;
    row.mj = Units.value(mj);
    return row;
}

// A data folder whose price list holds two cards, and a file to import.
struct Shop : ImportShop
{
    explicit Shop(const QList<StockRow> &cards = {card(u"100"_s, u"Mlieko"_s, 0.89),
                                                  card(u"200"_s, u"Chlieb"_s, 1.5)})
        : ImportShop(cards), before(this->cards()), bytesBefore(TestPaths::readFile(stockPath))
    {}

    PriceListImport::Result import(const QString &text, Progress &progress)
    {
        const QString path = dir.filePath(u"import.csv"_s);
        [&] { QVERIFY(TestPaths::writeFile(path, text.toUtf8())); }();
        CsvImportSource source(path, {});
        if (!source.open())
            return {};
        return ImportShop::import(source, progress, Now);
    }

    PriceListImport::Result import(ImportRowSource &source)
    {
        NoProgress progress;
        return ImportShop::import(source, progress, Now);
    }

    PriceListImport::Result import(const QString &text)
    {
        NoProgress progress;
        return import(text, progress);
    }

    QString backupPath() const { return dataFolder + u"zaloha/"_s + BackupName; }

    QList<StockRow> before;
    QByteArray bytesBefore;
};

// Rows as a spreadsheet reader gives them.
class RowList : public ImportRowSource
{
public:
    explicit RowList(QList<ImportRow> rows) : m_rows(std::move(rows)) {}
    Read next(ImportRow &row) override
    {
        if (m_at == m_rows.size())
            return Read::End;
        row = m_rows.at(m_at++);
        return Read::Row;
    }
    QString error() const override { return {}; }
    qint64 position() const override { return m_at; }
    qint64 size() const override { return m_rows.size(); }

private:
    QList<ImportRow> m_rows;
    qsizetype m_at = 0;
};

// A file of `bad` rows that are not cards, then one that is.
QString badRows(int bad)
{
    QString text;
    for (int i = 0; i < bad; ++i)
        text += u"Zlá %1;K%1;cena;1;0;0\n"_s.arg(i);
    return text + u"Dobrá;OK;1;1;0;0\n"_s;
}

} // namespace

class TestPriceListImport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void csvRows_data();
    void csvRows();
    void csvDetection_data();
    void csvDetection();
    void csvStreamsAcrossChunks();
    void csvMissingFile();

    void replacesPriceList();
    void backupEqualsOldTable();
    void emptyPriceListWithoutBackup();
    void typedNumbersIgnoreRegionalSettings();
    void rowErrors_data();
    void rowErrors();
    void rowErrorMessage();
    void emptyCodesGenerated();
    void tooManyErrorsLeavesPriceList();
    void nothingImportedLeavesPriceList_data();
    void nothingImportedLeavesPriceList();
    void cancelLeavesPriceList();
    void failedBackupLeavesPriceList();
    void otherTillsLearnOfTheChange();
    void refusedCardLeavesTheOthers();
};

void TestPriceListImport::initTestCase()
{
    OMIRA_REQUIRE_BACKEND();
}

void TestPriceListImport::csvRows_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("titleRow");
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<Numbers>("numbers");

    QTest::newRow("plain") << "a;b;c\r\nd;e;f\r\n"_ba << false
                           << Rows{{u"a"_s, u"b"_s, u"c"_s}, {u"d"_s, u"e"_s, u"f"_s}} << Numbers{1, 2};
    QTest::newRow("no line end at the end")
        << "a;b\nc;d"_ba << false << Rows{{u"a"_s, u"b"_s}, {u"c"_s, u"d"_s}} << Numbers{1, 2};
    QTest::newRow("quoted separator and quotes")
        << "\"a;b\";\"say \"\"hi\"\"\";\"\"\nx;y;z\n"_ba << false
        << Rows{{u"a;b"_s, u"say \"hi\""_s, u""_s}, {u"x"_s, u"y"_s, u"z"_s}} << Numbers{1, 2};
    QTest::newRow("line break in quotes")
        << "\"two\r\nlines\";b\r\nc;d\r\n"_ba << false << Rows{{u"two\r\nlines"_s, u"b"_s}, {u"c"_s, u"d"_s}}
        << Numbers{1, 2};
    QTest::newRow("empty cells keep places")
        << ";b;;d;\n;;;;\n"_ba << false
        << Rows{{u""_s, u"b"_s, u""_s, u"d"_s, u""_s}, {u""_s, u""_s, u""_s, u""_s, u""_s}} << Numbers{1, 2};
    QTest::newRow("empty lines are rows")
        << "a;b\n\n\r\nc;d\n"_ba << false << Rows{{u"a"_s, u"b"_s}, {u""_s}, {u""_s}, {u"c"_s, u"d"_s}}
        << Numbers{1, 2, 3, 4};
    QTest::newRow("title row") << "NAZOV;KOD\nMlieko;100\n"_ba << true << Rows{{u"Mlieko"_s, u"100"_s}}
                               << Numbers{2};
    QTest::newRow("old Mac line ends")
        << "a;b\rc;d\r"_ba << false << Rows{{u"a"_s, u"b"_s}, {u"c"_s, u"d"_s}} << Numbers{1, 2};
    QTest::newRow("UTF-8 with mark") << "\xEF\xBB\xBF\xC4\x8Cokol\xC3\xA1\x64\x61;1\n"_ba << false
                                     << Rows{{u"Čokoláda"_s, u"1"_s}} << Numbers{1};
    QTest::newRow("UTF-8 without mark")
        << u"Šťavnatý ďumbier;ľ\n"_s.toUtf8() << false << Rows{{u"Šťavnatý ďumbier"_s, u"ľ"_s}} << Numbers{1};
    QTest::newRow("code page 1250") << Cp1250::encode(u"Šťavnatý ďumbier;žltý\n") << false
                                    << Rows{{u"Šťavnatý ďumbier"_s, u"žltý"_s}} << Numbers{1};
    QTest::newRow("empty file") << QByteArray() << false << Rows{} << Numbers{};
}

void TestPriceListImport::csvRows()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, titleRow);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"cennik.csv"_s);
    QVERIFY(TestPaths::writeFile(path, bytes));
    CsvImportSource::Options options;
    options.titleRow = titleRow;
    CsvImportSource source(path, options);
    QVERIFY(source.open());
    const ReadBack back = readAll(source);
    QTEST(back.rows, "rows");
    QTEST(back.numbers, "numbers");
}

void TestPriceListImport::csvDetection_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("separatorGiven");
    QTest::addColumn<int>("encodingGiven"); // -1 to detect
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QStringList>("firstRow");

    const int cp1250 = int(CsvImportSource::Encoding::Cp1250);
    const int utf8 = int(CsvImportSource::Encoding::Utf8);
    QTest::newRow("semicolon beside decimal commas")
        << "Mlieko;100;0,89;10\nChlieb;200;1,50;5\n"_ba << QString() << -1 << QChar(u';') << cp1250
        << QStringList{u"Mlieko"_s, u"100"_s, u"0,89"_s, u"10"_s};
    QTest::newRow("tab") << "Mlieko\t100\t0,89\nChlieb\t200\t1,5\n"_ba << QString() << -1 << QChar(u'\t')
                         << cp1250 << QStringList{u"Mlieko"_s, u"100"_s, u"0,89"_s};
    QTest::newRow("comma with quoted decimals")
        << "Mlieko,100,\"0,89\"\n\"Chlieb; tmavy\",200,\"1,50\"\n"_ba << QString() << -1 << QChar(u',')
        << cp1250 << QStringList{u"Mlieko"_s, u"100"_s, u"0,89"_s};
    QTest::newRow("separator given") << "a;b,c\n"_ba << u","_s << -1 << QChar(u',') << cp1250
                                     << QStringList{u"a;b"_s, u"c"_s};
    QTest::newRow("UTF-8 detected") << u"Čaj;1\n"_s.toUtf8() << QString() << -1 << QChar(u';') << utf8
                                    << QStringList{u"Čaj"_s, u"1"_s};
    QTest::newRow("code page given") << u"Čaj;1\n"_s.toUtf8() << QString() << cp1250 << QChar(u';') << cp1250
                                     << QStringList{Cp1250::decode(u"Čaj"_s.toUtf8()), u"1"_s};
    QTest::newRow("UTF-8 given") << "Caj;1\n"_ba << QString() << utf8 << QChar(u';') << utf8
                                 << QStringList{u"Caj"_s, u"1"_s};
}

void TestPriceListImport::csvDetection()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, separatorGiven);
    QFETCH(int, encodingGiven);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"cennik.csv"_s);
    QVERIFY(TestPaths::writeFile(path, bytes));
    CsvImportSource::Options options;
    if (!separatorGiven.isEmpty())
        options.separator = separatorGiven.at(0);
    if (encodingGiven >= 0)
        options.encoding = CsvImportSource::Encoding(encodingGiven);
    CsvImportSource source(path, options);
    QVERIFY(source.open());
    QTEST(source.separator(), "separator");
    QTEST(int(source.encoding()), "encoding");
    ImportRow row;
    QCOMPARE(source.next(row), ImportRowSource::Read::Row);
    QTEST(row.cells, "firstRow");
}

// Many chunks of the file: letters of two bytes and quoted values with line
// breaks fall across the ends of chunks.
void TestPriceListImport::csvStreamsAcrossChunks()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"cennik.csv"_s);
    Rows expected;
    QByteArray bytes;
    for (int i = 0; i < 6000; ++i) {
        expected << QStringList{u"Čučoriedky č. %1"_s.arg(i), u"riadok\nďalší \"%1\""_s.arg(i),
                                QString::number(i)};
        bytes += u"Čučoriedky č. %1;\"riadok\nďalší \"\"%1\"\"\";%1\r\n"_s.arg(i).toUtf8();
    }
    QVERIFY(bytes.size() > 4 * 64 * 1024);
    QVERIFY(TestPaths::writeFile(path, bytes));
    CsvImportSource source(path, {});
    QVERIFY(source.open());
    QCOMPARE(source.encoding(), CsvImportSource::Encoding::Utf8);
    const ReadBack back = readAll(source);
    QCOMPARE(back.rows.size(), expected.size());
    QCOMPARE(back.rows, expected);
    QCOMPARE(source.position(), source.size());
}

void TestPriceListImport::csvMissingFile()
{
    QTemporaryDir dir;
    CsvImportSource source(dir.filePath(u"chyba.csv"_s), {});
    QVERIFY(!source.open());
    QVERIFY(source.error().contains(u"chyba.csv"_s));
}

// Slovak text, decimal comma, thousands grouped by a plain or a non-breaking
// space, blanks around values, an empty row and a title-less file.
void TestPriceListImport::replacesPriceList()
{
    Shop shop;
    const auto result = shop.import(u"  Šošovica červená ; 300 ;1 234,50;2,5;1;3\n"
                                    "\n"
                                    ";;;;;\n"
                                    "Ďatle;400;0,99;1\u00A0000;2;1\n"_s);
    QCOMPARE(result.outcome, PriceListImport::Outcome::Imported);
    QCOMPARE(result.errors.size(), 0);
    QCOMPARE(result.imported, 2);
    QCOMPARE(shop.cards(), (QList<StockRow>{card(u"300"_s, u"Šošovica červená"_s, 1234.5, 2.5, 1, 3),
                                            card(u"400"_s, u"Ďatle"_s, 0.99, 1000, 2, 1)}));
}

void TestPriceListImport::backupEqualsOldTable()
{
    Shop shop;
    const auto result = shop.import(u"Čaj;1;1;1;0;0\n"_s);
    QCOMPARE(result.outcome, PriceListImport::Outcome::Imported);
    if (TestStore::onServer()) {
        // A table beside the price list, with the cards it held.
        QCOMPARE(result.backupPath, StockBackup::tableName(Now));
        QSqlQuery query(shop.stock.database());
        QVERIFY(query.exec(u"SELECT KOD, NAZOV, JC FROM %1 ORDER BY KOD"_s.arg(result.backupPath)));
        QStringList kept;
        while (query.next())
            kept << u"%1 %2 %3"_s.arg(query.value(0).toString(), query.value(1).toString())
                        .arg(query.value(2).toDouble());
        QCOMPARE(kept, (QStringList{u"100 Mlieko 0.89"_s, u"200 Chlieb 1.5"_s}));
        return;
    }
    QCOMPARE(QDir::cleanPath(result.backupPath), QDir::cleanPath(shop.backupPath()));
    QCOMPARE(TestPaths::readFile(shop.backupPath()), shop.bytesBefore);
    // The stock file stayed the file the other tills have open.
    DataFile backup;
    QVERIFY(backup.open(shop.backupPath(), false));
    QSqlQuery query(backup.database());
    QVERIFY(query.exec(u"SELECT COUNT(*) FROM VX60_SKLAD"_s) && query.next());
    QCOMPARE(query.value(0).toInt(), 2);
}

void TestPriceListImport::emptyPriceListWithoutBackup()
{
    Shop shop(QList<StockRow>{});
    const auto result = shop.import(u"Čaj;1;1;1;0;0\n"_s);
    QCOMPARE(result.outcome, PriceListImport::Outcome::Imported);
    QCOMPARE(result.imported, 1);
    QCOMPARE(result.backupPath, QString());
    QVERIFY(!QFileInfo::exists(shop.backupPath()));
}

// A spreadsheet's number cell is a value, not text typed the Slovak way: "1234.5"
// there is a price, while the same text typed in a text file is not a number.
void TestPriceListImport::typedNumbersIgnoreRegionalSettings()
{
    const QStringList cells{u"Čaj"_s, u"K"_s, u"1234.5"_s, u"2"_s, u"1"_s, u"0"_s};
    Shop typed;
    RowList typedRows({ImportRow{1, cells, {false, false, true, true, true, true}}});
    const auto imported = typed.import(typedRows);
    QCOMPARE(imported.outcome, PriceListImport::Outcome::Imported);
    QCOMPARE(typed.cards(), QList<StockRow>{card(u"K"_s, u"Čaj"_s, 1234.5, 2, 1, 0)});

    Shop text;
    RowList textRows({ImportRow{1, cells, {}}});
    const auto refused = text.import(textRows);
    QCOMPARE(refused.errors.size(), 1);
    QCOMPARE(refused.errors.first().column, 3);
}

void TestPriceListImport::rowErrors_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("column");

    QTest::newRow("price not a number") << u"Čaj;K;1,2,3;1;0;0"_s << 3;
    QTest::newRow("quantity not a number") << u"Čaj;K;1;kus;0;0"_s << 4;
    QTest::newRow("VAT position above the list") << u"Čaj;K;1;1;7;0"_s << 5;
    QTest::newRow("VAT position negative") << u"Čaj;K;1;1;-1;0"_s << 5;
    QTest::newRow("unit position above the list") << u"Čaj;K;1;1;0;15"_s << 6;
    QTest::newRow("unit position not whole") << u"Čaj;K;1;1;0;1,5"_s << 6;
    QTest::newRow("name empty") << u"  ;K;1;1;0;0"_s << 1;
    QTest::newRow("name too long") << QString(41, u'ž') + u";K;1;1;0;0"_s << 1;
    QTest::newRow("code too long") << u"Čaj;"_s + QString(21, u'7') + u";1;1;0;0"_s << 2;
    QTest::newRow("code of an earlier row") << u"Čaj;OK;1;1;0;0"_s << 2;
    QTest::newRow("too few columns") << u"Čaj;K;1;1;0"_s << 0;
}

// The failing row is reported with its number and column and left out; the
// rows around it are imported.
void TestPriceListImport::rowErrors()
{
    QFETCH(QString, line);
    QFETCH(int, column);
    Shop shop;
    const auto result = shop.import(u"Dobrá;OK;1;1;0;0\n"_s + line + u"\nĎalšia;X;2;2;6;14\n"_s);
    QCOMPARE(result.outcome, PriceListImport::Outcome::Imported);
    QCOMPARE(result.imported, 2);
    QCOMPARE(result.errors.size(), 1);
    QCOMPARE(result.errors[0].row, 2);
    QCOMPARE(result.errors[0].column, column);
    QCOMPARE(result.errors[0].rowsDone, 1);
    QVERIFY(result.errors[0].reason.startsWith(u"Riadok 2: "_s));
    QCOMPARE(shop.cards().size(), 2);
}

void TestPriceListImport::rowErrorMessage()
{
    const PriceListImport::RowError error{7, 3, u"Riadok 7: zlá cena"_s, 6};
    QCOMPARE(error.message(MessageTable()), u"[MSG_234] 6\r\n\n<Riadok 7: zlá cena>"_s);
}

// Generated codes skip the codes of the file; a generated code that a later
// row brings goes to that row, the earlier card takes the next free one.
void TestPriceListImport::emptyCodesGenerated()
{
    Shop shop;
    const auto result = shop.import(u"A;;1;1;0;0\nB;I_0002;1;1;0;0\nC;;1;1;0;0\nD;I_0001;1;1;0;0\n"_s);
    QCOMPARE(result.outcome, PriceListImport::Outcome::Imported);
    QCOMPARE(result.errors.size(), 0);
    QStringList codes;
    for (const StockRow &row : shop.cards())
        codes << row.nazov + u"="_s + row.kod;
    QCOMPARE(codes, (QStringList{u"A=I_0004"_s, u"B=I_0002"_s, u"C=I_0003"_s, u"D=I_0001"_s}));
}

void TestPriceListImport::tooManyErrorsLeavesPriceList()
{
    {
        Shop shop;
        const auto result = shop.import(badRows(PriceListImport::MostErrors));
        QCOMPARE(result.outcome, PriceListImport::Outcome::Imported);
        QCOMPARE(result.errors.size(), PriceListImport::MostErrors);
        QCOMPARE(shop.cards(), (QList<StockRow>{card(u"OK"_s, u"Dobrá"_s, 1, 1)}));
    }
    Shop shop;
    const auto result = shop.import(badRows(PriceListImport::MostErrors + 1));
    QCOMPARE(result.outcome, PriceListImport::Outcome::TooManyErrors);
    QCOMPARE(result.errors.size(), PriceListImport::MostErrors + 1);
    QCOMPARE(result.imported, 0);
    QCOMPARE(shop.cards(), shop.before);
    QCOMPARE(TestPaths::readFile(shop.stockPath), shop.bytesBefore);
}

// A file that gives no card is a mistake (the wrong file, the wrong settings), not an
// order to empty the price list.
void TestPriceListImport::nothingImportedLeavesPriceList_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("errors");
    QTest::newRow("empty file") << QString() << 0;
    QTest::newRow("only empty rows") << u"\n;;;;;\n"_s << 0;
    QTest::newRow("every row refused") << badRows(3).section(u'\n', 0, 2) + u"\n"_s << 3;
}

void TestPriceListImport::nothingImportedLeavesPriceList()
{
    QFETCH(QString, text);
    Shop shop;
    const auto result = shop.import(text);
    QCOMPARE(result.outcome, PriceListImport::Outcome::NothingImported);
    QTEST(int(result.errors.size()), "errors");
    QCOMPARE(shop.cards(), shop.before);
    QCOMPARE(TestPaths::readFile(shop.stockPath), shop.bytesBefore);
}

void TestPriceListImport::cancelLeavesPriceList()
{
    Shop shop;
    // Before the first row and after the last one.
    for (int steps : {0, 1}) {
        CancelAfter progress(steps);
        QCOMPARE(shop.import(u"Čaj;1;1;1;0;0\n"_s, progress).outcome, PriceListImport::Outcome::Cancelled);
        QCOMPARE(shop.cards(), shop.before);
    }
}

void TestPriceListImport::failedBackupLeavesPriceList()
{
    if (TestStore::onServer())
        QSKIP("the files only");
    Shop shop;
    QVERIFY(TestPaths::writeFile(shop.dataFolder + u"zaloha"_s, "not a folder"));
    const auto result = shop.import(u"Čaj;1;1;1;0;0\n"_s);
    QCOMPARE(result.outcome, PriceListImport::Outcome::BackupFailed);
    QVERIFY(!result.error.isEmpty());
    QCOMPARE(shop.cards(), shop.before);
}

// Another till's connection stays open through the import, and its change log
// names every row id whose card went or came: the new cards take the row ids
// of the deleted ones (new ones on the server), and a row id left without a
// card is named too.
void TestPriceListImport::otherTillsLearnOfTheChange()
{
    Shop shop;
    DataFile otherTill;
    otherTill.setServer(shop.store.server());
    QVERIFY(otherTill.open(shop.stockPath, false));
    StockChangeLog log(otherTill);
    const std::optional<qint64> before = log.lastPosition();
    QVERIFY(before);
    QCOMPARE(shop.import(u"Čaj;1;1;1;0;0\n"_s).outcome, PriceListImport::Outcome::Imported);
    const auto changes = log.changesAfter(*before, 100);
    QVERIFY(changes);
    QVERIFY(changes->complete);
    // The server never gives a row id twice: the new card has one of its own.
    QCOMPARE(changes->rowIds, (TestStore::onServer() ? QList<qint64>{1, 2, 3} : QList<qint64>{1, 2}));
    QSqlQuery query(otherTill.database());
    QVERIFY(query.exec(u"SELECT NAZOV FROM VX60_SKLAD ORDER BY rowid"_s));
    QStringList names;
    while (query.next())
        names << query.value(0).toString();
    QCOMPARE(names, QStringList{u"Čaj"_s});
}

// A card the table refuses is only left out: the cards before and after it are
// written in the same transaction (on the server a refused statement would
// otherwise end the transaction).
void TestPriceListImport::refusedCardLeavesTheOthers()
{
    Shop shop(QList<StockRow>{});
    WriteTransaction transaction(shop.stock);
    QVERIFY(transaction.isOpen());
    StockRowWriter writer(shop.stock);
    QCOMPARE(writer.insert(card(u"1"_s, u"Čaj"_s, 1)), StockRowWriter::Write::Done);
    QCOMPARE(writer.insert(card(u"2"_s, QString(42, u'ž'), 1)), StockRowWriter::Write::Refused);
    QVERIFY(!writer.error().isEmpty());
    QCOMPARE(writer.insert(card(u"1"_s, u"Káva"_s, 2)), StockRowWriter::Write::Refused);
    QCOMPARE(writer.insert(card(u"3"_s, u"Kakao"_s, 3)), StockRowWriter::Write::Done);
    const auto rowId = writer.rowIdOf(u"3"_s);
    QVERIFY(rowId && *rowId);
    QCOMPARE(writer.update(**rowId, card(u"1"_s, u"Kakao"_s, 3)), StockRowWriter::Write::Refused);
    QCOMPARE(writer.update(**rowId, card(u"3"_s, u"Kakao horké"_s, 3)), StockRowWriter::Write::Done);
    QVERIFY2(transaction.commit(), qPrintable(shop.stock.lastError()));
    QCOMPARE(shop.cards(), (QList<StockRow>{card(u"1"_s, u"Čaj"_s, 1), card(u"3"_s, u"Kakao horké"_s, 3)}));
}

QTEST_GUILESS_MAIN(TestPriceListImport)
#include "tst_pricelistimport.moc"

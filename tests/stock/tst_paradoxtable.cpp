#include "ParadoxFixtureRows.h"
#include "TestPaths.h"
#include "stock/ParadoxLayout.h"
#include "stock/ParadoxStockSource.h"
#include "stock/ParadoxTable.h"
#include "stock/TableLayouts.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QString fixture(const QString &name)
{
    return QStringLiteral(OMIRA_PARADOX_DATA "/") + name;
}

// Values equal with their emptiness: an empty field read back must stay empty.
bool sameValue(const QVariant &actual, const QVariant &expected, QString &why)
{
    if (actual.isNull() != expected.isNull()) {
        why = u"null %1, expected null %2"_s.arg(actual.isNull()).arg(expected.isNull());
        return false;
    }
    if (actual.isNull())
        return true;
    if (actual.typeId() != expected.typeId() || actual != expected) {
        why =
            u"%1 (%2), expected %3 (%4)"_s.arg(actual.toString(), QString::fromLatin1(actual.typeName()),
                                               expected.toString(), QString::fromLatin1(expected.typeName()));
        return false;
    }
    return true;
}

} // namespace

class TestParadoxTable : public QObject
{
    Q_OBJECT

private slots:
    void readsEveryValueBack_data();
    void readsEveryValueBack();
    void damagedFilesAreRefused_data();
    void damagedFilesAreRefused();
    void recognisesTablesWhateverTheName();
    void layoutDifferenceNamesTheColumn_data();
    void layoutDifferenceNamesTheColumn();
    void stockSourceGivesCardsWithDefaultsForEmptyFields();
    void stockSourceRefusesAnotherLayout();
};

void TestParadoxTable::readsEveryValueBack_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("layout"); // 0 stock, 1 sales, 2 sales of an older version
    QTest::newRow("stock") << u"vx60_sklad.db"_s << ParadoxFixtureRows::StockRows << 0;
    QTest::newRow("sales") << u"predaj_2024.db"_s << ParadoxFixtureRows::SalesRows << 1;
    QTest::newRow("older sales") << u"predaj_2019.db"_s << ParadoxFixtureRows::OldSalesRows << 2;
}

void TestParadoxTable::readsEveryValueBack()
{
    QFETCH(QString, file);
    QFETCH(int, rows);
    QFETCH(int, layout);
    const QList<ParadoxFixtureRows::FieldDef> defs =
        layout == 0 ? ParadoxFixtureRows::stockFields() : ParadoxFixtureRows::salesFields(layout == 1);
    ParadoxTable table;
    QVERIFY2(table.open(fixture(file)), qPrintable(table.error()));
    QCOMPARE(table.recordCount(), rows);
    QCOMPARE(table.fields().size(), defs.size());
    for (qsizetype f = 0; f < defs.size(); ++f) {
        QCOMPARE(table.fields()[f].name, defs[f].name);
        QCOMPARE(table.fields()[f].length, defs[f].length);
    }
    QVariantList values;
    for (int i = 0; i < rows; ++i) {
        QCOMPARE(table.next(values), ParadoxTable::Read::Record);
        const QVariantList expected =
            layout == 0 ? ParadoxFixtureRows::stockRow(i) : ParadoxFixtureRows::salesRow(i, layout == 1);
        QCOMPARE(values.size(), expected.size());
        for (qsizetype f = 0; f < values.size(); ++f) {
            QString why;
            QVERIFY2(sameValue(values[f], expected[f], why),
                     qPrintable(u"row %1 field %2: %3"_s.arg(i).arg(defs[f].name, why)));
        }
    }
    QCOMPARE(table.next(values), ParadoxTable::Read::End);
}

void TestParadoxTable::damagedFilesAreRefused_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("looksLikeTable");
    QTest::addColumn<QString>("errorPart");
    QTest::newRow("cut in the fixed header") << u"damaged_cut_fixed_header.db"_s << false << u"kratší"_s;
    QTest::newRow("cut in the field names") << u"damaged_cut_header.db"_s << false << u"hlavičky"_s;
    QTest::newRow("cut in the data") << u"damaged_cut_data.db"_s << true << u"skrátený"_s;
    QTest::newRow("last byte missing") << u"damaged_cut_last_byte.db"_s << true << u"skrátený"_s;
    QTest::newRow("index file type") << u"damaged_file_type.db"_s << false << u"typ súboru"_s;
    QTest::newRow("unknown version") << u"damaged_version.db"_s << false << u"verzia"_s;
    QTest::newRow("smaller block size") << u"damaged_block_size.db"_s << true << u"blok"_s;
    QTest::newRow("impossible block size") << u"damaged_bad_block_size.db"_s << false << u"bloku"_s;
    QTest::newRow("record size") << u"damaged_record_size.db"_s << true << u"záznamu"_s;
    QTest::newRow("record count") << u"damaged_record_count.db"_s << true << u"záznamov"_s;
    QTest::newRow("block chain") << u"damaged_block_chain.db"_s << true << u"blok"_s;
    QTest::newRow("another kind of file") << u"not_paradox.db"_s << false << u"kratší"_s;
    QTest::newRow("missing") << u"no_such_table.db"_s << false << u"neexistuje"_s;
}

void TestParadoxTable::damagedFilesAreRefused()
{
    QFETCH(QString, file);
    QFETCH(bool, looksLikeTable);
    QFETCH(QString, errorPart);
    QCOMPARE(ParadoxTable::looksLikeParadox(fixture(file)), looksLikeTable);
    ParadoxTable table;
    QVERIFY(!table.open(fixture(file)));
    QVERIFY2(table.error().contains(errorPart, Qt::CaseInsensitive), qPrintable(table.error()));
    QVERIFY(!table.isOpen());
    QVariantList values;
    QCOMPARE(table.next(values), ParadoxTable::Read::Failed);
    // The same bytes from memory give the same verdict.
    if (QFile::exists(fixture(file))) {
        ParadoxTable fromMemory;
        QVERIFY(!fromMemory.openBytes(TestPaths::readFile(fixture(file))));
        QCOMPARE(fromMemory.error().isEmpty(), false);
    }
}

void TestParadoxTable::recognisesTablesWhateverTheName()
{
    QTemporaryDir dir;
    const QByteArray bytes = TestPaths::readFile(fixture(u"vx60_sklad.db"_s));
    for (const QString &name : {u"VX60_SKLAD.DB"_s, u"Predaj_2020.Db"_s, u"cennik.bak"_s}) {
        QVERIFY(TestPaths::writeFile(dir.filePath(name), bytes));
        QVERIFY2(ParadoxTable::looksLikeParadox(dir.filePath(name)), qPrintable(name));
    }
    QVERIFY(TestPaths::writeFile(dir.filePath(u"empty.db"_s), {}));
    QVERIFY(!ParadoxTable::looksLikeParadox(dir.filePath(u"empty.db"_s)));
}

void TestParadoxTable::layoutDifferenceNamesTheColumn_data()
{
    QTest::addColumn<int>(
        "change"); // 0 none, 1 lower-case names, 2 type of column 9, 3 name of column 3, 4 one fewer
    QTest::addColumn<QString>("expected");
    QTest::newRow("same") << 0 << QString();
    QTest::newRow("names in another case") << 1 << QString();
    QTest::newRow("type") << 2 << u"Stĺpec č. 9 má byť POCET (číslo), tabuľka má POCET (celé číslo)."_s;
    QTest::newRow("name") << 3 << u"Stĺpec č. 3 má byť NAZOV (text), tabuľka má MENO (text)."_s;
    QTest::newRow("count") << 4 << u"Tabuľka má 17 stĺpcov, očakáva sa 18."_s;
}

void TestParadoxTable::layoutDifferenceNamesTheColumn()
{
    QFETCH(int, change);
    QFETCH(QString, expected);
    ParadoxTable table;
    QVERIFY(table.open(fixture(u"vx60_sklad.db"_s)));
    QList<ParadoxTable::Field> fields = table.fields();
    if (change == 1) {
        for (ParadoxTable::Field &field : fields)
            field.name = field.name.toLower();
    } else if (change == 2) {
        fields[8].type = ParadoxTable::FieldType::LongInteger;
    } else if (change == 3) {
        fields[2].name = u"MENO"_s;
    } else if (change == 4) {
        fields.removeLast();
    }
    QCOMPARE(ParadoxLayout::difference(fields, TableLayouts::stockFields()), expected);
}

void TestParadoxTable::stockSourceGivesCardsWithDefaultsForEmptyFields()
{
    ParadoxStockSource source(fixture(u"vx60_sklad.db"_s));
    QVERIFY2(source.checkLayout(), qPrintable(source.error()));
    QCOMPARE(source.rowCount(), ParadoxFixtureRows::StockRows);
    StockRow row;
    for (int i = 0; i <= 3; ++i)
        QCOMPARE(source.next(row), StockRowSource::Read::Row);
    // Card 3: KOD_IDX, Nazov2 and SKLAD_IDX... empty in the table.
    StockRow expected;
    expected.kod = u"K00003"_s;
    expected.kodIdx = 1;
    expected.nazov = u"Šošovica červená 3"_s;
    expected.nazov1 = u"riadok 2 č. 3 áäô"_s;
    expected.barcode = u"8580000000003"_s;
    expected.mj = u"balenie"_s;
    expected.mjIdx = 3;
    expected.pocet = 3 * 1.5 - 10;
    expected.jc = 9.99e307;
    expected.jc1 = 1.0;
    expected.jcNakup = 0.75;
    expected.dphIdx = 3;
    expected.pref = true;
    expected.skladIdx = 3;
    QCOMPARE(row, expected);
    int rest = 0;
    while (source.next(row) == StockRowSource::Read::Row)
        ++rest;
    QCOMPARE(rest, ParadoxFixtureRows::StockRows - 4);
}

void TestParadoxTable::stockSourceRefusesAnotherLayout()
{
    ParadoxStockSource sales(fixture(u"predaj_2024.db"_s));
    QVERIFY(!sales.checkLayout());
    QVERIFY2(sales.error().startsWith(u"Stĺpec č. 1 má byť KOD"_s), qPrintable(sales.error()));
    StockRow row;
    QCOMPARE(sales.next(row), StockRowSource::Read::Failed);
    ParadoxStockSource damaged(fixture(u"damaged_cut_data.db"_s));
    QVERIFY(!damaged.checkLayout());
    QVERIFY(!damaged.error().isEmpty());
}

QTEST_GUILESS_MAIN(TestParadoxTable)
#include "tst_paradoxtable.moc"

// The writer of whole data blocks must leave a table exactly as pxlib's record
// writer does, or the migration benchmark measures tables that no installation has.
#include "ParadoxFixtureRows.h"
#include "TestPaths.h"
#include "stock/ParadoxTable.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

// pxlib's header declares C functions without saying so.
extern "C" {
#include <paradox.h>
}

using namespace Qt::StringLiterals;
using namespace ParadoxFixtureRows;

namespace {

enum class Layout { Stock, Sales, OlderSales };

QList<FieldDef> fieldsOf(Layout layout)
{
    return layout == Layout::Stock ? stockFields() : salesFields(layout == Layout::Sales);
}

RowFunction rowsOf(Layout layout)
{
    if (layout == Layout::Stock)
        return stockRow;
    return [layout](int i) { return salesRow(i, layout == Layout::Sales); };
}

int u16(const QByteArray &bytes, int at)
{
    return quint8(bytes[at]) | (quint8(bytes[at + 1]) << 8);
}

// Header bytes that pxlib fills from memory addresses of its own (pointers that
// no reader follows) and from the clock: they differ between any two writes.
bool variesBetweenWrites(int at, int fieldCount)
{
    const auto within = [at](int from, int size) { return at >= from && at < from + size; };
    constexpr int UpdateTimeAt = 0x60;
    const int namePointersAt = 0x78 + 2 * fieldCount;
    return within(0x16, 8) || within(0x30, 8) || within(UpdateTimeAt, 4) ||
           within(namePointersAt, 4 + 4 * fieldCount);
}

QString firstDifference(const QByteArray &actual, const QByteArray &expected, int fieldCount)
{
    if (actual.size() != expected.size())
        return u"size %1, expected %2"_s.arg(actual.size()).arg(expected.size());
    for (int at = 0; at < actual.size(); ++at) {
        if (actual[at] != expected[at] && !variesBetweenWrites(at, fieldCount))
            return u"byte 0x%1: 0x%2, expected 0x%3"_s.arg(at, 0, 16)
                .arg(quint8(actual[at]), 2, 16, QChar(u'0'))
                .arg(quint8(expected[at]), 2, 16, QChar(u'0'));
    }
    return {};
}

// Values equal with their emptiness: an empty field read back must stay empty.
QString valueDifference(const QVariant &actual, const QVariant &expected)
{
    if (actual.isNull() != expected.isNull())
        return u"null %1, expected null %2"_s.arg(actual.isNull()).arg(expected.isNull());
    if (!actual.isNull() && (actual.typeId() != expected.typeId() || actual != expected))
        return u"%1, expected %2"_s.arg(actual.toString(), expected.toString());
    return {};
}

int pxlibRecordCount(const QString &path)
{
    pxdoc_t *doc = PX_new();
    const int count =
        PX_open_file(doc, QFile::encodeName(path).constData()) < 0 ? -1 : PX_get_num_records(doc);
    PX_delete(doc);
    return count;
}

} // namespace

class TestParadoxBlockWriter : public QObject
{
    Q_OBJECT

private slots:
    void tableIsAsRecordWriterLeavesIt_data();
    void tableIsAsRecordWriterLeavesIt();
    void tooManyRowsForTheBlockNumbersAreRefused();
};

void TestParadoxBlockWriter::tableIsAsRecordWriterLeavesIt_data()
{
    QTest::addColumn<Layout>("layout");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("keyFields");
    // 16 kB blocks: 69 stock records, 68 sales records of the newer layout.
    QTest::newRow("stock, last block part full") << Layout::Stock << StockRows << 1;
    QTest::newRow("sales") << Layout::Sales << SalesRows << 1;
    QTest::newRow("sales of an older version") << Layout::OlderSales << OldSalesRows << 1;
    QTest::newRow("no rows") << Layout::Stock << 0 << 1;
    QTest::newRow("one row") << Layout::Sales << 1 << 1;
    QTest::newRow("exactly one full block") << Layout::Stock << 69 << 1;
    QTest::newRow("one row into a second block") << Layout::Stock << 70 << 1;
    QTest::newRow("without a key") << Layout::Sales << 150 << 0;
}

void TestParadoxBlockWriter::tableIsAsRecordWriterLeavesIt()
{
    QFETCH(Layout, layout);
    QFETCH(int, rows);
    QFETCH(int, keyFields);
    const QList<FieldDef> fields = fieldsOf(layout);
    const RowFunction row = rowsOf(layout);
    QTemporaryDir dir;
    // One path for both: the header holds the name the table was created under.
    const QString path = dir.filePath(u"table.db"_s);
    QString error;
    QVERIFY2(writeTable(path, fields, rows, row, keyFields, &error), qPrintable(error));
    const QByteArray expected = TestPaths::readFile(path);
    QVERIFY(QFile::remove(path));
    QVERIFY2(writeTableInBlocks(path, fields, rows, row, keyFields, &error), qPrintable(error));
    const QByteArray actual = TestPaths::readFile(path);

    QVERIFY2(u16(actual, 2) < actual.size() || rows == 0, "no data blocks after the header");
    const QString difference = firstDifference(actual, expected, int(fields.size()));
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
    QCOMPARE(pxlibRecordCount(path), rows);

    ParadoxTable table;
    QVERIFY2(table.open(path), qPrintable(table.error()));
    QCOMPARE(table.recordCount(), rows);
    QVariantList values;
    for (int i = 0; i < rows; ++i) {
        QCOMPARE(table.next(values), ParadoxTable::Read::Record);
        const QVariantList wanted = row(i);
        QCOMPARE(values.size(), wanted.size());
        for (qsizetype f = 0; f < values.size(); ++f) {
            const QString why = valueDifference(values[f], wanted[f]);
            QVERIFY2(why.isEmpty(), qPrintable(u"row %1 field %2: %3"_s.arg(i).arg(fields[f].name, why)));
        }
    }
    QCOMPARE(table.next(values), ParadoxTable::Read::End);
}

// Block numbers are 16 bits wide: a table that needs more blocks cannot be written.
void TestParadoxBlockWriter::tooManyRowsForTheBlockNumbersAreRefused()
{
    QTemporaryDir dir;
    int rowsAsked = 0;
    const RowFunction row = [&rowsAsked](int i) {
        ++rowsAsked;
        return stockRow(i);
    };
    QString error;
    QVERIFY(!writeTableInBlocks(dir.filePath(u"huge.db"_s), stockFields(), 69 * 65535 + 1, row, 1, &error));
    QVERIFY2(error.contains(u"65535"_s), qPrintable(error));
    QCOMPARE(rowsAsked, 0);
}

QTEST_GUILESS_MAIN(TestParadoxBlockWriter)
#include "tst_paradoxblockwriter.moc"

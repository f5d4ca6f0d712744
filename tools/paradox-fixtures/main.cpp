// Writes the Paradox tables of the tests into a folder (tests/stock/data/paradox): the
// stock table, a year's sales table, a sales table of an older version without the
// discount fields, tables with rows that cannot be taken over, and damaged copies.
// Not run by the build: its output is committed, so the tests never depend on pxlib's
// writer.
#include "ParadoxFixtureRows.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>

#include <cstdio>

using namespace Qt::StringLiterals;
using namespace ParadoxFixtureRows;

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

int u16(const QByteArray &bytes, int at)
{
    return quint8(bytes[at]) | (quint8(bytes[at + 1]) << 8);
}

// Damaged copies of a good stock table, each broken in one way.
bool writeDamaged(const QDir &dir, const QByteArray &good)
{
    const int headerSize = u16(good, 2);
    const int blockSize = quint8(good[5]) * 1024;
    auto changed = [&](int at, char value) {
        QByteArray bytes = good;
        bytes[at] = value;
        return bytes;
    };
    QByteArray wrongRecordSize = good;
    wrongRecordSize[0] = char(wrongRecordSize[0] + 1);
    QByteArray wrongCount = good;
    wrongCount[6] = char(wrongCount[6] + 5);
    const struct
    {
        const char16_t *name;
        QByteArray bytes;
    } copies[] = {
        {u"damaged_cut_fixed_header.db", good.left(0x40)},
        {u"damaged_cut_header.db", good.left(0x300)},
        {u"damaged_cut_data.db", good.left(headerSize + blockSize + 100)},
        {u"damaged_cut_last_byte.db", good.left(good.size() - 1)},
        {u"damaged_file_type.db", changed(4, 7)},
        {u"damaged_version.db", changed(0x39, 0x2f)},
        {u"damaged_block_size.db", changed(5, 4)},
        {u"damaged_bad_block_size.db", changed(5, 5)},
        {u"damaged_record_size.db", wrongRecordSize},
        {u"damaged_record_count.db", wrongCount},
        {u"damaged_block_chain.db", changed(headerSize, 99)},
        {u"not_paradox.db", QByteArray("SQLite format 3\0 and more text of another kind of file", 54)},
    };
    for (const auto &copy : copies) {
        if (!writeAll(dir.filePath(QString::fromUtf16(copy.name)), copy.bytes))
            return false;
    }
    return true;
}

// Rows that cannot be taken over: a duplicate code and an empty name in the stock
// table, a name longer than our field in a sales table whose name field is longer.
bool writeProblemTables(const QDir &dir, QString *error)
{
    dir.mkpath(u"problems"_s);
    auto stock = [](int i) {
        QVariantList row = stockRow(i);
        if (i == 10)
            row[0] = stockRow(9)[0];
        if (i == 20)
            row[2] = QVariant(QMetaType(QMetaType::QString));
        return row;
    };
    QList<FieldDef> longNames = salesFields(true);
    longNames[2].length = 60;
    auto sales = [](int i) {
        QVariantList row = salesRow(i, true);
        if (i == 5)
            row[2] = QString(50, u'ž');
        if (i == 6)
            row[0] = salesRow(3, true)[0];
        return row;
    };
    return writeTable(dir.filePath(u"problems/vx60_sklad.db"_s), stockFields(), 40, stock, 1, error) &&
           writeTable(dir.filePath(u"problems/predaj_2023.db"_s), longNames, 30, sales, 1, error);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: paradox-fixtures OUTPUT_FOLDER\n");
        return 2;
    }
    QDir dir(QString::fromLocal8Bit(argv[1]));
    dir.mkpath(u"."_s);
    QString error;
    const bool ok =
        writeTable(dir.filePath(u"vx60_sklad.db"_s), stockFields(), StockRows, stockRow, 1, &error) &&
        writeTable(
            dir.filePath(u"predaj_2024.db"_s), salesFields(true), SalesRows,
            [](int i) { return salesRow(i, true); }, 1, &error) &&
        writeTable(
            dir.filePath(u"predaj_2019.db"_s), salesFields(false), OldSalesRows,
            [](int i) { return salesRow(i, false); }, 1, &error) &&
        writeProblemTables(dir, &error) && writeDamaged(dir, readAll(dir.filePath(u"vx60_sklad.db"_s)));
    if (!ok) {
        std::fprintf(stderr, "%s\n", qPrintable(error.isEmpty() ? u"cannot write the tables"_s : error));
        return 1;
    }
    return 0;
}

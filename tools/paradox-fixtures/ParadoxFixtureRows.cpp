#include "ParadoxFixtureRows.h"

#include "base/Cp1250.h"
#include "stock/TableLayouts.h"

#include <QDate>
#include <QTime>
#include <QtEndian>

// pxlib's header declares C functions without saying so.
extern "C" {
#include <paradox.h>
}

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

using namespace Qt::StringLiterals;

namespace ParadoxFixtureRows {
namespace {

constexpr qint64 JulianDayOfDayZero = 1721425;
constexpr int IntMax = std::numeric_limits<qint32>::max();
// The smallest Long Integer a table holds: the bit pattern of INT32_MIN is the empty field.
constexpr int IntMin = std::numeric_limits<qint32>::min() + 1;

QList<FieldDef> fieldsOf(std::span<const TableLayouts::Field> layout)
{
    QList<FieldDef> fields;
    for (const TableLayouts::Field &field : layout) {
        using enum TableLayouts::FieldType;
        FieldDef def{QString::fromUtf16(field.name), pxfAlpha, field.length};
        switch (field.type) {
        case Alpha:
            break;
        case LongInteger:
            def.type = pxfLong, def.length = 4;
            break;
        case Number:
            def.type = pxfNumber, def.length = 8;
            break;
        case Logical:
            def.type = pxfLogical, def.length = 1;
            break;
        case Date:
            def.type = pxfDate, def.length = 4;
            break;
        case Time:
            def.type = pxfTime, def.length = 4;
            break;
        }
        fields << def;
    }
    return fields;
}

QVariant null(QMetaType::Type type)
{
    return QVariant(QMetaType(type));
}

QVariant text(bool empty, const QString &value)
{
    return empty ? null(QMetaType::QString) : QVariant(value);
}

QVariant integer(bool empty, int value)
{
    return empty ? null(QMetaType::Int) : QVariant(value);
}

QVariant number(bool empty, double value)
{
    return empty ? null(QMetaType::Double) : QVariant(value);
}

QVariant logical(bool empty, bool value)
{
    return empty ? null(QMetaType::Bool) : QVariant(value);
}

QString exactly(const QString &text, int length)
{
    return text.repeated(length / text.size() + 1).left(length);
}

const QString Words[] = {u"Čučoriedkový džem"_s, u"Ďatľové mlieko"_s, u"Ľanové semienka"_s,
                         u"Šošovica červená"_s,  u"Žihľavový čaj"_s,  u"Ôsmy chlieb"_s,
                         u"Äčko ovocné"_s,       u"Úľový med"_s,      u"Áčkový syr"_s};
const QString Units[] = {u"ks"_s, u"kg"_s, u"liter"_s, u"balenie"_s, u"ľ-kus"_s};

QString name(int i)
{
    if (i == 1)
        return exactly(u"Ťažký žĺtý kôň úpel ďábelské ódy č.ä "_s, 41);
    return u"%1 %2"_s.arg(Words[i % 9]).arg(i);
}

QString code(int i)
{
    if (i == 1)
        return exactly(u"ČĎĽŠŽ0123456789"_s, 20);
    return u"K%1"_s.arg(i, 5, 10, QChar(u'0'));
}

QString unit(int i)
{
    return i == 1 ? u"škatuľka10"_s : Units[i % 5];
}

QVariant sign(int i, int plain)
{
    if (i == 1)
        return IntMax;
    if (i == 2)
        return IntMin;
    return plain;
}

} // namespace

QList<FieldDef> stockFields()
{
    return fieldsOf(TableLayouts::stockFields());
}

QList<FieldDef> salesFields(bool discounts)
{
    QList<FieldDef> fields = fieldsOf(TableLayouts::salesFields());
    if (!discounts)
        fields.resize(fields.size() - qsizetype(TableLayouts::discountFields().size()));
    return fields;
}

QVariantList stockRow(int i)
{
    double pocet = i * 1.5 - 10;
    if (i == 1)
        pocet = std::numeric_limits<double>::max();
    else if (i == 2)
        pocet = -1e300;
    return {
        code(i),
        i % 7 == 3 ? null(QMetaType::Int) : sign(i, i + 1),
        name(i),
        text(i % 5 == 0, u"riadok 2 č. %1 áäô"_s.arg(i)),
        text(i % 3 == 0, u"ďalší riadok ú%1"_s.arg(i)),
        text(i % 4 == 0, i == 1 ? u"12345678901234567890"_s : u"858%1"_s.arg(i, 10, 10, QChar(u'0'))),
        text(i % 6 == 0, unit(i)),
        integer(false, i % 6),
        number(i % 9 == 0, pocet),
        number(i % 8 == 0, i == 3 ? 9.99e307 : i * 0.37 + 0.01),
        number(i % 2 == 0, i / 3.0),
        number(i % 10 != 0, 4.2e15),
        number(false, i * 0.25),
        integer(false, i % 7),
        logical(i % 11 == 0, i % 3 == 0),
        logical(false, i % 4 == 0),
        integer(i % 13 == 0, i % 15),
        integer(false, 1),
    };
}

QVariantList salesRow(int i, bool discounts)
{
    QDate date = QDate(2024, 1, 1).addDays(i % 366);
    if (i == 4)
        date = QDate(1, 1, 1);
    else if (i == 5)
        date = QDate(9999, 12, 31);
    const QTime time = i == 6 ? QTime(23, 59, 59) : QTime(8, 0).addSecs(i * 37);
    QVariantList row{
        i == 1 ? QVariant(IntMax) : QVariant(i + 10),
        i == 0 ? QVariant(u"X0000"_s) : text(i % 10 == 5, code(i)),
        name(i),
        text(i % 5 == 0, u"riadok 2 č. %1"_s.arg(i)),
        text(i % 3 == 0, u"ďalší ú%1"_s.arg(i)),
        text(i % 6 == 0, unit(i)),
        number(false, i == 2 ? 1e300 : (i % 17 == 0 ? -1.0 : i % 5 + 1)),
        number(false, i == 3 ? -1.5e300 : i * 0.11),
        integer(i % 9 == 0, i % 2 ? 20 : 10),
        integer(false, i / 50 + 1),
        i == 1 ? QVariant(IntMin) : QVariant(i / 3 + 1),
        i % 23 == 0 ? null(QMetaType::QDate) : QVariant(date),
        i % 19 == 0 ? null(QMetaType::QTime) : QVariant(time),
        integer(false, i / 3 + 1000),
        integer(false, 2),
        integer(false, i % 7),
        number(false, i * 1.25),
        i == 7 ? QVariant(IntMax) : (i == 8 ? QVariant(IntMin) : QVariant(i * 125)),
        logical(i % 13 == 0, i % 4 == 0),
        logical(false, i < 300),
        integer(false, i % 15),
        integer(i % 29 == 0, 1),
        integer(false, i % 3 + 1),
    };
    if (discounts)
        row << integer(i % 31 == 0, i % 10 == 0 ? 50 : 0) << integer(i % 2 == 0, i % 100);
    return row;
}

namespace {

void putValue(pxdoc_t *doc, char *data, const FieldDef &field, const QVariant &value)
{
    if (value.isNull())
        return; // the record starts all zero: an empty field
    switch (field.type) {
    case pxfAlpha: {
        QByteArray bytes = Cp1250::encode(value.toString());
        PX_put_data_alpha(doc, data, field.length, bytes.data());
        break;
    }
    case pxfLong:
        PX_put_data_long(doc, data, 4, value.toInt());
        break;
    case pxfNumber:
        PX_put_data_double(doc, data, 8, value.toDouble());
        break;
    case pxfLogical:
        PX_put_data_byte(doc, data, 1, value.toBool() ? 1 : 0);
        break;
    case pxfDate:
        PX_put_data_long(doc, data, 4, int(value.toDate().toJulianDay() - JulianDayOfDayZero));
        break;
    case pxfTime:
        PX_put_data_long(doc, data, 4, value.toTime().msecsSinceStartOfDay());
        break;
    }
}

// `record` must be all zero: empty values leave their bytes untouched.
void putRecord(pxdoc_t *doc, char *record, const QList<FieldDef> &fields, const QVariantList &values)
{
    int offset = 0;
    for (qsizetype f = 0; f < fields.size(); ++f) {
        putValue(doc, record + offset, fields[f], values.value(f));
        offset += fields[f].length;
    }
}

int recordSizeOf(const QList<FieldDef> &fields)
{
    int size = 0;
    for (const FieldDef &field : fields)
        size += field.length;
    return size;
}

// A new table file with its header and no records, or null with `error`.
pxdoc_t *createTable(const QString &path, const QList<FieldDef> &fields, int primaryKeyFields, QString *error)
{
    pxdoc_t *doc = PX_new();
    // pxlib owns the field list from here on and frees it with the document.
    auto *specs = static_cast<pxfield_t *>(std::calloc(size_t(fields.size()), sizeof(pxfield_t)));
    for (qsizetype i = 0; i < fields.size(); ++i) {
        specs[i].px_fname = strdup(fields[i].name.toLatin1().constData());
        specs[i].px_ftype = char(fields[i].type);
        specs[i].px_flen = fields[i].length;
    }
    if (PX_create_file(doc, specs, int(fields.size()), path.toLocal8Bit().constData(), pxfFileTypNonIndexDB) <
        0) {
        *error = u"PX_create_file failed for "_s + path;
        PX_delete(doc);
        return nullptr;
    }
    doc->px_stream->close = px_true; // PX_close then flushes and closes the file
    if (primaryKeyFields > 0)
        PX_set_value(doc, "numprimkeys", float(primaryKeyFields));
    return doc;
}

constexpr int BlockHeaderSize = 6;

// Next and previous block in the chain (0 for none) and the offset of the last
// record, by which a block says how full it is.
void putBlockHead(QByteArray &block, int next, int previous, int lastRecordAt)
{
    auto *head = reinterpret_cast<uchar *>(block.data());
    qToLittleEndian<quint16>(quint16(next), head);
    qToLittleEndian<quint16>(quint16(previous), head + 2);
    qToLittleEndian<qint16>(qint16(lastRecordAt), head + 4);
}

// Data blocks as pxlib's writer leaves them: numbered 1, 2, ... in file order,
// each linked to its neighbours, full but the last, the unused rest zero.
bool appendBlocks(pxdoc_t *doc, const QList<FieldDef> &fields, int rows, const RowFunction &row,
                  QString *error)
{
    const int recordSize = doc->px_head->px_recordsize;
    QByteArray block(doc->px_head->px_maxtablesize * 1024, '\0');
    const int perBlock = (int(block.size()) - BlockHeaderSize) / recordSize;
    const int blocks = (rows + perBlock - 1) / perBlock;
    if (blocks > std::numeric_limits<quint16>::max()) {
        *error = u"%1 rows need %2 blocks, a table has at most 65535"_s.arg(rows).arg(blocks);
        return false;
    }
    std::FILE *file = doc->px_stream->s.fp;
    if (std::fseek(file, doc->px_head->px_headersize, SEEK_SET) != 0) {
        *error = u"cannot seek past the header"_s;
        return false;
    }
    for (int number = 1; number <= blocks; ++number) {
        const int first = (number - 1) * perBlock;
        const int count = std::min(perBlock, rows - first);
        block.fill('\0');
        putBlockHead(block, number < blocks ? number + 1 : 0, number - 1, (count - 1) * recordSize);
        for (int i = 0; i < count; ++i)
            putRecord(doc, block.data() + BlockHeaderSize + i * recordSize, fields, row(first + i));
        if (std::fwrite(block.constData(), 1, size_t(block.size()), file) != size_t(block.size())) {
            *error = u"cannot write data block %1"_s.arg(number);
            return false;
        }
    }
    doc->px_head->px_numrecords = rows;
    doc->px_head->px_fileblocks = unsigned(blocks);
    doc->px_head->px_firstblock = blocks > 0 ? 1 : 0;
    doc->px_head->px_lastblock = unsigned(blocks);
    return true;
}

} // namespace

bool writeTable(const QString &path, const QList<FieldDef> &fields, int rows, const RowFunction &row,
                int primaryKeyFields, QString *error)
{
    pxdoc_t *doc = createTable(path, fields, primaryKeyFields, error);
    if (!doc)
        return false;
    QByteArray record(recordSizeOf(fields), '\0');
    for (int i = 0; i < rows; ++i) {
        record.fill('\0');
        putRecord(doc, record.data(), fields, row(i));
        if (PX_put_record(doc, record.data()) < 0) {
            *error = u"PX_put_record failed at row %1"_s.arg(i);
            PX_delete(doc);
            return false;
        }
    }
    PX_close(doc);
    PX_delete(doc);
    return true;
}

bool writeTableInBlocks(const QString &path, const QList<FieldDef> &fields, int rows, const RowFunction &row,
                        int primaryKeyFields, QString *error)
{
    pxdoc_t *doc = createTable(path, fields, primaryKeyFields, error);
    if (!doc)
        return false;
    bool ok = appendBlocks(doc, fields, rows, row, error);
    // pxlib writes its whole header from its counts at each of its own changes; setting
    // the key fields again is the public call that does so with the counts set above.
    if (ok && PX_set_value(doc, "numprimkeys", float(primaryKeyFields)) < 0) {
        *error = u"cannot rewrite the header of "_s + path;
        ok = false;
    }
    if (ok && std::fflush(doc->px_stream->s.fp) != 0) {
        *error = u"cannot write "_s + path;
        ok = false;
    }
    PX_close(doc);
    PX_delete(doc);
    return ok;
}

} // namespace ParadoxFixtureRows

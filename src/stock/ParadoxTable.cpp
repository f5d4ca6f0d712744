#include "stock/ParadoxTable.h"

#include "base/Cp1250.h"

#include <QDate>
#include <QFile>
#include <QTime>

// pxlib's header declares C functions without saying so.
extern "C" {
#include <paradox.h>
}

#include <cstring>

using namespace Qt::StringLiterals;

namespace {

// Days of a Paradox date count from 1 January of the year 1; Qt counts Julian days.
constexpr qint64 JulianDayOfDayZero = 1721425;
constexpr int MillisecondsPerDay = 24 * 60 * 60 * 1000;

ParadoxTable::FieldType fieldType(int code)
{
    using enum ParadoxTable::FieldType;
    switch (code) {
    case pxfAlpha:
        return Alpha;
    case pxfDate:
        return Date;
    case pxfShort:
        return Short;
    case pxfLong:
        return LongInteger;
    case pxfCurrency:
        return Currency;
    case pxfNumber:
        return Number;
    case pxfLogical:
        return Logical;
    case pxfTime:
        return Time;
    case pxfAutoInc:
        return AutoIncrement;
    default:
        return Other;
    }
}

bool allZero(const uchar *data, int length)
{
    for (int i = 0; i < length; ++i) {
        if (data[i] != 0)
            return false;
    }
    return true;
}

// Numbers are stored big-endian with the sign bit flipped, so that the bytes sort
// as the values do; all bytes zero is an empty field.
quint64 bigEndian(const uchar *data, int length)
{
    quint64 value = 0;
    for (int i = 0; i < length; ++i)
        value = (value << 8) | data[i];
    return value;
}

qint32 integerOf(const uchar *data, int length)
{
    const quint64 signBit = quint64(1) << (8 * length - 1);
    const quint64 raw = bigEndian(data, length) ^ signBit;
    return length == 2 ? qint16(quint16(raw)) : qint32(quint32(raw));
}

double doubleOf(const uchar *data)
{
    uchar bytes[8];
    std::memcpy(bytes, data, 8);
    if (bytes[0] & 0x80) {
        bytes[0] &= 0x7f;
    } else {
        for (uchar &b : bytes)
            b = uchar(~b);
    }
    const quint64 bits = bigEndian(bytes, 8);
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

QVariant nullOf(QMetaType::Type type)
{
    return QVariant(QMetaType(type));
}

QVariant alphaValue(const uchar *data, int length)
{
    int end = 0;
    while (end < length && data[end] != 0)
        ++end;
    if (end == 0)
        return nullOf(QMetaType::QString);
    return Cp1250::decode(QByteArrayView(data, end));
}

QVariant dateValue(const uchar *data)
{
    const QDate date = QDate::fromJulianDay(integerOf(data, 4) + JulianDayOfDayZero);
    return date.isValid() ? QVariant(date) : nullOf(QMetaType::QDate);
}

QVariant timeValue(const uchar *data)
{
    const qint32 ms = integerOf(data, 4);
    if (ms < 0 || ms >= MillisecondsPerDay)
        return nullOf(QMetaType::QTime);
    return QTime::fromMSecsSinceStartOfDay(ms);
}

QVariant valueOf(const ParadoxTable::Field &field, const uchar *data)
{
    using enum ParadoxTable::FieldType;
    const bool empty = allZero(data, field.length);
    switch (field.type) {
    case Alpha:
        return alphaValue(data, field.length);
    case Short:
    case LongInteger:
    case AutoIncrement:
        return empty ? nullOf(QMetaType::Int) : QVariant(integerOf(data, field.length));
    case Number:
    case Currency:
        return empty ? nullOf(QMetaType::Double) : QVariant(doubleOf(data));
    case Logical:
        return empty ? nullOf(QMetaType::Bool) : QVariant((data[0] & 0x7f) != 0);
    case Date:
        return empty ? nullOf(QMetaType::QDate) : dateValue(data);
    case Time:
        return empty ? nullOf(QMetaType::QTime) : timeValue(data);
    case Other:
        break;
    }
    return {};
}

} // namespace

ParadoxTable::ParadoxTable() = default;

ParadoxTable::~ParadoxTable()
{
    close();
}

bool ParadoxTable::looksLikeParadox(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return ParadoxHeader::plausible(file.read(ParadoxHeader::FixedHeaderSize), file.size());
}

void ParadoxTable::collectMessage(px_doc *, int, const char *message, void *self)
{
    // pxlib would print and, for some errors, end the process; its text goes into ours.
    static_cast<ParadoxTable *>(self)->m_messages << QString::fromLocal8Bit(message);
}

QString ParadoxTable::pxlibMessages() const
{
    return m_messages.isEmpty() ? QString() : u" (pxlib: "_s + m_messages.join(u"; "_s) + u')';
}

bool ParadoxTable::fail(const QString &text)
{
    m_error = text;
    close();
    return false;
}

bool ParadoxTable::open(const QString &path)
{
    close();
    m_error.clear();
    QFile probe(path);
    if (!probe.exists())
        return fail(u"Súbor %1 neexistuje."_s.arg(path));
    const qint64 size = probe.size();
    std::FILE *file = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (!file)
        return fail(u"Súbor %1 sa nedá otvoriť na čítanie."_s.arg(path));
    return openStream(file, size);
}

bool ParadoxTable::openBytes(const QByteArray &bytes)
{
    close();
    m_error.clear();
    if (bytes.size() < ParadoxHeader::FixedHeaderSize)
        return fail(u"Súbor je kratší ako hlavička tabuľky Paradox."_s);
    m_bytes = bytes;
    std::FILE *file = fmemopen(m_bytes.data(), size_t(m_bytes.size()), "rb");
    if (!file)
        return fail(u"Údaje tabuľky sa nedajú čítať."_s);
    return openStream(file, m_bytes.size());
}

bool ParadoxTable::openStream(std::FILE *file, qint64 size)
{
    m_file = file;
    if (!m_header.read(m_file, size))
        return fail(m_header.error());
    m_messages.clear();
    m_doc = PX_new3(&ParadoxTable::collectMessage, nullptr, nullptr, nullptr, this);
    if (!m_doc)
        return fail(u"Knižnicu pxlib sa nepodarilo pripraviť."_s);
    const int opened = PX_open_fp(m_doc, m_file);
    if (m_doc->px_stream) {
        // From here on pxlib closes the file and frees its stream with the document.
        m_doc->px_stream->close = px_true;
        m_file = nullptr;
    }
    if (opened < 0)
        return fail(u"Tabuľku Paradox sa nepodarilo otvoriť."_s + pxlibMessages());
    const int count = PX_get_num_fields(m_doc);
    const QList<ParadoxHeader::FieldSpec> &checked = m_header.fields();
    if (count != checked.size())
        return fail(u"Knižnica pxlib číta iný zoznam polí."_s + pxlibMessages());
    for (int i = 0; i < count; ++i) {
        const pxfield_t *field = PX_get_field(m_doc, i);
        if (!field || field->px_ftype != checked.at(i).type)
            return fail(u"Knižnica pxlib číta iný zoznam polí."_s + pxlibMessages());
        // The lengths checked against the record size, so that no value is read past a record.
        m_fields << Field{Cp1250::decode(field->px_fname), fieldType(field->px_ftype), checked.at(i).length};
    }
    m_blockIndex = -1;
    m_recordInBlock = 0;
    return true;
}

void ParadoxTable::close()
{
    if (m_doc) {
        PX_delete(m_doc);
        m_doc = nullptr;
    }
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    m_fields.clear();
    m_block.clear();
    m_bytes.clear();
}

// The records of one data block in one read: records of a table are read in
// block-chain order (the order pxlib's own index follows), without pxlib's
// record lookup that walks the chain again for every record.
bool ParadoxTable::readBlock()
{
    const ParadoxHeader::DataBlock &block = m_header.blocks().at(m_blockIndex);
    const size_t bytes = size_t(block.records) * size_t(m_header.recordSize());
    m_block.resize(qsizetype(bytes));
    std::FILE *stream = m_doc->px_stream->s.fp;
    if (std::fseek(stream, long(block.offset), SEEK_SET) != 0 ||
        std::fread(m_block.data(), 1, bytes, stream) != bytes) {
        m_error = u"Dátový blok tabuľky sa nepodarilo prečítať."_s;
        return false;
    }
    m_recordInBlock = 0;
    return true;
}

ParadoxTable::Read ParadoxTable::next(QVariantList &values)
{
    if (!m_doc) {
        m_error = u"Tabuľka nie je otvorená."_s;
        return Read::Failed;
    }
    const QList<ParadoxHeader::DataBlock> &blocks = m_header.blocks();
    while (m_blockIndex < 0 || m_recordInBlock >= blocks.at(m_blockIndex).records) {
        if (m_blockIndex + 1 >= blocks.size())
            return Read::End;
        ++m_blockIndex;
        if (!readBlock())
            return Read::Failed;
    }
    const auto *record = reinterpret_cast<const uchar *>(m_block.constData()) +
                         qsizetype(m_recordInBlock) * m_header.recordSize();
    ++m_recordInBlock;
    values.clear();
    values.reserve(m_fields.size());
    int offset = 0;
    for (const Field &field : m_fields) {
        values << valueOf(field, record + offset);
        offset += field.length;
    }
    return Read::Record;
}

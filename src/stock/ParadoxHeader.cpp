#include "stock/ParadoxHeader.h"

#include <QSet>

using namespace Qt::StringLiterals;

namespace {

// Offsets in the fixed part of the header (little-endian numbers).
constexpr int RecordSizeAt = 0x00;
constexpr int HeaderSizeAt = 0x02;
constexpr int FileTypeAt = 0x04;
constexpr int MaxTableSizeAt = 0x05;
constexpr int RecordCountAt = 0x06;
constexpr int FileBlocksAt = 0x0C;
constexpr int FirstBlockAt = 0x0E;
constexpr int FieldCountAt = 0x21;
constexpr int Encryption1At = 0x25;
constexpr int VersionAt = 0x39;
// Tables of version 4.0 and later carry a second header part up to 0x78.
constexpr int DataHeaderEnd = 0x78;
constexpr int Encryption2At = 0x5C;
constexpr quint32 EncryptionInDataHeader = 0xFF00FF00;

constexpr int IndexedTable = 0;
constexpr int PlainTable = 2;
constexpr int BlockHeaderSize = 6;
constexpr int LongestName = 255;

int u8(const QByteArray &bytes, int at)
{
    return quint8(bytes[at]);
}

int u16(const QByteArray &bytes, int at)
{
    return u8(bytes, at) | (u8(bytes, at + 1) << 8);
}

quint32 u32(const QByteArray &bytes, int at)
{
    return quint32(u16(bytes, at)) | (quint32(u16(bytes, at + 2)) << 16);
}

bool validMaxTableSize(int kilobytes)
{
    return kilobytes == 1 || kilobytes == 2 || kilobytes == 3 || kilobytes == 4 || kilobytes == 8 ||
           kilobytes == 16 || kilobytes == 32;
}

// The bytes a field of `type` takes in a record for the declared size `size`,
// or 0 for a type or size that no table has.
int fieldLength(int type, int size)
{
    switch (type) {
    case 0x01: // Alpha
    case 0x18: // Bytes
        return size >= 1 && size <= 255 ? size : 0;
    case 0x02: // Date
    case 0x04: // Long Integer
    case 0x14: // Time
    case 0x16: // Autoincrement
        return size == 4 ? 4 : 0;
    case 0x03: // Short
        return size == 2 ? 2 : 0;
    case 0x05: // Currency
    case 0x06: // Number
    case 0x15: // Timestamp
        return size == 8 ? 8 : 0;
    case 0x09: // Logical
        return size == 1 ? 1 : 0;
    case 0x0C: // memo and binary fields keep a part of the value in the record
    case 0x0D:
    case 0x0E:
    case 0x0F:
    case 0x10:
        return size >= 10 && size <= 240 ? size : 0;
    case 0x17: // BCD: the size is the number of decimals, the record holds 17 bytes
        return size <= 32 ? 17 : 0;
    default:
        return 0;
    }
}

bool readAt(std::FILE *file, qint64 offset, int size, QByteArray &bytes)
{
    bytes.resize(size);
    if (std::fseek(file, long(offset), SEEK_SET) != 0)
        return false;
    return std::fread(bytes.data(), 1, size_t(size), file) == size_t(size);
}

} // namespace

bool ParadoxHeader::fail(const QString &text)
{
    m_error = text;
    return false;
}

bool ParadoxHeader::plausible(const QByteArray &fixed, qint64 fileSize)
{
    if (fixed.size() < FixedHeaderSize || fileSize < FixedHeaderSize)
        return false;
    const int type = u8(fixed, FileTypeAt);
    const int version = u8(fixed, VersionAt);
    const int headerSize = u16(fixed, HeaderSizeAt);
    return (type == IndexedTable || type == PlainTable) && validMaxTableSize(u8(fixed, MaxTableSizeAt)) &&
           version >= 3 && version <= 12 && u16(fixed, RecordSizeAt) > 0 && u16(fixed, FieldCountAt) > 0 &&
           headerSize >= FixedHeaderSize && headerSize <= fileSize;
}

bool ParadoxHeader::read(std::FILE *file, qint64 fileSize)
{
    m_error.clear();
    m_fields.clear();
    m_blocks.clear();
    return readFixed(file, fileSize) && readFields(file) && readChain(file, fileSize);
}

bool ParadoxHeader::readFixed(std::FILE *file, qint64 fileSize)
{
    if (fileSize < FixedHeaderSize || !readAt(file, 0, FixedHeaderSize, m_fixed))
        return fail(u"Súbor je kratší ako hlavička tabuľky Paradox."_s);
    const int type = u8(m_fixed, FileTypeAt);
    if (type != IndexedTable && type != PlainTable)
        return fail(u"Súbor nie je tabuľka Paradox (typ súboru %1)."_s.arg(type));
    m_version = u8(m_fixed, VersionAt);
    if (m_version < 3 || m_version > 12)
        return fail(u"Neznáma verzia tabuľky Paradox (%1)."_s.arg(m_version));
    const int maxTableSize = u8(m_fixed, MaxTableSizeAt);
    if (!validMaxTableSize(maxTableSize))
        return fail(u"Chybná veľkosť bloku v hlavičke (%1 kB)."_s.arg(maxTableSize));
    m_blockSize = maxTableSize * 1024;
    m_recordSize = u16(m_fixed, RecordSizeAt);
    m_headerSize = u16(m_fixed, HeaderSizeAt);
    m_recordCount = u32(m_fixed, RecordCountAt);
    m_fileBlocks = u16(m_fixed, FileBlocksAt);
    m_firstBlock = u16(m_fixed, FirstBlockAt);
    if (m_recordSize == 0 || m_recordSize > m_blockSize - BlockHeaderSize)
        return fail(u"Chybná dĺžka záznamu v hlavičke (%1)."_s.arg(m_recordSize));
    if (m_headerSize < FixedHeaderSize || m_headerSize > fileSize)
        return fail(u"Chybná dĺžka hlavičky (%1 bajtov, súbor má %2)."_s.arg(m_headerSize).arg(fileSize));
    if (m_headerSize + qint64(m_fileBlocks) * m_blockSize > fileSize)
        return fail(u"Súbor je skrátený: hlavička udáva %1 blokov po %2 bajtov, súbor má %3 bajtov."_s
                        .arg(m_fileBlocks)
                        .arg(m_blockSize)
                        .arg(fileSize));
    return true;
}

bool ParadoxHeader::readFields(std::FILE *file)
{
    const int count = u16(m_fixed, FieldCountAt);
    if (count == 0)
        return fail(u"Tabuľka nemá žiadne polia."_s);
    QByteArray header;
    if (!readAt(file, 0, m_headerSize, header))
        return fail(u"Hlavičku tabuľky sa nepodarilo prečítať."_s);
    quint32 encryption = u32(header, Encryption1At);
    const bool dataHeader = m_version >= 5;
    if (encryption == EncryptionInDataHeader)
        encryption = dataHeader && m_headerSize >= DataHeaderEnd ? u32(header, Encryption2At) : 0;
    if (encryption != 0)
        return fail(u"Tabuľka je zašifrovaná heslom."_s);
    const qint64 infoAt = dataHeader ? DataHeaderEnd : FixedHeaderSize;
    const int tableNameLength = m_version == 12 ? 261 : 79;
    qint64 at = infoAt + 2 * qint64(count) + 4 + 4 * qint64(count) + tableNameLength;
    if (at > m_headerSize)
        return fail(u"Hlavička je príliš krátka pre %1 polí."_s.arg(count));
    int recordSize = 0;
    for (int i = 0; i < count; ++i) {
        FieldSpec field;
        field.type = u8(header, int(infoAt) + 2 * i);
        field.length = fieldLength(field.type, u8(header, int(infoAt) + 2 * i + 1));
        if (field.length == 0)
            return fail(u"Pole č. %1 má neznámy typ alebo dĺžku (typ %2)."_s.arg(i + 1).arg(field.type));
        const qsizetype end = header.indexOf('\0', at);
        if (end < 0 || end - at > LongestName)
            return fail(u"Meno poľa č. %1 nie je v hlavičke celé."_s.arg(i + 1));
        field.name = header.mid(at, end - at);
        at = end + 1;
        recordSize += field.length;
        m_fields << field;
    }
    if (recordSize != m_recordSize)
        return fail(
            u"Dĺžka záznamu v hlavičke (%1) nesúhlasí s poľami (%2)."_s.arg(m_recordSize).arg(recordSize));
    return true;
}

bool ParadoxHeader::readChain(std::FILE *file, qint64 fileSize)
{
    const int perBlock = (m_blockSize - BlockHeaderSize) / m_recordSize;
    if (m_recordCount > qint64(m_fileBlocks) * perBlock)
        return fail(u"Hlavička udáva %1 záznamov, v %2 blokoch sa ich zmestí najviac %3."_s.arg(m_recordCount)
                        .arg(m_fileBlocks)
                        .arg(qint64(m_fileBlocks) * perBlock));
    QSet<int> seen;
    qint64 records = 0;
    QByteArray head;
    for (int number = m_firstBlock; number != 0;) {
        if (number > m_fileBlocks || seen.contains(number))
            return fail(u"Reťaz dátových blokov je poškodená (blok %1)."_s.arg(number));
        seen.insert(number);
        const qint64 offset = m_headerSize + qint64(number - 1) * m_blockSize;
        if (offset + m_blockSize > fileSize || !readAt(file, offset, BlockHeaderSize, head))
            return fail(u"Dátový blok %1 leží za koncom súboru."_s.arg(number));
        const int used = qint16(u16(head, 4)); // bytes after the first record
        if (used % m_recordSize != 0 || used < -m_recordSize ||
            used + m_recordSize > m_blockSize - BlockHeaderSize)
            return fail(u"Dátový blok %1 má chybnú dĺžku obsahu (%2)."_s.arg(number).arg(used));
        const int count = used / m_recordSize + 1;
        if (count > 0)
            m_blocks << DataBlock{offset + BlockHeaderSize, count};
        records += count;
        number = u16(head, 0);
    }
    if (records != m_recordCount)
        return fail(
            u"Hlavička udáva %1 záznamov, dátové bloky ich obsahujú %2."_s.arg(m_recordCount).arg(records));
    return true;
}

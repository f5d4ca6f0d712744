#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdio>

// The header and the data-block chain of a Paradox table file, read and checked
// by us before the file goes to pxlib. pxlib trusts what the header says (it reads
// field names into a fixed buffer, follows block numbers wherever they point and
// takes short reads for data); a damaged or foreign file must end in an error
// text instead, so every size, count and block number is checked against the
// file's real size here.
class ParadoxHeader
{
public:
    struct FieldSpec
    {
        QByteArray name; // as stored, code page 1250
        int type = 0;    // pxlib's pxf* type code
        int length = 0;  // bytes in the record
    };

    struct DataBlock
    {
        qint64 offset = 0; // of the first record
        int records = 0;
    };

    // The smallest header a table can have; `looksLikeParadox` needs this much.
    static constexpr int FixedHeaderSize = 0x58;

    // Reads and checks everything from `file` of `fileSize` bytes. False with
    // error() telling what is wrong.
    bool read(std::FILE *file, qint64 fileSize);
    // Only the fixed part: file type, version, sizes. For recognising a table.
    static bool plausible(const QByteArray &fixedHeader, qint64 fileSize);

    const QString &error() const { return m_error; }
    const QList<FieldSpec> &fields() const { return m_fields; }
    int recordSize() const { return m_recordSize; }
    qint64 recordCount() const { return m_recordCount; }
    // The data blocks in the order of the table's chain.
    const QList<DataBlock> &blocks() const { return m_blocks; }
    int blockSize() const { return m_blockSize; }

private:
    bool fail(const QString &text);
    bool readFixed(std::FILE *file, qint64 fileSize);
    bool readFields(std::FILE *file);
    bool readChain(std::FILE *file, qint64 fileSize);

    QString m_error;
    QByteArray m_fixed;
    QList<FieldSpec> m_fields;
    QList<DataBlock> m_blocks;
    int m_recordSize = 0;
    int m_headerSize = 0;
    int m_blockSize = 0;
    int m_fileBlocks = 0;
    int m_firstBlock = 0;
    int m_version = 0;
    qint64 m_recordCount = 0;
};

#pragma once

#include "stock/ParadoxHeader.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <cstdio>

struct px_doc;

// A table of the older installations: a Paradox file, opened with pxlib after its
// header and block chain were checked (ParadoxHeader), so that a damaged, cut or
// foreign file ends in error() and never in a read outside the file. Records
// come one at a time as values:
//   Alpha → QString (code page 1250), Long Integer, Short and Autoincrement → int,
//   Number and Currency → double, Logical → bool, Date → QDate, Time → QTime;
// an empty field is a null QVariant of that type. Fields of other types (memos,
// binary) come as null values: no table of this program has them.
class ParadoxTable
{
public:
    enum class FieldType {
        Alpha,
        Date,
        Short,
        LongInteger,
        Currency,
        Number,
        Logical,
        Time,
        AutoIncrement,
        Other
    };

    struct Field
    {
        QString name;
        FieldType type = FieldType::Other;
        int length = 0; // bytes in the record; for Alpha the number of characters
    };

    enum class Read { Record, End, Failed };

    ParadoxTable();
    ~ParadoxTable();
    ParadoxTable(const ParadoxTable &) = delete;
    ParadoxTable &operator=(const ParadoxTable &) = delete;

    // Whether the file at `path` starts with a Paradox table's header, whatever
    // its name. Reads only the header.
    static bool looksLikeParadox(const QString &path);

    bool open(const QString &path);
    // The table from bytes in memory (the file handed over as a whole).
    bool openBytes(const QByteArray &bytes);
    void close();
    bool isOpen() const { return m_doc != nullptr; }

    const QList<Field> &fields() const { return m_fields; }
    qint64 recordCount() const { return m_header.recordCount(); }
    // The next record's values in field order.
    Read next(QVariantList &values);
    const QString &error() const { return m_error; }

private:
    bool openStream(std::FILE *file, qint64 size);
    bool fail(const QString &text);
    bool readBlock();
    QString pxlibMessages() const;
    static void collectMessage(px_doc *doc, int level, const char *message, void *self);

    std::FILE *m_file = nullptr;
    QByteArray m_bytes; // kept while an in-memory stream reads from it
    px_doc *m_doc = nullptr;
    ParadoxHeader m_header;
    QList<Field> m_fields;
    QStringList m_messages;
    QString m_error;
    QByteArray m_block;
    int m_blockIndex = -1;
    int m_recordInBlock = 0;
};

#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

// The price list of the program's old versions (".BIN"): 88-byte records one
// after the other, no header. A record holds the name (40 bytes), the code (16
// bytes), the unit price and the quantity (little-endian IEEE doubles at 56 and
// 64) and the VAT entry (a signed byte at 80); the other bytes are unused. Texts
// are code page 1250 ending at their first zero byte, or filling their slot. A
// tail shorter than a record is ignored.
class BinaryPriceList
{
public:
    static constexpr int RecordSize = 88;
    static constexpr int NameSize = 40;
    static constexpr int CodeSize = 16;
    static constexpr int VatEntryCount = 7;

    struct Record
    {
        QString nazov;
        QString kod; // may be empty: the loader gives the card a code
        double jc = 0;
        double pocet = 0;
        int dphIdx = 0;
    };

    // Why a record cannot become a stock card.
    enum class Defect {
        None,
        EmptyName,          // the table requires a name; blanks are no name
        PriceNotFinite,     // NaN or infinite: no price a receipt can carry
        QuantityNotFinite,  // likewise for the quantity on stock
        VatEntryOutOfRange, // not one of the seven VAT entries
    };

    static qsizetype recordCount(qsizetype fileSize) { return fileSize / RecordSize; }
    static qsizetype ignoredBytes(qsizetype fileSize) { return fileSize % RecordSize; }

    // Record `index` of `content`; the caller keeps index < recordCount().
    static Record record(QByteArrayView content, qsizetype index);
    static QList<Record> parse(QByteArrayView content);
    static Defect defect(const Record &record);
};

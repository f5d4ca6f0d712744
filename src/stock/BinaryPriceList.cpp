#include "stock/BinaryPriceList.h"

#include "base/Cp1250.h"

#include <QtEndian>

#include <cmath>
#include <cstring>

namespace {

constexpr qsizetype NameOffset = 0;
constexpr qsizetype CodeOffset = 40;
constexpr qsizetype PriceOffset = 56;
constexpr qsizetype QuantityOffset = 64;
constexpr qsizetype VatOffset = 80;

QString textOf(QByteArrayView slot)
{
    const qsizetype end = slot.indexOf('\0');
    return Cp1250::decode(end < 0 ? slot : slot.first(end));
}

double doubleAt(QByteArrayView record, qsizetype offset)
{
    const quint64 bits = qFromLittleEndian<quint64>(record.data() + offset);
    double value = 0;
    static_assert(sizeof value == sizeof bits);
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

} // namespace

BinaryPriceList::Record BinaryPriceList::record(QByteArrayView content, qsizetype index)
{
    const QByteArrayView bytes = content.sliced(index * RecordSize, RecordSize);
    Record record;
    record.nazov = textOf(bytes.sliced(NameOffset, NameSize));
    record.kod = textOf(bytes.sliced(CodeOffset, CodeSize));
    record.jc = doubleAt(bytes, PriceOffset);
    record.pocet = doubleAt(bytes, QuantityOffset);
    record.dphIdx = static_cast<qint8>(bytes[VatOffset]);
    return record;
}

QList<BinaryPriceList::Record> BinaryPriceList::parse(QByteArrayView content)
{
    QList<Record> records;
    const qsizetype count = recordCount(content.size());
    records.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        records.append(record(content, i));
    return records;
}

BinaryPriceList::Defect BinaryPriceList::defect(const Record &record)
{
    if (record.nazov.trimmed().isEmpty())
        return Defect::EmptyName;
    if (!std::isfinite(record.jc))
        return Defect::PriceNotFinite;
    if (!std::isfinite(record.pocet))
        return Defect::QuantityNotFinite;
    if (record.dphIdx < 0 || record.dphIdx >= VatEntryCount)
        return Defect::VatEntryOutOfRange;
    return Defect::None;
}

#include "stock/BinaryPriceList.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView content(data, static_cast<qsizetype>(size));
    const QList<BinaryPriceList::Record> records = BinaryPriceList::parse(content);
    if (records.size() != BinaryPriceList::recordCount(content.size()))
        std::abort();
    for (const BinaryPriceList::Record &record : records) {
        // A text never reaches past its slot.
        if (record.nazov.size() > BinaryPriceList::NameSize || record.kod.size() > BinaryPriceList::CodeSize)
            std::abort();
        if (BinaryPriceList::defect(record) == BinaryPriceList::Defect::None &&
            (record.dphIdx < 0 || record.dphIdx >= BinaryPriceList::VatEntryCount))
            std::abort();
    }
    return 0;
}

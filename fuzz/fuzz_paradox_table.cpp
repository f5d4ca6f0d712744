// Bytes as a Paradox table file: the header checks must turn every damaged file into
// an error before pxlib reads it, and the record reads must stay inside the file.
#include "stock/ParadoxHeader.h"
#include "stock/ParadoxTable.h"

#include <QByteArray>
#include <QVariantList>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    ParadoxHeader::plausible(bytes.left(ParadoxHeader::FixedHeaderSize), bytes.size());
    ParadoxTable table;
    if (!table.openBytes(bytes))
        return 0;
    QVariantList values;
    while (table.next(values) == ParadoxTable::Read::Record) {
        for (const QVariant &value : values)
            value.toString();
    }
    return 0;
}

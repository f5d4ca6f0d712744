// Bytes as a dBase table: the header checks must turn every cut or foreign file
// into an error before shapelib reads it, and the record reads must stay inside
// the bytes.
#include "stock/DbfImportSource.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    DbfImportSource source(bytes, QByteArray(), QStringLiteral("fuzz.dbf"));
    if (!source.open())
        return 0;
    ImportRow row;
    while (source.next(row) == ImportRowSource::Read::Row) {
        for (const QString &cell : row.cells)
            static_cast<void>(cell.toUtf8());
    }
    return 0;
}

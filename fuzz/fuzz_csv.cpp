// Bytes as a text price list: quotes left open, line breaks inside quotes, any
// separator and either code page must end in rows or an error, never in a read
// beyond the text. The first byte chooses what the user could have set.
#include "stock/CsvImportSource.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace {

CsvImportSource::Options optionsFrom(std::uint8_t choice)
{
    static constexpr char16_t Separators[] = {u';', u',', u'\t', u'|'};
    CsvImportSource::Options options;
    if (choice & 0x04)
        options.separator = QChar(Separators[choice & 0x03]);
    if (choice & 0x08)
        options.encoding =
            choice & 0x10 ? CsvImportSource::Encoding::Utf8 : CsvImportSource::Encoding::Cp1250;
    options.titleRow = choice & 0x20;
    return options;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    static const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cennik.csv"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(reinterpret_cast<const char *>(data + 1), qint64(size - 1));
    file.close();

    CsvImportSource source(path, optionsFrom(data[0]));
    if (!source.open())
        return 0;
    ImportRow row;
    while (source.next(row) == ImportRowSource::Read::Row) {
        for (const QString &cell : row.cells)
            static_cast<void>(cell.toUtf8());
    }
    return 0;
}

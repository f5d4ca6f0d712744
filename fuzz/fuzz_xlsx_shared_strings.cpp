#include "stock/XlsxSharedStrings.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const std::optional<QStringList> strings = XlsxSharedStrings::parse(content);
    // A text of the workbook never holds more characters than the part's bytes.
    if (strings) {
        for (const QString &text : *strings)
            if (text.size() > content.size())
                std::abort();
    }
    // An escape stands for one character, so undoing escapes never lengthens a text.
    const QString raw = QString::fromUtf8(content);
    if (XlsxSharedStrings::unescape(raw).size() > raw.size())
        std::abort();
    return 0;
}

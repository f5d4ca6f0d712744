#include "link/ReplyParsers.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    const QByteArray text = ReplyParsers::rebuildData(bytes);
    if (text.size() > ReplyParsers::MaxDataReplyLength || (size > 0) != !text.isEmpty())
        std::abort();
    // Amounts come from words of the same files.
    ReplyParsers::parseAmount(bytes.first(std::min<qsizetype>(bytes.size(), ReplyParsers::MaxWordLength)));
    return 0;
}

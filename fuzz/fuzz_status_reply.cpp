#include "link/ReplyParsers.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    ReplyParsers::parseStatus(QByteArrayView(data, static_cast<qsizetype>(size)));
    return 0;
}

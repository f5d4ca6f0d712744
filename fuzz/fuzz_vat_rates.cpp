#include "link/ReplyParsers.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::array<quint8, PrinterState::VatRateCount> rates{};
    const int count = ReplyParsers::parseVatRates(QByteArrayView(data, static_cast<qsizetype>(size)), rates);
    if (count < 0 || count > PrinterState::VatRateCount)
        std::abort();
    return 0;
}

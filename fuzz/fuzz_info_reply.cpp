#include "link/ReplyParsers.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    PrinterInfo info;
    const auto outcome = ReplyParsers::parseInfo(QByteArrayView(data, static_cast<qsizetype>(size)), info);
    if (outcome != ReplyParsers::InfoOutcome::Read && !(info == PrinterInfo()))
        std::abort(); // a reply that is not taken must change nothing
    if (info.uid.size() > PrinterInfo::UidLength || info.secondId.size() > PrinterInfo::SecondIdLength ||
        info.label.size() > PrinterInfo::LabelLength || info.date.size() > PrinterInfo::DateLength ||
        info.time.size() > PrinterInfo::TimeLength)
        std::abort();
    for (const QString *text : {&info.uid, &info.secondId, &info.label}) {
        for (const QChar c : *text) {
            if (c.unicode() < 0x20 || c.unicode() > 0x7F)
                std::abort();
        }
    }
    return 0;
}

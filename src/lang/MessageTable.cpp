#include "lang/MessageTable.h"

#include "base/Cp1250.h"

#include <QFile>

namespace {

constexpr int kMaxTextBytes = MessageTable::SlotSize - 1;

QByteArray placeholder(int slot)
{
    return "[MSG_" + QByteArray::number(slot) + ']';
}

// The slot number of a header line: the decimal digits after its last "_"
// (all its digits when there is none).
int headerNumber(QByteArrayView line)
{
    const qsizetype underscore = line.lastIndexOf('_');
    int number = 0;
    for (const char ch : line.sliced(underscore + 1)) {
        if (ch < '0' || ch > '9')
            continue;
        number = number * 10 + (ch - '0');
        if (number >= MessageTable::SlotCount)
            number = MessageTable::SlotCount; // any number past the table is skipped alike
    }
    return number;
}

} // namespace

MessageTable::MessageTable()
{
    resetToPlaceholders();
}

void MessageTable::resetToPlaceholders()
{
    for (int slot = 0; slot < SlotCount; ++slot)
        m_slots[slot] = placeholder(slot);
}

// A message file is a list of sections: a header line starting with "[" that
// names the slot, then the text up to the next "[" anywhere in the file. The
// line end before the next header is not part of the text; the last section
// keeps its final bytes. The first byte of the file is never text.
void MessageTable::parse(QByteArrayView content)
{
    if (content.isEmpty())
        return;
    qsizetype pos = 1;
    int slot = 0;
    bool atHeader = content[0] == '[';
    for (;;) {
        if (atHeader) {
            const qsizetype lineEnd = content.indexOf('\n', pos);
            if (lineEnd < 0)
                return;
            slot = headerNumber(content.sliced(pos, lineEnd - pos));
            pos = lineEnd + 1;
        }
        const qsizetype next = content.indexOf('[', pos);
        const QByteArrayView text = content.sliced(pos, (next < 0 ? content.size() : next) - pos);
        if (slot < SlotCount) {
            QByteArray stored = text.first(std::min<qsizetype>(text.size(), kMaxTextBytes)).toByteArray();
            if (next >= 0)
                stored.chop(2);
            // The slot is a C string: a zero byte ends its text.
            const qsizetype nul = stored.indexOf('\0');
            m_slots[slot] = nul < 0 ? stored : stored.first(nul);
        }
        if (next < 0)
            return;
        pos = next + 1;
        atHeader = true;
    }
}

MessageTable::LoadResult MessageTable::load(const QString &path)
{
    resetToPlaceholders();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return LoadResult::Missing;
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return LoadResult::ReadError;
    parse(content);
    return LoadResult::Loaded;
}

QString MessageTable::text(int slot) const
{
    return Cp1250::decode(bytes(slot));
}

QByteArray MessageTable::bytes(int slot) const
{
    if (slot < 0 || slot >= SlotCount)
        return placeholder(slot);
    return m_slots[slot];
}

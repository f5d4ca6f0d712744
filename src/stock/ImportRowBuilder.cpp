#include "stock/ImportRowBuilder.h"

#include <algorithm>

void ImportRowBuilder::clear()
{
    m_cells.clear();
    m_numbers.clear();
    m_pendingEmpty = 0;
}

void ImportRowBuilder::moveTo(qint64 at)
{
    if (at > column())
        m_pendingEmpty = qsizetype(std::min<qint64>(at, MostColumns)) - m_cells.size();
}

void ImportRowBuilder::add(const QString &text, bool number, qint64 repeat)
{
    const qsizetype room = MostColumns - column();
    const qsizetype count = qsizetype(std::clamp<qint64>(repeat, 0, std::max<qsizetype>(room, 0)));
    if (text.isEmpty()) {
        m_pendingEmpty += count;
        return;
    }
    if (count == 0)
        return;
    for (; m_pendingEmpty > 0; --m_pendingEmpty) {
        m_cells << QString();
        m_numbers << false;
    }
    for (qsizetype i = 0; i < count; ++i) {
        m_cells << text;
        m_numbers << number;
    }
}

void ImportRowBuilder::takeInto(ImportRow &row)
{
    row.cells = std::move(m_cells);
    row.numbers = std::move(m_numbers);
    clear();
}

#include "link/ReplyScanner.h"

#include <limits>

bool ReplyScanner::isBlank(char byte)
{
    return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\v' || byte == '\f' || byte == '\r';
}

void ReplyScanner::skipBlanks()
{
    while (!atEnd() && isBlank(m_bytes[m_pos]))
        ++m_pos;
}

std::optional<qint32> ReplyScanner::readInteger()
{
    skipBlanks();
    qsizetype pos = m_pos;
    const bool negative = pos < m_bytes.size() && m_bytes[pos] == '-';
    if (pos < m_bytes.size() && (m_bytes[pos] == '-' || m_bytes[pos] == '+'))
        ++pos;
    const qsizetype firstDigit = pos;
    // One beyond the largest magnitude, so that the most negative value still fits.
    constexpr qint64 limit = qint64(std::numeric_limits<qint32>::max()) + 1;
    qint64 magnitude = 0;
    bool tooLarge = false;
    for (; pos < m_bytes.size() && m_bytes[pos] >= '0' && m_bytes[pos] <= '9'; ++pos) {
        magnitude = magnitude * 10 + (m_bytes[pos] - '0');
        if (magnitude > limit) {
            tooLarge = true;
            magnitude = limit;
        }
    }
    if (pos == firstDigit || tooLarge || (!negative && magnitude == limit))
        return std::nullopt;
    m_pos = pos;
    skipBlanks();
    return static_cast<qint32>(negative ? -magnitude : magnitude);
}

std::optional<QByteArray> ReplyScanner::readWord(qsizetype keep)
{
    std::optional<QByteArray> word = readWordPiece(keep);
    while (!atEnd() && !isBlank(m_bytes[m_pos]))
        ++m_pos;
    return word;
}

std::optional<QByteArray> ReplyScanner::readWordPiece(qsizetype limit)
{
    skipBlanks();
    if (atEnd() || limit <= 0)
        return std::nullopt;
    const qsizetype start = m_pos;
    while (!atEnd() && !isBlank(m_bytes[m_pos]) && m_pos - start < limit)
        ++m_pos;
    return m_bytes.sliced(start, m_pos - start).toByteArray();
}

std::optional<char> ReplyScanner::readByte()
{
    if (atEnd())
        return std::nullopt;
    return m_bytes[m_pos++];
}

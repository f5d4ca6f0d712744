#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

#include <optional>

// Reads numbers and blank-delimited words from the bytes of a reply file, never past its
// end. Blanks are those of the C library: space, tab, CR, LF, vertical tab and form feed.
class ReplyScanner
{
public:
    explicit ReplyScanner(QByteArrayView bytes) : m_bytes(bytes) {}

    // A decimal integer with an optional sign after any blanks, followed by the blanks after
    // it. Nothing when no digit follows or the value does not fit into 32 bits; the position
    // then stays behind the blanks, so a later word read sees the offending text.
    std::optional<qint32> readInteger();
    // The next word; of a longer word only the first `keep` bytes are returned and the rest
    // is passed over, so that it cannot pose as the next value.
    std::optional<QByteArray> readWord(qsizetype keep);
    // At most `limit` bytes of the next word; the rest of a longer word stays for the next
    // read.
    std::optional<QByteArray> readWordPiece(qsizetype limit);
    // The next byte, blank or not.
    std::optional<char> readByte();

    static bool isBlank(char byte);

private:
    void skipBlanks();
    bool atEnd() const { return m_pos >= m_bytes.size(); }

    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
};

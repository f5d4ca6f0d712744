#include "stock/RtfWriter.h"

#include "base/Cp1250.h"

namespace {

QByteArray hexByte(unsigned char byte)
{
    static const char digits[] = "0123456789abcdef";
    return QByteArray("\\'") + digits[byte >> 4] + digits[byte & 0x0F];
}

QByteArray escapedCharacter(QChar ch)
{
    const char16_t c = ch.unicode();
    if (c == u'\\' || c == u'{' || c == u'}')
        return QByteArray(1, '\\') + char(c);
    if (c == u'\t')
        return "\\tab ";
    if (c == u'\n')
        return "\\line ";
    if (c < 0x20 || c == 0x7F)
        return hexByte(static_cast<unsigned char>(c));
    if (c < 0x80)
        return QByteArray(1, char(c));
    const QByteArray encoded = Cp1250::encode(QStringView(&ch, 1));
    if (encoded.size() == 1 && encoded[0] != '?')
        return hexByte(static_cast<unsigned char>(encoded[0]));
    return "\\u" + QByteArray::number(static_cast<qint16>(c)) + '?';
}

QByteArray alignmentWord(ParagraphAlignment alignment)
{
    switch (alignment) {
    case ParagraphAlignment::Left:
        return "\\ql";
    case ParagraphAlignment::Center:
        return "\\qc";
    case ParagraphAlignment::Right:
        return "\\qr";
    case ParagraphAlignment::Justify:
        return "\\qj";
    }
    return "\\ql";
}

// Each run in a group of its own: the format of one run never leaks into the next.
QByteArray run(const RichTextRun &run)
{
    QByteArray out = "{\\fs" + QByteArray::number(run.format.halfPoints);
    if (run.format.bold)
        out += "\\b";
    if (run.format.italic)
        out += "\\i";
    if (run.format.underline)
        out += "\\ul";
    out += ' ';
    for (const QChar ch : run.text)
        out += escapedCharacter(ch);
    return out + '}';
}

} // namespace

QByteArray RtfWriter::write(const RichTextDocument &document)
{
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fnil\\fcharset238 Courier New;}}\r\n"
                     "\\viewkind4\\uc1\r\n";
    for (const RichTextParagraph &paragraph : document.paragraphs) {
        out += "\\pard" + alignmentWord(paragraph.alignment) + "\\f0 ";
        for (const RichTextRun &textRun : paragraph.runs)
            out += run(textRun);
        out += "\\par\r\n";
    }
    return out + "}\r\n";
}

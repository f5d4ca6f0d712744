#include "stock/RtfReader.h"

#include "base/Cp1250.h"

#include <QSet>

#include <algorithm>
#include <array>
#include <climits>

namespace {

constexpr std::size_t kNestingLimit = 512;
constexpr int kLongestWord = 32;

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Groups whose content is not text of the document.
bool isSkippedDestination(QByteArrayView word)
{
    static const QSet<QByteArrayView> skipped = {"colortbl",
                                                 "stylesheet",
                                                 "info",
                                                 "pict",
                                                 "object",
                                                 "header",
                                                 "headerl",
                                                 "headerr",
                                                 "headerf",
                                                 "footer",
                                                 "footerl",
                                                 "footerr",
                                                 "footerf",
                                                 "footnote",
                                                 "fldinst",
                                                 "listtable",
                                                 "listoverridetable",
                                                 "revtbl",
                                                 "rsidtbl",
                                                 "generator",
                                                 "themedata",
                                                 "colorschememapping",
                                                 "datastore",
                                                 "latentstyles",
                                                 "pgdsctbl",
                                                 "filetbl",
                                                 "annotation",
                                                 "atnid",
                                                 "atnauthor",
                                                 "xmlnstbl",
                                                 "nonshppict",
                                                 "shppict",
                                                 "shp",
                                                 "template",
                                                 "userprops",
                                                 "docvar",
                                                 "xe",
                                                 "tc",
                                                 "txe",
                                                 "bkmkstart",
                                                 "bkmkend",
                                                 "mmathPr",
                                                 "private",
                                                 "comment",
                                                 "author",
                                                 "title",
                                                 "subject",
                                                 "operator",
                                                 "keywords",
                                                 "company",
                                                 "doccomm",
                                                 "creatim",
                                                 "revtim",
                                                 "printim",
                                                 "buptim",
                                                 "hlinkbase",
                                                 "passwordhash"};
    return skipped.contains(word);
}

QChar specialCharacter(QByteArrayView word)
{
    static const QHash<QByteArrayView, char16_t> characters = {
        {"emdash", u'\u2014'},  {"endash", u'\u2013'},    {"bullet", u'\u2022'},    {"lquote", u'\u2018'},
        {"rquote", u'\u2019'},  {"ldblquote", u'\u201C'}, {"rdblquote", u'\u201D'}, {"emspace", u'\u2003'},
        {"enspace", u'\u2002'}, {"qmspace", u'\u2005'},   {"tab", u'\t'},           {"line", u'\n'},
        {"cell", u'\t'},        {"nestcell", u'\t'}};
    return QChar(characters.value(word, 0));
}

bool isUnderlineWord(QByteArrayView word)
{
    static const QSet<QByteArrayView> underlines = {
        "ul",         "uld",       "uldash",     "uldashd", "uldashdd", "uldb",
        "ulhwave",    "ulldash",   "ulth",       "ulthd",   "ulthdash", "ulthdashd",
        "ulthdashdd", "ulthldash", "ululdbwave", "ulw",     "ulwave"};
    return underlines.contains(word);
}

int codePageOfCharset(int charset)
{
    switch (charset) {
    case 0:
        return 1252;
    case 238:
        return 1250;
    case 204:
        return 1251;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 186:
        return 1257;
    default:
        return 0; // the document's code page applies
    }
}

QChar decodeCp1252(unsigned char byte)
{
    static constexpr std::array<char16_t, 32> high = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    return byte >= 0x80 && byte < 0xA0 ? QChar(high[byte - 0x80]) : QChar(char16_t(byte));
}

// Other 8-bit code pages are rare in headers written here; their letters are
// read as 1250, the code page of every other file the program shares.
QChar decodeByte(int codePage, unsigned char byte)
{
    if (byte < 0x80)
        return QChar(char16_t(byte));
    if (codePage == 1252)
        return decodeCp1252(byte);
    const char raw = char(byte);
    const QString text = Cp1250::decode(QByteArrayView(&raw, 1));
    return text.isEmpty() ? QChar(QChar::ReplacementCharacter) : text.front();
}

} // namespace

bool RtfReader::isRtf(QByteArrayView bytes)
{
    return bytes.startsWith("{\\rtf");
}

RichTextDocument RtfReader::read(QByteArrayView rtf)
{
    return RtfReader(rtf).parse();
}

RichTextDocument RtfReader::parse()
{
    while (m_pos < m_in.size() && !m_ended) {
        const char c = m_in[m_pos++];
        if (c == '{')
            openGroup();
        else if (c == '}')
            closeGroup();
        else if (!m_started)
            continue;
        else if (c == '\\')
            readControl();
        else
            textByte(static_cast<unsigned char>(c));
    }
    flushText();
    if (!m_paragraph.runs.isEmpty())
        m_document.paragraphs.append(m_paragraph);
    return m_document;
}

void RtfReader::openGroup()
{
    m_pendingFallback = 0;
    if (!m_started) {
        m_started = true;
        return;
    }
    if (m_saved.size() < kNestingLimit)
        m_saved.push_back(m_state);
    else
        ++m_unsavedDepth;
}

void RtfReader::closeGroup()
{
    m_pendingFallback = 0;
    if (!m_started)
        return;
    if (m_unsavedDepth > 0) {
        --m_unsavedDepth;
    } else if (m_saved.empty()) {
        m_ended = true; // the outermost group is the whole document
    } else {
        m_state = m_saved.back();
        m_saved.pop_back();
    }
}

void RtfReader::readControl()
{
    if (m_pos >= m_in.size())
        return;
    const char c = m_in[m_pos];
    if (isLetter(c)) {
        readControlWord();
        return;
    }
    ++m_pos;
    if (c == '\'')
        readHexByte();
    else if (!consumeFallback())
        controlSymbol(c);
}

void RtfReader::readControlWord()
{
    const qsizetype start = m_pos;
    while (m_pos < m_in.size() && isLetter(m_in[m_pos]))
        ++m_pos;
    const QByteArrayView word = m_in.sliced(start, std::min<qsizetype>(m_pos - start, kLongestWord));
    const bool negative = m_pos + 1 < m_in.size() && m_in[m_pos] == '-' && isDigit(m_in[m_pos + 1]);
    if (negative)
        ++m_pos;
    bool hasParameter = false;
    qint64 value = 0;
    while (m_pos < m_in.size() && isDigit(m_in[m_pos])) {
        hasParameter = true;
        value = std::min<qint64>(value * 10 + (m_in[m_pos++] - '0'), qint64(1) << 31);
    }
    if (m_pos < m_in.size() && m_in[m_pos] == ' ')
        ++m_pos;
    const auto parameter = static_cast<int>(std::clamp<qint64>(negative ? -value : value, INT_MIN, INT_MAX));
    if (word == "bin") {
        skipBinary(hasParameter ? parameter : 0);
        return;
    }
    if (!consumeFallback())
        controlWord(word, hasParameter, parameter);
}

void RtfReader::readHexByte()
{
    if (m_pos + 1 >= m_in.size())
        return;
    const int high = hexValue(m_in[m_pos]);
    const int low = hexValue(m_in[m_pos + 1]);
    if (high < 0 || low < 0)
        return;
    m_pos += 2;
    if (m_state.destination == Destination::Text && !consumeFallback())
        appendCharacter(decodeByte(currentCodePage(), static_cast<unsigned char>(high * 16 + low)));
}

void RtfReader::controlSymbol(char symbol)
{
    if (symbol == '*') {
        m_state.destination = Destination::Skip;
        return;
    }
    if (m_state.destination != Destination::Text)
        return;
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        appendCharacter(QChar(char16_t(symbol)));
        break;
    case '~':
        appendCharacter(QChar(0x00A0));
        break;
    case '_':
        appendCharacter(u'-');
        break;
    case '\r':
    case '\n':
        endParagraph();
        break;
    default:
        break; // \- optional hyphen, \| \: and the rest show nothing
    }
}

void RtfReader::controlWord(QByteArrayView word, bool hasParameter, int parameter)
{
    if (m_state.destination == Destination::Skip)
        return;
    if (word == "fonttbl") {
        m_state.destination = Destination::FontTable;
        return;
    }
    if (isSkippedDestination(word)) {
        m_state.destination = Destination::Skip;
        return;
    }
    if (m_state.destination == Destination::FontTable) {
        fontTableWord(word, parameter);
        return;
    }
    if (!formatWord(word, hasParameter, parameter))
        textWord(word, hasParameter, parameter);
}

void RtfReader::fontTableWord(QByteArrayView word, int parameter)
{
    if (word == "f")
        m_fontBeingDefined = parameter;
    else if (word == "fcharset" && codePageOfCharset(parameter) != 0)
        m_fontCodePages.insert(m_fontBeingDefined, codePageOfCharset(parameter));
    else if (word == "cpg")
        m_fontCodePages.insert(m_fontBeingDefined, parameter);
}

bool RtfReader::formatWord(QByteArrayView word, bool hasParameter, int parameter)
{
    const bool on = !hasParameter || parameter != 0;
    RichTextFormat &format = m_state.format;
    if (word == "b")
        format.bold = on;
    else if (word == "i")
        format.italic = on;
    else if (isUnderlineWord(word))
        format.underline = on;
    else if (word == "ulnone")
        format.underline = false;
    else if (word == "fs")
        format.halfPoints = hasParameter && parameter > 0 ? std::min(parameter, 3276) : 24;
    else if (word == "plain")
        format = RichTextFormat{};
    else if (word == "pard" || word == "ql")
        m_state.alignment = ParagraphAlignment::Left;
    else if (word == "qc")
        m_state.alignment = ParagraphAlignment::Center;
    else if (word == "qr")
        m_state.alignment = ParagraphAlignment::Right;
    else if (word == "qj")
        m_state.alignment = ParagraphAlignment::Justify;
    else
        return false;
    return true;
}

bool RtfReader::textWord(QByteArrayView word, bool hasParameter, int parameter)
{
    if (word == "par" || word == "row" || word == "page" || word == "sect")
        endParagraph();
    else if (word == "u" && hasParameter)
        unicodeCharacter(parameter);
    else if (word == "uc")
        m_state.unicodeSkip = std::max(parameter, 0);
    else if (word == "f")
        m_state.font = parameter;
    else if (word == "deff")
        m_defaultFont = parameter;
    else if (word == "ansicpg")
        m_documentCodePage = parameter;
    else if (!specialCharacter(word).isNull())
        appendCharacter(specialCharacter(word));
    else
        return false;
    return true;
}

void RtfReader::unicodeCharacter(int parameter)
{
    const int code = parameter < 0 ? parameter + 0x10000 : parameter;
    if (code > 0 && code <= 0xFFFF)
        appendCharacter(QChar(char16_t(code)));
    else if (code != 0)
        appendCharacter(QChar(QChar::ReplacementCharacter));
    m_pendingFallback = m_state.unicodeSkip;
}

void RtfReader::skipBinary(int count)
{
    m_pos += std::min<qsizetype>(std::max(count, 0), m_in.size() - m_pos);
}

// Counts off the stand-in characters that follow a \u character.
bool RtfReader::consumeFallback()
{
    if (m_pendingFallback <= 0)
        return false;
    --m_pendingFallback;
    return true;
}

void RtfReader::textByte(unsigned char byte)
{
    if (m_state.destination != Destination::Text || byte == '\r' || byte == '\n')
        return;
    if (consumeFallback())
        return;
    if (byte == '\t')
        appendCharacter(u'\t');
    else if (byte >= 0x20)
        appendCharacter(decodeByte(currentCodePage(), byte));
}

void RtfReader::appendCharacter(QChar ch)
{
    if (m_state.destination != Destination::Text)
        return;
    if (m_state.format != m_textFormat)
        flushText();
    m_textFormat = m_state.format;
    m_text += ch;
    m_paragraph.alignment = m_state.alignment;
}

void RtfReader::flushText()
{
    m_paragraph.append(m_text, m_textFormat);
    m_text.clear();
}

void RtfReader::endParagraph()
{
    if (m_state.destination != Destination::Text)
        return;
    flushText();
    m_paragraph.alignment = m_state.alignment;
    m_document.paragraphs.append(m_paragraph);
    m_paragraph = RichTextParagraph{};
}

int RtfReader::currentCodePage() const
{
    const int font = m_state.font >= 0 ? m_state.font : m_defaultFont;
    return m_fontCodePages.value(font, m_documentCodePage);
}

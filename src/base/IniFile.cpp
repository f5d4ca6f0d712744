#include "base/IniFile.h"

#include "base/Cp1250.h"

#include <QFile>
#include <QSaveFile>

#include <limits>

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");

// The profile functions treat Ctrl-Z as a blank as well.
bool isBlank(QChar ch)
{
    const char16_t c = ch.unicode();
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f' || c == 0x1A;
}

QStringView trimmed(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A value in matching quotes loses them, as the profile read does.
QString unquoted(const QString &value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        return value.sliced(1, value.size() - 2);
    return value;
}

// Accepts what a strict integer conversion accepts: optional sign and decimal
// digits, or a hexadecimal number after "0x" or "$"; the whole text must be used.
bool parseInteger(QStringView text, int &result)
{
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'-' || text.front() == u'+')) {
        negative = text.front() == u'-';
        text = text.sliced(1);
    }
    int base = 10;
    if (text.startsWith(u"0x", Qt::CaseInsensitive)) {
        base = 16;
        text = text.sliced(2);
    } else if (text.startsWith(u'$')) {
        base = 16;
        text = text.sliced(1);
    }
    if (text.isEmpty())
        return false;
    qint64 magnitude = 0;
    const qint64 limit = base == 16 ? qint64(0xFFFFFFFF) : qint64(std::numeric_limits<int>::max()) + 1;
    for (const QChar ch : text) {
        const int digit = ch.isDigit() && ch.unicode() < 128 ? ch.unicode() - u'0'
                          : base == 16 && ch.toLower() >= u'a' && ch.toLower() <= u'f'
                              ? ch.toLower().unicode() - u'a' + 10
                              : -1;
        if (digit < 0)
            return false;
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            return false;
    }
    if (base == 10 && !negative && magnitude > std::numeric_limits<int>::max())
        return false;
    // Hexadecimal values above 0x7FFFFFFF wrap into negative numbers like a 32-bit register.
    const auto bits = static_cast<quint32>(negative ? -magnitude : magnitude);
    result = static_cast<int>(bits);
    return true;
}

} // namespace

IniFile::IniFile(QString path) : m_path(std::move(path)) {}

bool IniFile::load()
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        setBytes({});
        return false;
    }
    setBytes(file.readAll());
    return true;
}

void IniFile::setBytes(const QByteArray &bytes)
{
    m_lines.clear();
    m_utf8 = bytes.startsWith(kUtf8Bom);
    const QByteArrayView content = QByteArrayView(bytes).sliced(m_utf8 ? kUtf8Bom.size() : 0);
    qsizetype start = 0;
    while (start < content.size()) {
        qsizetype end = content.indexOf('\n', start);
        Line line;
        if (end < 0) {
            line.raw = content.sliced(start).toByteArray();
            end = content.size();
        } else {
            const bool crlf = end > start && content[end - 1] == '\r';
            line.raw = content.sliced(start, end - start - (crlf ? 1 : 0)).toByteArray();
            line.lineEnd = crlf ? QByteArray("\r\n") : QByteArray("\n");
            ++end;
        }
        parseLine(line);
        m_lines.append(std::move(line));
        start = end;
    }
}

void IniFile::parseLine(Line &line) const
{
    const QString text = decode(line.raw);
    const QStringView content = trimmed(text);
    line.name.clear();
    line.value.clear();
    line.kind = Kind::Blank;
    if (content.isEmpty())
        return;
    const qsizetype close = content.lastIndexOf(u']');
    if (content.front() == u'[' && close > 0) {
        line.kind = Kind::Section;
        line.name = content.sliced(1, close - 1).toString();
        return;
    }
    const qsizetype equals = content.indexOf(u'=');
    if (equals < 0) {
        line.kind = Kind::KeyWithoutValue;
        line.name = content.toString();
        return;
    }
    line.kind = Kind::Key;
    line.name = trimmed(content.first(equals)).toString();
    line.value = trimmed(content.sliced(equals + 1)).toString();
}

QString IniFile::decode(const QByteArray &bytes) const
{
    return m_utf8 ? QString::fromUtf8(bytes) : Cp1250::decode(bytes);
}

QByteArray IniFile::encode(const QString &text) const
{
    return m_utf8 ? text.toUtf8() : Cp1250::encode(text);
}

qsizetype IniFile::findSection(const QString &section) const
{
    const QStringView wanted = trimmed(section);
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == Kind::Section && sameName(m_lines[i].name, wanted))
            return i;
    }
    return -1;
}

qsizetype IniFile::sectionEnd(qsizetype sectionLine) const
{
    qsizetype i = sectionLine + 1;
    while (i < m_lines.size() && m_lines[i].kind != Kind::Section)
        ++i;
    return i;
}

qsizetype IniFile::findKey(qsizetype sectionLine, const QString &key) const
{
    const QStringView wanted = trimmed(key);
    const qsizetype end = sectionEnd(sectionLine);
    for (qsizetype i = sectionLine + 1; i < end; ++i) {
        const Line &line = m_lines[i];
        if (line.kind != Kind::Blank && sameName(line.name, wanted))
            return i;
    }
    return -1;
}

const QString *IniFile::lookUp(const QString &section, const QString &key) const
{
    const qsizetype sectionLine = findSection(section);
    if (sectionLine < 0)
        return nullptr;
    const qsizetype keyLine = findKey(sectionLine, key);
    if (keyLine < 0 || m_lines[keyLine].kind != Kind::Key)
        return nullptr;
    return &m_lines[keyLine].value;
}

bool IniFile::hasKey(const QString &section, const QString &key) const
{
    return lookUp(section, key) != nullptr;
}

QString IniFile::readString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const QString *value = lookUp(section, key);
    if (!value)
        return defaultValue;
    // Values are C strings for the programs that share these files.
    const qsizetype nul = value->indexOf(QChar(0));
    return unquoted(nul < 0 ? *value : value->first(nul));
}

int IniFile::readInt(const QString &section, const QString &key, int defaultValue) const
{
    int result = 0;
    return parseInteger(trimmed(readString(section, key, QString())), result) ? result : defaultValue;
}

bool IniFile::readSwitch(const QString &section, const QString &key, bool defaultValue) const
{
    return readInt(section, key, defaultValue ? 1 : 0) != 0;
}

double IniFile::readDouble(const QString &section, const QString &key, double defaultValue,
                           const QLocale &locale) const
{
    bool ok = false;
    const double value = locale.toDouble(trimmed(readString(section, key, QString())), &ok);
    return ok ? value : defaultValue;
}

QByteArray IniFile::newLineEnd() const
{
    for (const Line &line : m_lines) {
        if (!line.lineEnd.isEmpty())
            return line.lineEnd;
    }
    return QByteArray("\r\n");
}

void IniFile::insertLine(qsizetype at, const QString &text)
{
    if (at > 0 && m_lines[at - 1].lineEnd.isEmpty())
        m_lines[at - 1].lineEnd = newLineEnd();
    Line line;
    line.raw = encode(text);
    line.lineEnd = newLineEnd();
    parseLine(line);
    m_lines.insert(at, std::move(line));
}

void IniFile::setString(const QString &section, const QString &key, const QString &value)
{
    const QString keyName = trimmed(key).toString();
    qsizetype sectionLine = findSection(section);
    if (sectionLine < 0) {
        if (!m_lines.isEmpty() && m_lines.back().kind != Kind::Blank)
            insertLine(m_lines.size(), QString());
        sectionLine = m_lines.size();
        insertLine(sectionLine, u'[' + trimmed(section).toString() + u']');
    }
    const qsizetype keyLine = findKey(sectionLine, keyName);
    if (keyLine >= 0) {
        // Keep the key's own spelling and indentation; only the value changes.
        Line &line = m_lines[keyLine];
        const QString text = decode(line.raw);
        qsizetype indent = 0;
        while (indent < text.size() && isBlank(text[indent]))
            ++indent;
        line.raw = encode(text.first(indent) + line.name + u'=' + value);
        parseLine(line);
        return;
    }
    qsizetype insertAt = sectionEnd(sectionLine);
    while (insertAt - 1 > sectionLine && m_lines[insertAt - 1].kind == Kind::Blank)
        --insertAt;
    insertLine(insertAt, keyName + u'=' + value);
}

void IniFile::setInt(const QString &section, const QString &key, int value)
{
    setString(section, key, QString::number(value));
}

QByteArray IniFile::toBytes() const
{
    QByteArray bytes = m_utf8 ? kUtf8Bom : QByteArray();
    for (const Line &line : m_lines)
        bytes += line.raw + line.lineEnd;
    return bytes;
}

bool IniFile::save()
{
    // Other tills read these files at any moment: replace the file whole.
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = toBytes();
    return file.write(bytes) == bytes.size() && file.commit();
}

bool IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    setString(section, key, value);
    return save();
}

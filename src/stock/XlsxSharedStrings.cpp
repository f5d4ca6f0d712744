#include "stock/XlsxSharedStrings.h"

#include "stock/PugiNames.h"

namespace {

using namespace PugiNames;

// Element names without their namespace prefix: writers differ in prefixes.
void appendText(const pugi::xml_node &t, QString &text)
{
    for (const pugi::xml_node &part : t.children())
        if (part.type() == pugi::node_pcdata || part.type() == pugi::node_cdata)
            text += QString::fromUtf8(part.value());
}

QString stringItem(const pugi::xml_node &si)
{
    QString text;
    for (const pugi::xml_node &child : si.children()) {
        if (named(child, "t")) {
            appendText(child, text);
        } else if (named(child, "r")) {
            for (const pugi::xml_node &run : child.children())
                if (named(run, "t"))
                    appendText(run, text);
        }
    }
    return XlsxSharedStrings::unescape(text);
}

int hexDigit(QChar ch)
{
    if (ch >= u'0' && ch <= u'9')
        return ch.unicode() - u'0';
    if (ch >= u'A' && ch <= u'F')
        return ch.unicode() - u'A' + 10;
    if (ch >= u'a' && ch <= u'f')
        return ch.unicode() - u'a' + 10;
    return -1;
}

// The character of "_xHHHH_" at `at`, or -1.
int escapedAt(const QString &text, qsizetype at)
{
    constexpr qsizetype Length = 7;
    if (at + Length > text.size() || text.at(at + 1) != u'x' || text.at(at + Length - 1) != u'_')
        return -1;
    int code = 0;
    for (qsizetype i = at + 2; i < at + Length - 1; ++i) {
        const int digit = hexDigit(text.at(i));
        if (digit < 0)
            return -1;
        code = code * 16 + digit;
    }
    return code;
}

} // namespace

std::optional<QStringList> XlsxSharedStrings::parse(QByteArray xml)
{
    pugi::xml_document document;
    const pugi::xml_parse_result parsed = document.load_buffer_inplace(
        xml.data(), size_t(xml.size()), pugi::parse_default | pugi::parse_ws_pcdata_single);
    if (!parsed)
        return std::nullopt;
    QStringList strings;
    const pugi::xml_node sst = document.document_element();
    for (const pugi::xml_node &si : sst.children())
        if (named(si, "si"))
            strings << stringItem(si);
    return strings;
}

QString XlsxSharedStrings::unescape(const QString &text)
{
    if (!text.contains(u"_x"))
        return text;
    QString plain;
    plain.reserve(text.size());
    for (qsizetype at = 0; at < text.size(); ++at) {
        const int code = text.at(at) == u'_' ? escapedAt(text, at) : -1;
        if (code < 0) {
            plain += text.at(at);
            continue;
        }
        plain += QChar(char16_t(code));
        at += 6;
    }
    return plain;
}

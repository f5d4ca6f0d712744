#include "stock/XlsxDateStyles.h"

#include <QHash>
#include <QString>

#include "stock/PugiNames.h"

namespace {

using namespace PugiNames;

} // namespace

bool XlsxDateStyles::isBuiltInDate(int formatId)
{
    // 14 to 17 and 22 are the dates every workbook knows; 27 to 36 and 50 to 58
    // the dates of East Asian versions.
    return (formatId >= 14 && formatId <= 17) || formatId == 22 || (formatId >= 27 && formatId <= 36) ||
           (formatId >= 50 && formatId <= 58);
}

bool XlsxDateStyles::isDateFormat(const QString &code)
{
    bool quoted = false;
    bool bracket = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar ch = code.at(i);
        if (quoted) {
            quoted = ch != u'"';
        } else if (bracket) {
            bracket = ch != u']';
        } else if (ch == u'"') {
            quoted = true;
        } else if (ch == u'[') {
            bracket = true;
        } else if (ch == u'\\' || ch == u'_' || ch == u'*') {
            ++i; // the next character is shown or spaced, not a field
        } else if (ch == u';') {
            return false; // a format of several sections is for numbers
        } else if (const QChar lower = ch.toLower(); lower == u'd' || lower == u'y') {
            return true;
        }
    }
    return false;
}

QList<bool> XlsxDateStyles::parse(QByteArrayView xml)
{
    pugi::xml_document document;
    if (!document.load_buffer(xml.data(), size_t(xml.size())))
        return {};
    const pugi::xml_node styleSheet = document.document_element();
    QHash<int, bool> custom;
    for (const pugi::xml_node &format : child(styleSheet, "numFmts").children())
        if (named(format, "numFmt"))
            custom.insert(format.attribute("numFmtId").as_int(-1),
                          isDateFormat(QString::fromUtf8(format.attribute("formatCode").value())));
    QList<bool> dates;
    for (const pugi::xml_node &xf : child(styleSheet, "cellXfs").children()) {
        if (!named(xf, "xf"))
            continue;
        const int id = xf.attribute("numFmtId").as_int(0);
        dates << custom.value(id, isBuiltInDate(id));
    }
    return dates;
}

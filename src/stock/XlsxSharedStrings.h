#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The shared strings part of an XLSX workbook (xl/sharedStrings.xml): the texts
// that text cells point at by number. A string is plain (<si><t>) or rich text
// whose runs (<r><t>) join to one text; phonetic guides (<rPh>) are no part of it.
class XlsxSharedStrings
{
public:
    // The texts in order, or nullopt when the part is not well-formed XML.
    // The part's bytes are parsed where they lie (and changed), so that a large
    // part is not copied once more while it is read.
    static std::optional<QStringList> parse(QByteArray xml);
    // Characters a text cannot hold in XML stand as _xHHHH_ ("_x000D_" a
    // carriage return); "_x005F_" escapes the underscore of a literal "_x".
    static QString unescape(const QString &text);
};

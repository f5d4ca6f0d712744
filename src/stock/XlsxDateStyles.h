#pragma once

#include <QByteArrayView>
#include <QList>

// Which cell styles of an XLSX workbook (the cellXfs of xl/styles.xml) show a
// number as a date: a spreadsheet stores a date as a day number and only its
// style tells it from a price.
class XlsxDateStyles
{
public:
    // One flag per style index; empty when the part is missing or not XML,
    // which makes every number a plain number.
    static QList<bool> parse(QByteArrayView xml);
    // Whether a number format's code shows a date ("dd.mm.yyyy", "d/m/yy"):
    // a day or year field outside quoted text, [brackets] and escapes.
    static bool isDateFormat(const QString &code);
    static bool isBuiltInDate(int formatId);
};

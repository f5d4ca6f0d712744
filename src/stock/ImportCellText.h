#pragma once

#include <QDate>
#include <QString>

// The text of typed spreadsheet values as the import reads them: numbers the C
// way, dates as a Slovak shop writes them.
class ImportCellText
{
public:
    // "300" for a whole number (never "3e+02"), else the shortest text that
    // reads back as the same value ("1234.5").
    static QString number(double value);
    // dd.MM.yyyy
    static QString date(const QDate &date);
    // A spreadsheet's day number: days since 30 Dec 1899, or since 1 Jan 1904
    // in workbooks of that date system; the time of day is dropped.
    static QString serialDate(double serial, bool from1904);
    // An ISO 8601 date or date and time ("2026-03-01", "2026-03-01T10:00:00");
    // the text itself when it is none.
    static QString isoDate(const QString &text);
};

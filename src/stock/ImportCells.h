#pragma once

#include "stock/ImportRowSource.h"

#include <QDate>
#include <QString>

// Appends the cells of one row as the readers of spreadsheets and databases
// give them: typed numbers written the C way and marked as numbers, dates as
// the user reads them (dd.MM.yyyy), everything else as text.
class ImportCells
{
public:
    explicit ImportCells(ImportRow &row) : m_row(row)
    {
        m_row.cells.clear();
        m_row.numbers.clear();
    }

    void text(const QString &text);
    void number(double value);
    void date(const QDate &date);
    // An empty cell, keeping the places of the cells after it.
    void empty() { text(QString()); }
    // Drops the empty cells at the end: a spreadsheet row is as long as its
    // last filled cell, as in a text file saved from it.
    void trimEnd();

    // The number as the import reads a typed cell. A whole number is written
    // without exponent, so that a code 1000000 stays "1000000" and not "1e+06".
    static QString numberText(double value);

private:
    ImportRow &m_row;
};

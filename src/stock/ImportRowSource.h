#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One row of a price list being imported: its number in the source as the user
// sees it there (the first row is 1, a title row counts) and its cells in
// column order. An empty cell keeps its place, so column 3 is always cells[2].
struct ImportRow
{
    qint64 number = 0;
    QStringList cells;
    // Which cells hold a number of a typed cell (a spreadsheet's or a
    // database's number field), written the C way ("1234.5") whatever the
    // regional settings; the others are text as the user typed it. Shorter
    // than cells, or empty, where the rest is text.
    QList<bool> numbers;

    bool isNumber(qsizetype cell) const { return cell < numbers.size() && numbers.at(cell); }
};

// Rows of cell texts read one at a time from a file of any kind (text with
// separators, spreadsheet, dBase, HTML), so that the import never holds the
// whole source in memory and does not care which kind it is.
class ImportRowSource
{
public:
    enum class Read { Row, End, Failed };

    virtual ~ImportRowSource() = default;

    // The next row; Failed with error() when the source cannot be read on.
    virtual Read next(ImportRow &row) = 0;
    virtual QString error() const = 0;
    // How far the reading got, in a unit of the source's choice (bytes, rows)
    // that size() counts too; size() 0 when unknown.
    virtual qint64 position() const = 0;
    virtual qint64 size() const = 0;
};

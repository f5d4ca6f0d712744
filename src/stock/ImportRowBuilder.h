#pragma once

#include "stock/ImportRowSource.h"

#include <QString>

// Gathers the cells of one row of a sheet or table in column order. A cell
// given at a later column leaves empty cells before it, so every value keeps
// its column; empty cells at the end of the row are dropped, so that a row a
// spreadsheet pads with empty cells up to the sheet's width is as short as
// the same row of a text file. Repeated cells are counted, not stored, until
// a value follows them, and no row grows beyond MostColumns: a file that
// repeats an empty cell a million times costs nothing.
class ImportRowBuilder
{
public:
    // The widest sheet that spreadsheets write.
    static constexpr qsizetype MostColumns = 16384;

    void clear();
    // The next cell goes to `column` (0 for the first) unless cells are there already.
    void moveTo(qint64 at);
    void add(const QString &text, bool number = false, qint64 repeat = 1);
    bool hasValue() const { return !m_cells.isEmpty(); }
    qsizetype column() const { return m_cells.size() + m_pendingEmpty; }
    // Hands the cells over and starts a new row.
    void takeInto(ImportRow &row);

private:
    QStringList m_cells;
    QList<bool> m_numbers;
    qsizetype m_pendingEmpty = 0;
};

#pragma once

#include "stock/StockRow.h"

#include <QList>
#include <QString>

#include <optional>
#include <span>

class DataFile;

// The stock table VX60_SKLAD in its file: creation and the reads of the point
// of sale. Cards are addressed by SQLite's row id, which the search hands out
// (on the server: the table's ROWID column, see TableLayouts).
class StockTable
{
public:
    explicit StockTable(DataFile &file);

    QString lastError() const;

    bool exists();
    // Creates the table with its three indexes and its change log unless
    // another till did it first.
    bool create();
    // Gives a table of an earlier version the change log (StockChangeLog);
    // true when it is there.
    bool ensureChangeLog();
    // The card with the code `kod`, or an empty optional with `found` false.
    bool cardByCode(const QString &kod, std::optional<StockRow> &card);
    // The cards of `rowIds` in that order; ids that vanished are left out.
    std::optional<QList<StockRow>> cards(std::span<const qint64> rowIds);
    // A new card; `rowId`, when given, receives its row id.
    bool insert(const StockRow &row, qint64 *rowId = nullptr);

    static QString columnList();
    static StockRow rowFrom(const class QSqlQuery &query, int firstColumn = 0);

private:
    DataFile &m_file;
};

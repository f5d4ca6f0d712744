#pragma once

#include "pos/SaleRow.h"
#include "stock/SalesOverviewStatements.h"

#include <QList>
#include <QString>

#include <optional>

class DataFile;
class QSqlQuery;

// A year's sales table in its file, as one till sees it. Every change runs in one
// write transaction, so a till that is killed half way leaves nothing half done and
// two tills never hand out the same key.
//
// Tills that share a data folder share the table, but the open document of each is
// its own: the rows it stores carry its number in UCET, and the open rows, their
// total and every change to open rows are this till's only. Rows written before
// tills were numbered carry 1, the default number, so a folder of one till reads as
// it always did.
class SalesTable
{
public:
    SalesTable(DataFile &file, QString tableName, int till = 1);

    const QString &name() const { return m_name; }
    int till() const { return m_till; }
    QString lastError() const;

    bool exists();
    // Creates the table with its indexes unless another till did it first.
    bool create();
    // The version test: the table can be read; `rows` tells whether it has any.
    bool probeRows(bool &rows);
    bool hasDiscountColumns(bool &has);
    // Adds ZLAVA_INT and ZLAVA_PERC to a table of an older version and sets both
    // to 0 in every old row, all or nothing; a table that has them is left alone.
    bool addDiscountColumns();
    // Tables of this program always have UCET. One made without it gains it, with every
    // old row till 1's, so that the till's own rows can be read from it.
    bool hasTillColumn(bool &has);
    bool addTillColumn();
    // The sales overview groups a year's rows through indexes of its own; it only
    // reads, so the till adds them to a table that lacks them (once: a table that
    // has them is left alone) or has them as an earlier version made them, without
    // FISK. On a large year this takes a few seconds.
    // On the server, where every year's table shares the schema's index names,
    // each index is named after its table as well (TableLayouts::indexName).
    bool hasOverviewIndexes(bool &has);
    bool addOverviewIndexes();

    // The maximum key + 1 (1 for an empty table), read outside a transaction:
    // only an estimate when other tills write, storeOpenRow() takes its own.
    std::optional<int> nextKey();

    enum class Failure { None, Key, Insert };
    struct StoreResult
    {
        Failure failure = Failure::None;
        int key = 0;
        qint64 openTotal = 0; // sum of CENA_INT over the open rows after the insert
    };
    // Stores `row` under the next key: key, insert and the new total of the open
    // document are one transaction. The row's idPrimary and ucet are ignored: it
    // is stored as this till's.
    StoreResult storeOpenRow(const SaleRow &row);

    // The open document: this till's rows with FISK = 0, in key order.
    std::optional<QList<SaleRow>> openRows();
    std::optional<qint64> openTotal();

    // Deletes the open row with key `key`; a row already printed, or another
    // till's, is left alone.
    bool deleteOpenRow(int key);

    // New amounts of one open row under a whole-document discount.
    struct AmountChange
    {
        int key = 0;
        qint32 cenaInt = 0;
        qint32 zlavaInt = 0;
        int zlavaPerc = 0;
    };
    // Writes all changes or none, so the document never shows half a discount.
    bool changeOpenAmounts(const QList<AmountChange> &changes);

    QString openFilter() const;

private:
    bool run(QSqlQuery &query);
    std::optional<qint64> maxKey(QSqlQuery &query);
    std::optional<qint64> sumOpen(QSqlQuery &query);
    bool insert(QSqlQuery &query, const SaleRow &row, int key);
    bool overviewIndexDefinitions(SalesOverviewStatements::IndexDefinitions &definitions);

    DataFile &m_file;
    QString m_name;
    int m_till;
};

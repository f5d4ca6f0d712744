#pragma once

#include "base/DataServer.h"
#include "stock/SalesOverviewChoices.h"
#include "stock/SalesOverviewRows.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <optional>

// The statements of the sales overview, composed from the operator's choices.
// Every typed value (range, filter text, group) is a bound positional
// parameter; the table name is taken only from a sales file name of
// SalesFiles, never from typed text. Text filters compare through the
// connection's folding function (SalesOverview registers it on a file; a
// server's upper() folds them itself), so that Slovak letters match in any case.
// A statement is written for SQLite or for the server's PostgreSQL, as the
// table's store is. Every statement reads printed rows only: the open document
// is not a sale yet.
class SalesOverviewStatements
{
public:
    // The SQL function that folds a text for case-insensitive matching.
    static constexpr const char *FoldFunction = "OMIRA_FOLD";

    struct Statement
    {
        QString text;
        QVariantList values; // for the positional "?" of `text`, in order
        // The choices cannot match any row (a filter text that is not a number
        // for a number column): no statement is to be run, the result is empty.
        bool matchesNothing = false;
    };

    explicit SalesOverviewStatements(const QString &tableName,
                                     DataServer::Kind kind = DataServer::Kind::Files);

    // The connection's own table of the item rows last selected: a year of a
    // million rows is grouped and sorted once per choice, and each page the
    // screen shows is then read by row number. It lives in the connection's
    // temporary database, so the sales file is not written.
    static constexpr const char16_t *ItemTable = u"OVERVIEW_ITEMS";

    // The indexes of a table by name, each with its definition (the SQL text).
    using IndexDefinitions = QMap<QString, QString>;
    // Reads name and definition of every index of `tableName`, in this order.
    static Statement indexDefinitions(const QString &tableName,
                                      DataServer::Kind kind = DataServer::Kind::Files);

    // The indexes of the sales table that the statements may name, as the file has
    // them: a file of an older version has none of the overview's own, or has them
    // without FISK.
    void setIndexes(const IndexDefinitions &definitions);
    // The overview's own indexes (see createOverviewIndexes) of `tableName` by name.
    static QStringList overviewIndexNames(const QString &tableName = {},
                                          DataServer::Kind kind = DataServer::Kind::Files);
    // The overview's own indexes among `definitions` that an earlier version made
    // without FISK; the till drops them before it creates them anew.
    static QStringList outdatedOverviewIndexes(const IndexDefinitions &definitions, const QString &tableName,
                                               DataServer::Kind kind = DataServer::Kind::Files);
    // Creates the indexes that group a year's item rows without sorting them; the
    // till runs these on its sales table, the overview never writes.
    static QStringList createOverviewIndexes(const QString &tableName,
                                             DataServer::Kind kind = DataServer::Kind::Files);

    // The item rows of the chosen grouping, SUM_CENA and SUM_POCET per row.
    Statement items(const SalesOverviewChoices &choices) const;
    // The item rows from `offset` on, at most `limit` of them (all for a negative
    // limit), grouped straight from the sales table.
    Statement itemsPage(const SalesOverviewChoices &choices, qint64 offset, qint64 limit) const;
    // COUNT_POL and SUM_CENA of the item rows, grouped straight from the sales table.
    Statement itemSummary(const SalesOverviewChoices &choices) const;
    // SUM_CENA of the sales rows of the item rows, not grouped.
    Statement itemTotal(const SalesOverviewChoices &choices) const;
    // (Re)creates the item table, empty.
    QStringList createItemTable() const;
    // Fills the item table with the item rows of `choices`, in their order.
    Statement storeItems(const SalesOverviewChoices &choices) const;
    // COUNT_POL (the number of item rows) and SUM_CENA (the footer total over them).
    Statement itemSummary() const;
    // The stored item rows from `offset` on, at most `limit` of them (all for a negative limit).
    Statement itemPage(qint64 offset, qint64 limit) const;
    // The documents of the range that come before `before` (all of the range
    // without it), the last first and at most `limit` of them (all for a negative
    // limit): DU, DOKLAD, ID_DOKLAD, DATUM, SUM_CENA.
    Statement documentsBefore(const SalesOverviewChoices &choices,
                              const std::optional<SalesOverviewRows::Document> &before, qint64 limit) const;
    // The lines of one document.
    Statement documentLines(int closing, int document, const QDate &date) const;
    // MAX_DU and MIN_DU of the table.
    Statement closingRange() const;
    // The DATUM of the rows of one closing.
    Statement dateOfClosing(int closing) const;

private:
    Statement grouped(const SalesOverviewChoices &choices, bool ordered) const;
    QString indexedBy(const SalesOverviewChoices &choices, bool forOrder) const;
    QString printedOnly() const;
    QString rangeLines(const SalesOverviewChoices &choices, QVariantList &values) const;
    bool addFilterLine(const SalesOverviewChoices &choices, QString &text, QVariantList &values) const;
    bool onServer() const { return m_kind == DataServer::Kind::PostgreSql; }
    QString itemTable() const;
    QString total(const QString &column) const;
    QVariant limitValue(qint64 limit) const;

    QString m_table;
    DataServer::Kind m_kind;
    QStringList m_indexes;
    bool m_printedIndexed = true; // FISK is in the overview's indexes (or there are none)
};

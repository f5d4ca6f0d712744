#pragma once

#include "stock/DataFile.h"
#include "stock/SalesOverviewChoices.h"
#include "stock/SalesOverviewRows.h"
#include "stock/SalesOverviewStatements.h"

#include <QList>
#include <QString>

#include <optional>

class QSqlQuery;

// Reads one yearly sales file for the sales overview. It only reads: the file
// is opened without being created or upgraded, and no statement writes. A
// statement that fails (a missing table, a file of an older layout) gives an
// empty result; lastError() then says why, for a screen that wants to know.
class SalesOverview
{
public:
    SalesOverview() = default;
    SalesOverview(const SalesOverview &) = delete;
    SalesOverview &operator=(const SalesOverview &) = delete;

    // Opens `fileName` of `dataFolder`, a name from SalesFiles::list(); any other
    // name is refused. On a server the year's table is read from its database.
    bool open(const QString &dataFolder, const QString &fileName, const DataServer &server = {});
    void close();
    bool isOpen() const { return m_file.isOpen(); }
    const QString &lastError() const { return m_error; }

    // The lowest and highest closing number of the table; 0..0 for an empty table.
    SalesOverviewRows::ClosingRange closingRange();
    // The date of a row of closing `closing`, if the table has one.
    std::optional<QDate> dateOfClosing(int closing);

    // The documents of the range in the grid's order: all of them, or the last
    // `limit` of those that come before `before`, so that a screen reads a year's
    // documents page by page from its end.
    QList<SalesOverviewRows::Document>
    documents(const SalesOverviewChoices &choices,
              const std::optional<SalesOverviewRows::Document> &before = {}, qint64 limit = -1);
    QList<SalesOverviewRows::Line> documentLines(int closing, int document, const QDate &date);

    // Groups and sorts the item rows of `choices` once and keeps them with the
    // connection; says how many there are and their footer total. Choices that
    // cannot match, or a failing statement, leave no rows.
    SalesOverviewRows::ItemSummary selectItems(const SalesOverviewChoices &choices);
    // Selects the item rows of `choices` without grouping them yet, so that a
    // screen shows the first rows of a large year at once: items() reads the
    // first pages (up to DirectRows) straight from the sales table and groups
    // and keeps the whole selection only when a page beyond them is asked for;
    // itemSummary() counts and sums the rows once.
    void chooseItems(const SalesOverviewChoices &choices);
    // The selected item rows from `offset` on, at most `limit` of them (all for
    // a negative limit), so that a screen reads a large year page by page.
    QList<SalesOverviewRows::Item> items(qint64 offset = 0, qint64 limit = -1);
    // How many item rows are selected and their total, without grouping them again.
    SalesOverviewRows::ItemSummary itemSummary();
    // The footer total of the selected item rows without counting them: after
    // chooseItems() the sum of the prices of their sales rows, which a year gives
    // several times sooner than its grouped rows.
    double itemTotal();

    // The rows that chooseItems() leaves to be read without keeping the selection.
    static constexpr qint64 DirectRows = 5000;

private:
    bool run(QSqlQuery &query, const SalesOverviewStatements::Statement &statement);
    bool registerFold();
    SalesOverviewStatements::IndexDefinitions indexDefinitions(const QString &table);
    bool storeItems(const SalesOverviewChoices &choices);
    QList<SalesOverviewRows::Item> readItems(const SalesOverviewStatements::Statement &statement);

    DataFile m_file;
    SalesOverviewStatements m_statements{QString()};
    QString m_error;
    // The choices of chooseItems() until their rows are kept; their summary once counted.
    std::optional<SalesOverviewChoices> m_chosen;
    std::optional<SalesOverviewRows::ItemSummary> m_chosenSummary;
};

#pragma once

#include "stock/SalesOverviewChoices.h"

#include <QString>
#include <QVariantList>

// The statements of the sales overview, composed from the operator's choices.
// Every typed value (range, filter text, group) is a bound positional
// parameter; the table name is taken only from a sales file name of
// SalesFiles, never from typed text. Text filters compare through the
// connection's folding function (SalesOverview registers it), so that Slovak
// letters match in any case.
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

    explicit SalesOverviewStatements(const QString &tableName);

    // The item rows of the chosen grouping, SUM_CENA and SUM_POCET per row;
    // `limit` < 0 reads to the end.
    Statement items(const SalesOverviewChoices &choices, qint64 offset = 0, qint64 limit = -1) const;
    // COUNT_POL (the number of item rows) and SUM_CENA (the footer total over them).
    Statement itemSummary(const SalesOverviewChoices &choices) const;
    // The documents of the range: DU, DOKLAD, ID_DOKLAD, DATUM, SUM_CENA.
    Statement documents(const SalesOverviewChoices &choices) const;
    // The lines of one document.
    Statement documentLines(int closing, int document, const QDate &date) const;
    // MAX_DU and MIN_DU of the table.
    Statement closingRange() const;
    // The DATUM of the rows of one closing.
    Statement dateOfClosing(int closing) const;

private:
    QString rangeLines(const SalesOverviewChoices &choices, QVariantList &values) const;
    bool addFilterLine(const SalesOverviewChoices &choices, QString &text, QVariantList &values) const;
    Statement itemQuery(const SalesOverviewChoices &choices) const;

    QString m_table;
};

#pragma once

#include "pos/PaymentSession.h"
#include "pos/SaleRow.h"

#include <QList>
#include <QString>

#include <optional>

class DataModule;
class MessageTable;
class UserDialogs;

// The document being composed: the open rows of the year's sales table, their
// total and the whole-document discount last applied to them. Database
// failures are told to the user here with the engine's text; callers look at
// the results only.
class SaleDocument
{
public:
    SaleDocument(DataModule &data, const MessageTable &messages, UserDialogs &dialogs);

    // Sums CENA_INT over the open rows into the total; empty after telling the
    // engine's error (the total is then shown as 0.00).
    std::optional<qint64> recomputeTotal();
    // The total in the account currency, as recomputeTotal() left it.
    double total() const { return m_totalCents / 100.0; }
    qint64 totalCents() const { return m_totalCents; }
    bool exceedsLimit() const;

    // Reads the open rows again, for the document grid; false after telling why.
    bool reloadRows();
    const QList<SaleRow> &rows() const { return m_rows; }
    bool isEmpty() const { return m_rows.isEmpty(); }

    // Deletes the row at `index` of rows() and recomputes; nothing for an empty document.
    bool deleteRow(int index);

    // Applies `percent` to every open row: each line gets its discount anew
    // from quantity * price, the sums and the total follow. Above 15000.00 the
    // cashier is warned; a database error is told and nothing is changed.
    bool applyDocumentDiscount(int percent);

    // The whole-document discount as the last application left it.
    DocumentDiscount discount;
    void resetDiscount() { discount = {}; }

    // Warns (156/157) when the total is above the document limit.
    void warnWhenAboveLimit();

private:
    void tellDatabaseError(const QString &prefix);

    DataModule &m_data;
    const MessageTable &m_messages;
    UserDialogs &m_dialogs;
    QList<SaleRow> m_rows;
    qint64 m_totalCents = 0;
};

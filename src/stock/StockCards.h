#pragma once

#include "stock/StockRow.h"

#include <QString>

#include <optional>

class DataFile;

// Saving and deleting stock cards. Cards are addressed by SQLite's row id, as the
// search hands them out. Every change is one write transaction, so what is
// checked before a write still holds when it is written, also with other tills
// on the same file.
class StockCards
{
public:
    enum class Outcome {
        Saved,
        DuplicateCode,    // another card has the code
        ChangedElsewhere, // another till changed the card since it was read
        Vanished,         // another till deleted the card
        Failed,           // the database refused; error() tells why
    };

    struct Result
    {
        Outcome outcome = Outcome::Failed;
        qint64 rowId = 0; // the saved card's row id
        QString error;
    };

    explicit StockCards(DataFile &file);

    // A new card under a code no card has.
    Result insert(const StockRow &card);
    // Writes the fields the card panel edits into card `rowId`. `shown` is the card as
    // it was read when the edit began: unless `overwrite` is set, a card that differs
    // from it now was changed on another till and is left alone.
    Result update(qint64 rowId, const StockRow &shown, const StockRow &edited, bool overwrite);
    // Deletes card `rowId` (a card already gone counts as deleted).
    bool remove(qint64 rowId);
    std::optional<StockRow> card(qint64 rowId);

    const QString &lastError() const { return m_error; }

private:
    std::optional<bool> codeTaken(const QString &code, qint64 exceptRowId);
    Result failed();

    DataFile &m_file;
    QString m_error;
};

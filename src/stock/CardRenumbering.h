#pragma once

#include <QString>

#include <functional>
#include <optional>

class DataFile;
class NameListEdits;

// Keeps the stock cards on their unit and group when the maintenance screen
// saves edited lists. Cards store the position of their unit (MJ_IDX) and group
// (SKLAD_IDX) in the lists, and the unit's text (MJ): an entry that moved must
// take its cards along, and a deleted entry must have no cards left.
class CardRenumbering
{
public:
    enum class List { Units, Groups };
    enum class Outcome {
        Done,
        EntryInUse, // a deleted entry has cards (another till may have used it meanwhile)
        Failed,     // the database refused; error tells why
        Stopped,    // the work before the commit gave up; it has said why
    };
    struct Result
    {
        Outcome outcome = Outcome::Failed;
        List list = List::Units; // with EntryInUse: the deleted entry
        QString entry;
        qint64 cards = 0;
        QString error;
    };

    explicit CardRenumbering(DataFile &file);

    // How many cards stand on position `position` of the list; empty on a database error.
    std::optional<qint64> cardsUsing(List list, int position);

    // True when saving the lists touches the cards: an entry moved, a unit was
    // renamed or an entry was deleted (which must then be checked).
    static bool needed(const NameListEdits &units, const NameListEdits &groups);

    // In one write transaction: refuses when a deleted entry has cards, moves the
    // cards of the moved entries, gives the cards of a renamed unit its new text,
    // then runs `beforeCommit` with the write lock still held. A false from it, or
    // any failure, rolls everything back.
    Result apply(const NameListEdits &units, const NameListEdits &groups,
                 const std::function<bool()> &beforeCommit);

private:
    std::optional<Result> deletedInUse(List list, const NameListEdits &edits);
    bool move(List list, const NameListEdits &edits);
    Result failed(const QString &error);

    DataFile &m_file;
};

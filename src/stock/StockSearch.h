#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMultiHash>
#include <QString>

#include <limits>
#include <optional>
#include <vector>

class DataFile;
struct CardListQuery;

// The item search over the stock table, for the sale screen and the stock-card
// screen's list. It keeps the searched columns folded to upper case in memory,
// so that a search by part of a name (which no index can serve) stays fast on a
// large price list and folds every letter, Slovak ones included ("čaj" finds
// "ČAJ").
//
// The copy follows the table: after a change, by this connection or by another
// till, the next search reads the cards the change log (StockChangeLog) names
// and puts them in place. Only when the log cannot tell (a table without it, an
// entry trimmed away, a whole import, a changed schema) is the table read whole.
//
// The sale screen's result is the list of SQL's
//   SELECT * FROM VX60_SKLAD WHERE UPPER(NAZOV) LIKE '%T%' ORDER BY NAZOV
// (and its code and price variants) as SQLite row ids; the search text is taken
// literally, "%", "_" and "'" included.
class StockSearch
{
public:
    enum class Column { Name = 0, Code = 1, Price = 2 };

    // More logged changes than this waiting are read as the whole table again:
    // one by one they would take longer.
    static constexpr int MostPatchedChanges = 1000;

    explicit StockSearch(DataFile &file);

    // Row ids of the matching cards in list order, or an empty optional on a
    // database error (lastError()).
    std::optional<QList<qint64>> search(Column column, const QString &text);
    // The stock-card screen's list, see CardListQuery.
    std::optional<QList<qint64>> cardList(const CardListQuery &query);
    const QString &lastError() const { return m_error; }
    // Forget the copy; the next search reads the table again.
    void invalidate() { m_loaded = false; }
    // How many times the table was read whole.
    int fullReads() const { return m_fullReads; }

    static QString fold(const QString &text);

private:
    static constexpr qint64 NoGroup = std::numeric_limits<qint64>::min();

    struct Card
    {
        qint64 rowId = 0;
        QByteArray name;    // UTF-8, whose byte order is SQL's order of text
        QByteArray nameKey; // folded
        QByteArray code;
        QByteArray codeKey;    // folded
        QByteArray barcodeKey; // folded
        double price = 0;
        qint64 group = NoGroup;  // SKLAD_IDX
        bool hasCode = false;    // KOD is not NULL
        bool hasBarcode = false; // BARCODE is not NULL
        bool preferred = false;
    };

    // On the server: the log's newest number, the log's file and the stock
    // table's file (see readServerMarks()).
    struct ChangeMarks
    {
        qint64 dataVersion = -1;
        qint64 totalChanges = -1;
        qint64 schemaVersion = -1;
    };

    // A folded column as UTF-8 in one of the orders, each entry ended by a 0
    // byte; entry i starts at starts[i]. UTF-8 keeps a byte match on character
    // boundaries. Built again, after its order changed, at the next search.
    struct TextRun
    {
        QByteArray text;
        std::vector<qsizetype> starts;
        bool stale = true;
    };

    enum class Patch { Applied, ReadWhole, Failed };

    bool refreshIfChanged();
    bool readChangeMarks(ChangeMarks &marks);
    bool readSchemaVersion(qint64 &version);
    bool readServerMarks(ChangeMarks &marks);
    bool load();
    Patch applyLoggedChanges();
    std::optional<QHash<qint64, Card>> readCards(const QList<qint64> &rowIds);
    static Card cardFrom(const class QSqlQuery &query);
    bool fail(const class QSqlQuery &query);

    void clear();
    void addCard(Card card);
    void removeCard(int slot);
    void updateCard(int slot, Card fresh);
    void linkBarcode(int slot);
    void unlinkBarcode(int slot);

    void buildOrders();
    bool nameLess(int a, int b) const;
    bool codeLess(int a, int b) const;
    bool codeKeyLess(int a, int b) const;
    bool priceLess(int a, int b) const;
    using Less = bool (StockSearch::*)(int, int) const;
    void insertSorted(std::vector<int> &order, int slot, Less less) const;
    void eraseSorted(std::vector<int> &order, int slot, Less less) const;

    void ensureRun(TextRun &run, const std::vector<int> &order, QByteArray Card::*key) const;
    // The slots of `order` whose entry in `run` holds `needle`, in that order.
    std::vector<int> hitsIn(TextRun &run, const std::vector<int> &order, QByteArray Card::*key,
                            const QByteArray &needle) const;
    QList<qint64> byCode(const QByteArray &needle) const;
    std::vector<int> codePrefixHits(const QByteArray &needle) const;
    QList<qint64> idsOf(const std::vector<int> &order, bool preferredFirst) const;
    QList<qint64> codeList(const CardListQuery &query, const QByteArray &text, const QByteArray &prefix);
    QList<qint64> nameList(const CardListQuery &query, const QByteArray &text, const QByteArray &prefix);
    static bool inListScope(const Card &card, const CardListQuery &query, const QByteArray &prefix);

    DataFile &m_file;
    QString m_error;
    bool m_loaded = false;
    bool m_logged = false; // the file has the change log
    qint64 m_position = 0; // the last log entry applied
    ChangeMarks m_marks;
    int m_fullReads = 0;

    // Cards by slot; a deleted card's slot is reused.
    std::vector<Card> m_cards;
    std::vector<int> m_freeSlots;
    QHash<qint64, int> m_slotOfRow;
    QMultiHash<QByteArray, int> m_slotsOfBarcode; // bar codes that are not empty

    // Slots in list orders: name (then row id); code (NULL first, then row id);
    // price (then name); folded code, cards with a code only.
    std::vector<int> m_nameOrder;
    std::vector<int> m_codeOrder;
    std::vector<int> m_priceOrder;
    std::vector<int> m_codeKeyOrder;

    TextRun m_names; // in name order
    TextRun m_codes; // in code order, for the card list
};

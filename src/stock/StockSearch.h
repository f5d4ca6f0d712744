#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <vector>

class DataFile;

// The sale screen's item search over the stock table. It keeps the searched
// columns folded to upper case in memory, so that a search by part of a name
// (which no index can serve) stays fast on a large price list and folds every
// letter, Slovak ones included ("čaj" finds "ČAJ"). The copy is read again
// whenever the table changed, by this connection or by another till.
//
// The result is the list of SQL's
//   SELECT * FROM VX60_SKLAD WHERE UPPER(NAZOV) LIKE '%T%' ORDER BY NAZOV
// (and its code and price variants) as SQLite row ids; the search text is taken
// literally, "%", "_" and "'" included.
class StockSearch
{
public:
    enum class Column { Name = 0, Code = 1, Price = 2 };

    explicit StockSearch(DataFile &file);

    // Row ids of the matching cards in list order, or an empty optional on a
    // database error (lastError()).
    std::optional<QList<qint64>> search(Column column, const QString &text);
    // The stock-card screen's list, in name or code order without preferred cards first.
    std::optional<QList<qint64>> cardList(const struct CardListQuery &query);
    const QString &lastError() const { return m_error; }
    // Forget the copy; the next search reads the table again.
    void invalidate() { m_loaded = false; }

    static QString fold(const QString &text);

private:
    bool refreshIfChanged();
    bool readChangeMarks(qint64 &dataVersion, qint64 &totalChanges);
    bool load();
    void buildOrders();
    QList<qint64> byName(const QByteArray &needle) const;
    QList<qint64> byCode(const QString &needle, const std::vector<int> &order) const;
    QList<qint64> idsOf(const std::vector<int> &order) const;

    DataFile &m_file;
    QString m_error;
    bool m_loaded = false;
    qint64 m_dataVersion = -1;
    qint64 m_totalChanges = -1;

    // One entry per card, in name order.
    std::vector<qint64> m_rowIds;
    std::vector<QString> m_codes;    // original codes (for the order), null when NULL
    std::vector<QString> m_codeKeys; // folded codes
    std::vector<QString> m_barcodeKeys;
    std::vector<double> m_prices;
    std::vector<bool> m_preferred;
    std::vector<int> m_groups;
    // The folded names as UTF-8, each ended by a 0 byte; entry i starts at
    // m_nameStarts[i]. UTF-8 keeps a byte match on character boundaries.
    QByteArray m_names;
    std::vector<qsizetype> m_nameStarts;

    std::vector<int> m_codeOrder;
    std::vector<int> m_priceOrder;
    std::vector<int> m_preferredNameOrder;
    std::vector<int> m_preferredCodeOrder;
    std::vector<int> m_preferredPriceOrder;
};

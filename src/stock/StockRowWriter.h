#pragma once

#include "stock/StockRow.h"

#include <QSqlQuery>
#include <QString>

#include <optional>

class DataFile;

// Many cards written into the stock table inside one write transaction of the
// caller: the statements are prepared once and reused for every card. Each card
// is its own INSERT or UPDATE by row id, so the stock change log's triggers
// record it and the other tills' searches learn of it.
class StockRowWriter
{
public:
    enum class Write {
        Done,
        Refused, // the table's rules refuse the card (a CHECK, a required field)
        Failed,  // the file cannot be written; error() tells why
    };

    explicit StockRowWriter(DataFile &file);

    // The row id of the card with code `kod`; nullopt with error() on failure.
    std::optional<std::optional<qint64>> rowIdOf(const QString &kod);
    Write insert(const StockRow &card);
    Write update(qint64 rowId, const StockRow &card);

    const QString &error() const { return m_error; }

private:
    static void bind(QSqlQuery &query, const StockRow &card);
    Write run(QSqlQuery &query);

    DataFile &m_file;
    QSqlQuery m_find;
    QSqlQuery m_insert;
    QSqlQuery m_update;
    QString m_error;
};

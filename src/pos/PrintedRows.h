#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

class DataFile;

// Marks the rows of a printed receipt in the year's sales table, all of them or none.
// Only rows that are still open are touched, so marking twice (after a crash, say) does
// no harm and never renumbers a document printed before; and only rows of the till
// whose receipt it was, so that a key of another till's document is never marked.
class PrintedRows
{
public:
    struct Numbers
    {
        QDateTime printTime;
        int dailyClosing = 0; // DU
        int document = 0;     // DOKLAD and ID_DOKLAD
    };

    PrintedRows(DataFile &file, QString tableName);

    // FISK, DATUM, CAS, DU, DOKLAD and ID_DOKLAD of the rows `keys` of till `till`.
    bool mark(const QList<int> &keys, int till, const Numbers &numbers);
    // Demonstration mode keeps nothing of a receipt.
    bool remove(const QList<int> &keys, int till);
    QString lastError() const;

private:
    template <typename Bind>
    bool forEachKey(const QList<int> &keys, int till, const QString &statement, Bind bind);

    DataFile &m_file;
    QString m_table;
};

#include "pos/PrintedRows.h"

#include "stock/DataFile.h"
#include "stock/WriteTransaction.h"

#include <QSqlQuery>

using namespace Qt::StringLiterals;

PrintedRows::PrintedRows(DataFile &file, QString tableName) : m_file(file), m_table(std::move(tableName)) {}

QString PrintedRows::lastError() const
{
    return m_file.lastError();
}

template <typename Bind>
bool PrintedRows::forEachKey(const QList<int> &keys, int till, const QString &statement, Bind bind)
{
    // Made before the transaction, so that it is freed after it: on the server a
    // failed statement aborts the transaction, and its prepared statement can only
    // be freed once the transaction is rolled back.
    QSqlQuery query(m_file.database());
    WriteTransaction transaction(m_file);
    if (!transaction.isOpen())
        return false;
    if (!query.prepare(statement)) {
        m_file.setError(DataFile::engineText(query.lastError()));
        return false;
    }
    for (const int key : keys) {
        bind(query);
        query.bindValue(u":key"_s, key);
        query.bindValue(u":till"_s, till);
        if (!query.exec()) {
            m_file.setError(DataFile::engineText(query.lastError()));
            return false;
        }
    }
    return transaction.commit();
}

bool PrintedRows::mark(const QList<int> &keys, int till, const Numbers &numbers)
{
    const QString statement = u"UPDATE "_s + m_table +
                              u" SET FISK=1, DATUM=:datum, CAS=:cas, DU=:du, DOKLAD=:doklad, "
                              "ID_DOKLAD=:iddoklad WHERE ID_PRIMARY=:key AND FISK=0 AND UCET=:till"_s;
    return forEachKey(keys, till, statement, [&](QSqlQuery &query) {
        query.bindValue(u":datum"_s, numbers.printTime.date().toString(u"yyyy-MM-dd"_s));
        query.bindValue(u":cas"_s, numbers.printTime.time().toString(u"HH:mm:ss"_s));
        query.bindValue(u":du"_s, numbers.dailyClosing);
        query.bindValue(u":doklad"_s, numbers.document);
        query.bindValue(u":iddoklad"_s, numbers.document);
    });
}

bool PrintedRows::remove(const QList<int> &keys, int till)
{
    return forEachKey(keys, till,
                      u"DELETE FROM "_s + m_table + u" WHERE ID_PRIMARY=:key AND FISK=0 AND UCET=:till"_s,
                      [](QSqlQuery &) {});
}

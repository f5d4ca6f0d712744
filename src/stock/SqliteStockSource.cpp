#include "stock/SqliteStockSource.h"

#include "stock/StockTable.h"
#include "stock/TableLayouts.h"

#include <QDir>
#include <QSqlError>
#include <QVariant>

using namespace Qt::StringLiterals;

namespace {

QString columnText(int position, const QString &name, const QString &type)
{
    return u"%1. stĺpec „%2 %3“"_s.arg(position).arg(name, type);
}

} // namespace

SqliteStockSource::SqliteStockSource(const QString &path)
{
    if (!m_file.open(path, false))
        m_error = u"Súbor %1 sa nedá otvoriť ako tabuľka cenníka: %2"_s.arg(QDir::toNativeSeparators(path),
                                                                            m_file.lastError());
}

QList<SqliteStockSource::Column> SqliteStockSource::columnsOf(DataFile &file)
{
    QSqlQuery query(file.database());
    query.setForwardOnly(true);
    QList<Column> columns;
    if (!query.exec(u"PRAGMA table_info(%1)"_s.arg(TableLayouts::StockTableName)))
        return columns;
    while (query.next())
        columns.append({query.value(1).toString(), query.value(2).toString().simplified().toUpper()});
    return columns;
}

// The columns as this program creates them: taken from a table made by the same
// statements, so that the comparison follows any change of the layout.
QList<SqliteStockSource::Column> SqliteStockSource::expectedColumns()
{
    DataFile memory;
    if (!memory.open(u":memory:"_s, true))
        return {};
    for (const QString &statement : TableLayouts::stockTableStatements())
        memory.exec(statement);
    return columnsOf(memory);
}

bool SqliteStockSource::checkLayout()
{
    if (!m_file.isOpen())
        return false;
    const QString path = QDir::toNativeSeparators(m_file.path());
    if (!m_file.hasTable(TableLayouts::StockTableName)) {
        m_error = u"Súbor %1 neobsahuje tabuľku cenníka %2."_s.arg(path, TableLayouts::StockTableName);
        return false;
    }
    const QList<Column> expected = expectedColumns();
    if (expected.isEmpty()) {
        m_error = u"Rozloženie cenníka sa nepodarilo zistiť."_s;
        return false;
    }
    return compare(columnsOf(m_file), expected) && countRows();
}

bool SqliteStockSource::compare(const QList<Column> &found, const QList<Column> &expected)
{
    const QString intro = u"Tabuľka %1 v súbore %2 nemá rozloženie cenníka: "_s.arg(
        TableLayouts::StockTableName, QDir::toNativeSeparators(m_file.path()));
    for (qsizetype i = 0; i < std::max(found.size(), expected.size()); ++i) {
        const int position = int(i) + 1;
        if (i >= found.size()) {
            m_error =
                intro + u"chýba jej "_s + columnText(position, expected[i].name, expected[i].type) + u'.';
            return false;
        }
        const QString has = columnText(position, found[i].name, found[i].type);
        if (i >= expected.size()) {
            m_error = intro + has + u" je navyše."_s;
            return false;
        }
        if (found[i].name.compare(expected[i].name, Qt::CaseInsensitive) != 0 ||
            found[i].type != expected[i].type) {
            m_error = intro + has + u" má byť „%1 %2“."_s.arg(expected[i].name, expected[i].type);
            return false;
        }
    }
    return true;
}

bool SqliteStockSource::countRows()
{
    QSqlQuery query(m_file.database());
    if (!query.exec(u"SELECT COUNT(*) FROM %1"_s.arg(TableLayouts::StockTableName)) || !query.next()) {
        m_error = DataFile::engineText(query.lastError());
        return false;
    }
    m_rowCount = query.value(0).toLongLong();
    return true;
}

StockRowSource::Read SqliteStockSource::next(StockRow &row)
{
    if (!m_file.isOpen())
        return Read::Failed;
    if (!m_rows) {
        m_rows.emplace(m_file.database());
        m_rows->setForwardOnly(true);
        if (!m_rows->exec(u"SELECT %1 FROM %2 ORDER BY rowid"_s.arg(StockTable::columnList(),
                                                                    TableLayouts::StockTableName))) {
            m_error = DataFile::engineText(m_rows->lastError());
            return Read::Failed;
        }
    }
    if (m_rows->next()) {
        row = StockTable::rowFrom(*m_rows);
        return Read::Row;
    }
    if (m_rows->lastError().isValid()) {
        m_error = DataFile::engineText(m_rows->lastError());
        return Read::Failed;
    }
    return Read::End;
}

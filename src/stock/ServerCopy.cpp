#include "stock/ServerCopy.h"

#include "base/Progress.h"
#include "stock/DataFile.h"
#include "stock/MigrationReport.h"
#include "stock/ParadoxTable.h"
#include "stock/TableLayouts.h"
#include "stock/WriteTransaction.h"

#include <QDir>
#include <QRegularExpression>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace {

// The columns of the layout that the source table has, in the layout's order:
// a table of an earlier version lacks the newer ones, which then get their defaults.
QStringList copiedColumns(const QStringList &sourceColumns, std::span<const TableLayouts::Field> layout)
{
    QStringList columns;
    for (const TableLayouts::Field &field : layout) {
        const QString name = QString::fromUtf16(field.name);
        if (sourceColumns.contains(name, Qt::CaseInsensitive))
            columns << name;
    }
    return columns;
}

QString insertStatement(const QString &table, const QStringList &columns, int rows)
{
    const QString row = u'(' + QStringList(columns.size(), u"?"_s).join(u',') + u')';
    return u"INSERT INTO %1 (%2) VALUES "_s.arg(table, columns.join(u',')) +
           QStringList(rows, row).join(u',');
}

} // namespace

ServerCopy::ServerCopy(QString folder, DataServer server, QDateTime now)
    : m_folder(QDir(folder).absolutePath()), m_server(std::move(server)),
      m_stamp(now.toString(u"yyyyMMdd_HHmmss"_s))
{}

QString ServerCopy::reportPath() const
{
    return MigrationReport::pathIn(m_folder, m_stamp);
}

bool ServerCopy::collect(QList<Table> &tables)
{
    static const QRegularExpression salesName(u"^predaj_(\\d{4})\\.db$"_s,
                                              QRegularExpression::CaseInsensitiveOption);
    QDir dir(m_folder);
    if (!dir.exists()) {
        m_error = u"Priečinok %1 neexistuje."_s.arg(m_folder);
        return false;
    }
    for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
        Table table{name, TableLayouts::StockTableName};
        const QRegularExpressionMatch sales = salesName.match(name);
        if (sales.hasMatch()) {
            table.year = sales.captured(1).toInt();
            table.tableName = TableLayouts::salesTableName(table.year);
        } else if (name.compare(TableLayouts::StockFileName, Qt::CaseInsensitive) != 0) {
            continue;
        }
        const QString path = dir.filePath(name);
        switch (DataFile::probe(path)) {
        case DataFile::Kind::Sqlite:
            tables << table;
            break;
        case DataFile::Kind::Foreign:
            if (ParadoxTable::looksLikeParadox(path)) {
                m_results << TableResult{name,
                                         table.tableName,
                                         false,
                                         0,
                                         0,
                                         u"tabuľka Paradox staršej inštalácie: najprv ju preveďte príkazom "
                                         "omira-migrate \"%1\""_s.arg(QDir::toNativeSeparators(m_folder))};
                break;
            }
            [[fallthrough]];
        default:
            m_skipped << name;
            break;
        }
    }
    return true;
}

bool ServerCopy::copyRows(DataFile &source, DataFile &target, const Table &table, TableResult &result,
                          Progress &progress)
{
    const auto layout = table.year ? TableLayouts::salesFields() : TableLayouts::stockFields();
    const QStringList columns = copiedColumns(source.columnNames(table.tableName), layout);
    if (columns.isEmpty()) {
        result.error =
            source.lastError().isEmpty() ? u"tabuľka nemá ani jeden stĺpec programu"_s : source.lastError();
        return false;
    }
    QSqlQuery count(source.database());
    const qint64 total = count.exec(u"SELECT COUNT(*) FROM "_s + table.tableName) && count.next()
                             ? count.value(0).toLongLong()
                             : 0;
    QSqlQuery rows(source.database());
    rows.setForwardOnly(true);
    if (!rows.exec(u"SELECT %1 FROM %2"_s.arg(columns.join(u','), table.tableName))) {
        result.error = DataFile::engineText(rows.lastError());
        return false;
    }
    // Rows go in RowsPerStatement at a time: one round trip each, not one per row.
    QSqlQuery full(target.database());
    full.prepare(insertStatement(table.tableName, columns, RowsPerStatement));
    QVariantList values;
    while (rows.next()) {
        ++result.rowsRead;
        // A typed empty value of the file is not a null to the server's driver.
        for (int column = 0; column < columns.size(); ++column)
            values << (rows.isNull(column) ? QVariant() : rows.value(column));
        if (values.size() == RowsPerStatement * columns.size() &&
            !sendRows(full, values, columns.size(), result, progress, total))
            return false;
    }
    if (rows.lastError().isValid()) {
        result.error = DataFile::engineText(rows.lastError());
        return false;
    }
    if (values.isEmpty())
        return true;
    QSqlQuery last(target.database());
    last.prepare(insertStatement(table.tableName, columns, int(values.size() / columns.size())));
    return sendRows(last, values, columns.size(), result, progress, total);
}

bool ServerCopy::sendRows(QSqlQuery &insert, QVariantList &values, qsizetype columnCount, TableResult &result,
                          Progress &progress, qint64 total)
{
    for (const QVariant &value : std::as_const(values))
        insert.addBindValue(value);
    if (!insert.exec()) {
        result.error = DataFile::engineText(insert.lastError());
        return false;
    }
    result.rowsWritten += values.size() / columnCount;
    values.clear();
    if (progress.advance(result.rowsRead, total))
        return true;
    result.error = u"prerušené"_s;
    return false;
}

ServerCopy::TableResult ServerCopy::copy(const Table &table, Progress &progress)
{
    m_current = table.fileName;
    TableResult result;
    result.fileName = table.fileName;
    result.tableName = table.tableName;
    const QString path = QDir(m_folder).filePath(table.fileName);
    DataFile source;
    DataFile target;
    target.setServer(m_server);
    // The target is opened under the file's name: a till of the server writing
    // the same table waits for the copy, as it would for another till.
    if (!source.open(path, false) || !target.open(path, true)) {
        result.error = source.isOpen() ? target.lastError() : source.lastError();
        return result;
    }
    if (target.hasTable(table.tableName)) {
        result.error = u"tabuľka %1 už na serveri je; ostala, ako je"_s.arg(table.tableName);
        return result;
    }
    if (!target.lastError().isEmpty()) {
        result.error = target.lastError();
        return result;
    }
    WriteTransaction transaction(target);
    if (!transaction.isOpen()) {
        result.error = target.lastError();
        return result;
    }
    const QStringList statements =
        table.year ? TableLayouts::salesTableStatements(table.tableName, DataServer::Kind::PostgreSql)
                   : TableLayouts::stockTableStatements(DataServer::Kind::PostgreSql);
    for (const QString &statement : statements) {
        if (!target.exec(statement)) {
            result.error = target.lastError();
            return result;
        }
    }
    if (!copyRows(source, target, table, result, progress))
        return result;
    if (!transaction.commit()) {
        result.error = target.lastError();
        return result;
    }
    result.copied = true;
    return result;
}

bool ServerCopy::run(Progress &progress)
{
    m_results.clear();
    m_skipped.clear();
    m_error.clear();
    QList<Table> tables;
    if (!collect(tables))
        return false;
    for (const Table &table : std::as_const(tables)) {
        TableResult result = copy(table, progress);
        if (!result.copied)
            result.rowsWritten = 0; // rolled back
        m_results << result;
    }
    m_current.clear();
    bool ok = writeReport();
    for (const TableResult &result : std::as_const(m_results))
        ok = ok && result.copied;
    return ok;
}

QString ServerCopy::report() const
{
    QStringList lines{u"Kopírovanie tabuliek z priečinka %1 do databázového servera"_s.arg(m_folder)};
    if (m_results.isEmpty())
        lines << u"Priečinok neobsahuje žiadnu tabuľku na kopírovanie."_s;
    for (const TableResult &result : m_results) {
        lines << u""_s
              << u"%1 (%2): prečítané riadky %3, zapísané %4"_s.arg(result.fileName, result.tableName)
                     .arg(result.rowsRead)
                     .arg(result.rowsWritten);
        if (!result.error.isEmpty())
            lines << u"  CHYBA: "_s + result.error;
        else if (result.copied)
            lines << u"  skopírovaná"_s;
    }
    for (const QString &name : m_skipped)
        lines << u""_s << u"%1: prázdny alebo nečitateľný súbor, vynechaný"_s.arg(name);
    return lines.join(u'\n') + u'\n';
}

bool ServerCopy::writeReport()
{
    if (MigrationReport::write(reportPath(), report()))
        return true;
    m_error = u"Správu %1 sa nepodarilo zapísať."_s.arg(reportPath());
    return false;
}

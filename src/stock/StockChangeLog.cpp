#include "stock/StockChangeLog.h"

#include "stock/DataFile.h"
#include "stock/TableLayouts.h"
#include "stock/WriteTransaction.h"

#include <QSet>
#include <QSqlQuery>
#include <QVariant>

using namespace Qt::StringLiterals;

namespace {

struct Trigger
{
    const char16_t *name;
    const char16_t *when;
    const char16_t *body;
};

// {log} stands for the log's table, {table} for the stock table.
constexpr Trigger Triggers[] = {
    // Trimmed every TrimStep entries, not at each: an import of many cards
    // then pays one delete of a run of old entries per step.
    {u"VX60_SKLAD_ZMENY_ORIEZ", u"AFTER INSERT ON {log} WHEN NEW.PORADIE % {step} = 0",
     u"DELETE FROM {log} WHERE PORADIE <= NEW.PORADIE - {kept};"},
    {u"VX60_SKLAD_PO_VLOZENI", u"AFTER INSERT ON {table}", u"INSERT INTO {log} (RIADOK) VALUES (NEW.rowid);"},
    {u"VX60_SKLAD_PO_ZMENE", u"AFTER UPDATE ON {table}",
     u"INSERT INTO {log} (RIADOK) VALUES (NEW.rowid);\n"
     "  INSERT INTO {log} (RIADOK) SELECT OLD.rowid WHERE OLD.rowid <> NEW.rowid;"},
    {u"VX60_SKLAD_PO_VYMAZE", u"AFTER DELETE ON {table}", u"INSERT INTO {log} (RIADOK) VALUES (OLD.rowid);"},
    // INSERT OR REPLACE and UPDATE OR REPLACE delete a card of the same code
    // without firing the delete trigger (SQLite fires it only with recursive
    // triggers on, a setting of each connection): the card about to go is
    // logged here. A plain insert that fails on the code takes this entry back
    // with it.
    {u"VX60_SKLAD_PRED_VLOZENIM", u"BEFORE INSERT ON {table}",
     u"INSERT INTO {log} (RIADOK) SELECT rowid FROM {table} WHERE KOD = NEW.KOD;"},
    {u"VX60_SKLAD_PRED_ZMENOU_KODU", u"BEFORE UPDATE OF KOD ON {table}",
     u"INSERT INTO {log} (RIADOK) SELECT rowid FROM {table} WHERE KOD = NEW.KOD AND rowid <> OLD.rowid;"},
};

// The server's log: the same table and trigger names, the bodies in PL/pgSQL
// functions. An INSERT ... ON CONFLICT there fires the update trigger, so the
// two triggers SQLite needs for its REPLACE have no match. The lock trigger
// takes the stock file's write lock (DataFile::beginWrite) before any card is
// touched, even for a writer that did not ask for it (a statement typed at the
// server): the log's numbers are then handed out by one transaction at a time,
// which holds the lock up to its commit, so they become visible in their own
// order and a reader's "last number applied" never passes over one committed
// later.
constexpr Trigger ServerTriggers[] = {
    {u"VX60_SKLAD_ZMENY_ORIEZ",
     u"AFTER INSERT ON {log} FOR EACH ROW WHEN (NEW.PORADIE % {step} = 0) EXECUTE FUNCTION "
     "VX60_SKLAD_ZMENY_ORIEZ()",
     u"DELETE FROM {log} WHERE PORADIE <= NEW.PORADIE - {kept};"},
    {u"VX60_SKLAD_ZAMOK",
     u"BEFORE INSERT OR UPDATE OR DELETE OR TRUNCATE ON {table} FOR EACH STATEMENT EXECUTE FUNCTION "
     "VX60_SKLAD_ZAMOK()",
     u"PERFORM pg_advisory_xact_lock(hashtext(current_schema() || '/{file}'));"},
    {u"VX60_SKLAD_PO_VLOZENI", u"AFTER INSERT ON {table} FOR EACH ROW EXECUTE FUNCTION VX60_SKLAD_ZAPIS()",
     nullptr},
    {u"VX60_SKLAD_PO_ZMENE", u"AFTER UPDATE ON {table} FOR EACH ROW EXECUTE FUNCTION VX60_SKLAD_ZAPIS()",
     nullptr},
    {u"VX60_SKLAD_PO_VYMAZE", u"AFTER DELETE ON {table} FOR EACH ROW EXECUTE FUNCTION VX60_SKLAD_ZAPIS()",
     nullptr},
};

// The row triggers' one function: the card's row id, and a card's old id too
// should an update have given it another.
constexpr const char16_t *ServerLogging = u"IF TG_OP <> 'DELETE' THEN\n"
                                          "    INSERT INTO {log} (RIADOK) VALUES (NEW.rowid);\n"
                                          "  END IF;\n"
                                          "  IF TG_OP = 'DELETE' OR OLD.rowid <> NEW.rowid THEN\n"
                                          "    INSERT INTO {log} (RIADOK) VALUES (OLD.rowid);\n"
                                          "  END IF;";

QString filledIn(QString text)
{
    return text.replace(u"{log}"_s, StockChangeLog::TableName)
        .replace(u"{table}"_s, TableLayouts::StockTableName)
        .replace(u"{file}"_s, TableLayouts::StockFileName)
        .replace(u"{kept}"_s, QString::number(StockChangeLog::KeptEntries))
        .replace(u"{step}"_s, QString::number(StockChangeLog::TrimStep));
}

QString serverFunction(const QString &name, const char16_t *body)
{
    return filledIn(u"CREATE OR REPLACE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS $$\nBEGIN\n"
                    "  %2\n  RETURN NULL;\nEND\n$$"_s.arg(name, QString::fromUtf16(body)));
}

QStringList serverStatements()
{
    // An identity never gives a number twice, as SQLite's AUTOINCREMENT.
    QStringList list{filledIn(u"CREATE TABLE IF NOT EXISTS {log} (\n"
                              "  PORADIE BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY,\n"
                              "  RIADOK BIGINT NOT NULL\n)"_s),
                     serverFunction(u"VX60_SKLAD_ZAPIS"_s, ServerLogging)};
    for (const Trigger &trigger : ServerTriggers) {
        const QString name = QString::fromUtf16(trigger.name);
        if (trigger.body)
            list << serverFunction(name, trigger.body);
        list << filledIn(u"CREATE OR REPLACE TRIGGER %1 %2"_s.arg(name, QString::fromUtf16(trigger.when)));
    }
    return list;
}

template <std::size_t N> QString triggerNames(const Trigger (&triggers)[N])
{
    QStringList names;
    for (const Trigger &trigger : triggers)
        names << QString::fromUtf16(trigger.name);
    return u"'"_s + names.join(u"', '"_s) + u"'"_s;
}

} // namespace

StockChangeLog::StockChangeLog(DataFile &file) : m_file(file) {}

QStringList StockChangeLog::statements(DataServer::Kind kind)
{
    if (kind == DataServer::Kind::PostgreSql)
        return serverStatements();
    // AUTOINCREMENT: a number is never given twice, not even after the newest
    // entries were deleted, so a remembered position never names a later change.
    QStringList list{filledIn(u"CREATE TABLE IF NOT EXISTS {log} (\n"
                              "  PORADIE INTEGER PRIMARY KEY AUTOINCREMENT,\n"
                              "  RIADOK INTEGER NOT NULL\n)"_s)};
    for (const Trigger &trigger : Triggers)
        list << filledIn(u"CREATE TRIGGER IF NOT EXISTS %1 %2 BEGIN\n  %3\nEND"_s.arg(
            QString::fromUtf16(trigger.name), QString::fromUtf16(trigger.when),
            QString::fromUtf16(trigger.body)));
    return list;
}

std::optional<bool> StockChangeLog::isInstalled()
{
    QSqlQuery query(m_file.database());
    query.setForwardOnly(true);
    const bool onServer = m_file.isOnServer();
    // The server folds the names to lower case; its triggers are named per table.
    query.prepare(onServer ? u"SELECT (SELECT COUNT(*) FROM information_schema.tables WHERE table_schema = "
                             "current_schema() AND upper(table_name) = ?) + (SELECT COUNT(*) FROM "
                             "pg_trigger WHERE tgrelid IN (to_regclass(?), to_regclass(?)) AND "
                             "upper(tgname) IN (%1))"_s.arg(triggerNames(ServerTriggers))
                           : u"SELECT COUNT(*) FROM sqlite_master WHERE (type = 'table' AND name = ?) "
                             "OR (type = 'trigger' AND name IN (%1))"_s.arg(triggerNames(Triggers)));
    query.addBindValue(TableName);
    if (onServer) {
        query.addBindValue(TableLayouts::StockTableName);
        query.addBindValue(TableName);
    }
    if (!query.exec() || !query.next()) {
        m_file.setError(DataFile::engineText(query.lastError()));
        return std::nullopt;
    }
    return query.value(0).toInt() == 1 + int(onServer ? std::size(ServerTriggers) : std::size(Triggers));
}

bool StockChangeLog::install()
{
    const std::optional<bool> installed = isInstalled();
    if (!installed)
        return false;
    if (*installed)
        return true;
    WriteTransaction transaction(m_file);
    if (!transaction.isOpen())
        return false;
    for (const QString &statement : statements(m_file.server().kind)) {
        if (!m_file.exec(statement))
            return false;
    }
    return transaction.commit();
}

std::optional<qint64> StockChangeLog::lastPosition()
{
    QSqlQuery query(m_file.database());
    query.setForwardOnly(true);
    if (!query.exec(u"SELECT MAX(PORADIE) FROM "_s + TableName) || !query.next()) {
        m_file.setError(DataFile::engineText(query.lastError()));
        return std::nullopt;
    }
    return query.value(0).toLongLong(); // NULL for an empty log reads as 0
}

std::optional<StockChangeLog::Changes> StockChangeLog::changesAfter(qint64 position, int most)
{
    // One statement, so the first number kept and the entries come from the
    // same state of the file.
    QSqlQuery query(m_file.database());
    query.setForwardOnly(true);
    query.prepare(u"SELECT (SELECT MIN(PORADIE) FROM %1), PORADIE, RIADOK FROM %1 "
                  "WHERE PORADIE > ? ORDER BY PORADIE LIMIT ?"_s.arg(TableName));
    query.addBindValue(position);
    query.addBindValue(most + 1);
    if (!query.exec()) {
        m_file.setError(DataFile::engineText(query.lastError()));
        return std::nullopt;
    }
    Changes changes;
    changes.last = position;
    QSet<qint64> seen;
    int entries = 0;
    while (query.next()) {
        if (entries++ == 0 && query.value(0).toLongLong() > position + 1)
            changes.complete = false;
        changes.last = query.value(1).toLongLong();
        const qint64 rowId = query.value(2).toLongLong();
        if (!seen.contains(rowId)) {
            seen.insert(rowId);
            changes.rowIds.append(rowId);
        }
    }
    if (query.lastError().isValid()) {
        m_file.setError(DataFile::engineText(query.lastError()));
        return std::nullopt;
    }
    if (entries > most)
        changes.complete = false;
    return changes;
}

#pragma once

#include "base/DataServer.h"

#include <QString>
#include <QStringList>

#include <span>

// The layouts of the stock table and of a year's sales table, and the names of
// their files in the data folder. Each file is one SQLite database holding one
// table; the layouts are described once here and the DDL is generated from them.
//
// How the field types are stored:
//   Alpha n      VARCHAR(n), at most n characters (CHECK on length())
//   Long Integer INTEGER, signed 32-bit (CHECK on the range)
//   Number       DOUBLE PRECISION
//   Logical      SMALLINT, 0 = false, 1 = true (CHECK)
//   Date         DATE, text "yyyy-MM-dd" (CHECK on length 10)
//   Time         TIME, text "HH:mm:ss" (CHECK on length 8)
// On a database server the same tables are made with the server's types, which
// hold the lengths, ranges, dates and times themselves (only Logical keeps its CHECK).
namespace TableLayouts {

enum class FieldType { Alpha, LongInteger, Number, Logical, Date, Time };

struct Field
{
    const char16_t *name;
    FieldType type;
    int length = 0; // Alpha only
    bool required = false;
    const char16_t *defaultValue = nullptr; // SQL literal, or none
};

inline const QString StockFileName = QStringLiteral("vx60_sklad.db");
inline const QString StockTableName = QStringLiteral("VX60_SKLAD");

QString salesFileName(int year);  // "predaj_2026.db"
QString salesTableName(int year); // "PREDAJ_2026"

std::span<const Field> stockFields();
std::span<const Field> salesFields();
// The sales fields that tables of older versions lack; the upgrade adds them.
std::span<const Field> discountFields();
// UCET, the number of the till whose row it is.
const Field &tillField();

// One column definition, e.g. "KOD VARCHAR(20) CHECK (length(KOD) <= 20)".
QString columnDefinition(const Field &field, DataServer::Kind kind = DataServer::Kind::Files);
// The name of index `index` of a year's table: a file holds one year, so the
// plain name; on a server the years share one schema, where an index name must
// be unique, so it is led by the table's name ("PREDAJ_2026_IDXPREDAJ").
QString indexName(const QString &index, const QString &tableName, DataServer::Kind kind);
// CREATE TABLE and CREATE INDEX statements, in the order they must run. On the
// server the stock table has one column more, ROWID, last: the row id SQLite
// keeps outside the columns.
QStringList stockTableStatements(DataServer::Kind kind = DataServer::Kind::Files);
QStringList salesTableStatements(const QString &tableName, DataServer::Kind kind = DataServer::Kind::Files);

} // namespace TableLayouts

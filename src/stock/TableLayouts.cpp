#include "stock/TableLayouts.h"

using namespace Qt::StringLiterals;

namespace TableLayouts {
namespace {

using enum FieldType;

constexpr Field StockLayout[] = {
    {u"KOD", Alpha, 20},
    {u"KOD_IDX", LongInteger, 0, false, u"1"},
    {u"NAZOV", Alpha, 41, true},
    {u"Nazov1", Alpha, 41},
    {u"Nazov2", Alpha, 41},
    {u"BARCODE", Alpha, 20},
    {u"MJ", Alpha, 10},
    {u"MJ_IDX", LongInteger, 0, false, u"0"},
    {u"POCET", Number, 0, false, u"0"},
    {u"JC", Number, 0, false, u"0"},
    {u"JC_1", Number, 0, false, u"0"},
    {u"JC_2", Number, 0, false, u"0"},
    {u"JC_NAKUP", Number, 0, false, u"0"},
    {u"DPH_IDX", LongInteger, 0, false, u"0"},
    {u"PREF", Logical, 0, false, u"0"},
    {u"OBAL", Logical, 0, false, u"0"},
    {u"SKLAD_IDX", LongInteger},
    {u"VER_DB", LongInteger, 0, false, u"1"},
};

constexpr Field SalesLayout[] = {
    {u"ID_PRIMARY", LongInteger, 0, true, u"0"},
    {u"KOD", Alpha, 20},
    {u"NAZOV", Alpha, 41, true},
    {u"NAZOV1", Alpha, 41},
    {u"NAZOV2", Alpha, 41},
    {u"MJ", Alpha, 10},
    {u"POCET", Number},
    {u"JC", Number},
    {u"DPH", LongInteger},
    {u"DU", LongInteger, 0, false, u"0"},
    {u"DOKLAD", LongInteger},
    {u"DATUM", Date},
    {u"CAS", Time},
    {u"ID_DOKLAD", LongInteger},
    {u"VER_DB", LongInteger, 0, false, u"2"},
    {u"IDX_DPH", LongInteger},
    {u"CENA", Number},
    {u"CENA_INT", LongInteger},
    {u"OBAL", Logical},
    {u"FISK", Logical, 0, false, u"0"},
    {u"SKLAD", LongInteger, 0, false, u"0"},
    {u"POL_COUNT", LongInteger, 0, false, u"1"},
    {u"UCET", LongInteger, 0, true, u"1"},
    {u"ZLAVA_INT", LongInteger, 0, false, u"0"},
    {u"ZLAVA_PERC", LongInteger},
};

constexpr int DiscountFieldCount = 2;

QString typeName(const Field &field)
{
    switch (field.type) {
    case Alpha:
        return u"VARCHAR(%1)"_s.arg(field.length);
    case LongInteger:
        return u"INTEGER"_s;
    case Number:
        return u"DOUBLE PRECISION"_s;
    case Logical:
        return u"SMALLINT"_s;
    case Date:
        return u"DATE"_s;
    case Time:
        return u"TIME"_s;
    }
    return {};
}

QString checkOf(const Field &field, DataServer::Kind kind)
{
    const QString name = QString::fromUtf16(field.name);
    // The server's own types hold lengths, ranges, dates and times.
    if (kind == DataServer::Kind::PostgreSql && field.type != Logical)
        return {};
    switch (field.type) {
    case Alpha:
        return u"length(%1) <= %2"_s.arg(name).arg(field.length);
    case LongInteger:
        return u"%1 BETWEEN -2147483648 AND 2147483647"_s.arg(name);
    case Logical:
        return u"%1 IN (0, 1)"_s.arg(name);
    case Date:
        return u"length(%1) = 10"_s.arg(name);
    case Time:
        return u"length(%1) = 8"_s.arg(name);
    case Number:
        break;
    }
    return {};
}

} // namespace

QString salesFileName(int year)
{
    return u"predaj_%1.db"_s.arg(year, 4, 10, QChar(u'0'));
}

QString salesTableName(int year)
{
    return u"PREDAJ_%1"_s.arg(year, 4, 10, QChar(u'0'));
}

std::span<const Field> stockFields()
{
    return StockLayout;
}

std::span<const Field> salesFields()
{
    return SalesLayout;
}

std::span<const Field> discountFields()
{
    return std::span<const Field>(SalesLayout).last(DiscountFieldCount);
}

const Field &tillField()
{
    for (const Field &field : SalesLayout) {
        if (QStringView(field.name) == u"UCET")
            return field;
    }
    Q_UNREACHABLE();
}

QString columnDefinition(const Field &field, DataServer::Kind kind)
{
    QString text = QString::fromUtf16(field.name) + u' ' + typeName(field);
    if (field.required)
        text += u" NOT NULL"_s;
    if (field.defaultValue)
        text += u" DEFAULT "_s + QString::fromUtf16(field.defaultValue);
    const QString check = checkOf(field, kind);
    if (!check.isEmpty())
        text += u" CHECK ("_s + check + u')';
    return text;
}

QString indexName(const QString &index, const QString &tableName, DataServer::Kind kind)
{
    return kind == DataServer::Kind::Files ? index : tableName + u'_' + index;
}

QStringList stockTableStatements(DataServer::Kind kind)
{
    QStringList columns;
    for (const Field &field : stockFields())
        columns << columnDefinition(field, kind);
    columns << u"PRIMARY KEY (KOD)"_s;
    // SQLite's NOCASE has no like on the server; the search folds names itself.
    const QString nocase = kind == DataServer::Kind::Files ? u" COLLATE NOCASE"_s : QString();
    return {
        u"CREATE TABLE %1 (\n  %2\n)"_s.arg(StockTableName, columns.join(u",\n  "_s)),
        u"CREATE INDEX IDXNAZOV ON %1 (NAZOV%2, SKLAD_IDX, MJ_IDX, JC)"_s.arg(StockTableName, nocase),
        u"CREATE INDEX IDXBARCODE ON %1 (BARCODE%2)"_s.arg(StockTableName, nocase),
    };
}

QStringList salesTableStatements(const QString &tableName, DataServer::Kind kind)
{
    QStringList columns;
    for (const Field &field : salesFields()) {
        QString column = columnDefinition(field, kind);
        // An INTEGER primary key is SQLite's row id: the key costs no second index.
        if (QStringView(field.name) == u"ID_PRIMARY")
            column += u" PRIMARY KEY"_s;
        columns << column;
    }
    return {
        u"CREATE TABLE %1 (\n  %2\n)"_s.arg(tableName, columns.join(u",\n  "_s)),
        u"CREATE INDEX %1 ON %2 (DU, KOD, NAZOV, DATUM, SKLAD)"_s.arg(
            indexName(u"IDXPREDAJ"_s, tableName, kind), tableName),
        // The open document is read and summed after every item: this keeps that
        // independent of the size of the year's table.
        u"CREATE INDEX %1 ON %2 (FISK, CENA_INT)"_s.arg(indexName(u"IDXOTVORENE"_s, tableName, kind),
                                                        tableName),
    };
}

} // namespace TableLayouts

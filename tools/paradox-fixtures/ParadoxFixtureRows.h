#pragma once

#include <QList>
#include <QString>
#include <QVariant>

#include <functional>

// The rows of the Paradox test tables, computed from the row number, so that the
// generator writes them and the tests expect them from the same place. They cover
// every field type of the layouts, Slovak text, empty fields and the largest values
// the fields hold.
namespace ParadoxFixtureRows {

struct FieldDef
{
    QString name;
    int type = 0;   // pxlib's pxf* code
    int length = 0; // bytes in the record
};

constexpr int StockRows = 300;
constexpr int SalesRows = 320;
constexpr int OldSalesRows = 180;

QList<FieldDef> stockFields();
// The sales layout; without the two discount fields of later versions when `discounts` is false.
QList<FieldDef> salesFields(bool discounts);

QVariantList stockRow(int i);
QVariantList salesRow(int i, bool discounts);

using RowFunction = std::function<QVariantList(int)>;
// Writes a table with pxlib's writer; `primaryKeyFields` leading fields form the key.
// False with `error` when pxlib refuses.
bool writeTable(const QString &path, const QList<FieldDef> &fields, int rows, const RowFunction &row,
                int primaryKeyFields, QString *error);
// The same table, its data blocks written whole after pxlib wrote the header: pxlib's
// writer rewrites the whole header after every record, which makes a million rows
// take most of an hour; this takes seconds. The file is byte for byte the one the writer
// above leaves, but for the header bytes that pxlib fills from the clock and from its
// memory addresses, which differ between any two writes.
bool writeTableInBlocks(const QString &path, const QList<FieldDef> &fields, int rows, const RowFunction &row,
                        int primaryKeyFields, QString *error);

} // namespace ParadoxFixtureRows

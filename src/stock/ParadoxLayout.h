#pragma once

#include "stock/ParadoxTable.h"
#include "stock/TableLayouts.h"

#include <QList>
#include <QString>

#include <span>

// Whether a Paradox table has one of our layouts: values are taken over column by
// column, so the columns must be ours in the same order (names without regard to
// case, as the old program compared them) and of the matching types. Alpha fields
// of another length pass: a value too long for our field is refused row by row.
namespace ParadoxLayout {

// Empty when `fields` are `layout`; otherwise which column differs, in Slovak.
QString difference(const QList<ParadoxTable::Field> &fields, std::span<const TableLayouts::Field> layout);

} // namespace ParadoxLayout

#pragma once

#include <QString>

// The report a taking-over of a data folder leaves in it (the conversion of the
// older installation's tables, the copy to a database server):
// migracia_<date_time>.txt, code page 1250 with CRLF lines, as the shop's other
// text files.
namespace MigrationReport {

QString pathIn(const QString &folder, const QString &stamp);
// Writes `text` (lines ending in '\n') to `path`; false when it could not.
bool write(const QString &path, const QString &text);

} // namespace MigrationReport

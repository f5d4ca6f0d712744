#pragma once

#include <QString>

namespace DataFolder {
// A file of the data folder. The folder normally ends with a separator; one
// without gets it, and an empty folder means the current (program) folder
// rather than the root of the file system.
QString file(const QString &dataFolder, const QString &name);
} // namespace DataFolder

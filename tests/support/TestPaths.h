#pragma once

#include <QByteArray>
#include <QString>

// Paths of the source tree and helpers for files in a test's temporary folder.
namespace TestPaths {
QString sourceDir();
QString shippedLanguageFile(const QString &name); // a file of lang/ in the source tree
bool writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);
} // namespace TestPaths

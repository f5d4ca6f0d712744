#include "TestPaths.h"

#include <QFile>

QString TestPaths::sourceDir()
{
    return QStringLiteral(OMIRA_SOURCE_DIR);
}

QString TestPaths::shippedLanguageFile(const QString &name)
{
    return sourceDir() + QStringLiteral("/lang/") + name;
}

bool TestPaths::writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray TestPaths::readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

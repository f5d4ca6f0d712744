#include "stock/MigrationReport.h"

#include "base/Cp1250.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

QString MigrationReport::pathIn(const QString &folder, const QString &stamp)
{
    return QDir(folder).filePath(u"migracia_"_s + stamp + u".txt"_s);
}

bool MigrationReport::write(const QString &path, const QString &text)
{
    QFile file(path);
    const QByteArray bytes = Cp1250::encode(QString(text).replace(u'\n', u"\r\n"_s));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

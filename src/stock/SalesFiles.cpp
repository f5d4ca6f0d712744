#include "stock/SalesFiles.h"

#include "stock/DataFile.h"
#include "stock/TableLayouts.h"

#include <QDir>
#include <QRegularExpression>
#include <QSqlQuery>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Files copied from the older installations may come in capitals.
const QRegularExpression &salesFilePattern()
{
    static const QRegularExpression pattern(u"^predaj_(20\\d\\d)\\.db$"_s,
                                            QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

// The yearly tables of a server's database, by the names of their files.
QStringList serverTableFiles(const QString &dataFolder, const DataServer &server)
{
    static const QRegularExpression tablePattern(u"^predaj_(20\\d\\d)$"_s,
                                                 QRegularExpression::CaseInsensitiveOption);
    DataFile file;
    file.setServer(server);
    QStringList names;
    if (!file.open(QDir(dataFolder).filePath(TableLayouts::salesFileName(0)), false))
        return names;
    QSqlQuery query(file.database());
    query.setForwardOnly(true);
    if (query.exec(
            u"SELECT table_name FROM information_schema.tables WHERE table_schema = current_schema()"_s)) {
        while (query.next()) {
            const QRegularExpressionMatch match = tablePattern.match(query.value(0).toString());
            if (match.hasMatch())
                names.append(TableLayouts::salesFileName(match.captured(1).toInt()));
        }
    }
    return names;
}

} // namespace

int SalesFiles::yearOf(const QString &fileName)
{
    const QRegularExpressionMatch match = salesFilePattern().match(fileName);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

QString SalesFiles::tableNameOf(const QString &fileName)
{
    const int year = yearOf(fileName);
    return year == 0 ? QString() : TableLayouts::salesTableName(year);
}

QStringList SalesFiles::list(const QString &dataFolder, int currentYear, const DataServer &server)
{
    QStringList files;
    const QStringList names = server.isServer() ? serverTableFiles(dataFolder, server)
                                                : QDir(dataFolder).entryList(QDir::Files | QDir::Readable);
    for (const QString &name : names) {
        if (yearOf(name) != 0)
            files.append(name);
    }
    // The file system's order differs between systems; the years in order let
    // "the last file" mean the latest year everywhere.
    std::ranges::stable_sort(files, {}, [](const QString &name) { return yearOf(name); });
    if (files.isEmpty())
        files.append(TableLayouts::salesFileName(currentYear));
    return files;
}

QString SalesFiles::choose(const QStringList &files, int currentYear)
{
    const QString current = TableLayouts::salesFileName(currentYear);
    for (const QString &name : files) {
        if (name.compare(current, Qt::CaseInsensitive) == 0)
            return name;
    }
    return files.isEmpty() ? current : files.last();
}

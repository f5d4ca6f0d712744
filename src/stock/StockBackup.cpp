#include "stock/StockBackup.h"

#include "stock/DataFile.h"
#include "stock/DataFolder.h"
#include "stock/StockTable.h"
#include "stock/TableLayouts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <optional>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 ChunkSize = 1 << 20;

// The minute in a backup's name; none for a name of another form. Two-digit
// years are this century's: the program did not exist before 2000.
std::optional<QDateTime> minuteInName(const QString &fileName)
{
    static const QRegularExpression pattern(u"^vx60_sklad_(\\d\\d)(\\d\\d)(\\d\\d)_(\\d\\d)(\\d\\d)\\.db$"_s,
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(fileName);
    if (!match.hasMatch())
        return std::nullopt;
    auto number = [&match](int group) { return match.captured(group).toInt(); };
    const QDate date(2000 + number(3), number(2), number(1));
    const QTime time(number(4), number(5));
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time);
}

} // namespace

StockBackup::StockBackup(QString dataFolder) : m_dataFolder(std::move(dataFolder)) {}

QString StockBackup::folderName()
{
    return u"zaloha"_s;
}

QString StockBackup::fileName(const QDateTime &when)
{
    return u"vx60_sklad_"_s + when.toString(u"ddMMyy_HHmm"_s) + u".db"_s;
}

QString StockBackup::tableName(const QDateTime &when)
{
    return TableLayouts::StockTableName + u'_' + when.toString(u"ddMMyy_HHmm"_s);
}

// The card fields by name and the row id last, as in the table: the copy keeps
// the cards' order and ids, as a copy of the file does.
bool StockBackup::takeTable(DataFile &stock, const QDateTime &when)
{
    const QString name = tableName(when);
    if (!stock.exec(u"DROP TABLE IF EXISTS "_s + name) ||
        !stock.exec(u"CREATE TABLE %1 AS SELECT %2, ROWID FROM %3"_s.arg(name, StockTable::columnList(),
                                                                         TableLayouts::StockTableName)))
        return fail(name, stock.lastError());
    m_path = name;
    return true;
}

bool StockBackup::fail(const QString &file, const QString &reason)
{
    m_error = u"Zálohu cenníka %1 sa nepodarilo vytvoriť: %2"_s.arg(QDir::toNativeSeparators(file), reason);
    return false;
}

bool StockBackup::take(const QString &stockPath, const QDateTime &when)
{
    m_path.clear();
    m_error.clear();
    const QString folder = DataFolder::file(m_dataFolder, folderName());
    const QString target = QDir(folder).filePath(fileName(when));
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder))
        return fail(target, u"priečinok %1 sa nedá vytvoriť."_s.arg(QDir::toNativeSeparators(folder)));
    if (!copy(stockPath, target) || !verify(stockPath, target))
        return false;
    m_path = target;
    return true;
}

// Written under a temporary name and renamed at the end, so that a copy that
// fails half way never replaces a good backup of the same minute.
bool StockBackup::copy(const QString &from, const QString &to)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return fail(to, source.errorString());
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly))
        return fail(to, target.errorString());
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(ChunkSize);
        if (chunk.isEmpty() && source.error() != QFileDevice::NoError)
            return fail(to, source.errorString());
        if (target.write(chunk) != chunk.size())
            return fail(to, target.errorString());
    }
    if (!target.commit())
        return fail(to, target.errorString());
    return true;
}

bool StockBackup::verify(const QString &from, const QString &to)
{
    QFile source(from);
    QFile copy(to);
    if (!source.open(QIODevice::ReadOnly))
        return fail(to, source.errorString());
    if (!copy.open(QIODevice::ReadOnly))
        return fail(to, copy.errorString());
    if (source.size() != copy.size())
        return fail(to, u"kópia má %1 bajtov namiesto %2."_s.arg(copy.size()).arg(source.size()));
    while (!source.atEnd()) {
        if (source.read(ChunkSize) != copy.read(ChunkSize))
            return fail(to, u"kópia sa nezhoduje s pôvodným súborom."_s);
    }
    return true;
}

QString StockBackup::newest(const QString &dataFolder)
{
    const QDir folder(DataFolder::file(dataFolder, folderName()));
    const QFileInfoList files =
        folder.entryInfoList({u"vx60_sklad_*.db"_s}, QDir::Files | QDir::Readable, QDir::NoSort);
    QString best;
    std::pair<QDateTime, QDateTime> bestKey;
    for (const QFileInfo &file : files) {
        const QDateTime modified = file.lastModified();
        const std::pair<QDateTime, QDateTime> key{minuteInName(file.fileName()).value_or(modified), modified};
        if (best.isEmpty() || key > bestKey) {
            best = file.absoluteFilePath();
            bestKey = key;
        }
    }
    return best;
}

#include "stock/StockRestore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

const QString JournalSuffix = u"-journal"_s;

bool sameBytes(const QString &first, const QString &second)
{
    QFile a(first);
    QFile b(second);
    if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly) || a.size() != b.size())
        return false;
    constexpr qint64 ChunkSize = 1 << 20;
    while (!a.atEnd()) {
        if (a.read(ChunkSize) != b.read(ChunkSize))
            return false;
    }
    return true;
}

} // namespace

QString StockRestore::keptName(const QDateTime &when)
{
    return u"vx60_sklad_poskodeny_%1.db"_s.arg(when.toString(u"yyyyMMdd_HHmmss"_s));
}

bool StockRestore::fail(const QString &reason)
{
    m_error = u"Cenník sa nepodarilo obnoviť zo zálohy: %1"_s.arg(reason);
    return false;
}

bool StockRestore::copyChecked(const QString &from, const QString &to)
{
    QFile::remove(to);
    if (!QFile::copy(from, to))
        return fail(u"zálohu %1 sa nepodarilo skopírovať."_s.arg(QDir::toNativeSeparators(from)));
    if (!sameBytes(from, to)) {
        QFile::remove(to);
        return fail(u"kópia zálohy sa nezhoduje so zálohou."_s);
    }
    return true;
}

bool StockRestore::restore(const QString &backupPath, const QString &stockPath, const QDateTime &when)
{
    m_keptPath.clear();
    m_error.clear();
    const QString folder = QFileInfo(stockPath).absolutePath();
    const QString incoming = stockPath + u".obnova"_s;
    const QString kept = QDir(folder).filePath(keptName(when));
    if (QFileInfo::exists(kept))
        return fail(u"súbor %1 už existuje."_s.arg(QDir::toNativeSeparators(kept)));
    if (!copyChecked(backupPath, incoming))
        return false;
    if (!QFile::rename(stockPath, kept)) {
        QFile::remove(incoming);
        return fail(u"poškodený súbor %1 sa nedá premenovať."_s.arg(QDir::toNativeSeparators(stockPath)));
    }
    const QString journal = stockPath + JournalSuffix;
    if (QFileInfo::exists(journal) && !QFile::rename(journal, kept + JournalSuffix)) {
        QFile::rename(kept, stockPath);
        QFile::remove(incoming);
        return fail(u"denník zmien %1 sa nedá odložiť."_s.arg(QDir::toNativeSeparators(journal)));
    }
    if (!QFile::rename(incoming, stockPath)) {
        QFile::rename(kept + JournalSuffix, journal);
        QFile::rename(kept, stockPath);
        QFile::remove(incoming);
        return fail(u"obnovený súbor sa nedá dať na miesto cenníka."_s);
    }
    m_keptPath = kept;
    return true;
}

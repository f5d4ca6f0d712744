#include "stock/BulkWriteSettings.h"

#include "stock/DataFile.h"

#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace {

// Negative: a size in KiB. Enough for the pages of 100,000 cards with their
// indexes and change log; SQLite takes only what it needs.
const QString WritingCacheKiB = u"-262144"_s;

} // namespace

// Every page the writes touch stays in memory until the commit: with the
// default cache SQLite would write pages out half way, each time syncing the
// journal first. And as each card's statement fires the change log's triggers,
// SQLite keeps a journal of the statement, by default in a temporary file: one
// write to the disk per card. It is kept in memory instead.
BulkWriteSettings::BulkWriteSettings(DataFile &file) : m_file(file)
{
    m_cacheSize = set(u"cache_size"_s, WritingCacheKiB);
    m_tempStore = set(u"temp_store"_s, u"MEMORY"_s);
}

BulkWriteSettings::~BulkWriteSettings()
{
    restore(u"cache_size"_s, m_cacheSize);
    restore(u"temp_store"_s, m_tempStore);
}

QVariant BulkWriteSettings::set(const QString &pragma, const QString &value)
{
    QSqlQuery query(m_file.database());
    if (!query.exec(u"PRAGMA "_s + pragma) || !query.next())
        return {};
    const QVariant old = query.value(0);
    query.finish();
    query.exec(u"PRAGMA %1 = %2"_s.arg(pragma, value));
    return old;
}

void BulkWriteSettings::restore(const QString &pragma, const QVariant &value)
{
    if (!value.isValid())
        return;
    QSqlQuery query(m_file.database());
    query.exec(u"PRAGMA %1 = %2"_s.arg(pragma).arg(value.toLongLong()));
}

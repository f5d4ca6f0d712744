#pragma once

#include <QVariant>

class DataFile;

// Settings of a connection for one transaction that writes many cards, given
// back when the object ends. Made before the transaction begins: SQLite decides
// where a transaction keeps its statement journals when it begins.
class BulkWriteSettings
{
public:
    explicit BulkWriteSettings(DataFile &file);
    ~BulkWriteSettings();
    BulkWriteSettings(const BulkWriteSettings &) = delete;
    BulkWriteSettings &operator=(const BulkWriteSettings &) = delete;

private:
    QVariant set(const QString &pragma, const QString &value);
    void restore(const QString &pragma, const QVariant &value);

    DataFile &m_file;
    QVariant m_cacheSize;
    QVariant m_tempStore;
};

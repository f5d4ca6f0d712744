#pragma once

#include "stock/ZipEntryDevice.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

struct zip;

// A zip archive read with libzip: the container of office documents (XLSX,
// ODS, DOCX). Entries are found by name, case aside, as office programs do.
class ZipArchive
{
public:
    ZipArchive();
    ~ZipArchive();
    ZipArchive(const ZipArchive &) = delete;
    ZipArchive &operator=(const ZipArchive &) = delete;

    // False with error() when the file is missing, no zip archive or cut off
    // (its directory, at the end, is gone).
    bool open(const QString &path);
    QString error() const { return m_error; }

    bool contains(const QString &name) const;
    // The uncompressed size the archive's directory gives; -1 for no such entry.
    qint64 size(const QString &name) const;
    // A whole entry, refused (nullopt with error()) above `most` bytes, so a
    // small archive that unpacks to gigabytes is not unpacked.
    std::optional<QByteArray> read(const QString &name, qint64 most);
    // A device reading the entry as it unpacks it, for parts too large to hold
    // in memory; null with error(). The archive must outlive it.
    std::unique_ptr<ZipEntryDevice> stream(const QString &name);

private:
    std::optional<qint64> indexOf(const QString &name) const;

    zip *m_archive = nullptr;
    QString m_error;
};

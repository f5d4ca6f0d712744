#include "stock/ZipArchive.h"

#include <QFile>

#include <zip.h>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QString damaged()
{
    return u"súbor nie je archív ZIP alebo je poškodený"_s;
}

QString tooLarge(const QString &name)
{
    return u"časť %1 je väčšia, ako sa dá prečítať"_s.arg(name);
}

constexpr qint64 ChunkSize = 64 * 1024;

} // namespace

ZipArchive::ZipArchive() = default;

ZipArchive::~ZipArchive()
{
    if (m_archive)
        zip_discard(m_archive);
}

bool ZipArchive::open(const QString &path)
{
    int code = 0;
    m_archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
    if (m_archive)
        return true;
    m_error = (code == ZIP_ER_NOENT || code == ZIP_ER_OPEN || code == ZIP_ER_READ)
                  ? u"súbor sa nedá otvoriť"_s
                  : damaged();
    return false;
}

std::optional<qint64> ZipArchive::indexOf(const QString &name) const
{
    if (!m_archive)
        return std::nullopt;
    const zip_int64_t index = zip_name_locate(m_archive, name.toUtf8().constData(), ZIP_FL_NOCASE);
    return index < 0 ? std::nullopt : std::optional<qint64>(index);
}

bool ZipArchive::contains(const QString &name) const
{
    return indexOf(name).has_value();
}

qint64 ZipArchive::size(const QString &name) const
{
    const std::optional<qint64> index = indexOf(name);
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (!index || zip_stat_index(m_archive, zip_uint64_t(*index), 0, &stat) != 0 ||
        !(stat.valid & ZIP_STAT_SIZE))
        return -1;
    return qint64(stat.size);
}

std::optional<QByteArray> ZipArchive::read(const QString &name, qint64 most)
{
    const qint64 bytes = size(name);
    if (bytes > most) {
        m_error = tooLarge(name);
        return std::nullopt;
    }
    const std::unique_ptr<ZipEntryDevice> device = stream(name);
    if (!device)
        return std::nullopt;
    // The directory's size may lie in a damaged file: never read past `most`.
    QByteArray content;
    content.reserve(qsizetype(std::max<qint64>(bytes, 0)));
    while (content.size() <= most) {
        const QByteArray chunk = device->read(ChunkSize);
        if (chunk.isEmpty())
            break;
        content += chunk;
    }
    if (device->failed()) {
        m_error = damaged();
        return std::nullopt;
    }
    if (content.size() > most) {
        m_error = tooLarge(name);
        return std::nullopt;
    }
    return content;
}

std::unique_ptr<ZipEntryDevice> ZipArchive::stream(const QString &name)
{
    const std::optional<qint64> index = indexOf(name);
    zip_file_t *file = index ? zip_fopen_index(m_archive, zip_uint64_t(*index), 0) : nullptr;
    if (!file) {
        m_error = index ? damaged() : u"chýba v ňom časť %1"_s.arg(name);
        return nullptr;
    }
    auto device = std::make_unique<ZipEntryDevice>(file, size(name));
    device->open(QIODevice::ReadOnly);
    return device;
}

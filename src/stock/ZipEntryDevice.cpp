#include "stock/ZipEntryDevice.h"

#include <zip.h>

#include <algorithm>

ZipEntryDevice::ZipEntryDevice(zip_file *file, qint64 size) : m_file(file), m_size(size) {}

ZipEntryDevice::~ZipEntryDevice()
{
    ZipEntryDevice::close();
}

void ZipEntryDevice::close()
{
    if (m_file)
        zip_fclose(m_file);
    m_file = nullptr;
    QIODevice::close();
}

bool ZipEntryDevice::atEnd() const
{
    return m_finished && QIODevice::bytesAvailable() == 0;
}

qint64 ZipEntryDevice::bytesAvailable() const
{
    const qint64 left = m_finished || m_size < 0 ? 0 : std::max<qint64>(m_size - m_unpacked, 0);
    return left + QIODevice::bytesAvailable();
}

qint64 ZipEntryDevice::readData(char *data, qint64 maxSize)
{
    if (m_finished || !m_file)
        return m_failed ? -1 : 0;
    if (maxSize <= 0)
        return 0; // QIODevice asks for nothing at times; that is no end

    const zip_int64_t got = zip_fread(m_file, data, zip_uint64_t(maxSize));
    if (got < 0) {
        m_failed = m_finished = true;
        setErrorString(QString::fromUtf8(zip_file_strerror(m_file)));
        return -1;
    }
    m_finished = got == 0;
    m_unpacked += got;
    return got;
}

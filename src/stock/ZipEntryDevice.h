#pragma once

#include <QIODevice>

struct zip_file;

// One entry of a zip archive as a read-only sequential device that unpacks it
// as it is read, so that a sheet of a hundred thousand rows streams through a
// parser without lying in memory. A read error or a checksum that does not
// match (a damaged archive) ends it with failed().
class ZipEntryDevice : public QIODevice
{
public:
    // Takes `file` over; `size` is the uncompressed size, -1 when unknown.
    ZipEntryDevice(zip_file *file, qint64 size);
    ~ZipEntryDevice() override;

    bool isSequential() const override { return true; }
    bool atEnd() const override;
    qint64 bytesAvailable() const override;
    void close() override;

    bool failed() const { return m_failed; }
    qint64 unpacked() const { return m_unpacked; }
    qint64 entrySize() const { return m_size; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    zip_file *m_file;
    qint64 m_size;
    qint64 m_unpacked = 0;
    bool m_finished = false;
    bool m_failed = false;
};

#pragma once

class DataFile;

// A write transaction of a data file that is rolled back unless it was committed:
// every way out of a change before its commit leaves the file as it was, and the
// error that stopped the change stays the file's last error.
class WriteTransaction
{
public:
    explicit WriteTransaction(DataFile &file);
    ~WriteTransaction();
    WriteTransaction(const WriteTransaction &) = delete;
    WriteTransaction &operator=(const WriteTransaction &) = delete;

    // False when the write lock could not be taken; nothing is to be done then.
    bool isOpen() const { return m_open; }
    bool commit();

private:
    DataFile &m_file;
    bool m_open = false;
};

#include "stock/WriteTransaction.h"

#include "stock/DataFile.h"

WriteTransaction::WriteTransaction(DataFile &file) : m_file(file), m_open(file.beginWrite()) {}

WriteTransaction::~WriteTransaction()
{
    if (!m_open)
        return;
    const QString error = m_file.lastError();
    m_file.rollback();
    m_file.setError(error);
}

bool WriteTransaction::commit()
{
    m_open = false;
    return m_file.commit();
}

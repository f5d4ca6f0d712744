#pragma once

#include "stock/ImportRowSource.h"
#include "stock/ParadoxTable.h"

#include <QString>

// Any Paradox table as rows for the import: its fields in the table's order,
// numbers typed, text in code page 1250, dates as dd.MM.yyyy, logical fields as
// "T" or "F" (as dBase writes them). The field names are not a row.
class ParadoxImportSource : public ImportRowSource
{
public:
    explicit ParadoxImportSource(QString path);

    // False with error() when the file is no readable Paradox table.
    bool open();

    Read next(ImportRow &row) override;
    QString error() const override { return m_error; }
    qint64 position() const override { return m_read; }
    qint64 size() const override { return m_table.recordCount(); }

private:
    QString m_path;
    ParadoxTable m_table;
    qint64 m_read = 0;
    QString m_error;
};

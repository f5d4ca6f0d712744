#pragma once

#include "stock/ImportRowSource.h"

#include <QString>

#include <pugixml.hpp>

#include <vector>

// The rows of the first table of a Word document (.docx): its rows (w:tr) and
// cells (w:tc), a cell's text being its runs' text (w:t) with a line per
// paragraph. A cell merged across columns (gridSpan) keeps the columns after it
// as empty cells, and cells left out at a row's start (gridBefore) as well, so
// every value stays in its column. Rows without a value are left out.
class DocxImportSource : public ImportRowSource
{
public:
    DocxImportSource(QString path, bool titleRow);

    bool open();

    Read next(ImportRow &row) override;
    QString error() const override { return m_error; }
    qint64 position() const override { return m_at; }
    qint64 size() const override { return qint64(m_rows.size()); }

private:
    bool fail(const QString &reason);

    QString m_path;
    bool m_titleRow;
    pugi::xml_document m_document;
    std::vector<pugi::xml_node> m_rows;
    qsizetype m_at = 0;
    bool m_titleSeen = false;
    QString m_error;
};

#pragma once

#include "stock/ImportRowSource.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

struct _xmlDoc;
struct _xmlNode;

// The rows of one table of a web page, parsed with libxml2's HTML parser,
// which takes pages as browsers do, badly formed ones too. The page's tables
// are called by their caption, or "Tabuľka 1", "Tabuľka 2"... in the page's
// order. Cells are th and td; a cell spanning columns or rows keeps the places
// it covers as empty cells, so every value stays in its column. Rows of th
// cells only at the table's top are its titles and are left out, as are rows
// without a value.
class HtmlImportSource : public ImportRowSource
{
public:
    // `table` by name, the first for an empty one; `titleRow` leaves out the
    // first row that holds a value when the table has no row of th titles.
    HtmlImportSource(QString path, QString table, bool titleRow);
    ~HtmlImportSource() override;
    HtmlImportSource(const HtmlImportSource &) = delete;
    HtmlImportSource &operator=(const HtmlImportSource &) = delete;

    bool open();
    static std::optional<QStringList> tableNames(const QString &path, QString *error);

    Read next(ImportRow &row) override;
    QString error() const override { return m_error; }
    qint64 position() const override { return m_at; }
    qint64 size() const override { return qint64(m_rows.size()); }

private:
    struct Table
    {
        _xmlNode *node = nullptr;
        QString name;
    };

    bool fail(const QString &reason);
    bool load();
    std::vector<Table> tables() const;
    bool readRow(_xmlNode *tr, ImportRow &row);

    QString m_path;
    QString m_table;
    bool m_titleRow;
    _xmlDoc *m_document = nullptr;
    std::vector<_xmlNode *> m_rows;
    qsizetype m_at = 0;
    // For each column, how many more rows a cell above still covers.
    QList<int> m_spans;
    bool m_titleSeen = false;
    bool m_dataSeen = false;
    QString m_error;
};

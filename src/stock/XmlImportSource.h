#pragma once

#include "stock/ImportRowSource.h"

#include <QFile>
#include <QString>
#include <QXmlStreamReader>

// The rows of an XML file, read as a stream. The rows are the repeated child
// elements of the first element (in the file's order) that holds children of
// one name more than once: the root's in <cennik><polozka/><polozka/></cennik>,
// the inner list's in <export><hlavicka/><polozky><polozka/>...</polozky></export>.
// A row's cells are its child elements' texts in order, or, for a row without
// child elements, its attributes' values in order. A value in XML's own number
// form ("1234.5") comes as a typed number, since programs write their numbers
// so whatever the regional settings.
class XmlImportSource : public ImportRowSource
{
public:
    XmlImportSource(QString path, bool titleRow);

    bool open();

    Read next(ImportRow &row) override;
    QString error() const override { return m_error; }
    qint64 position() const override { return m_file.isOpen() ? m_file.pos() : 0; }
    qint64 size() const override { return m_file.isOpen() ? m_file.size() : 0; }

private:
    bool fail(const QString &reason);
    bool findRows();
    bool reopenAtRows();
    void readRow(ImportRow &row);
    bool xmlFailed();

    QString m_path;
    bool m_titleRow;
    QFile m_file;
    QXmlStreamReader m_xml;
    // The element holding the rows, by its place among all elements (0 the
    // root), and the rows' name (empty for any child of the root).
    qint64 m_container = 0;
    QString m_rowName;
    qint64 m_number = 0;
    bool m_titleSeen = false;
    QString m_error;
};

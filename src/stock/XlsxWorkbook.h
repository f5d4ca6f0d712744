#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class ZipArchive;

// The parts of an XLSX workbook around its sheets: the sheets' names and
// where they lie (workbook.xml and its relationships), the date system, the
// shared strings and the date styles. The sheets themselves are read elsewhere,
// streamed.
class XlsxWorkbook
{
public:
    struct Sheet
    {
        QString name;
        QString path; // inside the archive
    };

    // Reads the workbook's description; false with error() when the archive
    // holds no workbook.
    bool load(ZipArchive &archive);
    // Reads the shared strings and the styles, which only a sheet's reader needs.
    bool loadCellParts(ZipArchive &archive);
    QString error() const { return m_error; }

    const QList<Sheet> &sheets() const { return m_sheets; }
    QStringList sheetNames() const;
    // The sheet called `name`, the first for an empty name; null when there is none.
    const Sheet *sheet(const QString &name) const;

    bool date1904() const { return m_date1904; }
    const QStringList &sharedStrings() const { return m_sharedStrings; }
    bool isDateStyle(qsizetype style) const
    {
        return style >= 0 && style < m_dateStyles.size() && m_dateStyles.at(style);
    }

private:
    bool fail(const QString &reason);
    QString workbookPath(ZipArchive &archive);
    bool readRelationships(ZipArchive &archive, const QString &workbook);

    QList<Sheet> m_sheets;
    QString m_sharedStringsPath;
    QString m_stylesPath;
    bool m_date1904 = false;
    QStringList m_sharedStrings;
    QList<bool> m_dateStyles;
    QString m_error;
};

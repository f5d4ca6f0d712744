#pragma once

#include "stock/ImportRowBuilder.h"
#include "stock/ImportRowSource.h"
#include "stock/XlsxWorkbook.h"
#include "stock/ZipArchive.h"

#include <QString>
#include <QXmlStreamReader>

#include <memory>

// The rows of one sheet of an XLSX workbook. The workbook's small parts are
// read whole; the sheet is parsed as it is unpacked, so a sheet of a hundred
// thousand rows never lies in memory. Cells keep their columns by their
// references (r="C7"); rows without any value are left out, the others carry
// the sheet's row numbers. Numbers come typed, dates as dd.MM.yyyy.
class XlsxImportSource : public ImportRowSource
{
public:
    // `sheet` by name, the first for an empty one; `titleRow` leaves out the
    // first row that holds a value.
    XlsxImportSource(QString path, QString sheet, bool titleRow);

    bool open();
    // The sheets' names, or nullopt with `error` set.
    static std::optional<QStringList> sheetNames(const QString &path, QString *error);

    Read next(ImportRow &row) override;
    QString error() const override { return m_error; }
    qint64 position() const override;
    qint64 size() const override;

private:
    enum class Step { Row, End, Failed };

    bool fail(const QString &reason);
    Step readRow(qint64 &number);
    bool readCell();
    QString inlineText();
    bool cellValue(const QString &type, const QString &value, qsizetype style);

    QString m_path;
    QString m_sheetName;
    bool m_titleRow;
    ZipArchive m_archive;
    XlsxWorkbook m_workbook;
    std::unique_ptr<ZipEntryDevice> m_device;
    QXmlStreamReader m_xml;
    ImportRowBuilder m_cells;
    qint64 m_lastRow = 0;
    bool m_titleSeen = false;
    QString m_error;
};

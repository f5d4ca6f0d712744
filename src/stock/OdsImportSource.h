#pragma once

#include "stock/ImportRowBuilder.h"
#include "stock/ImportRowSource.h"
#include "stock/ZipArchive.h"

#include <QString>
#include <QXmlStreamReader>

#include <memory>
#include <optional>

// The rows of one table (sheet) of an OpenDocument spreadsheet (.ods), parsed
// from content.xml as it is unpacked. Repeated cells and rows
// (number-columns-repeated, number-rows-repeated) count as that many, but a
// run of empty ones is only counted: the million empty cells an office program
// writes to the end of a row create no cells, and the empty rows to the end of
// the sheet no rows. Rows without a value are left out, the others carry the
// sheet's row numbers. Numbers come typed, dates as dd.MM.yyyy.
class OdsImportSource : public ImportRowSource
{
public:
    // `table` by name, the first for an empty one; `titleRow` leaves out the
    // first row that holds a value.
    OdsImportSource(QString path, QString table, bool titleRow);

    bool open();
    static std::optional<QStringList> tableNames(const QString &path, QString *error);

    Read next(ImportRow &row) override;
    QString error() const override { return m_error; }
    qint64 position() const override;
    qint64 size() const override;

private:
    enum class Step { Row, End, Failed };

    bool fail(const QString &reason);
    bool openContent();
    bool findTable();
    Step readRow(qint64 &repeat);
    void readCell();
    QString cellText();
    void paragraphText(QString &text);

    QString m_path;
    QString m_table;
    bool m_titleRow;
    ZipArchive m_archive;
    std::unique_ptr<ZipEntryDevice> m_device;
    QXmlStreamReader m_xml;
    ImportRowBuilder m_cells;
    qint64 m_nextNumber = 1;
    int m_depth = 0; // of the elements open inside the table
    ImportRow m_repeated;
    qint64 m_repeatsLeft = 0;
    bool m_titleSeen = false;
    QString m_error;
};

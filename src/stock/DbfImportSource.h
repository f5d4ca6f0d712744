#pragma once

#include "stock/ImportRowSource.h"

#include <QByteArray>
#include <QString>

#include <memory>

class ImportCells;

// A dBase table (.dbf), read with shapelib's DBF reader through hooks of our
// own, so that it reads the file by its real name (any case of the extension)
// or bytes in memory. Text fields are decoded by the code page that a .cpg
// file beside the table names, else by the table's language byte; a table
// without either is in code page 1250, as this program's own files are.
// Numeric fields (N, F) come as typed numbers, dates (D) as dd.MM.yyyy,
// logical fields as the letter stored; deleted records are left out.
//
// The header is checked against the file's size before shapelib reads it, so
// that a cut or foreign file ends in an error text and every record that
// shapelib loads lies inside the file.
class DbfImportSource : public ImportRowSource
{
public:
    explicit DbfImportSource(QString path);
    // The table from bytes, with the content of its .cpg file if it has one;
    // `name` names it in errors.
    DbfImportSource(QByteArray bytes, QByteArray codePageFile, QString name);
    ~DbfImportSource() override;
    DbfImportSource(const DbfImportSource &) = delete;
    DbfImportSource &operator=(const DbfImportSource &) = delete;

    // Checks the header and opens the table; false with error().
    bool open();
    // The code page the text fields are read in, as Qt names it ("windows-1250").
    QString codePage() const { return m_codePage; }

    Read next(ImportRow &row) override;
    QString error() const override { return m_error; }
    qint64 position() const override { return m_record; }
    qint64 size() const override { return m_recordCount; }

    // Why the start of a file, `header` (its first bytes, at least the whole
    // header), cannot be a dBase table of `fileSize` bytes; empty when it can.
    static QString headerProblem(const QByteArray &header, qint64 fileSize);

private:
    // The table's file or bytes, its .cpg, shapelib's handle and the decoder.
    struct State;

    bool fail(const QString &reason);
    void readCodePageFile();
    bool checkHeader();
    void chooseCodePage();
    QString decode(const char *text) const;
    bool readRecord(int record, ImportRow &row);
    void addField(ImportCells &cells, char type, const char *raw) const;

    QString m_name;
    std::unique_ptr<State> m_state;
    QString m_codePage;
    int m_recordCount = 0;
    int m_record = 0;
    QString m_error;
};

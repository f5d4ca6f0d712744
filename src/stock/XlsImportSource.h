#pragma once

#include "stock/ImportRowSource.h"

#include <QString>
#include <QStringList>

// A workbook in the binary format of the older office programs (.xls, BIFF),
// read with freexl. The library reads the whole workbook when it opens it;
// the rows are handed out one by one from there. Number cells come as typed
// numbers, date cells as dd.MM.yyyy, text as the library decodes it.
class XlsImportSource : public ImportRowSource
{
public:
    struct Options
    {
        QString sheet; // empty for the first one
        bool titleRow = false;
    };

    XlsImportSource(QString path, Options options);
    ~XlsImportSource() override;
    XlsImportSource(const XlsImportSource &) = delete;
    XlsImportSource &operator=(const XlsImportSource &) = delete;

    // The names of the workbook's sheets, or empty with `error` set.
    static QStringList sheets(const QString &path, QString *error);

    // Opens the workbook and its sheet; false with error().
    bool open();

    Read next(ImportRow &row) override;
    QString error() const override { return m_error; }
    qint64 position() const override { return m_row; }
    qint64 size() const override { return m_rows; }

private:
    bool fail(const QString &reason);
    bool selectSheet();
    bool readRow(ImportRow &row);

    QString m_path;
    Options m_options;
    const void *m_handle = nullptr;
    unsigned int m_rows = 0;
    unsigned short m_columns = 0;
    unsigned int m_row = 0;
    QString m_error;
};

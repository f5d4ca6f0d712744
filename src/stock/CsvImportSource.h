#pragma once

#include "stock/ImportRowSource.h"

#include <QFile>
#include <QString>
#include <QStringDecoder>

#include <optional>

// A text file of rows of values divided by ';', ',' or a tab, as spreadsheets
// save them: a value in double quotes may hold the separator, line breaks and
// doubled quotes. Read in chunks, so a large file never lies in memory whole.
//
// The separator is found from the first lines and the encoding from the start
// of the file (a UTF-8 byte-order mark, or text that is valid UTF-8 with some
// letter beyond ASCII, is UTF-8; anything else code page 1250) unless the
// caller sets them.
class CsvImportSource : public ImportRowSource
{
public:
    enum class Encoding { Cp1250, Utf8 };

    struct Options
    {
        std::optional<QChar> separator;
        std::optional<Encoding> encoding;
        bool titleRow = false; // the first row names the columns and is not imported
    };

    CsvImportSource(QString path, Options options);

    // Opens the file and settles separator and encoding; false with error().
    bool open();
    QChar separator() const { return m_separator; }
    Encoding encoding() const { return m_encoding; }

    Read next(ImportRow &row) override;
    QString error() const override { return m_error; }
    qint64 position() const override;
    qint64 size() const override;

    // The separator of the first lines of `sample`: the one that splits them
    // into the same number of values, more than one, on most lines.
    static QChar detectSeparator(const QString &sample);
    static Encoding detectEncoding(const QByteArray &start);

private:
    enum class Char { Some, End, Failed };

    bool sniff();
    Char take(QChar &ch);
    bool refill();
    bool readRecord(QStringList &cells);
    bool readQuoted(QString &field);
    bool fail(const QString &reason);

    QString m_path;
    Options m_options;
    QFile m_file;
    QStringDecoder m_decoder;
    QChar m_separator = u';';
    Encoding m_encoding = Encoding::Cp1250;
    QString m_buffer;
    qsizetype m_at = 0;
    qint64 m_number = 0;
    QString m_error;
};

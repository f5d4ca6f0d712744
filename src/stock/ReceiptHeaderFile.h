#pragma once

#include "stock/RichTextDocument.h"

#include <QByteArray>
#include <QString>

// The receipt header "hlavicka.cfg" of the data folder: the shop's
// identification lines shown in the header boxes of the sale and price-list
// maintenance screens. Saved as Rich Text Format; a file in any other form
// (for example the printer's header lines saved as text) reads as plain lines.
class ReceiptHeaderFile
{
public:
    enum class Status {
        Loaded,
        Missing,    // the box keeps what it shows
        Unreadable, // exists but cannot be opened or read
        TooLarge,   // larger than any header; not read, so never saved back cut short
    };
    struct LoadResult
    {
        Status status = Status::Missing;
        RichTextDocument document;
    };

    static constexpr qint64 MaximumSize = 16 * 1024 * 1024;

    static QString fileName(); // "hlavicka.cfg"
    static QString filePath(const QString &dataFolder);

    // What the boxes show until a header has been saved.
    static QStringList defaultLines();

    static LoadResult load(const QString &path);
    // Rich Text Format, else text in code page 1250 (UTF-8 after a byte-order
    // mark) split into lines at CR LF, LF or CR.
    static RichTextDocument parse(const QByteArray &bytes);
    static RichTextDocument parsePlainText(const QByteArray &bytes);

    // Replaces the file whole, so that another till never reads half of it.
    static bool save(const QString &path, const RichTextDocument &document);
};

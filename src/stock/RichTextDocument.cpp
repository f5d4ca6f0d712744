#include "stock/RichTextDocument.h"

QString RichTextParagraph::text() const
{
    QString result;
    for (const RichTextRun &run : runs)
        result += run.text;
    return result;
}

void RichTextParagraph::append(const QString &text, const RichTextFormat &format)
{
    if (text.isEmpty())
        return;
    if (!runs.isEmpty() && runs.back().format == format)
        runs.back().text += text;
    else
        runs.append({text, format});
}

RichTextDocument RichTextDocument::fromPlainLines(const QStringList &lines)
{
    RichTextDocument document;
    for (const QString &line : lines) {
        RichTextParagraph paragraph;
        paragraph.append(line);
        document.paragraphs.append(paragraph);
    }
    return document;
}

QStringList RichTextDocument::plainLines() const
{
    QStringList lines;
    for (const RichTextParagraph &paragraph : paragraphs)
        lines += paragraph.text().split(u'\n');
    return lines;
}

#include "stock/ui/RichTextBox.h"

#include "stock/RichTextDocument.h"

#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>

#include <cmath>

namespace {

Qt::Alignment alignmentOf(ParagraphAlignment alignment)
{
    switch (alignment) {
    case ParagraphAlignment::Center:
        return Qt::AlignHCenter;
    case ParagraphAlignment::Right:
        return Qt::AlignRight;
    case ParagraphAlignment::Justify:
        return Qt::AlignJustify;
    case ParagraphAlignment::Left:
        break;
    }
    return Qt::AlignLeft;
}

ParagraphAlignment paragraphAlignment(Qt::Alignment alignment)
{
    if (alignment & Qt::AlignHCenter)
        return ParagraphAlignment::Center;
    if (alignment & Qt::AlignRight)
        return ParagraphAlignment::Right;
    if (alignment & Qt::AlignJustify)
        return ParagraphAlignment::Justify;
    return ParagraphAlignment::Left;
}

QTextCharFormat charFormatOf(const RichTextFormat &format)
{
    QTextCharFormat result;
    result.setFontWeight(format.bold ? QFont::Bold : QFont::Normal);
    result.setFontItalic(format.italic);
    result.setFontUnderline(format.underline);
    result.setFontPointSize(format.halfPoints / 2.0);
    return result;
}

RichTextFormat formatOf(const QTextCharFormat &format)
{
    RichTextFormat result;
    result.bold = format.fontWeight() >= QFont::Bold;
    result.italic = format.fontItalic();
    result.underline = format.fontUnderline();
    if (format.fontPointSize() > 0)
        result.halfPoints = int(std::lround(format.fontPointSize() * 2));
    return result;
}

RichTextParagraph paragraphOf(const QTextBlock &block)
{
    RichTextParagraph paragraph;
    paragraph.alignment = paragraphAlignment(block.blockFormat().alignment());
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid())
            continue;
        QString text = fragment.text();
        text.replace(QChar::LineSeparator, u'\n');
        paragraph.append(text, formatOf(fragment.charFormat()));
    }
    return paragraph;
}

} // namespace

void RichTextBox::fill(QTextEdit *edit, const RichTextDocument &document)
{
    edit->clear();
    QTextCursor cursor(edit->document());
    bool first = true;
    for (const RichTextParagraph &paragraph : document.paragraphs) {
        QTextBlockFormat block;
        block.setAlignment(alignmentOf(paragraph.alignment));
        if (first)
            cursor.setBlockFormat(block);
        else
            cursor.insertBlock(block);
        first = false;
        for (const RichTextRun &run : paragraph.runs) {
            QString text = run.text;
            text.replace(u'\n', QChar::LineSeparator);
            cursor.insertText(text, charFormatOf(run.format));
        }
    }
    edit->document()->setModified(false);
}

RichTextDocument RichTextBox::read(const QTextEdit *edit)
{
    RichTextDocument document;
    for (QTextBlock block = edit->document()->begin(); block.isValid(); block = block.next())
        document.paragraphs.append(paragraphOf(block));
    return document;
}

#include "pos/ui/RichTextFill.h"

#include "stock/RichTextDocument.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>

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

QTextCharFormat charFormatOf(const RichTextFormat &format)
{
    QTextCharFormat result;
    result.setFontWeight(format.bold ? QFont::Bold : QFont::Normal);
    result.setFontItalic(format.italic);
    result.setFontUnderline(format.underline);
    result.setFontPointSize(format.halfPoints / 2.0);
    return result;
}

} // namespace

void fillTextEdit(QTextEdit *edit, const RichTextDocument &document)
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
}

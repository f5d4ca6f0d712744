#pragma once

struct RichTextDocument;
class QTextEdit;

// Formatted text of the settings files (the receipt header, the help) in a
// text box and back.
namespace RichTextBox {
void fill(QTextEdit *edit, const RichTextDocument &document);
RichTextDocument read(const QTextEdit *edit);
} // namespace RichTextBox

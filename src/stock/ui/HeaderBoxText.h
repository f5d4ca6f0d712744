#pragma once

struct RichTextDocument;
class QTextEdit;

// The receipt header between its box on the maintenance screen and the
// formatted text that hlavicka.cfg keeps.
namespace HeaderBoxText {
void fill(QTextEdit *edit, const RichTextDocument &document);
RichTextDocument read(const QTextEdit *edit);
} // namespace HeaderBoxText

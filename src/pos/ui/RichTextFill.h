#pragma once

struct RichTextDocument;
class QTextEdit;

// Shows formatted text of the settings files in a text box.
void fillTextEdit(QTextEdit *edit, const RichTextDocument &document);

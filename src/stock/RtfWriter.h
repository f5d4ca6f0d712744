#pragma once

#include "stock/RichTextDocument.h"

#include <QByteArray>

// Writes a document as Rich Text Format in code page 1250, the form text boxes
// of this system and of other programs read back. Letters of 1250 are written
// as \'xx, every other character as \uN with "?" for readers without Unicode.
namespace RtfWriter {
QByteArray write(const RichTextDocument &document);
} // namespace RtfWriter

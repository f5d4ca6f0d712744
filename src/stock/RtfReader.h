#pragma once

#include "stock/RichTextDocument.h"

#include <QByteArrayView>
#include <QHash>

#include <vector>

// Reads the Rich Text Format that text boxes save, as far as a receipt header
// needs it: paragraphs and line breaks, bold, italic, underline, font size,
// alignment, 8-bit text in the code page of the document or of its fonts
// (1250 and 1252), and \u characters with their \ucN fallback. Tables of
// fonts, colours and styles, document information, pictures, fields'
// instructions and every {\*\...} group are skipped. Any input gives a
// document: unknown words are ignored, unbalanced braces and a cut-off end are
// tolerated, and deep nesting or huge \bin counts cost no more than the input.
class RtfReader
{
public:
    // The file starts as Rich Text Format does ("{\rtf").
    static bool isRtf(QByteArrayView bytes);
    static RichTextDocument read(QByteArrayView rtf);

private:
    enum class Destination { Text, FontTable, Skip };
    struct GroupState
    {
        RichTextFormat format;
        ParagraphAlignment alignment = ParagraphAlignment::Left;
        int font = -1;
        int unicodeSkip = 1;
        Destination destination = Destination::Text;
    };

    explicit RtfReader(QByteArrayView rtf) : m_in(rtf) {}
    RichTextDocument parse();

    void openGroup();
    void closeGroup();
    void readControl();
    void readControlWord();
    void readHexByte();
    void controlSymbol(char symbol);
    void controlWord(QByteArrayView word, bool hasParameter, int parameter);
    void fontTableWord(QByteArrayView word, int parameter);
    bool formatWord(QByteArrayView word, bool hasParameter, int parameter);
    bool textWord(QByteArrayView word, bool hasParameter, int parameter);
    void unicodeCharacter(int parameter);
    void skipBinary(int count);

    bool consumeFallback();
    void textByte(unsigned char byte);
    void appendCharacter(QChar ch);
    void flushText();
    void endParagraph();
    int currentCodePage() const;

    QByteArrayView m_in;
    qsizetype m_pos = 0;
    bool m_started = false;
    bool m_ended = false;
    GroupState m_state;
    std::vector<GroupState> m_saved;
    int m_unsavedDepth = 0; // groups past the nesting limit, counted only
    int m_pendingFallback = 0;

    int m_documentCodePage = 1252;
    int m_defaultFont = 0;
    int m_fontBeingDefined = -1;
    QHash<int, int> m_fontCodePages;

    QString m_text;
    RichTextFormat m_textFormat;
    RichTextParagraph m_paragraph;
    RichTextDocument m_document;
};

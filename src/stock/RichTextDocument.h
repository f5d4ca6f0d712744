#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Formatted text of the size of a receipt header: paragraphs of runs. Within
// a run's text '\n' is a line break inside the paragraph and '\t' a tab.
struct RichTextFormat
{
    static constexpr int DefaultHalfPoints = 24; // 12 pt

    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = DefaultHalfPoints; // font size in half points, as the file keeps it

    bool operator==(const RichTextFormat &) const = default;
};

struct RichTextRun
{
    QString text;
    RichTextFormat format;

    bool operator==(const RichTextRun &) const = default;
};

enum class ParagraphAlignment { Left, Center, Right, Justify };

struct RichTextParagraph
{
    ParagraphAlignment alignment = ParagraphAlignment::Left;
    QList<RichTextRun> runs;

    QString text() const;
    // Adds text, continuing the last run when the format is the same, so that
    // equal documents have equal runs however they were built.
    void append(const QString &text, const RichTextFormat &format = {});

    bool operator==(const RichTextParagraph &) const = default;
};

struct RichTextDocument
{
    QList<RichTextParagraph> paragraphs;

    // One left-aligned paragraph of default format per line.
    static RichTextDocument fromPlainLines(const QStringList &lines);
    // The text as the lines a reader sees: one per paragraph, and more where a
    // paragraph holds line breaks.
    QStringList plainLines() const;

    bool operator==(const RichTextDocument &) const = default;
};

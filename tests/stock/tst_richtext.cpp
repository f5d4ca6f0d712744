#include "TestPaths.h"
#include "stock/ReceiptHeaderFile.h"
#include "stock/RtfReader.h"
#include "stock/RtfWriter.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(RichTextDocument)

char *toString(const RichTextDocument &document)
{
    QString text;
    for (const RichTextParagraph &paragraph : document.paragraphs) {
        text += u"\n[align %1]"_s.arg(int(paragraph.alignment));
        for (const RichTextRun &run : paragraph.runs) {
            const RichTextFormat &f = run.format;
            text += u" {%1%2%3 %4:\"%5\"}"_s
                        .arg(f.bold ? u"b"_s : QString(), f.italic ? u"i"_s : QString(),
                             f.underline ? u"u"_s : QString())
                        .arg(f.halfPoints)
                        .arg(run.text);
        }
    }
    return qstrdup(text.toUtf8().constData());
}

namespace {

const QString kDataFolder = QStringLiteral(OMIRA_STOCK_TEST_DATA);

RichTextFormat format(bool bold, bool italic, bool underline, int halfPoints = 24)
{
    return {bold, italic, underline, halfPoints};
}

RichTextParagraph paragraph(ParagraphAlignment alignment, const QList<RichTextRun> &runs)
{
    RichTextParagraph result;
    result.alignment = alignment;
    for (const RichTextRun &run : runs)
        result.append(run.text, run.format);
    return result;
}

RichTextParagraph plain(const QString &text, ParagraphAlignment alignment = ParagraphAlignment::Left)
{
    return paragraph(alignment, {{text, {}}});
}

RichTextDocument document(const QList<RichTextParagraph> &paragraphs)
{
    return {paragraphs};
}

// What a reader must never produce, whatever the input: empty runs, or two
// neighbouring runs of one format.
bool runsAreCanonical(const RichTextDocument &document)
{
    for (const RichTextParagraph &paragraph : document.paragraphs) {
        for (qsizetype i = 0; i < paragraph.runs.size(); ++i) {
            if (paragraph.runs[i].text.isEmpty())
                return false;
            if (i > 0 && paragraph.runs[i].format == paragraph.runs[i - 1].format)
                return false;
        }
    }
    return true;
}

QByteArray dataFile(const QString &name)
{
    return TestPaths::readFile(kDataFolder + u'/' + name);
}

} // namespace

class TestRichText : public QObject
{
    Q_OBJECT

private slots:
    void writerThenReaderGivesTheSameDocument_data();
    void writerThenReaderGivesTheSameDocument();
    void writerOutputIsSevenBitWithCodePage1250();
    void filesOfAnotherProgram_data();
    void filesOfAnotherProgram();
    void readerText_data();
    void readerText();
    void readerFormatting();
    void damagedInputNeverCrashes_data();
    void damagedInputNeverCrashes();
    void plainTextFallback_data();
    void plainTextFallback();
    void headerFileLoadAndSave();
    void headerFileStatuses();
};

void TestRichText::writerThenReaderGivesTheSameDocument_data()
{
    QTest::addColumn<RichTextDocument>("document");

    using A = ParagraphAlignment;
    QTest::newRow("empty") << RichTextDocument{};
    QTest::newRow("one plain line") << document({plain(u"Obchod"_s)});
    QTest::newRow("default header") << RichTextDocument::fromPlainLines(ReceiptHeaderFile::defaultLines());
    QTest::newRow("alignments and empty paragraphs") << document(
        {plain(u"vľavo"_s), RichTextParagraph{A::Center, {}}, plain(u"stred"_s, A::Center),
         plain(u"vpravo"_s, A::Right), plain(u"do bloku"_s, A::Justify), RichTextParagraph{A::Right, {}}});
    QTest::newRow("formats side by side")
        << document({paragraph(A::Center, {{u"Potraviny "_s, format(true, false, false, 32)},
                                           {u"Ľubica"_s, format(true, true, false, 32)},
                                           {u" s.r.o."_s, format(false, false, true, 16)},
                                           {u" "_s, format(true, true, true, 7)},
                                           {u"koniec"_s, {}}})});
    QTest::newRow("Slovak letters") << document(
        {plain(u"ČŠŽĽŤĎŇÁÉÍÓÚÝÔÄŔĹ čšžľťďňáéíóúýôäŕĺ"_s), plain(u"€ „úvodzovky“ – §"_s)});
    QTest::newRow("outside code page 1250") << document({plain(u"ǎ ж ß 中文 😀 \uFFFD"_s), plain(u"𝄞"_s)});
    QTest::newRow("syntax characters and leading blanks")
        << document({plain(u"  {\\rtf1 \\par} \\'e8 \\u269? {"_s), plain(u" "_s)});
    QTest::newRow("tab, line break and control characters")
        << document({plain(u"IČO:\t123\nDIČ:\t456"_s), plain(u"a\u0001b\u007Fc\rd"_s)});
}

void TestRichText::writerThenReaderGivesTheSameDocument()
{
    QFETCH(RichTextDocument, document);
    const QByteArray rtf = RtfWriter::write(document);
    QVERIFY(RtfReader::isRtf(rtf));
    QCOMPARE(RtfReader::read(rtf), document);
}

void TestRichText::writerOutputIsSevenBitWithCodePage1250()
{
    // Readers that know no Unicode still get the Slovak letters through the code page.
    const QByteArray rtf = RtfWriter::write(document({plain(u"čaj ž ô €"_s)}));
    QVERIFY(rtf.contains("\\ansicpg1250"));
    QVERIFY(rtf.contains("\\'e8aj \\'9e \\'f4 \\'80"));
    for (const char c : rtf)
        QVERIFY(static_cast<unsigned char>(c) < 0x80);
}

void TestRichText::filesOfAnotherProgram_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<RichTextDocument>("expected");

    using A = ParagraphAlignment;
    const RichTextFormat small = format(false, false, false, 20);
    QTest::newRow("latex2rtf, Unicode characters")
        << u"header_centered.rtf"_s
        << document({paragraph(A::Center,
                               {{u"Potraviny u Ľubice, s.r.o."_s, format(true, false, false)}, {u" "_s, {}}}),
                     paragraph(A::Justify, {{u"Hlavná ulica č. 5, 974 01 Banská Bystrica"_s, small}}),
                     paragraph(A::Justify,
                               {{u"IČO: 12345678, DIČ: 2020123456"_s, format(false, true, false, 20)}}),
                     paragraph(A::Justify, {{u"Ďakujeme za nákup! Vráťte sa čoskoro."_s,
                                             format(false, false, true, 20)}}),
                     paragraph(A::Justify, {{u"Čaj, šťava, žemľa, ôsmy, päť, mäso"_s, {}}}),
                     paragraph(A::Right, {{u"Tel.: 048/123 45 67 "_s, {}}})});
    QTest::newRow("latex2rtf, fallback characters and 8-bit letters")
        << u"header_accents.rtf"_s
        << document({paragraph(A::Center, {{u"Mliekareň Žilina"_s, format(true, false, false, 28)}}),
                     paragraph(A::Center, {{u"Predájna č. 3"_s, format(false, true, false)}, {u" "_s, {}}}),
                     paragraph(A::Justify, {{u"Košice – Staré Mesto, Námestie 1"_s, small}}),
                     paragraph(A::Justify, {{u"Tel.: 055/987 65 43"_s, small}}),
                     paragraph(A::Justify,
                               {{u"Otácǎjte: ľad, ô, ä, ď, ť, ň, í, ý, ú"_s, format(true, true, false, 20)},
                                {u" "_s, small},
                                {u"malé písmo"_s, format(false, false, false, 18)}}),
                     paragraph(A::Right, {{u"ŠŤČŽĽŇĎÁÉÍÓÚÝÔÄ"_s, format(true, false, true)}, {u" "_s, {}}})});
}

void TestRichText::filesOfAnotherProgram()
{
    QFETCH(QString, file);
    QFETCH(RichTextDocument, expected);
    const QByteArray rtf = dataFile(file);
    QVERIFY2(!rtf.isEmpty(), qPrintable(file));
    QVERIFY(RtfReader::isRtf(rtf));
    QCOMPARE(RtfReader::read(rtf), expected);
    // Written by us and read again, the header keeps its text and formats.
    QCOMPARE(RtfReader::read(RtfWriter::write(expected)), expected);
}

void TestRichText::readerText_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("text box in code page 1250")
        << QByteArray(
               "{\\rtf1\\ansi\\ansicpg1250\\deff0\\deflang1051{\\fonttbl{\\f0\\fnil\\fcharset238 MS Sans "
               "Serif;}}\r\n\\viewkind4\\uc1\\pard\\f0\\fs16 Potraviny \\'e8. 1\\par\r\n"
               "\\'8a\\'9dastn\\'e1 \\'9eena \\'bee\\par\r\n}\r\n")
        << QStringList{u"Potraviny č. 1"_s, u"Šťastná žena ľe"_s};
    QTest::newRow("font charset before the document code page")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fswiss\\fcharset238 Arial;}"
                      "{\\f1\\fswiss\\fcharset0 Arial;}}\\f0 \\'e8\\f1 \\'e8{\\f0 \\'e8}\\'e8\\par}")
        << QStringList{u"čèčè"_s};
    QTest::newRow("default font's charset applies without \\f")
        << QByteArray("{\\rtf1\\ansi\\deff1{\\fonttbl{\\f1\\fcharset238 Arial;}}\\'9d\\par}")
        << QStringList{u"ť"_s};
    QTest::newRow("plain \\ansi is code page 1252")
        << QByteArray("{\\rtf1\\ansi \\'e8\\'80\\par}") << QStringList{u"è€"_s};
    QTest::newRow("\\uc0 has no fallback")
        << QByteArray("{\\rtf1\\uc0 \\u269\\u353 x\\par}") << QStringList{u"čšx"_s};
    QTest::newRow("\\uc2 skips two") << QByteArray("{\\rtf1\\uc2 \\u269??x\\par}") << QStringList{u"čx"_s};
    QTest::newRow("fallback given as hex byte")
        << QByteArray("{\\rtf1\\uc1 \\u269\\'e8x\\par}") << QStringList{u"čx"_s};
    QTest::newRow("\\uc ends with its group")
        << QByteArray("{\\rtf1 {\\uc2 \\u269??}\\u269?x\\par}") << QStringList{u"ččx"_s};
    QTest::newRow("fallback cut short by a group")
        << QByteArray("{\\rtf1\\uc3 \\u269?{x}y\\par}") << QStringList{u"čxy"_s};
    QTest::newRow("negative \\u and surrogate pair")
        << QByteArray("{\\rtf1 \\u-1279?\\u-10179?\\u-8704?\\par}") << QStringList{u"ﬁ😀"_s};
    QTest::newRow("tables, information and unknown destinations skipped")
        << QByteArray(
               "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red0\\green0\\blue0;}{\\stylesheet{\\s0 "
               "Normal;}}{\\info{\\title Nadpis}{\\author Ja}}{\\*\\generator Nieco;}{\\*\\unknown text "
               "\\par}{\\header hlavicka\\par}{\\footer\\pard\\qc\\chpgn\\par}A\\par}")
        << QStringList{u"A"_s};
    QTest::newRow("field shows its result") << QByteArray("{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"x\"}"
                                                          "{\\fldrslt www.obchod.sk}}\\par}")
                                            << QStringList{u"www.obchod.sk"_s};
    QTest::newRow("picture skipped") << QByteArray("{\\rtf1 A{\\pict\\wmetafile8 0102ff}B\\par}")
                                     << QStringList{u"AB"_s};
    QTest::newRow("\\bin skips raw bytes, braces included")
        << QByteArray("{\\rtf1 A{\\pict\\bin4 }}{{}B\\par}") << QStringList{u"AB"_s};
    QTest::newRow("tab, line and escaped characters")
        << QByteArray("{\\rtf1 a\\tab b\\line c \\{\\}\\\\\\par}") << QStringList{u"a\tb"_s, u"c {}\\"_s};
    QTest::newRow("last paragraph without \\par, braces missing")
        << QByteArray("{\\rtf1 A\\par B") << QStringList{u"A"_s, u"B"_s};
    QTest::newRow("empty paragraphs kept")
        << QByteArray("{\\rtf1 A\\par\\par B\\par}") << QStringList{u"A"_s, QString(), u"B"_s};
    QTest::newRow("text after the document is not part of it")
        << QByteArray("{\\rtf1 A\\par}B\\par") << QStringList{u"A"_s};
    QTest::newRow("raw line ends are not text")
        << QByteArray("{\\rtf1 Ab\r\ncd\\\r\nef\\par}") << QStringList{u"Abcd"_s, u"ef"_s};
    QTest::newRow("special characters")
        << QByteArray("{\\rtf1 a\\~b\\_c\\-d \\ldblquote x\\rdblquote  \\endash\\bullet\\emdash\\par}")
        << QStringList{u"a\u00A0b-cd “x” –•—"_s};
    QTest::newRow("delimiting blank belongs to the word")
        << QByteArray("{\\rtf1 \\b  x\\b0  y\\par}") << QStringList{u" x y"_s};
}

void TestRichText::readerText()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QStringList, lines);
    const RichTextDocument document = RtfReader::read(rtf);
    QCOMPARE(document.plainLines(), lines);
    QVERIFY(runsAreCanonical(document));
}

void TestRichText::readerFormatting()
{
    using A = ParagraphAlignment;
    const QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg1250\\pard\\qc{\\b\\fs32 Tu\\'e8ne}{\\b\\fs32  a}\\par"
        "\\pard\\qr\\i kurz\\i0\\ul pod\\ulnone\\uldb dvojite\\ul0\\plain\\fs20  mal\\'e9\\par"
        "\\pard\\qj{\\b\\i\\ul x}\\ql\\par"
        "\\qc\\b\\fs0 y\\b0\\fs z}";
    const RichTextDocument expected =
        document({paragraph(A::Center, {{u"Tučne a"_s, format(true, false, false, 32)}}),
                  paragraph(A::Right, {{u"kurz"_s, format(false, true, false)},
                                       {u"pod"_s, format(false, false, true)},
                                       {u"dvojite"_s, format(false, false, true)},
                                       {u" malé"_s, format(false, false, false, 20)}}),
                  // The alignment in effect at the end of the paragraph counts; \\pard keeps the font.
                  paragraph(A::Left, {{u"x"_s, format(true, true, true, 20)}}),
                  paragraph(A::Center, {{u"y"_s, format(true, false, false)}, {u"z"_s, {}}})});
    QCOMPARE(RtfReader::read(rtf), expected);
}

void TestRichText::damagedInputNeverCrashes_data()
{
    QTest::addColumn<QByteArray>("rtf");

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("only an opening brace") << QByteArray("{");
    QTest::newRow("cut in the signature") << QByteArray("{\\rt");
    QTest::newRow("backslash at the end") << QByteArray("{\\rtf1 a\\");
    QTest::newRow("hex escape cut off") << QByteArray("{\\rtf1 a\\'4");
    QTest::newRow("hex escape not hex") << QByteArray("{\\rtf1 a\\'zz");
    QTest::newRow("closing braces first") << QByteArray("}}}}{\\rtf1 x}");
    QTest::newRow("too many closing braces") << QByteArray("{\\rtf1 x}}}}}");
    QTest::newRow("deep nesting") << QByteArray(300000, '{') + "\\rtf1 x" + QByteArray(300000, '}');
    QTest::newRow("deep nesting never closed") << "{\\rtf1 " + QByteArray(1000000, '{') + "x\\par";
    QTest::newRow("deep destinations") << "{\\rtf1 " + QByteArray("{\\*\\x ").repeated(100000) + "x";
    QTest::newRow("\\bin beyond the end") << QByteArray("{\\rtf1 \\bin2147483647 abc}");
    QTest::newRow("\\bin far beyond int") << QByteArray("{\\rtf1 \\bin99999999999999999999 abc}");
    QTest::newRow("negative \\bin") << QByteArray("{\\rtf1 \\bin-5 abc}");
    QTest::newRow("\\u out of range") << QByteArray("{\\rtf1 \\u99999999999999 \\u-99999999 \\u0 x}");
    QTest::newRow("negative \\uc") << QByteArray("{\\rtf1 \\uc-5 \\u269 x}");
    QTest::newRow("huge \\uc") << QByteArray("{\\rtf1 \\uc2147483647 \\u269 xyz}");
    QTest::newRow("font size out of range") << QByteArray("{\\rtf1 \\fs99999999999 a\\fs-10 b\\fs0 c}");
    QTest::newRow("unknown fonts and code pages") << QByteArray(
        "{\\rtf1\\ansicpg99999\\deff-7{\\fonttbl{\\cpg-1 x;}\\f-1\\fcharset238;}\\f-1 \\'e8\\f9 \\'e8}");
    QTest::newRow("very long control word") << "{\\rtf1 \\" + QByteArray(100000, 'a') + "123456789012345 x}";
    QTest::newRow("lone destination mark") << QByteArray("{\\rtf1 \\*");
    QTest::newRow("NUL bytes") << QByteArray("{\\rtf1 a\0b\\\0c\\'\0\0}", 19);

    QByteArray random(1 << 20, Qt::Uninitialized);
    QRandomGenerator generator(1250);
    for (char &c : random)
        c = static_cast<char>(generator.bounded(256));
    QTest::newRow("binary") << random;
    QTest::newRow("binary after the signature") << "{\\rtf1 " + random;
    QByteArray syntax;
    const char pieces[][8] = {"{",   "}",     "\\", "\\'", "\\u", "\\b", "\\par",
                              "\\*", "\\bin", "-",  "9",   " ",   "e8"};
    for (int i = 0; i < 200000; ++i)
        syntax += pieces[generator.bounded(int(std::size(pieces)))];
    QTest::newRow("random syntax") << "{\\rtf1 " + syntax;
    QTest::newRow("huge text") << "{\\rtf1 " + QByteArray("Potraviny \\'e8. 1\\par ").repeated(400000) + "}";
}

void TestRichText::damagedInputNeverCrashes()
{
    QFETCH(QByteArray, rtf);
    QElapsedTimer timer;
    timer.start();
    const RichTextDocument document = RtfReader::read(rtf);
    QVERIFY(runsAreCanonical(document));
    qsizetype characters = 0;
    for (const RichTextParagraph &paragraph : document.paragraphs)
        characters += paragraph.text().size();
    QVERIFY(characters <= rtf.size());
    QVERIFY2(timer.elapsed() < 10000, "reading must stay linear in the input");
}

void TestRichText::plainTextFallback_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("CR LF lines in code page 1250") << QByteArray("Potraviny \xe8. 1\r\nI\xc8O: 123\r\n")
                                                   << QStringList{u"Potraviny č. 1"_s, u"IČO: 123"_s};
    QTest::newRow("LF and CR, no final line end")
        << QByteArray("a\nb\rc") << QStringList{u"a"_s, u"b"_s, u"c"_s};
    QTest::newRow("empty lines kept")
        << QByteArray("a\r\n\r\nb\r\n\r\n") << QStringList{u"a"_s, QString(), u"b"_s, QString()};
    QTest::newRow("UTF-8 after a byte-order mark") << QByteArray("\xEF\xBB\xBF\xC4\x8D"
                                                                 "aj\n")
                                                   << QStringList{u"čaj"_s};
    QTest::newRow("NUL bytes dropped") << QByteArray("a\0b\n", 4) << QStringList{u"ab"_s};
    QTest::newRow("empty file") << QByteArray() << QStringList{};
    QTest::newRow("RTF-like but not RTF") << QByteArray(" {\\rtf1 x}") << QStringList{u" {\\rtf1 x}"_s};
}

void TestRichText::plainTextFallback()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QVERIFY(!RtfReader::isRtf(bytes));
    const RichTextDocument document = ReceiptHeaderFile::parse(bytes);
    QCOMPARE(document.plainLines(), lines);
    for (const RichTextParagraph &paragraph : document.paragraphs)
        QCOMPARE(paragraph.alignment, ParagraphAlignment::Left);
}

void TestRichText::headerFileLoadAndSave()
{
    QTemporaryDir dir;
    const QString path = ReceiptHeaderFile::filePath(dir.path() + u'/');
    QCOMPARE(path, dir.filePath(u"hlavicka.cfg"_s));

    const RichTextDocument header = document(
        {paragraph(ParagraphAlignment::Center, {{u"Mäsiarstvo Ôsvald"_s, format(true, false, false, 28)}}),
         plain(u"IČO: 12345678"_s)});
    QVERIFY(ReceiptHeaderFile::save(path, header));
    const ReceiptHeaderFile::LoadResult loaded = ReceiptHeaderFile::load(path);
    QCOMPARE(loaded.status, ReceiptHeaderFile::Status::Loaded);
    QCOMPARE(loaded.document, header);
    QCOMPARE(loaded.document.plainLines(), (QStringList{u"Mäsiarstvo Ôsvald"_s, u"IČO: 12345678"_s}));

    // The printer's header lines saved as text read as lines too.
    TestPaths::writeFile(path, "OBCHOD s.r.o.\r\nDI\xc8: 2020\r\n");
    QCOMPARE(ReceiptHeaderFile::load(path).document.plainLines(),
             (QStringList{u"OBCHOD s.r.o."_s, u"DIČ: 2020"_s}));

    QVERIFY(!ReceiptHeaderFile::save(dir.filePath(u"chyba/hlavicka.cfg"_s), header));
}

void TestRichText::headerFileStatuses()
{
    QTemporaryDir dir;
    QCOMPARE(ReceiptHeaderFile::load(dir.filePath(u"hlavicka.cfg"_s)).status,
             ReceiptHeaderFile::Status::Missing);
    QCOMPARE(ReceiptHeaderFile::load(dir.path()).status, ReceiptHeaderFile::Status::Unreadable);

    QFile large(dir.filePath(u"large.cfg"_s));
    QVERIFY(large.open(QIODevice::WriteOnly));
    QVERIFY(large.resize(ReceiptHeaderFile::MaximumSize + 1)); // sparse, costs no disk
    large.close();
    QCOMPARE(ReceiptHeaderFile::load(large.fileName()).status, ReceiptHeaderFile::Status::TooLarge);

    QCOMPARE(ReceiptHeaderFile::defaultLines().size(), 5);
    QCOMPARE(ReceiptHeaderFile::defaultLines().first(), u"Vyplňte Vaše identifikačné údaje"_s);
}

QTEST_GUILESS_MAIN(TestRichText)
#include "tst_richtext.moc"

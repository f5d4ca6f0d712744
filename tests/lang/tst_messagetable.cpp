#include "TestPaths.h"
#include "base/Cp1250.h"
#include "lang/MessageTable.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestMessageTable : public QObject
{
    Q_OBJECT

private slots:
    void placeholdersBeforeLoading();
    void parse_data();
    void parse();
    void laterSectionOverwritesEarlierOne();
    void missingFileKeepsPlaceholders();
    void folderInsteadOfFileIsMissing();
    void codePage1250RoundTrip();
    void damagedFilesNeverBreakTheTable();
};

void TestMessageTable::placeholdersBeforeLoading()
{
    const MessageTable table;
    QCOMPARE(table.text(0), u"[MSG_0]"_s);
    QCOMPARE(table.text(Msg(137)), u"[MSG_137]"_s);
    QCOMPARE(table.text(499), u"[MSG_499]"_s);
}

void TestMessageTable::parse_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray twoSections = "[MSG_3]\r\nHello\r\n[MSG_4]\r\nWorld\r\n";
    QTest::newRow("line end before the next header dropped") << twoSections << 3 << QByteArray("Hello");
    QTest::newRow("last section keeps its line end") << twoSections << 4 << QByteArray("World\r\n");
    QTest::newRow("unnamed slot keeps its placeholder") << twoSections << 5 << QByteArray("[MSG_5]");
    QTest::newRow("several lines") << QByteArray("[MSG_1]\r\na\r\nb\r\n[MSG_2]\r\n") << 1
                                   << QByteArray("a\r\nb");
    QTest::newRow("leading zeros") << QByteArray("[MSG_007]\r\nseven") << 7 << QByteArray("seven");
    QTest::newRow("digits after the last underscore")
        << QByteArray("[MY_MSG_12]\r\ntwelve") << 12 << QByteArray("twelve");
    QTest::newRow("no underscore takes all digits") << QByteArray("[M1S2]\r\nx") << 12 << QByteArray("x");
    QTest::newRow("header without digits is slot 0")
        << QByteArray("[MSG_]\r\nzero") << 0 << QByteArray("zero");
    QTest::newRow("number past the table skipped")
        << QByteArray("[MSG_512]\r\nlost\r\n[MSG_6]\r\nsix") << 6 << QByteArray("six");
    QTest::newRow("skipped text lands nowhere")
        << QByteArray("[MSG_512]\r\nlost\r\n[MSG_6]\r\nsix") << 0 << QByteArray("[MSG_0]");
    QTest::newRow("huge number skipped")
        << QByteArray("[MSG_99999999999999999999]\r\nx\r\n[MSG_1]\r\n1") << 1 << QByteArray("1");
    QTest::newRow("text before the first header without its first byte")
        << QByteArray("abc\r\n[MSG_1]\r\nx") << 0 << QByteArray("bc");
    QTest::newRow("text of one byte becomes empty")
        << QByteArray("[MSG_2]\r\nx[MSG_3]\r\n") << 2 << QByteArray();
    QTest::newRow("file ends inside a header")
        << QByteArray("[MSG_1]\r\na\r\n[MSG_2") << 1 << QByteArray("a");
    QTest::newRow("header without line end is not applied")
        << QByteArray("[MSG_1]\r\na\r\n[MSG_2") << 2 << QByteArray("[MSG_2]");
    QTest::newRow("300 bytes keep 247 before a header")
        << QByteArray("[MSG_9]\r\n" + QByteArray(300, 'x') + "[MSG_10]\r\n") << 9 << QByteArray(247, 'x');
    QTest::newRow("300 bytes keep 249 at the end")
        << QByteArray("[MSG_9]\r\n" + QByteArray(300, 'x')) << 9 << QByteArray(249, 'x');
    QTest::newRow("zero byte ends the text") << QByteArray("[MSG_1]\r\nab\0cd", 14) << 1 << QByteArray("ab");
    QTest::newRow("code page 1250 bytes")
        << QByteArray("[MSG_1]\r\nTla\xE8\r\n[MSG_2]\r\n") << 1 << QByteArray("Tla\xE8");
}

void TestMessageTable::parse()
{
    QFETCH(QByteArray, content);
    QFETCH(int, slot);
    QFETCH(QByteArray, expected);
    MessageTable table;
    table.parse(content);
    QCOMPARE(table.bytes(slot), expected);
}

void TestMessageTable::laterSectionOverwritesEarlierOne()
{
    MessageTable table;
    table.parse("[MSG_1]\r\nfirst and long\r\n[MSG_1]\r\nsecond\r\n[MSG_2]\r\n");
    QCOMPARE(table.bytes(1), QByteArray("second"));
}

void TestMessageTable::missingFileKeepsPlaceholders()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"vx60_sk.msg"_s);
    MessageTable table;
    table.parse("[MSG_1]\r\nold\r\n");
    QCOMPARE(table.load(path), MessageTable::LoadResult::Missing);
    QCOMPARE(table.text(1), u"[MSG_1]"_s);

    TestPaths::writeFile(path, "[MSG_1]\r\nnew");
    QCOMPARE(table.load(path), MessageTable::LoadResult::Loaded);
    QCOMPARE(table.text(1), u"new"_s);
}

void TestMessageTable::folderInsteadOfFileIsMissing()
{
    // An empty message-file name leaves the program folder itself as the path.
    QTemporaryDir dir;
    MessageTable table;
    QCOMPARE(table.load(dir.path() + u'/'), MessageTable::LoadResult::Missing);
}

void TestMessageTable::codePage1250RoundTrip()
{
    QByteArray all(256, '\0');
    for (int i = 0; i < 256; ++i)
        all[i] = char(i);
    QCOMPARE(Cp1250::encode(Cp1250::decode(all)), all);
    QCOMPARE(Cp1250::decode("\xC8\xED\x9E\x8A\xBE\xE4\xF4\x80"), u"ČížŠľäô€"_s);
    QCOMPARE(Cp1250::encode(u"Ťťĺ→"_s), QByteArray("\x8D\x9D\xE5?"));
}

void TestMessageTable::damagedFilesNeverBreakTheTable()
{
    // Random bytes with many headers and line ends, and one very long line.
    QRandomGenerator random(1250);
    for (int round = 0; round < 200; ++round) {
        QByteArray content(random.bounded(1, 4000), '\0');
        for (char &byte : content) {
            const quint32 pick = random.bounded(10);
            byte = pick == 0 ? '[' : pick == 1 ? '\n' : pick == 2 ? '_' : char(random.bounded(256));
        }
        MessageTable table;
        table.parse(content);
        for (int slot = 0; slot < MessageTable::SlotCount; ++slot)
            QVERIFY(table.bytes(slot).size() < MessageTable::SlotSize);
    }
    MessageTable table;
    table.parse("[MSG_1]\r\n" + QByteArray(1 << 20, 'x') + "\r\n[MSG_2]\r\ntwo");
    QCOMPARE(table.bytes(1).size(), 247);
    QCOMPARE(table.bytes(2), QByteArray("two"));
}

QTEST_GUILESS_MAIN(TestMessageTable)
#include "tst_messagetable.moc"

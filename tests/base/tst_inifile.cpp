#include "TestPaths.h"
#include "base/IniFile.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestIniFile : public QObject
{
    Q_OBJECT

private slots:
    void readString_data();
    void readString();
    void readInt_data();
    void readInt();
    void readDouble();
    void write_data();
    void write();
    void missingFileGivesDefaultsAndIsCreatedOnWrite();
    void binaryFileDoesNotBreakReading();
};

static IniFile iniOf(const QByteArray &content)
{
    IniFile ini(QString{});
    ini.setBytes(content);
    return ini;
}

void TestIniFile::readString_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    const QByteArray plain = "[CONFIG]\r\nTM=RL70ZQ\r\n";
    QTest::newRow("plain") << plain << u"CONFIG"_s << u"TM"_s << u"RL70ZQ"_s;
    QTest::newRow("names ignore case") << plain << u"config"_s << u"tm"_s << u"RL70ZQ"_s;
    QTest::newRow("missing key") << plain << u"CONFIG"_s << u"LAN"_s << u"<def>"_s;
    QTest::newRow("missing section") << plain << u"PLATBA"_s << u"TM"_s << u"<def>"_s;
    QTest::newRow("blanks around name and value")
        << QByteArray("  [CONFIG]  \r\n\t TM \t=  a b  \r\n") << u"CONFIG"_s << u"TM"_s << u"a b"_s;
    QTest::newRow("blanks around requested names") << plain << u" CONFIG "_s << u" TM "_s << u"RL70ZQ"_s;
    QTest::newRow("double quotes removed") << QByteArray("[s]\nk=\" x \"\n") << u"s"_s << u"k"_s << u" x "_s;
    QTest::newRow("single quotes removed") << QByteArray("[s]\nk='x'\n") << u"s"_s << u"k"_s << u"x"_s;
    QTest::newRow("unmatched quotes kept") << QByteArray("[s]\nk=\"x'\n") << u"s"_s << u"k"_s << u"\"x'"_s;
    QTest::newRow("lone quote kept") << QByteArray("[s]\nk=\"\n") << u"s"_s << u"k"_s << u"\""_s;
    QTest::newRow("first duplicate key wins") << QByteArray("[s]\nk=1\nk=2\n") << u"s"_s << u"k"_s << u"1"_s;
    QTest::newRow("first duplicate section wins")
        << QByteArray("[s]\na=1\n[S]\na=2\nb=3\n") << u"s"_s << u"b"_s << u"<def>"_s;
    QTest::newRow("line without equals is no value")
        << QByteArray("[s]\nk\nk=2\n") << u"s"_s << u"k"_s << u"<def>"_s;
    QTest::newRow("empty value is a value") << QByteArray("[s]\nk=\n") << u"s"_s << u"k"_s << QString();
    QTest::newRow("comment line is not the key")
        << QByteArray("[s]\n;k=1\nk=2\n") << u"s"_s << u"k"_s << u"2"_s;
    QTest::newRow("keys before the first section belong to none")
        << QByteArray("k=0\n[s]\n") << u"s"_s << u"k"_s << u"<def>"_s;
    QTest::newRow("equals sign inside the value")
        << QByteArray("[s]\nk=a=b\n") << u"s"_s << u"k"_s << u"a=b"_s;
    QTest::newRow("section name up to the last bracket")
        << QByteArray("[a]b] ;x\nk=1\n") << u"a]b"_s << u"k"_s << u"1"_s;
    QTest::newRow("bracket without close is a key line")
        << QByteArray("[s]\n[k=1\n") << u"s"_s << u"[k"_s << u"1"_s;
    QTest::newRow("code page 1250") << QByteArray("[PLATBA]\nPLAT_1=Hotovos\x9D:\n") << u"platba"_s
                                    << u"plat_1"_s << u"Hotovosť:"_s;
    QTest::newRow("Slovak names ignore case") << QByteArray("[\x8A"
                                                            "ek]\n\xC8\xCD\x8ELO=1\n")
                                              << u"šek"_s << u"čížlo"_s << u"1"_s;
    QTest::newRow("UTF-8 with byte-order mark")
        << QByteArray("\xEF\xBB\xBF[s]\nk=\xC5\xA1\n") << u"s"_s << u"k"_s << u"š"_s;
    QTest::newRow("last line without line end") << QByteArray("[s]\nk=1") << u"s"_s << u"k"_s << u"1"_s;
    QTest::newRow("value ends at a zero byte")
        << QByteArray("[s]\nk=ab\0cd\n", 12) << u"s"_s << u"k"_s << u"ab"_s;
}

void TestIniFile::readString()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    QCOMPARE(iniOf(content).readString(section, key, u"<def>"_s), expected);
}

void TestIniFile::readInt_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("expected");

    QTest::newRow("decimal") << QByteArray("300") << 300;
    QTest::newRow("negative") << QByteArray("-5") << -5;
    QTest::newRow("plus sign") << QByteArray("+7") << 7;
    QTest::newRow("hexadecimal 0x") << QByteArray("0x1A") << 26;
    QTest::newRow("hexadecimal $") << QByteArray("$ff") << 255;
    QTest::newRow("quoted") << QByteArray("\"12\"") << 12;
    QTest::newRow("not a number") << QByteArray("abc") << -1;
    QTest::newRow("trailing text") << QByteArray("12abc") << -1;
    QTest::newRow("inner blank") << QByteArray("1 2") << -1;
    QTest::newRow("empty") << QByteArray("") << -1;
    QTest::newRow("sign only") << QByteArray("-") << -1;
    QTest::newRow("largest") << QByteArray("2147483647") << 2147483647;
    QTest::newRow("smallest") << QByteArray("-2147483648") << int(-2147483647 - 1);
    QTest::newRow("too large") << QByteArray("2147483648") << -1;
    QTest::newRow("far too large") << QByteArray("99999999999999999999999") << -1;
    QTest::newRow("decimal point") << QByteArray("1.5") << -1;
}

void TestIniFile::readInt()
{
    QFETCH(QByteArray, value);
    QFETCH(int, expected);
    QCOMPARE(iniOf("[s]\nk=" + value + "\n").readInt(u"s"_s, u"k"_s, -1), expected);
}

void TestIniFile::readDouble()
{
    const IniFile ini = iniOf("[s]\ncomma=12,5\npoint=12.5\nword=x\n");
    const QLocale slovak(QLocale::Slovak, QLocale::Slovakia);
    QCOMPARE(ini.readDouble(u"s"_s, u"comma"_s, -1, slovak), 12.5);
    QCOMPARE(ini.readDouble(u"s"_s, u"point"_s, -1, QLocale::c()), 12.5);
    QCOMPARE(ini.readDouble(u"s"_s, u"word"_s, -1, slovak), -1.0);
    QCOMPARE(ini.readDouble(u"s"_s, u"missing"_s, -1, slovak), -1.0);
}

void TestIniFile::write_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("replace in place, other lines untouched")
        << QByteArray("; top\r\n[A]\r\n  Key = old ; note\r\nx=1\r\n") << u"a"_s << u"key"_s
        << QByteArray("; top\r\n[A]\r\n  Key=new\r\nx=1\r\n");
    QTest::newRow("missing key after the section's last entry")
        << QByteArray("[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n") << u"A"_s << u"k"_s
        << QByteArray("[A]\r\nx=1\r\nk=new\r\n\r\n[B]\r\ny=2\r\n");
    QTest::newRow("missing key in the last section without line end")
        << QByteArray("[A]\r\nx=1") << u"A"_s << u"k"_s << QByteArray("[A]\r\nx=1\r\nk=new\r\n");
    QTest::newRow("missing section at the end") << QByteArray("[A]\r\nx=1\r\n") << u"B"_s << u"k"_s
                                                << QByteArray("[A]\r\nx=1\r\n\r\n[B]\r\nk=new\r\n");
    QTest::newRow("empty file") << QByteArray() << u"B"_s << u"k"_s << QByteArray("[B]\r\nk=new\r\n");
    QTest::newRow("unix line ends kept")
        << QByteArray("[A]\nx=1\n") << u"A"_s << u"k"_s << QByteArray("[A]\nx=1\nk=new\n");
    QTest::newRow("key without value gets one")
        << QByteArray("[A]\r\nk\r\n") << u"A"_s << u"k"_s << QByteArray("[A]\r\nk=new\r\n");
    QTest::newRow("only the first duplicate changes")
        << QByteArray("[A]\r\nk=1\r\nk=2\r\n") << u"A"_s << u"K"_s << QByteArray("[A]\r\nk=new\r\nk=2\r\n");
    QTest::newRow("code page 1250 bytes elsewhere kept")
        << QByteArray("[A]\r\nn=\x8A\x9D\xFF\x81\r\n") << u"A"_s << u"k"_s
        << QByteArray("[A]\r\nn=\x8A\x9D\xFF\x81\r\nk=new\r\n");
}

void TestIniFile::write()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QByteArray, after);
    IniFile ini = iniOf(before);
    ini.setString(section, key, u"new"_s);
    QCOMPARE(ini.toBytes(), after);
    QCOMPARE(ini.readString(section, key, QString()), u"new"_s);
}

void TestIniFile::missingFileGivesDefaultsAndIsCreatedOnWrite()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"pokladna.ini"_s);
    IniFile ini(path);
    QVERIFY(!ini.load());
    QCOMPARE(ini.readInt(u"CONFIG"_s, u"LAN_DC"_s, 8000), 8000);
    QVERIFY(ini.writeString(u"CONFIG"_s, u"TM"_s, u"Šek"_s));
    QCOMPARE(TestPaths::readFile(path), QByteArray("[CONFIG]\r\nTM=\x8A"
                                                   "ek\r\n"));

    IniFile reread(path);
    QVERIFY(reread.load());
    QCOMPARE(reread.readString(u"config"_s, u"tm"_s, QString()), u"Šek"_s);

    IniFile inMissingFolder(dir.filePath(u"no/such/folder.ini"_s));
    QVERIFY(!inMissingFolder.writeString(u"A"_s, u"k"_s, u"v"_s));
}

void TestIniFile::binaryFileDoesNotBreakReading()
{
    QByteArray junk(70000, '\0');
    for (qsizetype i = 0; i < junk.size(); ++i)
        junk[i] = char((i * 7919) % 256);
    const IniFile ini = iniOf(junk + "\n[s]\nk=1\n" + QByteArray(100000, 'x'));
    QCOMPARE(ini.readInt(u"s"_s, u"k"_s, -1), 1);
    QCOMPARE(ini.readString(u"s"_s, u"nothing"_s, u"d"_s), u"d"_s);
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"

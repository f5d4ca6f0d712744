#include "TestPaths.h"
#include "omira-tm/SimulatorOptions.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestSimulatorOptions : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void exchangeFolderAndTitle_data();
    void exchangeFolderAndTitle();
    void faultOptions();
    void refusedValues_data();
    void refusedValues();

private:
    QString path(const QString &name) const { return QDir(m_dir.path()).filePath(name); }

    QTemporaryDir m_dir;
};

void TestSimulatorOptions::init()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir(m_dir.path()).mkpath(u"program/cennik"_s));
}

void TestSimulatorOptions::exchangeFolderAndTitle_data()
{
    QTest::addColumn<QByteArray>("pokladnaIni"); // of <dir>/program/cennik, "@" stands for <dir>
    QTest::addColumn<QStringList>("arguments");  // after the program name; "@" stands for <dir>
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("journal");

    const QStringList fromProgram = {u"--program-folder"_s, u"@/program"_s};
    QTest::newRow("defaults of an empty program folder")
        << QByteArray() << fromProgram << u"@/program/blocek.txt"_s << u"RL70ZQ"_s
        << u"@/program/omira-tm.ini"_s << u"@/program/journal"_s;
    QTest::newRow("own folder when none is named")
        << QByteArray() << QStringList() << u"@/program/blocek.txt"_s << u"RL70ZQ"_s
        << u"@/program/omira-tm.ini"_s << u"@/program/journal"_s;
    QTest::newRow("configured input file and title")
        << QByteArray("[CONFIG]\r\nTL_MAN=@/pm/in/blocek*.txt\r\nTM=Tla\xe8"
                      "iare\xf2\r\n")
        << fromProgram << u"@/pm/in/blocek.txt"_s << u"Tlačiareň"_s << u"@/pm/in/omira-tm.ini"_s
        << u"@/pm/in/journal"_s;
    QTest::newRow("relative input file lies in the program folder")
        << QByteArray("[CONFIG]\r\nTL_MAN=pm/blocek.txt\r\n") << fromProgram << u"@/program/pm/blocek.txt"_s
        << u"RL70ZQ"_s << u"@/program/pm/omira-tm.ini"_s << u"@/program/pm/journal"_s;
    QTest::newRow("input and title given")
        << QByteArray("[CONFIG]\r\nTL_MAN=@/pm/blocek.txt\r\nTM=Other\r\n")
        << (fromProgram + QStringList{u"--input"_s, u"@/x/in.txt"_s, u"--title"_s, u"Mine"_s})
        << u"@/x/in.txt"_s << u"Mine"_s << u"@/x/omira-tm.ini"_s << u"@/x/journal"_s;
    QTest::newRow("input alone keeps the default title")
        << QByteArray("[CONFIG]\r\nTM=Other\r\n") << QStringList{u"--input"_s, u"@/x/in.txt"_s}
        << u"@/x/in.txt"_s << u"RL70ZQ"_s << u"@/x/omira-tm.ini"_s << u"@/x/journal"_s;
    QTest::newRow("state and journal given")
        << QByteArray()
        << (fromProgram + QStringList{u"--state"_s, u"@/s/tm.ini"_s, u"--journal"_s, u"@/j"_s})
        << u"@/program/blocek.txt"_s << u"RL70ZQ"_s << u"@/s/tm.ini"_s << u"@/j"_s;
    QTest::newRow("journal follows the state file")
        << QByteArray() << (fromProgram + QStringList{u"--state"_s, u"@/s/tm.ini"_s})
        << u"@/program/blocek.txt"_s << u"RL70ZQ"_s << u"@/s/tm.ini"_s << u"@/s/journal"_s;
}

void TestSimulatorOptions::exchangeFolderAndTitle()
{
    QFETCH(QByteArray, pokladnaIni);
    QFETCH(QStringList, arguments);
    QFETCH(QString, input);
    QFETCH(QString, title);
    QFETCH(QString, state);
    QFETCH(QString, journal);

    const QString root = m_dir.path();
    QVERIFY(TestPaths::writeFile(path(u"program/cennik/pokladna.ini"_s),
                                 pokladnaIni.replace('@', root.toUtf8())));
    QStringList commandLine{u"omira-tm"_s};
    for (const QString &argument : std::as_const(arguments))
        commandLine.append(QString(argument).replace(u'@', root));

    const SimulatorOptions options = SimulatorOptions::parse(commandLine, path(u"program"_s));
    QVERIFY2(options.error.isEmpty(), qPrintable(options.error));
    QCOMPARE(options.settings.inputPath, input.replace(u'@', root));
    QCOMPARE(options.settings.title, title);
    QCOMPARE(options.settings.statePath, state.replace(u'@', root));
    QCOMPARE(options.settings.journalFolder, journal.replace(u'@', root));
}

void TestSimulatorOptions::faultOptions()
{
    const SimulatorOptions options =
        SimulatorOptions::parse({u"omira-tm"_s, u"--input"_s, path(u"in.txt"_s), u"--status-word"_s,
                                 u"0x1001"_s, u"--reply-delay"_s, u"250"_s, u"--poll-interval"_s, u"5"_s,
                                 u"--no-reply"_s, u"--no-take"_s, u"--malformed"_s, u"--headless"_s},
                                m_dir.path());
    QVERIFY2(options.error.isEmpty(), qPrintable(options.error));
    QCOMPARE(options.settings.statusWord, 0x1001u);
    QCOMPARE(options.settings.replyDelayMs, 250);
    QCOMPARE(options.settings.pollIntervalMs, 5);
    QVERIFY(options.settings.noReply && options.settings.noTake && options.settings.malformed &&
            options.headless);

    const SimulatorOptions plain = SimulatorOptions::parse({u"omira-tm"_s}, m_dir.path());
    QCOMPARE(plain.settings.statusWord, 1u);
    QVERIFY(!plain.settings.noReply && !plain.settings.noTake && !plain.settings.malformed &&
            !plain.headless);
}

void TestSimulatorOptions::refusedValues_data()
{
    QTest::addColumn<QStringList>("arguments");

    QTest::newRow("status word not hexadecimal") << QStringList{u"--status-word"_s, u"12G"_s};
    QTest::newRow("status word too long") << QStringList{u"--status-word"_s, u"100000000"_s};
    QTest::newRow("status word empty") << QStringList{u"--status-word"_s, u"0x"_s};
    QTest::newRow("negative delay") << QStringList{u"--reply-delay"_s, u"-1"_s};
    QTest::newRow("zero poll interval") << QStringList{u"--poll-interval"_s, u"0"_s};
    QTest::newRow("unknown option") << QStringList{u"--fast"_s};
    QTest::newRow("stray argument") << QStringList{u"blocek.txt"_s};
}

void TestSimulatorOptions::refusedValues()
{
    QFETCH(QStringList, arguments);
    const SimulatorOptions options =
        SimulatorOptions::parse(QStringList{u"omira-tm"_s} + arguments, m_dir.path());
    QVERIFY(!options.error.isEmpty());
}

QTEST_GUILESS_MAIN(TestSimulatorOptions)
#include "tst_simulatoroptions.moc"

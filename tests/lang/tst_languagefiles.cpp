#include "TestPaths.h"
#include "app/ConfigurationLoader.h"
#include "base/IniFile.h"
#include "lang/CaptionTable.h"
#include "lang/MessageIds.h"
#include "lang/MessageTable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

// The language files we ship must give every message the code cites and every
// caption key of the translation table a real text.
class TestLanguageFiles : public QObject
{
    Q_OBJECT

private slots:
    void everyCitedMessageHasText_data();
    void everyCitedMessageHasText();
    void everyCaptionKeyHasText_data();
    void everyCaptionKeyHasText();
    void shippedConfigurationSelectsTheLanguages();
    void shippedConfigurationMatchesTheBuiltInDefaults();
};

static void addLanguageRows()
{
    QTest::addColumn<QString>("messageFile");
    QTest::addColumn<QString>("captionFile");
    QTest::newRow("Slovak") << u"vx60_sk.msg"_s << u"vx60_sk.lng"_s;
    QTest::newRow("English") << u"vx60_en.msg"_s << u"vx60_en.lng"_s;
}

void TestLanguageFiles::everyCitedMessageHasText_data()
{
    addLanguageRows();
}

void TestLanguageFiles::everyCitedMessageHasText()
{
    QFETCH(QString, messageFile);
    MessageTable table;
    QCOMPARE(table.load(TestPaths::shippedLanguageFile(messageFile)), MessageTable::LoadResult::Loaded);
    QStringList missing;
    for (const Msg message : kCitedMessages) {
        const int slot = static_cast<int>(message);
        const QString text = table.text(message);
        if (text.trimmed().isEmpty() || text == u"[MSG_%1]"_s.arg(slot) || text.endsWith(u'\n'))
            missing.append(QString::number(slot));
    }
    QVERIFY2(missing.isEmpty(), qPrintable(u"messages without a proper text: "_s + missing.join(u", ")));
}

void TestLanguageFiles::everyCaptionKeyHasText_data()
{
    addLanguageRows();
}

void TestLanguageFiles::everyCaptionKeyHasText()
{
    QFETCH(QString, captionFile);
    IniFile file(TestPaths::shippedLanguageFile(captionFile));
    QVERIFY(file.load());
    QStringList missing;
    for (const CaptionEntry &entry : captionTable()) {
        const QString key = QString::fromLatin1(entry.key);
        if (file.readString(QString::fromLatin1(entry.section), key, QString()).trimmed().isEmpty())
            missing.append(key);
    }
    missing.removeDuplicates();
    QVERIFY2(missing.isEmpty(), qPrintable(u"caption keys without a text: "_s + missing.join(u", ")));
}

// A program folder holding the shipped configuration files.
static bool copyShippedConfiguration(const QString &folder)
{
    QDir(folder).mkpath(u"cennik"_s);
    return QFile::copy(TestPaths::shippedLanguageFile(u"qd60_cfg.ini"_s), folder + u"/qd60_cfg.ini"_s) &&
           QFile::copy(TestPaths::sourceDir() + u"/cennik/pokladna.ini"_s,
                       folder + u"/cennik/pokladna.ini"_s);
}

void TestLanguageFiles::shippedConfigurationSelectsTheLanguages()
{
    QTemporaryDir dir;
    QVERIFY(copyShippedConfiguration(dir.path()));
    const Configuration config = LoadConfiguration(dir.path(), CommandLine{});
    QCOMPARE(config.languageIndex, 0);
    QCOMPARE(config.messageFiles[0], u"vx60_sk.msg"_s);
    QCOMPARE(config.captionFiles[0], u"vx60_sk.lng"_s);
    QCOMPARE(config.messageFiles[1], u"vx60_en.msg"_s);
    QCOMPARE(config.captionFiles[1], u"vx60_en.lng"_s);
}

void TestLanguageFiles::shippedConfigurationMatchesTheBuiltInDefaults()
{
    QTemporaryDir shipped;
    QTemporaryDir empty;
    QVERIFY(copyShippedConfiguration(shipped.path()));
    Configuration fromFiles = LoadConfiguration(shipped.path(), CommandLine{});
    const Configuration builtIn = LoadConfiguration(empty.path(), CommandLine{});
    // Paths built from the program folder differ only by the folder.
    const auto relative = [](const QString &path, const QString &folder) {
        return QString(path).remove(folder);
    };
    QCOMPARE(relative(fromFiles.inputFile, shipped.path()), relative(builtIn.inputFile, empty.path()));
    QCOMPARE(relative(fromFiles.errorLogPath, shipped.path()), relative(builtIn.errorLogPath, empty.path()));
    QCOMPARE(relative(fromFiles.printManagerInput, shipped.path()),
             relative(builtIn.printManagerInput, empty.path()));
    QCOMPARE(relative(fromFiles.dataFolder, shipped.path()), relative(builtIn.dataFolder, empty.path()));
    QCOMPARE(fromFiles.errorLogOn, builtIn.errorLogOn);
    QCOMPARE(fromFiles.traceLog, builtIn.traceLog);
    QCOMPARE(fromFiles.startupDelay, builtIn.startupDelay);
    QCOMPARE(fromFiles.priorityClass, builtIn.priorityClass);
    QCOMPARE(fromFiles.accessTests, builtIn.accessTests);
    QCOMPARE(fromFiles.repeatDeletion, builtIn.repeatDeletion);
    QCOMPARE(fromFiles.databaseOn, builtIn.databaseOn);
    QCOMPARE(fromFiles.printManagerTitle, builtIn.printManagerTitle);
    QCOMPARE(fromFiles.infoTimeout, builtIn.infoTimeout);
    QCOMPARE(fromFiles.statusTimeout, builtIn.statusTimeout);
    QCOMPARE(fromFiles.repeatPeriod, builtIn.repeatPeriod);
    QCOMPARE(fromFiles.terminatePrintManager, builtIn.terminatePrintManager);
    QCOMPARE(fromFiles.saleScreenAtStart, builtIn.saleScreenAtStart);
    QCOMPARE(fromFiles.paymentMeans, builtIn.paymentMeans);
}

QTEST_GUILESS_MAIN(TestLanguageFiles)
#include "tst_languagefiles.moc"

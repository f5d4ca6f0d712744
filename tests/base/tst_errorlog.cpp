#include "ScriptedDialogs.h"
#include "TestPaths.h"
#include "base/ErrorLog.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestErrorLog : public QObject
{
    Q_OBJECT

private slots:
    void lineFormat_data();
    void lineFormat();
    void appendsOneLinePerEvent();
    void disabledLogTouchesNothing();
    void readOnlyLogIsAppendedTo();
    void unwritableLogIsReportedAndTheProgramGoesOn();
};

void TestErrorLog::lineFormat_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("firmware");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expectedAfterDate");

    QTest::newRow("no firmware") << QTime(9, 5, 3, 7) << QString() << u"To end by user"_s
                                 << QByteArray(" 9:05:03,007 Ver:Ver. 3.0.2 ) To end by user \r\n");
    QTest::newRow("firmware and late time") << QTime(23, 59, 59, 999) << u"FW 1.2"_s << u"x"_s
                                            << QByteArray(" 23:59:59,999 Ver:Ver. 3.0.2 FW 1.2) x \r\n");
    QTest::newRow("midnight") << QTime(0, 0, 0, 0) << QString() << QString()
                              << QByteArray(" 0:00:00,000 Ver:Ver. 3.0.2 )  \r\n");
    QTest::newRow("Slovak text in code page 1250")
        << QTime(12, 0) << QString() << u"Tlačový manažér"_s
        << QByteArray(" 12:00:00,000 Ver:Ver. 3.0.2 ) Tla\xE8ov\xFD "
                      "mana\x9E\xE9r \r\n");
}

void TestErrorLog::lineFormat()
{
    QFETCH(QTime, time);
    QFETCH(QString, firmware);
    QFETCH(QString, text);
    QFETCH(QByteArray, expectedAfterDate);
    const QLocale locale(QLocale::Slovak, QLocale::Slovakia);
    const QDate date(2026, 12, 10);
    const QByteArray expected =
        "> (" + locale.toString(date, QLocale::ShortFormat).toLatin1() + expectedAfterDate;
    QCOMPARE(ErrorLog::formatLine(QDateTime(date, time), locale, firmware, text), expected);
}

void TestErrorLog::appendsOneLinePerEvent()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"fm_err.txt"_s);
    TestPaths::writeFile(path, "earlier\r\n");
    ScriptedDialogs dialogs;
    ErrorLog log(path, true, dialogs);
    log.setLocale(QLocale::c());
    log.setClock([] { return QDateTime(QDate(2026, 1, 2), QTime(8, 7, 6, 5)); });
    log.WriteErrLog(u"Files found during start-up"_s);
    log.WriteErrLog(u"Deleted files during start-up"_s);
    const QList<QByteArray> lines = TestPaths::readFile(path).split('\n');
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines[0], QByteArray("earlier\r"));
    QVERIFY(lines[1].endsWith("8:07:06,005 Ver:Ver. 3.0.2 ) Files found during start-up \r"));
    QVERIFY(lines[2].endsWith(") Deleted files during start-up \r"));
    QVERIFY(dialogs.shown().isEmpty());
}

void TestErrorLog::disabledLogTouchesNothing()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"fm_err.txt"_s);
    ScriptedDialogs dialogs;
    ErrorLog log(path, false, dialogs);
    log.WriteErrLog(u"event"_s);
    QVERIFY(!QFile::exists(path));
    QVERIFY(dialogs.shown().isEmpty());
}

void TestErrorLog::readOnlyLogIsAppendedTo()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"fm_err.txt"_s);
    TestPaths::writeFile(path, "old\r\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup);
    ScriptedDialogs dialogs;
    ErrorLog log(path, true, dialogs);
    log.WriteErrLog(u"event"_s);
    QVERIFY(TestPaths::readFile(path).startsWith("old\r\n> ("));
    QVERIFY(dialogs.shown().isEmpty());
}

void TestErrorLog::unwritableLogIsReportedAndTheProgramGoesOn()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"missing/fm_err.txt"_s);
    ScriptedDialogs dialogs;
    ErrorLog log(path, true, dialogs);
    log.WriteErrLog(u"first"_s);
    log.WriteErrLog(u"second"_s);
    QCOMPARE(dialogs.shown().size(), 2);
    QCOMPARE(dialogs.shown()[0].text, path);
    QCOMPARE(dialogs.shown()[0].caption, u"first"_s);
    QCOMPARE(dialogs.shown()[1].caption, u"second"_s);
    QVERIFY(dialogs.shown()[0].topMost);
    QCOMPARE(dialogs.shown()[0].icon, UserDialogs::Icon::Warning);
}

QTEST_GUILESS_MAIN(TestErrorLog)
#include "tst_errorlog.moc"

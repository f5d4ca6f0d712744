// omira-import as a process, as a shop runs it: its lines and exit code, the backup it makes, the
// price list left whole when it stops, and a till holding the stock file meanwhile.
#include "TestPaths.h"
#include "base/IniFile.h"
#include "stock/DataFile.h"
#include "stock/PointOfSaleSettings.h"
#include "stock/StockTable.h"
#include "stock/TableLayouts.h"
#include "stock/UnitAndGroupNames.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

constexpr int TimeoutMs = 60000;

QString fixture(const QString &name)
{
    return QStringLiteral(OMIRA_STOCK_TEST_DATA) + u"/import/"_s + name;
}

// A program folder whose till works on a data folder beside it (LAN_PATH), with two cards.
struct Till
{
    Till()
    {
        programFolder = dir.filePath(u"program"_s);
        dataFolder = dir.filePath(u"data/"_s);
        QDir().mkpath(programFolder + u"/cennik"_s);
        QDir().mkpath(dataFolder);
        PointOfSaleSettings settings = PointOfSaleSettings::defaults(programFolder);
        settings.dataFolder = dataFolder;
        if (!settings.save(programFolder))
            qFatal("pokladna.ini");
        UnitAndGroupNames::fromLists({u"krát"_s, u"ks"_s, u"kg"_s, u"l"_s}, {u"Potraviny"_s})
            .save(dataFolder);
        DataFile stock;
        if (!stock.open(stockPath(), true) || !StockTable(stock).create())
            qFatal("stock table");
        for (const QString &kod : {u"100"_s, u"200"_s}) {
            StockRow row;
            row.kod = kod;
            row.nazov = u"Karta "_s + kod;
            StockTable(stock).insert(row);
        }
    }

    QString stockPath() const { return dataFolder + TableLayouts::StockFileName; }

    QStringList codes() const
    {
        QStringList all;
        DataFile stock;
        if (!stock.open(stockPath(), false))
            return {u"<unreadable>"_s};
        QSqlQuery query(stock.database());
        query.exec(u"SELECT KOD FROM VX60_SKLAD ORDER BY rowid"_s);
        while (query.next())
            all << query.value(0).toString();
        return all;
    }

    QStringList backups() const { return QDir(dataFolder + u"zaloha"_s).entryList(QDir::Files); }

    // Starts omira-import in the program folder, in the Slovak regional settings of the shop.
    void start(QProcess &process, const QStringList &arguments) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"LC_ALL"_s, u"sk_SK.UTF-8"_s);
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(programFolder);
        process.start(QStringLiteral(OMIRA_IMPORT_EXE), arguments);
    }

    QTemporaryDir dir;
    QString programFolder;
    QString dataFolder;
};

QStringList linesOf(const QByteArray &output)
{
    return QString::fromUtf8(output).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

class TestImportTool : public QObject
{
    Q_OBJECT

private slots:
    void runs_data();
    void runs();
    void waitsForATillWriting();
};

void TestImportTool::runs_data()
{
    QTest::addColumn<QStringList>("arguments"); // "FILE" stands for the fixture named by `file`
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content"); // empty: the fixture of that name
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("lines"); // the start of each line printed
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<bool>("backup");

    const QStringList old{u"100"_s, u"200"_s};
    QTest::newRow("refused rows") << QStringList{u"--title-row"_s, u"FILE"_s} << u"cennik.csv"_s
                                  << QByteArray() << 1
                                  << QStringList{u"Riadok 6: riadok má 2 stĺpcov, treba 6"_s,
                                                 u"Riadok 7: stĺpec 3 (JC): „lacná“ nie je číslo"_s,
                                                 u"Importované karty: 4"_s, u"Odmietnuté riadky: 2"_s,
                                                 u"Záloha: "_s}
                                  << QStringList{u"300"_s, u"400"_s, u"500"_s, u"800"_s} << true;
    QTest::newRow("every row, separator and code page given")
        << QStringList{u"--separator"_s, u"|"_s, u"--encoding"_s, u"cp1250"_s, u"FILE"_s} << u"bary.txt"_s
        << "Maslo|10|2,20|5|1|1\r\nSyr \x9a\x70\x65\x63iality|20|3,10|2|1|2\r\n"_ba << 0
        << QStringList{u"Importované karty: 2"_s, u"Odmietnuté riadky: 0"_s, u"Záloha: "_s}
        << QStringList{u"10"_s, u"20"_s} << true;
    QTest::newRow("more than 30 refused rows")
        << QStringList{u"--title-row"_s, u"FILE"_s} << u"chyby.csv"_s << QByteArray() << 3
        << QStringList{u"Riadok 2: "_s, u"Riadok 3: "_s} << old << true;
    QTest::newRow("missing file") << QStringList{u"FILE"_s} << u"nie.csv"_s << QByteArray() << 3
                                  << QStringList() << old << false;
    QTest::newRow("no file named") << QStringList() << QString() << QByteArray() << 2 << QStringList() << old
                                   << false;
    QTest::newRow("unknown encoding")
        << QStringList{u"--encoding"_s, u"latin2"_s, u"FILE"_s} << u"cennik.csv"_s << QByteArray() << 2
        << QStringList() << old << false;
    QTest::newRow("a sheet that the file has not")
        << QStringList{u"--sheet"_s, u"Hárok2"_s, u"FILE"_s} << u"cennik.csv"_s << QByteArray() << 3
        << QStringList() << old << false;
}

void TestImportTool::runs()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(QStringList, lines);
    Till till;
    const QString path = till.dir.filePath(file);
    if (!content.isEmpty())
        QVERIFY(TestPaths::writeFile(path, content));
    else if (!file.isEmpty() && QFile::exists(fixture(file)))
        QVERIFY(QFile::copy(fixture(file), path));
    arguments.replaceInStrings(u"FILE"_s, path);

    QProcess process;
    till.start(process, arguments);
    QVERIFY(process.waitForFinished(TimeoutMs));
    const QStringList printed = linesOf(process.readAllStandardOutput());
    const QByteArray errors = process.readAllStandardError();
    QVERIFY2(process.exitStatus() == QProcess::NormalExit, errors.constData());
    QTEST(process.exitCode(), "exitCode");
    if (process.exitCode() != 0)
        QVERIFY2(!errors.isEmpty() || printed.size() > 2, "a run that did not import everything says why");
    if (QTest::currentDataTag() == QByteArray("more than 30 refused rows")) {
        QCOMPARE(printed.size(), 31);
        QVERIFY(errors.contains("Cenn\xc3\xadk zostal bez zmeny."));
    } else {
        QCOMPARE(printed.size(), lines.size());
    }
    for (qsizetype i = 0; i < lines.size(); ++i)
        QVERIFY2(printed.at(i).startsWith(lines.at(i)), qPrintable(printed.at(i)));
    QTEST(till.codes(), "codes");
    QTEST(!till.backups().isEmpty(), "backup");
    if (!printed.isEmpty() && printed.last().startsWith(u"Záloha: "_s))
        QVERIFY(QFile::exists(printed.last().mid(8)));
}

// A till in the middle of a write holds the stock file: the import waits for it, as the till's
// own writes wait for each other, and then replaces the price list whole.
void TestImportTool::waitsForATillWriting()
{
    Till till;
    DataFile other;
    QVERIFY(other.open(till.stockPath(), false));
    QVERIFY(other.beginWrite());
    StockRow row;
    row.kod = u"300"_s;
    row.nazov = u"Pridaná inou pokladňou"_s;
    QVERIFY(StockTable(other).insert(row));

    QProcess process;
    QElapsedTimer clock;
    clock.start();
    till.start(process, {u"--data-folder"_s, till.dataFolder, u"--title-row"_s, fixture(u"cennik.csv"_s)});
    QVERIFY(!process.waitForFinished(1500));
    QVERIFY(other.commit());
    QVERIFY(process.waitForFinished(TimeoutMs));
    QCOMPARE(process.exitCode(), 1);
    QVERIFY(clock.elapsed() >= 1500);
    QCOMPARE(till.codes(), (QStringList{u"300"_s, u"400"_s, u"500"_s, u"800"_s}));
    // The backup is the price list as the other till left it.
    DataFile backup;
    QVERIFY(backup.open(till.dataFolder + u"zaloha/"_s + till.backups().value(0), false));
    QSqlQuery query(backup.database());
    QVERIFY(query.exec(u"SELECT COUNT(*) FROM VX60_SKLAD WHERE KOD = '300'"_s) && query.next());
    QCOMPARE(query.value(0).toInt(), 1);
}

QTEST_GUILESS_MAIN(TestImportTool)
#include "tst_importtool.moc"

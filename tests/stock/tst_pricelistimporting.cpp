#include "CancelAfter.h"
#include "ScriptedDialogs.h"
#include "TestPaths.h"
#include "TestStore.h"
#include "base/Progress.h"
#include "lang/MessageTable.h"
#include "stock/DataFile.h"
#include "stock/PriceListImportJob.h"
#include "stock/PriceListImporting.h"
#include "stock/StockTable.h"
#include "stock/TableLayouts.h"
#include "stock/UnitAndGroupNames.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;
using Answer = UserDialogs::Answer;

namespace {

const QDateTime Now(QDate(2025, 3, 9), QTime(14, 32, 51));
const QLocale Slovak(QLocale::Slovak, QLocale::Slovakia);

QString fixture(const QString &name)
{
    return QStringLiteral(OMIRA_STOCK_TEST_DATA) + u"/import/"_s + name;
}

StockRow card(const QString &kod, const QString &nazov)
{
    StockRow row;
    row.kod = kod;
    row.nazov = nazov;
    row.jc = 1.5;
    row.mj = u"ks"_s;
    row.mjIdx = 1;
    return row;
}

QString describe(const ImportFile::Options &options)
{
    QString text = options.part;
    if (options.separator)
        text += u" sep=%1"_s.arg(*options.separator == u'\t' ? u"tab"_s : QString(*options.separator));
    if (options.encoding)
        text += *options.encoding == CsvImportSource::Encoding::Utf8 ? u" utf-8"_s : u" cp1250"_s;
    if (options.titleRow)
        text += u" title"_s;
    return text.trimmed();
}

// A data folder with the import folder the file dialog opens, and its price list.
struct Shop
{
    explicit Shop(bool withCards)
    {
        dataFolder = store.folder() + u"cennik/"_s;
        QDir().mkpath(dataFolder + u"import"_s);
        UnitAndGroupNames::fromLists({u"krát"_s, u"ks"_s, u"kg"_s, u"l"_s}, {u"Potraviny"_s})
            .save(dataFolder);
        stock.setServer(store.server());
        if (!stock.open(dataFolder + TableLayouts::StockFileName, true) || !StockTable(stock).create())
            qFatal("stock table");
        if (withCards) {
            for (const StockRow &row : {card(u"100"_s, u"Mlieko"_s), card(u"200"_s, u"Chlieb"_s)})
                StockTable(stock).insert(row);
        }
    }

    // The file `name` of the fixtures (or written from `text`) in the import folder.
    QString importFile(const QString &name, const QByteArray &text = {})
    {
        const QString path = dataFolder + u"import/"_s + name;
        if (text.isEmpty())
            QFile::copy(fixture(name), path);
        else
            TestPaths::writeFile(path, text);
        return path;
    }

    QStringList codes()
    {
        QStringList all;
        QSqlQuery query(stock.database());
        query.exec(u"SELECT KOD FROM VX60_SKLAD ORDER BY rowid"_s);
        while (query.next())
            all << query.value(0).toString();
        return all;
    }

    // The backups of the price list: files of the folder, or tables beside it on a server.
    QStringList backups()
    {
        if (!store.onServer())
            return QDir(dataFolder + u"zaloha"_s).entryList(QDir::Files);
        QStringList tables;
        QSqlQuery query(stock.database());
        query.exec(u"SELECT upper(table_name) FROM information_schema.tables WHERE table_schema = "
                   "current_schema() AND upper(table_name) LIKE 'VX60\\_SKLAD\\_%' AND upper(table_name) <> "
                   "'VX60_SKLAD_ZMENY'"_s);
        while (query.next())
            tables << query.value(0).toString();
        return tables;
    }
    // How the import's last box names the backup.
    QString backupShown()
    {
        return store.onServer() ? backups().first()
                                : QDir::toNativeSeparators(dataFolder + u"zaloha/"_s + backups().first());
    }

    TestStore store;
    QString dataFolder;
    DataFile stock;
    MessageTable messages; // placeholders: a box shows "[MSG_n]"
    ScriptedDialogs dialogs;
};

const QStringList CennikCodes{u"300"_s, u"400"_s, u"500"_s, u"800"_s};
const QStringList OldCodes{u"100"_s, u"200"_s};

} // namespace

class TestPriceListImporting : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { OMIRA_REQUIRE_BACKEND(); }
    void flow_data();
    void flow();
    void detectedOptions_data();
    void detectedOptions();
    void importRunsOffThisThread();
};

void TestPriceListImporting::flow_data()
{
    QTest::addColumn<bool>("withCards");
    QTest::addColumn<bool>("answerYes");
    QTest::addColumn<QString>("file");       // in the import folder; empty: none chosen
    QTest::addColumn<QByteArray>("content"); // the file's text; empty: the fixture of that name
    QTest::addColumn<QStringList>("parts");
    QTest::addColumn<int>("chosenPart"); // -1: the choice is cancelled
    QTest::addColumn<QString>("correctedSeparator");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QString>("previewed"); // the options the preview showed; empty: none shown
    QTest::addColumn<QStringList>("boxes"); // a part of each box's text, in order
    QTest::addColumn<QStringList>("codes"); // the price list afterwards
    QTest::addColumn<bool>("backup");

    const QString unchanged = u"Cenník zostal bez zmeny."_s;
    const QString csv = u"sep=; utf-8 title"_s;
    QTest::newRow("question answered No")
        << true << false << u"cennik.csv"_s << QByteArray() << QStringList() << 0 << QString() << false
        << QString() << QStringList{u"[MSG_231]"_s} << OldCodes << false;
    QTest::newRow("no file chosen") << true << true << QString() << QByteArray() << QStringList() << 0
                                    << QString() << false << QString() << QStringList{u"[MSG_231]"_s}
                                    << OldCodes << false;
    QTest::newRow("replaced after a backup, refused rows listed")
        << true << true << u"cennik.csv"_s << QByteArray() << QStringList() << 0 << QString() << false << csv
        << QStringList{u"[MSG_231]"_s, u"[MSG_233]"_s,
                       u".db.\r\n\r\nRiadky, ktoré sa nedali importovať (2):\r\n"
                       u"[MSG_234] 4 <Riadok 6: riadok má 2 stĺpcov, treba 6>\r\n"
                       u"[MSG_234] 5 <Riadok 7: stĺpec 3 (JC): „lacná“ nie je číslo>"_s}
        << CennikCodes << true;
    QTest::newRow("empty price list without backup")
        << false << true << u"cennik.csv"_s << QByteArray() << QStringList() << 0 << QString() << false << csv
        << QStringList{u"[MSG_231]"_s,
                       u"Importované karty: 4.\r\n\r\nRiadky, ktoré sa nedali importovať (2)"_s}
        << CennikCodes << false;
    QTest::newRow("sheet chosen") << true << true << u"cennik.csv"_s << QByteArray()
                                  << QStringList{u"Hárok1"_s, u"Cenník"_s} << 1 << QString() << false
                                  << u"Cenník "_s + csv
                                  << QStringList{u"[MSG_231]"_s, u"[MSG_233]"_s, u"Importované karty: 4."_s}
                                  << CennikCodes << true;
    QTest::newRow("sheet choice cancelled")
        << true << true << u"cennik.csv"_s << QByteArray() << QStringList{u"Hárok1"_s, u"Cenník"_s} << -1
        << QString() << false << QString() << QStringList{u"[MSG_231]"_s} << OldCodes << false;
    // Bars are no separator found by itself: the user sets it in the preview.
    QTest::newRow("preview corrected separator")
        << true << true << u"cennik.txt"_s << "Maslo|10|2|5|1|1\r\nSyr|20|3|2|1|2\r\n"_ba << QStringList()
        << 0 << u"|"_s << false << u"sep=; cp1250"_s
        << QStringList{u"[MSG_231]"_s, u"[MSG_233]"_s, u"Importované karty: 2."_s}
        << QStringList{u"10"_s, u"20"_s} << true;
    QTest::newRow("cancel leaves the price list")
        << true << true << u"cennik.csv"_s << QByteArray() << QStringList() << 0 << QString() << true << csv
        << QStringList{u"[MSG_231]"_s, u"[MSG_233]"_s, u"Import bol zrušený.\r\n"_s + unchanged} << OldCodes
        << true;
    QTest::newRow("more than 30 errors leave the price list and are listed")
        << true << true << u"chyby.csv"_s << QByteArray() << QStringList() << 0 << QString() << false << csv
        << QStringList{u"[MSG_231]"_s, u"[MSG_233]"_s,
                       u"Viac ako 30 riadkov sa nedalo importovať, import bol zastavený.\r\n"_s + unchanged +
                           u"\r\n\r\nRiadky, ktoré sa nedali importovať (31):\r\n[MSG_234] 0 <Riadok 2: "_s}
        << OldCodes << true;
    QTest::newRow("file of no importable kind")
        << true << true << u"cennik.pdf"_s << "%PDF-1.4"_ba << QStringList() << 0 << QString() << false
        << QString()
        << QStringList{u"[MSG_231]"_s, u"Tento druh súboru sa nedá importovať.\r\n"_s + unchanged} << OldCodes
        << false;
}

void TestPriceListImporting::flow()
{
    QFETCH(bool, withCards);
    QFETCH(bool, answerYes);
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(QStringList, parts);
    QFETCH(int, chosenPart);
    QFETCH(QString, correctedSeparator);
    QFETCH(bool, cancel);
    QFETCH(QStringList, boxes);
    QFETCH(QStringList, codes);

    Shop shop(withCards);
    shop.dialogs.queueAnswer(answerYes ? Answer::Yes : Answer::No);
    if (!file.isEmpty())
        shop.dialogs.queueFile(shop.importFile(file, content));
    if (chosenPart >= 0)
        shop.dialogs.queueItem(chosenPart);
    NoProgress goOn;
    CancelAfter stop(0);
    QString previewed;
    int progressDone = 0;
    PriceListImporting importing({shop.dataFolder, shop.stock, shop.messages, shop.dialogs,
                                  cancel ? static_cast<Progress &>(stop) : goOn,
                                  [&progressDone] { ++progressDone; },
                                  [&](const QString &, ImportFile::Options &options) {
                                      previewed = describe(options);
                                      if (!correctedSeparator.isEmpty())
                                          options.separator = correctedSeparator.at(0);
                                      return true;
                                  },
                                  Slovak,
                                  [&parts](const QString &path, QString *error) {
                                      return parts.isEmpty() ? ImportFile::parts(path, error) : parts;
                                  }});

    const bool replaced = importing.run(Now);

    QCOMPARE(replaced, codes != OldCodes);
    QTEST(previewed, "previewed");
    QCOMPARE(shop.dialogs.shown().size(), boxes.size());
    // On a server the backup is a table made in the import's own transaction: it
    // is named without ".db", and a cancelled or refused import leaves none.
    const bool onServer = shop.store.onServer();
    for (qsizetype i = 0; i < boxes.size(); ++i) {
        const QString box = onServer ? QString(boxes.at(i)).replace(u".db.\r\n"_s, u".\r\n"_s) : boxes.at(i);
        QVERIFY2(shop.dialogs.shown().at(i).text.contains(box), qPrintable(shop.dialogs.shown().at(i).text));
    }
    QCOMPARE(shop.codes(), codes);
    QFETCH(bool, backup);
    QCOMPARE(!shop.backups().isEmpty(), backup && (replaced || !onServer));
    if (replaced && !shop.backups().isEmpty())
        QVERIFY(shop.dialogs.shown().last().text.contains(
            u"Importované karty: %1.\r\nPôvodný cenník je v zálohe %2."_s.arg(codes.size())
                .arg(shop.backupShown())));
    QCOMPARE(progressDone, previewed.isEmpty() ? 0 : 1);
    if (answerYes) {
        QCOMPARE(shop.dialogs.fileRequests().size(), 1);
        QCOMPARE(QDir(shop.dialogs.fileRequests().first().folder), QDir(shop.dataFolder + u"import"_s));
        QCOMPARE(shop.dialogs.fileRequests().first().filter, ImportFile::dialogFilter());
        QVERIFY(shop.dialogs.fileRequests().first().existingOnly);
    } else {
        QVERIFY(shop.dialogs.fileRequests().isEmpty());
    }
    if (!parts.isEmpty())
        QCOMPARE(shop.dialogs.itemRequests().first().items, parts);
}

void TestPriceListImporting::detectedOptions_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("options");

    QTest::newRow("title row") << u"Názov;Kód;Cena\nMlieko;100;0,89\n"_s.toUtf8() << u"sep=; utf-8 title"_s;
    QTest::newRow("no title row") << "Mlieko;100;0,89\nChlieb;200;1 234,50\n"_ba << u"sep=; cp1250"_s;
    QTest::newRow("a price that is not a number is no title")
        << "Mlieko\t100\tlacno\nChlieb\t200\tdrahy\n"_ba << u"sep=tab cp1250"_s;
    QTest::newRow("title over blank rows")
        << "Nazov,Kod,Cena\n,,\n\"Mlieko\",100,\"0,89\"\n\"Syr\",200,\"2,10\"\n"_ba
        << u"sep=, cp1250 title"_s;
    QTest::newRow("one row only") << "Nazov;Kod;Cena\n"_ba << u"sep=; cp1250"_s;
}

void TestPriceListImporting::detectedOptions()
{
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"cennik.csv"_s);
    QVERIFY(TestPaths::writeFile(path, content));
    QTEST(describe(PriceListImporting::detectOptions(path, {}, Slovak)), "options");
}

// The thread that starts the import keeps handling its events while the import runs, and is
// the only one that shows the progress.
void TestPriceListImporting::importRunsOffThisThread()
{
    class Watch : public Progress
    {
    public:
        bool advance(qint64 done, qint64) override
        {
            threads.insert(QThread::currentThread());
            steps << done;
            return true;
        }
        QSet<QThread *> threads;
        QList<qint64> steps;
    };

    constexpr int Rows = 10000;
    Shop shop(true);
    QByteArray text;
    for (int i = 0; i < Rows; ++i)
        text += "Karta " + QByteArray::number(i) + ";K" + QByteArray::number(i) + ";1,5;1;0;1\r\n";
    const QString path = shop.importFile(u"velky.csv"_s, text);
    int ticks = 0;
    QTimer timer;
    timer.setInterval(1);
    connect(&timer, &QTimer::timeout, this, [&ticks] { ++ticks; });
    timer.start();
    Watch watch;
    PriceListImportJob job{shop.stock.path(), shop.dataFolder, path, {}, Slovak, Now};
    job.server = shop.store.server();

    const PriceListImport::Result result = job.runOnThread(watch);

    QCOMPARE(result.outcome, PriceListImport::Outcome::Imported);
    QCOMPARE(result.imported, Rows);
    QVERIFY(ticks > 0);
    QCOMPARE(watch.threads, QSet<QThread *>{QThread::currentThread()});
    QVERIFY(watch.steps.size() > 1);
    QVERIFY(std::is_sorted(watch.steps.cbegin(), watch.steps.cend()));
}

QTEST_GUILESS_MAIN(TestPriceListImporting)
#include "tst_pricelistimporting.moc"

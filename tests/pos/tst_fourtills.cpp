// Four tills of one shop, each a process of its own with a print manager of its own, store
// their items into one sales table at the same time (the data folder's file, or the shop's
// PostgreSQL database) and print them. Every receipt must hold its own till's items and no
// other's, every row must carry its till and the number of that till's receipt, and no key
// may be handed out twice, also when one till is killed half way and started again.
#include "PrintManagerProcess.h"
#include "ReceiptPrintRig.h"
#include "TestStore.h"
#include "base/Cp1250.h"

#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <array>

using namespace Qt::StringLiterals;

namespace {

constexpr int Tills = 4;
constexpr int Items = 100;
constexpr int ProcessTimeoutMs = 60000;
constexpr int Survives = -1;
// How many keys the till killed while storing reports first; the rest it stores after it
// is started again.
constexpr int KeysBeforeKill = 25;

int exitCodeOf(ReceiptPrint::Outcome outcome)
{
    return 10 + int(outcome);
}

// One till's process: pos_print_child storing its items and printing them. Keys it reports
// over all its runs are kept.
class TillProcess
{
public:
    TillProcess() = default;
    TillProcess(const TillProcess &) = delete;
    TillProcess &operator=(const TillProcess &) = delete;
    ~TillProcess()
    {
        if (m_process && m_process->state() != QProcess::NotRunning) {
            m_process->kill();
            m_process->waitForFinished(ProcessTimeoutMs);
        }
    }

    void start(const QStringList &arguments)
    {
        m_process = std::make_unique<QProcess>();
        m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process->start(QStringLiteral(PRINT_CHILD_EXE), arguments);
    }

    // Until it reported `count` keys or ended; false if it ended first.
    bool waitForKeys(int count)
    {
        while (m_keys.size() < count && m_process->state() != QProcess::NotRunning &&
               m_process->waitForReadyRead(ProcessTimeoutMs))
            readKeys();
        readKeys();
        return m_keys.size() >= count;
    }

    void kill() { m_process->kill(); } // SIGKILL

    // Its exit code once it ended, -9 when it was killed, -1 when it did not end.
    int finish()
    {
        if (!m_process->waitForFinished(ProcessTimeoutMs))
            return -1;
        readKeys();
        m_partial.clear(); // a line cut short by a kill names no committed row
        return m_process->exitStatus() == QProcess::CrashExit ? -9 : m_process->exitCode();
    }

    const QList<int> &keys() const { return m_keys; }

private:
    void readKeys()
    {
        m_partial += m_process->readAllStandardOutput();
        qsizetype end = 0;
        while ((end = m_partial.indexOf('\n')) >= 0) {
            m_keys << m_partial.first(end).toInt();
            m_partial.remove(0, end + 1);
        }
    }

    std::unique_ptr<QProcess> m_process;
    QByteArray m_partial;
    QList<int> m_keys;
};

// One shop: the store every till shares, and for each till a program folder with an
// exchange folder watched by a print manager of its own.
struct Shop
{
    Shop()
    {
        for (int till = 1; till <= Tills; ++till)
            printManagers[till - 1] = std::make_unique<PrintManagerProcess>(root(till) + u"/exchange"_s);
    }

    QString root(int till) const { return roots.path() + u"/till%1"_s.arg(till); }
    PrintManagerProcess &printManager(int till) { return *printManagers[till - 1]; }
    TillProcess &process(int till) { return tills[till - 1]; }

    void startTill(int till, int dieAt)
    {
        QStringList arguments{root(till), QString::number(dieAt), QDir(store.folder()).absolutePath(),
                              QString::number(till), QString::number(Items)};
        if (TestStore::onServer())
            arguments << store.server().connection;
        process(till).start(arguments);
    }

    TestStore store;
    QTemporaryDir roots;
    std::array<std::unique_ptr<PrintManagerProcess>, Tills> printManagers;
    std::array<TillProcess, Tills> tills;
};

struct StoredRow
{
    int key = 0;
    QString name;
    int till = 0;
    bool printed = false;
    int document = 0;
};

QList<StoredRow> storedRows(const TestStore &store, QString &error)
{
    DataFile file;
    file.setServer(store.server());
    QList<StoredRow> rows;
    if (!file.open(store.path(TableLayouts::salesFileName(2026)), false)) {
        error = file.lastError();
        return rows;
    }
    QSqlQuery query(file.database());
    if (!query.exec(u"SELECT ID_PRIMARY, NAZOV, UCET, FISK, DOKLAD FROM "_s +
                    TableLayouts::salesTableName(2026) + u" ORDER BY ID_PRIMARY"_s)) {
        error = query.lastError().text();
        return rows;
    }
    while (query.next()) {
        rows << StoredRow{query.value(0).toInt(), query.value(1).toString(), query.value(2).toInt(),
                          query.value(3).toInt() != 0, query.value(4).toInt()};
    }
    return rows;
}

QStringList namesOfTill(int till)
{
    QStringList names;
    for (int item = 0; item < Items; ++item)
        names << ReceiptPrintRig::tillItemName(till, item);
    return names;
}

// The item names on a receipt as the print manager received it, in their order.
QStringList namesOnReceipt(const QByteArray &receipt)
{
    static const QRegularExpression name(uR"(\^D(.*)\^k)"_s);
    QStringList names;
    for (const QRegularExpressionMatch &match : name.globalMatch(Cp1250::decode(receipt)))
        names << match.captured(1);
    return names;
}

} // namespace

class TestFourTills : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void fourTillsOnOneStore_data();
    void fourTillsOnOneStore();

private:
    void checkReceipts(Shop &shop);
    void checkRows(Shop &shop);
};

void TestFourTills::initTestCase()
{
    OMIRA_REQUIRE_BACKEND();
}

void TestFourTills::fourTillsOnOneStore_data()
{
    using Stage = ReceiptPrint::Stage;
    QTest::addColumn<int>("storingKilled");  // the till killed while storing, 0 for none
    QTest::addColumn<int>("printingKilled"); // the till that dies in its print, 0 for none
    QTest::addColumn<int>("stage");          // where in its print
    QTest::addColumn<int>("restartCode");    // of the latter, started again
    // Started again, a till whose receipt came out settles it and prints nothing.
    const int settled = exitCodeOf(ReceiptPrint::Outcome::Stopped);
    QTest::newRow("none killed") << 0 << 0 << Survives << 0;
    QTest::newRow("killed while storing, and with a note written")
        << 3 << 2 << int(Stage::Noted) << exitCodeOf(ReceiptPrint::Outcome::Printed);
    QTest::newRow("killed while storing, and after a hand-over")
        << 3 << 2 << int(Stage::HandedOver) << settled;
}

// All four start at once. A till killed is started again as soon as it died, while the
// others still store or print.
void TestFourTills::fourTillsOnOneStore()
{
    QFETCH(int, storingKilled);
    QFETCH(int, printingKilled);
    QFETCH(int, stage);
    QFETCH(int, restartCode);
    Shop shop;
    QVERIFY(shop.store.isValid());
    QVERIFY(shop.roots.isValid());
    for (int till = 1; till <= Tills; ++till)
        QVERIFY(shop.printManager(till).start());

    for (int till = 1; till <= Tills; ++till)
        shop.startTill(till, till == printingKilled ? stage : Survives);
    if (storingKilled != 0) {
        TillProcess &killed = shop.process(storingKilled);
        QVERIFY(killed.waitForKeys(KeysBeforeKill));
        killed.kill();
        QCOMPARE(killed.finish(), -9);
        qInfo("till %d killed after reporting %lld keys", storingKilled, qsizetype(killed.keys().size()));
        shop.startTill(storingKilled, Survives);
    }
    if (printingKilled != 0) {
        QCOMPARE(shop.process(printingKilled).finish(), -9);
        shop.startTill(printingKilled, Survives);
    }
    for (int till = 1; till <= Tills; ++till) {
        const int expected =
            till == printingKilled ? restartCode : exitCodeOf(ReceiptPrint::Outcome::Printed);
        QCOMPARE(shop.process(till).finish(), expected);
    }

    checkReceipts(shop);
    checkRows(shop);
    // Nothing is left pending: no till's note remains in the data folder.
    QCOMPARE(QDir(shop.store.folder()).entryList({u"*.pending"_s}, QDir::Files), QStringList());
}

// Each print manager printed one receipt, the first of its printer, with exactly its own
// till's items, each once.
void TestFourTills::checkReceipts(Shop &shop)
{
    for (int till = 1; till <= Tills; ++till) {
        const PrintManagerProcess &printManager = shop.printManager(till);
        const QStringList receipts = printManager.journal(u"receipt"_s);
        QCOMPARE(receipts.size(), 1);
        QStringList names = namesOnReceipt(printManager.journalFile(receipts[0]));
        names.sort();
        QCOMPARE(names, namesOfTill(till));
    }
}

// Every till's items are stored once, under keys no other row has, as that till's, printed
// with its receipt's number; every key a till reported is among them.
void TestFourTills::checkRows(Shop &shop)
{
    QString error;
    const QList<StoredRow> rows = storedRows(shop.store, error);
    QCOMPARE(error, QString());
    QHash<QString, int> tillOfName;
    for (int till = 1; till <= Tills; ++till) {
        for (const QString &name : namesOfTill(till))
            tillOfName.insert(name, till);
    }
    QHash<int, StoredRow> byKey;
    for (const StoredRow &row : rows) {
        QVERIFY2(!byKey.contains(row.key), qPrintable(u"key %1 twice"_s.arg(row.key)));
        byKey.insert(row.key, row);
        QVERIFY2(tillOfName.contains(row.name), qPrintable(u"%1 stored twice or unknown"_s.arg(row.name)));
        QCOMPARE(row.till, tillOfName.take(row.name));
        QVERIFY2(row.printed, qPrintable(row.name));
        QCOMPARE(row.document, 1);
    }
    QCOMPARE(tillOfName.keys(), QStringList()); // no item is missing
    for (int till = 1; till <= Tills; ++till) {
        for (int key : shop.process(till).keys()) {
            QVERIFY2(byKey.contains(key), qPrintable(u"key %1 of till %2 lost"_s.arg(key).arg(till)));
            QCOMPARE(byKey.take(key).till, till); // taken: a key reported by two tills fails here
        }
    }
}

QTEST_GUILESS_MAIN(TestFourTills)
#include "tst_fourtills.moc"

// Tills that share one data folder: each has an open document of its own in the shared sales
// table, a crash note of its own, and a till number that only one running till may hold.
#include "ScriptedDialogs.h"
#include "TestPaths.h"
#include "lang/MessageTable.h"
#include "pos/DataModule.h"
#include "pos/PrintPendingRecord.h"
#include "pos/PrintedRows.h"
#include "pos/SalesTable.h"
#include "pos/TillLock.h"
#include "stock/DataFile.h"
#include "stock/TableLayouts.h"

#include <QProcess>
#include <QSqlQuery>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

const QString Table = TableLayouts::salesTableName(2026);

SaleRow item(const QString &name, int cents)
{
    SaleRow row;
    row.kod = u"K1"_s;
    row.nazov = name;
    row.mj = u"ks"_s;
    row.pocet = 1;
    row.jc = cents / 100.0;
    row.cenaInt = cents;
    row.cena = cents / 100.0;
    return row;
}

QStringList namesOf(const QList<SaleRow> &rows)
{
    QStringList names;
    for (const SaleRow &row : rows)
        names << row.nazov;
    return names;
}

// One sales file with the open documents of tills 1 and 2, a row that till 1 printed
// before, and a row stored the way a program of an earlier version stored it: without
// naming a till, which makes it till 1's.
struct TwoTills
{
    TwoTills()
    {
        file.open(dir.filePath(TableLayouts::salesFileName(2026)), true);
        SalesTable(file, Table).create();
        chlieb = first.storeOpenRow(item(u"Chlieb"_s, 120)).key;
        syr = second.storeOpenRow(item(u"Syr"_s, 500)).key;
        maslo = first.storeOpenRow(item(u"Maslo"_s, 249)).key;
        file.exec(u"INSERT INTO %1 (ID_PRIMARY, NAZOV, POCET, JC, CENA, CENA_INT, FISK) "
                  "VALUES (90, 'Rožok', 1, 0.15, 0.15, 15, 0)"_s.arg(Table));
        file.exec(
            u"INSERT INTO %1 (ID_PRIMARY, NAZOV, CENA_INT, FISK, UCET) VALUES (91, 'Starý', 80, 1, 1)"_s.arg(
                Table));
    }

    // FISK, CENA_INT and ZLAVA_PERC of a row, or nothing once it is gone.
    QString stateOf(int key)
    {
        QSqlQuery query(file.database());
        query.prepare(u"SELECT FISK, CENA_INT, ZLAVA_PERC FROM %1 WHERE ID_PRIMARY=?"_s.arg(Table));
        query.addBindValue(key);
        if (!query.exec() || !query.next())
            return u"gone"_s;
        return u"%1 %2 %3"_s.arg(query.value(0).toInt())
            .arg(query.value(1).toInt())
            .arg(query.value(2).toInt());
    }

    QTemporaryDir dir;
    DataFile file;
    SalesTable first{file, Table, 1};
    SalesTable second{file, Table, 2};
    int chlieb = 0;
    int syr = 0;
    int maslo = 0;
};

enum class Change { Delete, Discount, Mark, Remove };

bool change(TwoTills &folder, Change what, int till, int key)
{
    SalesTable table(folder.file, Table, till);
    PrintedRows rows(folder.file, Table);
    switch (what) {
    case Change::Delete:
        return table.deleteOpenRow(key);
    case Change::Discount:
        return table.changeOpenAmounts({{key, 90, 10, 10}});
    case Change::Mark:
        return rows.mark({key}, till, {QDateTime(QDate(2026, 3, 14), QTime(10, 0)), 1, 7});
    case Change::Remove:
        return rows.remove({key}, till);
    }
    return false;
}

TillIdentity identity(const QString &host, const QString &input, int number)
{
    return {host, input, number};
}

PrintPendingRecord::Entry noteOf(const TillIdentity &till, int documentBefore)
{
    PrintPendingRecord::Entry entry;
    entry.printManagerInput = till.linkText();
    entry.till = till.number;
    entry.salesTable = Table;
    entry.documentBefore = documentBefore;
    entry.printTime = QDateTime(QDate(2026, 3, 14), QTime(9, 0));
    entry.keys = {documentBefore, documentBefore + 1};
    entry.documentHash = PrintPendingRecord::hashOf("receipt " + QByteArray::number(documentBefore));
    return entry;
}

// A note of the till and moment every note-version test uses.
PrintPendingRecord::Entry pendingAt(const TillIdentity &till)
{
    PrintPendingRecord::Entry entry;
    entry.printManagerInput = till.linkText();
    entry.till = till.number;
    entry.documentBefore = 41;
    entry.printTime = QDateTime(QDate(2026, 3, 14), QTime(9, 0));
    entry.documentHash = "ab12";
    return entry;
}

// A note as the single-file versions wrote it.
QByteArray oldNote(const QString &linkText)
{
    return "omira-pending 1\n" + linkText.toUtf8() + "\nPREDAJ_2026\n41\n2026-03-14T09:00:00\n3,4\nend\n";
}

// How the lock's holder runs in a process of its own: "hold" keeps it until killed,
// "die" is killed while it holds it.
int lockChild(const QString &mode, const QString &folder)
{
    // The program runs under a name that is not its file's, as the point of sale does.
    QCoreApplication::setApplicationName(u"Omira Predaj"_s);
    TillLock lock(folder, 1);
    if (lock.take() != TillLock::Result::Taken)
        return 1;
    std::printf("taken\n");
    std::fflush(stdout);
    if (mode == u"die"_s)
        std::raise(SIGKILL);
    QThread::sleep(60);
    return 0;
}

} // namespace

class TestSharedFolder : public QObject
{
    Q_OBJECT

private slots:
    void openDocumentIsEachTillsOwn_data();
    void openDocumentIsEachTillsOwn();
    void storedRowCarriesTheTillNumber();
    void changesReachOnlyThisTillsRows_data();
    void changesReachOnlyThisTillsRows();
    void dataModulesOfTwoTillsKeepTheirDocumentsApart();

    void notesOfTwoTillsNeverMeet_data();
    void notesOfTwoTillsNeverMeet();
    void oldNamedNote_data();
    void oldNamedNote();
    void noteOfEachVersion_data();
    void noteOfEachVersion();
    void voucherNoteRoundTrips_data();
    void voucherNoteRoundTrips();

    void tillNumberRunsOnceOnAFolder();
    void lockOfATillInAnotherProcess_data();
    void lockOfATillInAnotherProcess();
};

void TestSharedFolder::openDocumentIsEachTillsOwn_data()
{
    QTest::addColumn<int>("till");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<qint64>("total");
    QTest::newRow("till 1, with the row of an earlier version")
        << 1 << QStringList{u"Chlieb"_s, u"Maslo"_s, u"Rožok"_s} << qint64(384);
    QTest::newRow("till 2") << 2 << QStringList{u"Syr"_s} << qint64(500);
    QTest::newRow("till without rows") << 3 << QStringList{} << qint64(0);
}

void TestSharedFolder::openDocumentIsEachTillsOwn()
{
    QFETCH(int, till);
    QFETCH(QStringList, names);
    QFETCH(qint64, total);
    TwoTills folder;
    SalesTable table(folder.file, Table, till);
    QCOMPARE(namesOf(table.openRows().value()), names);
    QCOMPARE(table.openTotal(), total);
}

void TestSharedFolder::storedRowCarriesTheTillNumber()
{
    TwoTills folder;
    SaleRow row = item(u"Čaj"_s, 250);
    row.ucet = 7; // whatever the row says, it is stored as the storing till's
    const SalesTable::StoreResult stored = folder.second.storeOpenRow(row);
    QCOMPARE(stored.failure, SalesTable::Failure::None);
    QCOMPARE(stored.openTotal, 750);
    QSqlQuery query(folder.file.database());
    QVERIFY(query.exec(u"SELECT UCET FROM %1 WHERE ID_PRIMARY=%2"_s.arg(Table).arg(stored.key)));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toInt(), 2);
}

void TestSharedFolder::changesReachOnlyThisTillsRows_data()
{
    QTest::addColumn<Change>("what");
    QTest::addColumn<bool>("ownRow");
    QTest::addColumn<QString>("after");
    const QString untouched = u"0 120 0"_s;
    QTest::newRow("Vymaž of its own row") << Change::Delete << true << u"gone"_s;
    QTest::newRow("Vymaž of another till's row") << Change::Delete << false << untouched;
    QTest::newRow("document discount on its own row") << Change::Discount << true << u"0 90 10"_s;
    QTest::newRow("document discount on another till's row") << Change::Discount << false << untouched;
    QTest::newRow("marking its own row") << Change::Mark << true << u"1 120 0"_s;
    QTest::newRow("marking another till's row") << Change::Mark << false << untouched;
    QTest::newRow("demonstration print of its own row") << Change::Remove << true << u"gone"_s;
    QTest::newRow("demonstration print of another till's row") << Change::Remove << false << untouched;
}

void TestSharedFolder::changesReachOnlyThisTillsRows()
{
    QFETCH(Change, what);
    QFETCH(bool, ownRow);
    QFETCH(QString, after);
    TwoTills folder;
    QVERIFY(change(folder, what, ownRow ? 1 : 2, folder.chlieb));
    QCOMPARE(folder.stateOf(folder.chlieb), after);
    QCOMPARE(folder.stateOf(folder.syr), u"0 500 0"_s);
}

void TestSharedFolder::dataModulesOfTwoTillsKeepTheirDocumentsApart()
{
    QTemporaryDir dir;
    MessageTable messages;
    ScriptedDialogs dialogs;
    const auto module = [&](int till) {
        DataModuleSettings settings{u"/opt/omira"_s, dir.path() + u'/', true, 2000};
        settings.till = till;
        return std::make_unique<DataModule>(settings, messages, dialogs, QDate(2026, 3, 14));
    };
    const auto first = module(1);
    const auto second = module(2);
    QVERIFY(first->prepareSalesTable());
    QVERIFY(second->prepareSalesTable());
    QCOMPARE(first->storeItem(item(u"Chlieb"_s, 120)).openTotal, 120);
    QCOMPARE(second->storeItem(item(u"Syr"_s, 500)).openTotal, 500);
    QCOMPARE(first->storeItem(item(u"Maslo"_s, 249)).openTotal, 369);
    QCOMPARE(namesOf(first->openRows().value()), QStringList({u"Chlieb"_s, u"Maslo"_s}));
    QCOMPARE(namesOf(second->openRows().value()), QStringList{u"Syr"_s});
    QCOMPARE(second->openTotal(), 500);
    QVERIFY(dialogs.shown().isEmpty());
}

void TestSharedFolder::notesOfTwoTillsNeverMeet_data()
{
    QTest::addColumn<TillIdentity>("other");
    const QString input = u"/pm/blocek.txt"_s;
    QTest::newRow("another number") << identity(u"pc-1"_s, input, 2);
    QTest::newRow("another print manager") << identity(u"pc-1"_s, u"/pm2/blocek.txt"_s, 1);
    QTest::newRow("another machine") << identity(u"pc-2"_s, input, 1);
}

// A till that prints while another one has a receipt pending must neither overwrite nor
// settle the other's note: that till may have died and needs it at its next start.
void TestSharedFolder::notesOfTwoTillsNeverMeet()
{
    QFETCH(TillIdentity, other);
    QTemporaryDir dir;
    const TillIdentity mine = identity(u"pc-1"_s, u"/pm/blocek.txt"_s, 1);
    PrintPendingRecord myNote(dir.path(), mine);
    PrintPendingRecord otherNote(dir.path(), other);
    QVERIFY(myNote.path() != otherNote.path());
    QVERIFY(myNote.write(noteOf(mine, 41)));

    QVERIFY(!otherNote.exists());
    QVERIFY(otherNote.write(noteOf(other, 77)));
    QCOMPARE(otherNote.read(), noteOf(other, 77));
    QVERIFY(otherNote.clear());
    QVERIFY(!otherNote.exists());
    // A damaged note is deleted only by its own till.
    TestPaths::writeFile(otherNote.path(), "omira-pending 2\ncut");
    bool damaged = false;
    QVERIFY(!otherNote.read(&damaged) && damaged);

    QCOMPARE(myNote.read(), noteOf(mine, 41));
    QVERIFY(myNote.clear());
    QVERIFY(QFile::exists(otherNote.path()));
}

void TestSharedFolder::oldNamedNote_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("ours");
    const TillIdentity mine = identity(QSysInfo::machineHostName(), u"/pm/blocek.txt"_s, 2);
    QTest::newRow("naming this till") << oldNote(mine.linkText()) << true;
    QTest::newRow("naming another print manager")
        << oldNote(QSysInfo::machineHostName() + u"|/pm2/blocek.txt"_s) << false;
    QTest::newRow("damaged") << QByteArray("omira-pending 1\n") << false;
}

// The single note of earlier versions: its till finds it after an upgrade and settles it;
// every other till leaves it where it is, since it cannot know whose it is.
void TestSharedFolder::oldNamedNote()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, ours);
    QTemporaryDir dir;
    const QString old = dir.filePath(QString::fromLatin1(PrintPendingRecord::LegacyFileName));
    QVERIFY(TestPaths::writeFile(old, content));
    PrintPendingRecord note(dir.path(), identity(QSysInfo::machineHostName(), u"/pm/blocek.txt"_s, 2));

    QCOMPARE(note.exists(), ours);
    bool damaged = true;
    const std::optional<PrintPendingRecord::Entry> entry = note.read(&damaged);
    QVERIFY(!damaged);
    QCOMPARE(entry.has_value(), ours);
    if (ours) {
        // Rows of earlier versions are till 1's, whatever number the till has now.
        QCOMPARE(entry->till, 1);
        QCOMPARE(entry->keys, QList<int>({3, 4}));
        QCOMPARE(entry->documentBefore, 41);
        QVERIFY(entry->documentHash.isEmpty());
    }
    QVERIFY(note.clear());
    QCOMPARE(QFile::exists(old), !ours);
}

void TestSharedFolder::noteOfEachVersion_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<PrintPendingRecord::Entry>("expected");
    const TillIdentity till = identity(u"pc-1"_s, u"/pm/blocek.txt"_s, 2);
    const QByteArray head = till.linkText().toUtf8() + "\n2\n";
    PrintPendingRecord::Entry receipt = pendingAt(till);
    receipt.salesTable = Table;
    receipt.keys = {3, 4};
    PrintPendingRecord::Entry withdrawal = pendingAt(till);
    withdrawal.kind = PrintPendingRecord::Kind::Withdrawal;
    withdrawal.amountCents = 5050;

    // Notes of the version before vouchers name no kind: they are receipts.
    QTest::newRow("version 2, a receipt")
        << "omira-pending 2\n" + head + "PREDAJ_2026\n41\n2026-03-14T09:00:00\n3,4\nab12\nend\n"
        << true << receipt;
    QTest::newRow("version 3, a withdrawal")
        << "omira-pending 3\n" + head + "\n41\n2026-03-14T09:00:00\n\nab12\nwithdrawal\n5050\nend\n"
        << true << withdrawal;
    QTest::newRow("version 3 of an unknown kind")
        << "omira-pending 3\n" + head + "\n41\n2026-03-14T09:00:00\n\nab12\nrefund\n5050\nend\n"
        << false << PrintPendingRecord::Entry{};
    QTest::newRow("version 3 without kind and amount")
        << "omira-pending 3\n" + head + "PREDAJ_2026\n41\n2026-03-14T09:00:00\n3,4\nab12\nend\n"
        << false << PrintPendingRecord::Entry{};
}

void TestSharedFolder::noteOfEachVersion()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, readable);
    QFETCH(PrintPendingRecord::Entry, expected);
    QTemporaryDir dir;
    PrintPendingRecord note(dir.path(), identity(u"pc-1"_s, u"/pm/blocek.txt"_s, 2));
    QVERIFY(TestPaths::writeFile(note.path(), content));

    bool damaged = false;
    const std::optional<PrintPendingRecord::Entry> entry = note.read(&damaged);
    QCOMPARE(damaged, !readable);
    QCOMPARE(entry.has_value(), readable);
    if (readable)
        QCOMPARE(*entry, expected);
}

void TestSharedFolder::voucherNoteRoundTrips_data()
{
    QTest::addColumn<PrintPendingRecord::Kind>("kind");
    QTest::addColumn<qint64>("amountCents");
    QTest::newRow("deposit") << PrintPendingRecord::Kind::Deposit << qint64(10000);
    QTest::newRow("withdrawal, the largest amount")
        << PrintPendingRecord::Kind::Withdrawal << qint64(9999999999);
}

void TestSharedFolder::voucherNoteRoundTrips()
{
    QFETCH(PrintPendingRecord::Kind, kind);
    QFETCH(qint64, amountCents);
    QTemporaryDir dir;
    const TillIdentity till = identity(u"pc-1"_s, u"/pm/blocek.txt"_s, 2);
    PrintPendingRecord::Entry entry = pendingAt(till);
    entry.kind = kind;
    entry.amountCents = amountCents;
    PrintPendingRecord note(dir.path(), till);

    QVERIFY(note.write(entry));
    QCOMPARE(note.read(), entry);
}

void TestSharedFolder::tillNumberRunsOnceOnAFolder()
{
    QTemporaryDir dir;
    auto first = std::make_unique<TillLock>(dir.path(), 1);
    QCOMPARE(first->take(), TillLock::Result::Taken);

    TillLock sameNumber(dir.path(), 1);
    QCOMPARE(sameNumber.take(), TillLock::Result::HeldByAnother);
    const std::optional<TillLock::Owner> owner = sameNumber.owner();
    QVERIFY(owner);
    QCOMPARE(owner->pid, QCoreApplication::applicationPid());
    QCOMPARE(owner->host, QSysInfo::machineHostName());

    TillLock otherNumber(dir.path(), 2);
    QCOMPARE(otherNumber.take(), TillLock::Result::Taken);

    first.reset(); // the till ends
    QCOMPARE(sameNumber.take(), TillLock::Result::Taken);
}

void TestSharedFolder::lockOfATillInAnotherProcess_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<TillLock::Result>("result");
    QTest::newRow("running") << u"hold"_s << TillLock::Result::HeldByAnother;
    QTest::newRow("killed") << u"die"_s << TillLock::Result::Taken;
}

void TestSharedFolder::lockOfATillInAnotherProcess()
{
    QFETCH(QString, mode);
    QFETCH(TillLock::Result, result);
    QTemporaryDir dir;
    QProcess holder;
    holder.start(QCoreApplication::applicationFilePath(), {u"--lock-child"_s, mode, dir.path()});
    QVERIFY(holder.waitForReadyRead(20000));
    QCOMPARE(holder.readAll(), QByteArray("taken\n"));
    if (mode == u"die"_s)
        QVERIFY(holder.waitForFinished(20000));

    TillLock lock(dir.path(), 1);
    QCOMPARE(lock.take(), result);
    holder.kill();
    holder.waitForFinished(20000);
}

int main(int argc, char *argv[])
{
    if (argc == 4 && qstrcmp(argv[1], "--lock-child") == 0) {
        QCoreApplication app(argc, argv);
        return lockChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    QCoreApplication app(argc, argv);
    TestSharedFolder test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sharedfolder.moc"

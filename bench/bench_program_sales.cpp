// A long day at the till: the running program sells one item after another through the
// real sale screen and prints each as a receipt through the print-manager simulator,
// without the payment dialog (SHOW=0). The price list has 100,000 cards. Reported: the
// program's resident memory after 50 sales and after the last one, and the seconds per
// sale over the first 50 and over the last 50. Met when the memory stays within 2 MB and a
// sale does not get slower (the last ones at most 10 % slower than the first).
//
// Needs an X display and xdotool:
//   bash scripts/with-display.sh build/release/bench/bench_program_sales [--sales N]
//        [--wrap "heaptrack -o /tmp/sales"]
// --wrap starts the program through another program (a heap profiler); the memory figures
// are then the profiled program's.
#include "BenchProgramFolder.h"
#include "LargeDataFolder.h"
#include "TestPaths.h"
#include "stock/TableLayouts.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <optional>

#include <signal.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int EarlySales = 50;
constexpr int ReportEvery = 100;
constexpr double FlatMb = 2.0;
constexpr double SlowerAtMost = 1.10;
constexpr int SaleTimeoutMs = 60000;
constexpr int StartTimeoutMs = 180000;
const QString SaleScreenTitle = u"^Omira Predaj - pokladňa$"_s;
const QString PrintManagerTitle = u"TM-sales-bench"_s;

double residentMb(qint64 pid)
{
    QFile status(u"/proc/%1/status"_s.arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

// The process running `executable`: `root` itself or one of its descendants (a profiler
// that wraps the program starts it as its child).
std::optional<qint64> processRunning(qint64 root, const QString &executable)
{
    QList<qint64> pending{root};
    while (!pending.isEmpty()) {
        const qint64 pid = pending.takeFirst();
        if (QFileInfo(u"/proc/%1/exe"_s.arg(pid)).canonicalFilePath() == executable)
            return pid;
        const QDir tasks(u"/proc/%1/task"_s.arg(pid));
        for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile children(tasks.filePath(task + u"/children"_s));
            if (!children.open(QIODevice::ReadOnly))
                continue;
            for (const QByteArray &child : children.readAll().split(' ')) {
                if (!child.trimmed().isEmpty())
                    pending.append(child.trimmed().toLongLong());
            }
        }
    }
    return std::nullopt;
}

bool xdotool(const QStringList &arguments)
{
    return QProcess::execute(u"timeout"_s, QStringList{u"20"_s, u"xdotool"_s} + arguments) == 0;
}

// The rows of the year's sales table that a print has marked.
class PrintedCount
{
public:
    explicit PrintedCount(const QString &path)
        : m_db(QSqlDatabase::addDatabase(u"QSQLITE"_s, u"printed"_s)),
          m_table(TableLayouts::salesTableName(QDate::currentDate().year()))
    {
        m_db.setDatabaseName(path);
        m_db.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT=5000;QSQLITE_OPEN_READONLY"_s);
    }
    int value()
    {
        if (!m_db.isOpen() && (!QFile::exists(m_db.databaseName()) || !m_db.open()))
            return 0;
        QSqlQuery query(m_db);
        return query.exec(u"SELECT COUNT(*) FROM %1 WHERE FISK = 1"_s.arg(m_table)) && query.next()
                   ? query.value(0).toInt()
                   : 0;
    }

private:
    QSqlDatabase m_db;
    QString m_table;
};

// Types one sale into the focused sale screen: the search, Enter, quantity 1, Enter
// (the row is stored), F12 (the receipt is printed).
bool sellOneItem()
{
    return xdotool({u"type"_s, u"--delay"_s, u"15"_s, u"mlie"_s}) &&
           xdotool(
               {u"key"_s, u"--delay"_s, u"40"_s, u"Return"_s, u"ctrl+a"_s, u"1"_s, u"Return"_s, u"F12"_s});
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser options;
    options.addOption(
        {u"sales"_s, u"How many items are sold and printed (default 1000)."_s, u"n"_s, u"1000"_s});
    options.addOption({u"wrap"_s, u"Start the program through this command line."_s, u"command"_s});
    options.process(app);
    const int sales = std::max(2 * EarlySales, options.value(u"sales"_s).toInt());

    if (QStandardPaths::findExecutable(u"xdotool"_s).isEmpty()) {
        std::fprintf(stderr, "xdotool is needed to type into the sale screen\n");
        return 1;
    }
    QTemporaryDir dir;
    if (!dir.isValid() ||
        !prepareBenchProgramFolder(dir.path(),
                                   "[CONFIG]\r\nTM=" + PrintManagerTitle.toLatin1() +
                                       "\r\nPOKL_START=1\r\nLAN_REPEAT=50\r\n[PLATBA]\r\nSHOW=0\r\n")) {
        std::fprintf(stderr, "cannot prepare the program folder\n");
        return 1;
    }
    const QDir data(dir.filePath(u"cennik"_s));
    LargeDataFolder::generateStock(data.filePath(TableLayouts::StockFileName));
    std::printf("price list: %d stock cards; %d sales, each one item and one receipt\n",
                LargeDataFolder::StockCards, sales);

    QProcess simulator;
    simulator.start(QStringLiteral(OMIRA_TM_EXE), {u"--program-folder"_s, dir.path()});
    QThread::msleep(1000);
    const QString executable = QFileInfo(dir.filePath(u"omira-predaj"_s)).canonicalFilePath();
    QStringList command = QProcess::splitCommand(options.value(u"wrap"_s));
    command.append(executable);
    QProcess program;
    program.setWorkingDirectory(dir.path());
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(command.takeFirst(), command);
    if (!simulator.waitForStarted() || !program.waitForStarted()) {
        std::fprintf(stderr, "cannot start the program or the simulator\n");
        return 1;
    }
    std::optional<qint64> pid;
    const auto stop = [&] {
        // A termination signal ends the program in order, so that a profiler wrapped around it
        // gets its data; the signal goes to the program itself, not to the wrapper.
        if (pid)
            ::kill(pid_t(*pid), SIGTERM);
        else
            program.terminate();
        if (!program.waitForFinished(60000))
            program.kill();
        simulator.kill();
        simulator.waitForFinished();
    };

    // A profiled program takes its time to start.
    const QDeadlineTimer startDeadline(StartTimeoutMs);
    bool saleScreen = false;
    while (!saleScreen && !startDeadline.hasExpired())
        saleScreen = xdotool({u"search"_s, u"--sync"_s, u"--onlyvisible"_s, u"--name"_s, SaleScreenTitle,
                              u"windowfocus"_s, u"--sync"_s});
    if (!saleScreen) {
        std::fprintf(stderr, "the sale screen did not appear\n");
        stop();
        return 1;
    }
    QThread::msleep(1000);
    pid = processRunning(program.processId(), executable);
    if (!pid) {
        std::fprintf(stderr, "the program's process was not found\n");
        stop();
        return 1;
    }

    PrintedCount printed(data.filePath(TableLayouts::salesFileName(QDate::currentDate().year())));
    std::printf("sale screen open: resident %.1f MB\n", residentMb(*pid));
    // When each sale was printed, in seconds from the first key of the first one.
    QList<double> printedAt{0};
    double earlyMb = 0;
    QElapsedTimer clock;
    clock.start();
    for (int sale = 1; sale <= sales; ++sale) {
        const QDeadlineTimer deadline(SaleTimeoutMs);
        if (!sellOneItem()) {
            std::fprintf(stderr, "xdotool failed at sale %d\n", sale);
            stop();
            return 1;
        }
        while (printed.value() < sale && !deadline.hasExpired())
            QThread::msleep(20);
        if (printed.value() < sale) {
            std::fprintf(stderr, "sale %d was not printed within %d s\n", sale, SaleTimeoutMs / 1000);
            stop();
            return 1;
        }
        printedAt.append(clock.elapsed() / 1000.0);
        if (sale == EarlySales)
            earlyMb = residentMb(*pid);
        if (sale == EarlySales || sale % ReportEvery == 0) {
            std::printf("after %5d sales: resident %6.1f MB, %.3f s per sale over the last %d\n", sale,
                        residentMb(*pid), (printedAt.at(sale) - printedAt.at(sale - EarlySales)) / EarlySales,
                        EarlySales);
            std::fflush(stdout);
        }
    }

    const double lateMb = residentMb(*pid);
    const double earlyPerSale = printedAt.at(EarlySales) / EarlySales;
    const double latePerSale = (printedAt.at(sales) - printedAt.at(sales - EarlySales)) / EarlySales;
    const double growth = lateMb - earlyMb;
    const bool flat = growth <= FlatMb;
    const bool steady = latePerSale <= earlyPerSale * SlowerAtMost;
    std::printf("resident memory after %d sales %.1f MB, after %d sales %.1f MB: %+.1f MB (at most %.0f MB): "
                "%s\n",
                EarlySales, earlyMb, sales, lateMb, growth, FlatMb, flat ? "met" : "NOT met");
    std::printf("seconds per sale: first %d sales %.3f, last %d sales %.3f: %s\n", EarlySales, earlyPerSale,
                EarlySales, latePerSale, steady ? "met" : "NOT met");
    stop();
    return flat && steady ? 0 : 2;
}

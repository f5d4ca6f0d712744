// The running program's resident memory on a busy shop's data folder: 100,000 stock
// cards and a year's sales table of 1,000,000 rows. The program starts beside the
// print-manager simulator and opens the sale screen at once; where xdotool is there, a
// cashier then searches the price list by name and by code. The peak resident memory
// (VmHWM) is reported against the target of 150 MB. With --empty the data folder holds no
// tables, as a baseline of what the program costs by itself.
//
// Needs an X display: bash scripts/with-display.sh build/release/bench/bench_program_memory
#include "BenchProgramFolder.h"
#include "LargeDataFolder.h"
#include "TestPaths.h"
#include "stock/TableLayouts.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

constexpr int TargetMb = 150;
const QString SaleScreenTitle = u"^Omira Predaj - pokladňa$"_s;

// A field of /proc/<pid>/status in MB; 0 once the process is gone.
double statusMb(qint64 pid, const QByteArray &field)
{
    QFile status(u"/proc/%1/status"_s.arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

// Samples the program's memory for `seconds`, printing the figures now and then.
void watch(qint64 pid, double seconds, const char *phase)
{
    for (int tick = 0; tick < int(seconds * 5); ++tick) {
        QThread::msleep(200);
        if (statusMb(pid, "VmRSS") == 0)
            return;
    }
    std::printf("%-28s resident %6.1f MB, peak %6.1f MB\n", phase, statusMb(pid, "VmRSS"),
                statusMb(pid, "VmHWM"));
}

bool xdotool(const QStringList &arguments)
{
    return QProcess::execute(u"timeout"_s, QStringList{u"20"_s, u"xdotool"_s} + arguments) == 0;
}

void searchAsACashier(qint64 pid)
{
    if (QStandardPaths::findExecutable(u"xdotool"_s).isEmpty()) {
        std::printf("xdotool is missing: no searches\n");
        return;
    }
    if (!xdotool({u"search"_s, u"--sync"_s, u"--onlyvisible"_s, u"--name"_s, SaleScreenTitle,
                  u"windowfocus"_s, u"--sync"_s})) {
        std::printf("the sale screen did not appear: no searches\n");
        return;
    }
    for (const QString &text : {u"mlie"_s, u"čokoláda 5"_s, u"zelený"_s}) {
        xdotool({u"key"_s, u"ctrl+a"_s, u"BackSpace"_s});
        xdotool({u"type"_s, u"--delay"_s, u"40"_s, text});
        watch(pid, 2, qPrintable(u"search \"%1\""_s.arg(text)));
    }
    // The code column, then every card ordered by price.
    xdotool({u"key"_s, u"ctrl+a"_s, u"BackSpace"_s, u"Right"_s});
    xdotool({u"type"_s, u"--delay"_s, u"40"_s, u"0123"_s});
    watch(pid, 2, "search by code");
    xdotool({u"key"_s, u"ctrl+a"_s, u"BackSpace"_s, u"Right"_s, u"Page_Down"_s, u"Page_Down"_s});
    watch(pid, 2, "all cards by price");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid() ||
        !prepareBenchProgramFolder(dir.path(), "[CONFIG]\r\nTM=TM-memory-bench\r\nPOKL_START=1\r\n")) {
        std::fprintf(stderr, "cannot prepare the program folder\n");
        return 1;
    }
    if (QCoreApplication::arguments().contains(u"--empty"_s)) {
        std::printf("data folder: empty (baseline)\n");
    } else {
        const int year = QDate::currentDate().year();
        const QDir data(dir.filePath(u"cennik"_s));
        LargeDataFolder::generateStock(data.filePath(TableLayouts::StockFileName));
        LargeDataFolder::generateSales(data.filePath(TableLayouts::salesFileName(year)), year);
        std::printf("data folder: %d stock cards, %d sales rows (%d open)\n", LargeDataFolder::StockCards,
                    LargeDataFolder::SalesRows, LargeDataFolder::OpenRows);
    }

    QProcess simulator;
    simulator.start(QStringLiteral(OMIRA_TM_EXE), {u"--program-folder"_s, dir.path()});
    QProcess program;
    program.setWorkingDirectory(dir.path());
    QThread::msleep(1000);
    program.start(dir.filePath(u"omira-predaj"_s));
    if (!simulator.waitForStarted() || !program.waitForStarted()) {
        std::fprintf(stderr, "cannot start the program or the simulator\n");
        return 1;
    }
    watch(program.processId(), 8, "sale screen open");
    searchAsACashier(program.processId());
    const double peak = statusMb(program.processId(), "VmHWM");
    std::printf("peak resident memory: %.1f MB (target %d MB): %s\n", peak, TargetMb,
                peak > 0 && peak <= TargetMb ? "met" : "NOT met");
    program.kill();
    simulator.kill();
    program.waitForFinished();
    simulator.waitForFinished();
    return peak > 0 && peak <= TargetMb ? 0 : 2;
}

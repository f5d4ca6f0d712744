// A receipt's whole cycle, from the print request to the rows marked, against the
// print-manager simulator running as its own process and answering at once. The
// cycle includes the fixed pauses of the print (100 ms after the input file is free,
// 500 ms before the result is read, 500 ms before the outcome); the counters report what
// the cycle costs beyond them ("beyond_pauses_ms") and beyond every wait of the link,
// polls included ("beyond_all_waits_ms"). The target is 100 ms beyond the pauses.
#include "ReceiptPrintRig.h"
#include "link/SteadyLinkClock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <benchmark/benchmark.h>

#include <thread>

namespace {

constexpr qint64 FixedPausesMs = 100 + 500 + 500;

// The steady clock, counting the time the link asked to wait.
class CountingClock : public LinkClock
{
public:
    qint64 nowMs() const override { return m_clock.nowMs(); }
    void sleepMs(qint64 ms) override
    {
        m_slept += std::max<qint64>(ms, 0);
        m_clock.sleepMs(ms);
    }
    qint64 slept() const { return m_slept; }
    void reset() { m_slept = 0; }

private:
    SteadyLinkClock m_clock;
    qint64 m_slept = 0;
};

void BM_ReceiptCycle(benchmark::State &state)
{
    QTemporaryDir dir;
    QDir().mkpath(dir.path() + u"/exchange"_s);
    QProcess printManager;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    printManager.setProcessEnvironment(environment);
    printManager.start(QStringLiteral(OMIRA_TM_EXE), {u"--input"_s, dir.path() + u"/exchange/blocek.txt"_s,
                                                      u"--headless"_s, u"--poll-interval"_s, u"1"_s});
    printManager.waitForStarted();
    while (!QFile::exists(dir.path() + u"/exchange/omira-tm.ini"_s))
        std::this_thread::sleep_for(std::chrono::milliseconds(5));

    CountingClock clock;
    ReceiptPrintRig rig(clock, dir.path());
    rig.config.repeatPeriod = 5;
    double beyondPauses = 0;
    double beyondWaits = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < 10; ++i)
            rig.addItem(u"Položka %1"_s.arg(i), 1 + i, 1.25 + i);
        clock.reset();
        state.ResumeTiming();
        QElapsedTimer timer;
        timer.start();
        if (rig.print().print({}) != ReceiptPrint::Outcome::Printed)
            state.SkipWithError("not printed");
        const qint64 elapsed = timer.elapsed();
        beyondPauses += double(elapsed - FixedPausesMs);
        beyondWaits += double(elapsed - clock.slept());
    }
    state.counters["beyond_pauses_ms"] = benchmark::Counter(beyondPauses, benchmark::Counter::kAvgIterations);
    state.counters["beyond_all_waits_ms"] =
        benchmark::Counter(beyondWaits, benchmark::Counter::kAvgIterations);
    QFile::remove(dir.path() + u"/exchange/terminate"_s);
    printManager.kill();
    printManager.waitForFinished();
}

} // namespace

BENCHMARK(BM_ReceiptCycle)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

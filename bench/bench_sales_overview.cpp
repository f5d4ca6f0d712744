// The sales overview on a busy year: a sales table of 1,000,000 rows, generated once
// per run. For each grouping, over a month's closings, a month of dates and the
// whole year: the time to the first 100 item rows (what the screen shows first)
// and to the footer total, as "first_rows_ms" and "total_ms", both for rows read
// straight from the table (chooseItems) and for rows grouped and kept first
// (selectItems). The memory of the process after the whole year's rows were
// listed page by page is "peak_rss_mb". The document grid's pages are timed
// over the same ranges. With OMIRA_BENCH_WITHOUT_INDEXES=1 in the
// environment the table keeps only the indexes the till has always made, which
// is how a year written by an earlier version is read.
#include "LargeDataFolder.h"
#include "pos/SalesTable.h"
#include "stock/DataFile.h"
#include "stock/SalesOverview.h"
#include "stock/TableLayouts.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

using Choices = SalesOverviewChoices;
using Clock = std::chrono::steady_clock;
constexpr int Year = 2026;
constexpr int FirstRows = 100;
// The generated year has 50 closings of 20,000 rows; four of them are about a month.
constexpr int MonthFrom = 20;
constexpr int MonthTo = 23;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Fixture
{
    QTemporaryDir dir;
    QString fileName = TableLayouts::salesFileName(Year);
    double indexSeconds = 0;

    Fixture()
    {
        const auto start = Clock::now();
        LargeDataFolder::generateSales(dir.filePath(fileName), Year);
        std::fprintf(stderr, "generated %d sales rows in %.1f s\n", LargeDataFolder::SalesRows,
                     msSince(start) / 1000);
        if (qEnvironmentVariableIntValue("OMIRA_BENCH_WITHOUT_INDEXES") == 1)
            return;
        // As the till does when it opens the year's table.
        const qint64 sizeBefore = QFileInfo(dir.filePath(fileName)).size();
        const auto indexStart = Clock::now();
        DataFile file;
        file.open(dir.filePath(fileName), false);
        SalesTable table(file, TableLayouts::salesTableName(Year));
        if (!table.addOverviewIndexes())
            std::fprintf(stderr, "indexes not created: %s\n", qPrintable(table.lastError()));
        indexSeconds = msSince(indexStart) / 1000;
        file.close();
        std::fprintf(stderr, "overview indexes created in %.1f s; the file grew from %.0f MB to %.0f MB\n",
                     indexSeconds, double(sizeBefore) / 1e6,
                     double(QFileInfo(dir.filePath(fileName)).size()) / 1e6);
    }
};

Fixture &fixture()
{
    static Fixture instance;
    return instance;
}

enum Range { MonthOfClosings, MonthOfDates, WholeYear };

// "po dokladoch" ordered by document number, as the owner chooses it from the list.
constexpr int ByDocumentNumber = 3;

Choices choicesOf(int grouping, int range)
{
    Choices choices;
    choices.grouping =
        grouping == ByDocumentNumber ? Choices::Grouping::ByDocument : Choices::Grouping(grouping);
    switch (range) {
    case MonthOfClosings:
        choices.closingFrom = MonthFrom;
        choices.closingTo = MonthTo;
        break;
    case MonthOfDates:
        choices.rangeMode = Choices::RangeMode::Dates;
        choices.dateFrom = QDate(Year, 5, 1);
        choices.dateTo = QDate(Year, 5, 31);
        break;
    default:
        choices.closingFrom = 0;
        choices.closingTo = 1000;
        break;
    }
    // The sort each grouping starts with on the screen: "po dokladoch" is shown
    // first ordered by closing, and by document number once chosen from the list.
    choices.sort = grouping == ByDocumentNumber                     ? Choices::Sort::Document
                   : choices.grouping == Choices::Grouping::Summary ? Choices::Sort::Code
                                                                    : Choices::Sort::Closing;
    return choices;
}

// Grouped and kept first, then read: the time to the first rows is the time to the total.
void overviewStored(benchmark::State &state)
{
    Fixture &f = fixture();
    SalesOverview overview;
    if (!overview.open(f.dir.path(), f.fileName)) {
        state.SkipWithError(qPrintable(overview.lastError()));
        return;
    }
    const Choices choices = choicesOf(int(state.range(0)), int(state.range(1)));
    double firstRows = 0;
    double total = 0;
    qint64 rows = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        const SalesOverviewRows::ItemSummary summary = overview.selectItems(choices);
        const QList<SalesOverviewRows::Item> page = overview.items(0, FirstRows);
        firstRows += msSince(start);
        benchmark::DoNotOptimize(page.size());
        total += msSince(start);
        rows = summary.rows;
    }
    const double n = double(state.iterations());
    state.counters["first_rows_ms"] = firstRows / n;
    state.counters["total_ms"] = total / n;
    state.counters["item_rows"] = double(rows);
}

// The first page read straight from the table, then the footer total, then the
// rows counted for the screen's scroll bar ("counted_ms").
void overviewDirect(benchmark::State &state)
{
    Fixture &f = fixture();
    SalesOverview overview;
    if (!overview.open(f.dir.path(), f.fileName)) {
        state.SkipWithError(qPrintable(overview.lastError()));
        return;
    }
    const Choices choices = choicesOf(int(state.range(0)), int(state.range(1)));
    double firstRows = 0;
    double total = 0;
    double counted = 0;
    qint64 rows = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        overview.chooseItems(choices);
        const QList<SalesOverviewRows::Item> page = overview.items(0, FirstRows);
        benchmark::DoNotOptimize(page.size());
        firstRows += msSince(start);
        benchmark::DoNotOptimize(overview.itemTotal());
        total += msSince(start);
        const SalesOverviewRows::ItemSummary summary = overview.itemSummary();
        counted += msSince(start);
        rows = summary.rows;
    }
    const double n = double(state.iterations());
    state.counters["first_rows_ms"] = firstRows / n;
    state.counters["total_ms"] = total / n;
    state.counters["counted_ms"] = counted / n;
    state.counters["item_rows"] = double(rows);
}

// The document grid: its last page of a range ("last_page_ms") and the page
// before it ("earlier_page_ms"), as the screen reads them when the range is typed
// and when the cashier scrolls up.
void overviewDocuments(benchmark::State &state)
{
    constexpr int Page = 200;
    Fixture &f = fixture();
    SalesOverview overview;
    if (!overview.open(f.dir.path(), f.fileName)) {
        state.SkipWithError(qPrintable(overview.lastError()));
        return;
    }
    const Choices choices = choicesOf(0, int(state.range(0)));
    double lastPage = 0;
    double earlierPage = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        const QList<SalesOverviewRows::Document> last = overview.documents(choices, std::nullopt, Page);
        lastPage += msSince(start);
        if (last.isEmpty()) {
            state.SkipWithError("no documents in the range");
            return;
        }
        start = Clock::now();
        benchmark::DoNotOptimize(overview.documents(choices, last.first(), Page).size());
        earlierPage += msSince(start);
    }
    const double n = double(state.iterations());
    state.counters["last_page_ms"] = lastPage / n;
    state.counters["earlier_page_ms"] = earlierPage / n;
}

long kilobytesOf(const char *key)
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

// The whole year by document, every row read as a screen scrolling to the end reads it.
void overviewMemory(benchmark::State &state)
{
    Fixture &f = fixture();
    SalesOverview overview;
    overview.open(f.dir.path(), f.fileName);
    const long before = kilobytesOf("VmRSS:");
    for (auto _ : state) {
        overview.chooseItems(choicesOf(0, WholeYear));
        const SalesOverviewRows::ItemSummary summary = overview.itemSummary();
        for (qint64 offset = 0; offset < summary.rows; offset += 1000)
            benchmark::DoNotOptimize(overview.items(offset, 1000).size());
    }
    state.counters["rss_before_mb"] = double(before) / 1024;
    state.counters["rss_mb"] = double(kilobytesOf("VmRSS:")) / 1024;
    state.counters["peak_rss_mb"] = double(kilobytesOf("VmHWM:")) / 1024;
}

} // namespace

BENCHMARK(overviewDirect)
    ->ArgNames({"grouping", "range"})
    ->ArgsProduct({{0, ByDocumentNumber, 1, 2}, {MonthOfClosings, MonthOfDates, WholeYear}})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(overviewStored)
    ->ArgNames({"grouping", "range"})
    ->ArgsProduct({{0, ByDocumentNumber, 1, 2}, {MonthOfClosings, MonthOfDates, WholeYear}})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(overviewDocuments)
    ->ArgNames({"range"})
    ->DenseRange(MonthOfClosings, WholeYear)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(overviewMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();

// The sale's hot paths on a large data folder: 100,000 stock cards and a year's
// table of 1,000,000 sales rows, generated once per run into a temporary folder.
// Each benchmark reports the median time of one operation as "median_us".
#include "LargeDataFolder.h"
#include "SilentDialogs.h"
#include "base/UserDialogs.h"
#include "lang/MessageTable.h"
#include "pos/DataModule.h"
#include "stock/DataFile.h"
#include "stock/StockSearch.h"
#include "stock/StockTable.h"
#include "stock/TableLayouts.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

using LargeDataFolder::OpenRows;
using LargeDataFolder::SalesRows;
using LargeDataFolder::StockCards;
constexpr int PageRows = 40; // rows the item list shows at once
const QDate Today(2026, 5, 20);

struct Fixture
{
    QTemporaryDir dir;
    QStringList names;
    MessageTable messages;
    SilentDialogs dialogs;
    std::unique_ptr<DataModule> module;

    Fixture()
    {
        const auto start = std::chrono::steady_clock::now();
        LargeDataFolder::generateStock(dir.filePath(TableLayouts::StockFileName), &names);
        LargeDataFolder::generateSales(dir.filePath(TableLayouts::salesFileName(Today.year())), Today.year());
        const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::fprintf(stderr, "generated %d cards and %d sales rows in %.1f s\n", StockCards, SalesRows,
                     seconds);
        module = std::make_unique<DataModule>(DataModuleSettings{dir.path(), dir.path() + u'/', true},
                                              messages, dialogs, Today);
        module->prepareSalesTable();
    }
};

Fixture &fixture()
{
    static Fixture instance;
    return instance;
}

// Times each iteration and reports the median, the figure the targets name.
template <typename Operation> void timeEach(benchmark::State &state, Operation &&operation)
{
    std::vector<double> micros;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        operation();
        micros.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    std::nth_element(micros.begin(), micros.begin() + qsizetype(micros.size() / 2), micros.end());
    state.counters["median_us"] = micros[micros.size() / 2];
}

const QString SearchTerms[] = {u"mlie"_s, u"čaj"_s, u"zelený 12"_s, u"Jack's"_s, u"a"_s};

void searchByName(benchmark::State &state)
{
    Fixture &f = fixture();
    const QString term = SearchTerms[state.range(0)];
    StockSearch &search = f.module->stockSearch();
    search.search(StockSearch::Column::Name, term); // the copy is read once
    qsizetype found = 0;
    timeEach(state, [&] {
        const auto ids = *search.search(StockSearch::Column::Name, term);
        found = ids.size();
        const auto page =
            f.module->stockTable().cards(std::span(ids).first(std::min<size_t>(ids.size(), PageRows)));
        benchmark::DoNotOptimize(page);
    });
    state.SetLabel(term.toStdString() + " found " + std::to_string(found));
}
BENCHMARK(searchByName)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);

void searchFloorInMemoryScan(benchmark::State &state)
{
    Fixture &f = fixture();
    const QString term = SearchTerms[state.range(0)];
    timeEach(state, [&] {
        qsizetype found = 0;
        for (const QString &name : std::as_const(f.names))
            found += name.contains(term, Qt::CaseInsensitive);
        benchmark::DoNotOptimize(found);
    });
    state.SetLabel(term.toStdString());
}
BENCHMARK(searchFloorInMemoryScan)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);

// Another till reprices and renames a few cards between two searches: the search
// takes over only those cards.
void searchAfterAnotherTillChangedCards(benchmark::State &state)
{
    Fixture &f = fixture();
    StockSearch &search = f.module->stockSearch();
    search.search(StockSearch::Column::Name, u"mlie"_s);
    DataFile otherTill;
    otherTill.open(f.dir.filePath(TableLayouts::StockFileName), false);
    int round = 0;
    std::vector<double> micros;
    for (auto _ : state) {
        ++round;
        otherTill.exec(
            u"UPDATE VX60_SKLAD SET JC = JC + 0.01, NAZOV = NAZOV || 'x' WHERE rowid IN (%1, %2, %3)"_s
                .arg(round * 7)
                .arg(round * 7000)
                .arg(round * 13000));
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(search.search(StockSearch::Column::Name, u"mlie"_s));
        micros.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    std::nth_element(micros.begin(), micros.begin() + qsizetype(micros.size() / 2), micros.end());
    state.counters["median_us"] = micros[micros.size() / 2];
}
BENCHMARK(searchAfterAnotherTillChangedCards)->Iterations(7)->Unit(benchmark::kMillisecond);

// The whole table read again, as after an import.
void searchAfterWholeRead(benchmark::State &state)
{
    Fixture &f = fixture();
    StockSearch &search = f.module->stockSearch();
    timeEach(state, [&] {
        search.invalidate();
        benchmark::DoNotOptimize(search.search(StockSearch::Column::Name, u"mlie"_s));
    });
}
BENCHMARK(searchAfterWholeRead)->Iterations(5)->Unit(benchmark::kMillisecond);

SaleRow saleItem()
{
    SaleRow row;
    row.kod = u"000123"_s;
    row.nazov = u"MLIEKO polotučné 1 l"_s;
    row.mj = u"ks"_s;
    row.pocet = 2;
    row.jc = 0.89;
    row.cenaInt = 178;
    row.cena = 1.78;
    row.datum = Today;
    row.cas = QTime(12, 30, 0);
    return row;
}

// Key, insert and the open document's total, committed to disk (synchronous
// FULL: the disk's flush time is most of it).
void storeItem(benchmark::State &state)
{
    Fixture &f = fixture();
    const SaleRow row = saleItem();
    timeEach(state, [&] { benchmark::DoNotOptimize(f.module->storeItem(row)); });
}
BENCHMARK(storeItem)->Iterations(200)->Unit(benchmark::kMillisecond);

// The same without waiting for the disk: the program's own share of the time.
void storeItemWithoutDiskFlush(benchmark::State &state)
{
    Fixture &f = fixture();
    f.module->salesFile().exec(u"PRAGMA synchronous=OFF"_s);
    const SaleRow row = saleItem();
    timeEach(state, [&] { benchmark::DoNotOptimize(f.module->storeItem(row)); });
    f.module->salesFile().exec(u"PRAGMA synchronous=FULL"_s);
}
BENCHMARK(storeItemWithoutDiskFlush)->Iterations(2000)->Unit(benchmark::kMillisecond);

void recomputeOpenTotal(benchmark::State &state)
{
    Fixture &f = fixture();
    timeEach(state, [&] { benchmark::DoNotOptimize(f.module->openTotal()); });
}
BENCHMARK(recomputeOpenTotal)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// The sale's hot paths on a large data folder: 100,000 stock cards and a year's
// table of 1,000,000 sales rows, generated once per run into a temporary folder.
// Each benchmark reports the median time of one operation as "median_us".
//
// With a PostgreSQL server given in OMIRA_BENCH_POSTGRES (or OMIRA_TEST_POSTGRES,
// as scripts/with-postgres.sh sets it; OMIRA_PG_DURABLE=1 for a server that
// syncs its commits as a shop's does), the same tables are copied to it and every
// benchmark runs on both stores ("store:0" the files, "store:1" the server); the
// medians are printed side by side at the end.
#include "LargeDataFolder.h"
#include "SilentDialogs.h"
#include "base/Progress.h"
#include "base/UserDialogs.h"
#include "lang/MessageTable.h"
#include "pos/DataModule.h"
#include "stock/DataFile.h"
#include "stock/ServerCopy.h"
#include "stock/StockSearch.h"
#include "stock/StockTable.h"
#include "stock/TableLayouts.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <map>
#include <thread>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

using LargeDataFolder::OpenRows;
using LargeDataFolder::SalesRows;
using LargeDataFolder::StockCards;
constexpr int PageRows = 40; // rows the item list shows at once
const QDate Today(2026, 5, 20);

enum Store { Files, Server, StoreCount };
const char *const StoreNames[] = {"files", "server"};

QString serverConnection()
{
    const QString bench = qEnvironmentVariable("OMIRA_BENCH_POSTGRES");
    return bench.isEmpty() ? qEnvironmentVariable("OMIRA_TEST_POSTGRES") : bench;
}

struct Fixture
{
    QTemporaryDir dir;
    QStringList names;
    MessageTable messages;
    SilentDialogs dialogs;
    DataServer server;
    std::array<std::unique_ptr<DataModule>, StoreCount> modules;
    // Median of each benchmark on each store, for the table at the end.
    std::map<std::string, std::array<double, StoreCount>> medians;

    DataModuleSettings settings(Store store, int till = 1) const
    {
        DataModuleSettings result{dir.path(), dir.path() + u'/', true};
        result.till = till;
        if (store == Server)
            result.server = server;
        return result;
    }

    void copyToTheServer()
    {
        server = {DataServer::Kind::PostgreSql, serverConnection(), {}};
        const auto start = std::chrono::steady_clock::now();
        ServerCopy copy(dir.path(), server, QDateTime::currentDateTime());
        NoProgress progress;
        if (!copy.run(progress)) {
            std::fprintf(stderr, "not copied to the server:\n%s\n", qPrintable(copy.report()));
            return;
        }
        const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::fprintf(stderr, "copied to the server in %.1f s\n", seconds);
        modules[Server] = std::make_unique<DataModule>(settings(Server), messages, dialogs, Today);
        modules[Server]->prepareSalesTable();
    }

    Fixture()
    {
        const auto start = std::chrono::steady_clock::now();
        LargeDataFolder::generateStock(dir.filePath(TableLayouts::StockFileName), &names);
        LargeDataFolder::generateSales(dir.filePath(TableLayouts::salesFileName(Today.year())), Today.year());
        const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::fprintf(stderr, "generated %d cards and %d sales rows in %.1f s\n", StockCards, SalesRows,
                     seconds);
        modules[Files] = std::make_unique<DataModule>(settings(Files), messages, dialogs, Today);
        modules[Files]->prepareSalesTable();
        if (!serverConnection().isEmpty())
            copyToTheServer();
    }
};

Fixture &fixture()
{
    static Fixture instance;
    return instance;
}

// The module of the benchmark's store (its last argument); none, with the
// benchmark skipped, when no server was given.
DataModule *moduleOf(benchmark::State &state, Store store)
{
    DataModule *module = fixture().modules[store].get();
    if (!module)
        state.SkipWithError("no server: run under scripts/with-postgres.sh");
    return module;
}

void keepMedian(benchmark::State &state, const std::string &name, Store store, std::vector<double> &micros)
{
    std::nth_element(micros.begin(), micros.begin() + qsizetype(micros.size() / 2), micros.end());
    const double median = micros[micros.size() / 2];
    state.counters["median_us"] = median;
    fixture().medians[name][store] = median;
}

// Times each iteration and reports the median, the figure the targets name.
template <typename Operation>
void timeEach(benchmark::State &state, const std::string &name, Store store, Operation &&operation)
{
    std::vector<double> micros;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        operation();
        micros.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    keepMedian(state, name, store, micros);
}

const QString SearchTerms[] = {u"mlie"_s, u"čaj"_s, u"zelený 12"_s, u"Jack's"_s, u"a"_s};

void searchByName(benchmark::State &state)
{
    const Store store = Store(state.range(1));
    DataModule *module = moduleOf(state, store);
    if (!module)
        return;
    const QString term = SearchTerms[state.range(0)];
    StockSearch &search = module->stockSearch();
    search.search(StockSearch::Column::Name, term); // the copy is read once
    qsizetype found = 0;
    timeEach(state, "searchByName " + term.toStdString(), store, [&] {
        const auto ids = *search.search(StockSearch::Column::Name, term);
        found = ids.size();
        const auto page =
            module->stockTable().cards(std::span(ids).first(std::min<size_t>(ids.size(), PageRows)));
        benchmark::DoNotOptimize(page);
    });
    state.SetLabel(term.toStdString() + " found " + std::to_string(found));
}
BENCHMARK(searchByName)
    ->ArgNames({"term", "store"})
    ->ArgsProduct({{0, 1, 2, 3, 4}, {Files, Server}})
    ->Unit(benchmark::kMicrosecond);

void searchFloorInMemoryScan(benchmark::State &state)
{
    Fixture &f = fixture();
    const QString term = SearchTerms[state.range(0)];
    timeEach(state, "searchFloorInMemoryScan " + term.toStdString(), Files, [&] {
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
    const Store store = Store(state.range(0));
    DataModule *module = moduleOf(state, store);
    if (!module)
        return;
    StockSearch &search = module->stockSearch();
    search.search(StockSearch::Column::Name, u"mlie"_s);
    DataFile otherTill;
    if (store == Server)
        otherTill.setServer(f.server);
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
    keepMedian(state, "searchAfterAnotherTillChangedCards", store, micros);
}
BENCHMARK(searchAfterAnotherTillChangedCards)
    ->ArgNames({"store"})
    ->DenseRange(Files, Server)
    ->Iterations(7)
    ->Unit(benchmark::kMillisecond);

// The whole table read again, as after an import.
void searchAfterWholeRead(benchmark::State &state)
{
    const Store store = Store(state.range(0));
    DataModule *module = moduleOf(state, store);
    if (!module)
        return;
    StockSearch &search = module->stockSearch();
    timeEach(state, "searchAfterWholeRead", store, [&] {
        search.invalidate();
        benchmark::DoNotOptimize(search.search(StockSearch::Column::Name, u"mlie"_s));
    });
}
BENCHMARK(searchAfterWholeRead)
    ->ArgNames({"store"})
    ->DenseRange(Files, Server)
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

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
    const Store store = Store(state.range(0));
    DataModule *module = moduleOf(state, store);
    if (!module)
        return;
    const SaleRow row = saleItem();
    timeEach(state, "storeItem", store, [&] { benchmark::DoNotOptimize(module->storeItem(row)); });
}
BENCHMARK(storeItem)
    ->ArgNames({"store"})
    ->DenseRange(Files, Server)
    ->Iterations(200)
    ->Unit(benchmark::kMillisecond);

// The same without waiting for the disk: the program's own share of the time.
void storeItemWithoutDiskFlush(benchmark::State &state)
{
    const Store store = Store(state.range(0));
    DataModule *module = moduleOf(state, store);
    if (!module)
        return;
    const bool server = store == Server;
    module->salesFile().exec(server ? u"SET synchronous_commit = off"_s : u"PRAGMA synchronous=OFF"_s);
    const SaleRow row = saleItem();
    timeEach(state, "storeItemWithoutDiskFlush", store,
             [&] { benchmark::DoNotOptimize(module->storeItem(row)); });
    module->salesFile().exec(server ? u"SET synchronous_commit = on"_s : u"PRAGMA synchronous=FULL"_s);
}
BENCHMARK(storeItemWithoutDiskFlush)
    ->ArgNames({"store"})
    ->DenseRange(Files, Server)
    ->Iterations(2000)
    ->Unit(benchmark::kMillisecond);

void recomputeOpenTotal(benchmark::State &state)
{
    const Store store = Store(state.range(0));
    DataModule *module = moduleOf(state, store);
    if (!module)
        return;
    timeEach(state, "recomputeOpenTotal", store, [&] { benchmark::DoNotOptimize(module->openTotal()); });
}
BENCHMARK(recomputeOpenTotal)->ArgNames({"store"})->DenseRange(Files, Server)->Unit(benchmark::kMicrosecond);

// Four tills (numbers 11 to 14, each with its own connections on a thread of its
// own) store ItemsPerTill items at the same time: every store must succeed.
void fourTillsStoring(benchmark::State &state)
{
    constexpr int Tills = 4;
    constexpr int ItemsPerTill = 100;
    Fixture &f = fixture();
    const Store store = Store(state.range(0));
    if (!moduleOf(state, store))
        return;
    std::atomic<int> failures{0};
    std::vector<double> micros;
    for (auto _ : state) {
        std::vector<std::thread> tills;
        std::vector<std::vector<double>> times(Tills);
        for (int till = 0; till < Tills; ++till) {
            tills.emplace_back([&, till] {
                SilentDialogs dialogs;
                DataModule module(f.settings(store, 11 + till), f.messages, dialogs, Today);
                module.prepareSalesTable();
                SaleRow row = saleItem();
                for (int item = 0; item < ItemsPerTill; ++item) {
                    const auto start = std::chrono::steady_clock::now();
                    if (module.storeItem(row).failure != SalesTable::Failure::None)
                        ++failures;
                    times[till].push_back(
                        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                            .count());
                }
                module.closeDatabases();
            });
        }
        for (std::thread &till : tills)
            till.join();
        for (const std::vector<double> &tillTimes : times)
            micros.insert(micros.end(), tillTimes.begin(), tillTimes.end());
    }
    keepMedian(state, "fourTillsStoring (one item)", store, micros);
    state.counters["failures"] = failures.load();
}
BENCHMARK(fourTillsStoring)
    ->ArgNames({"store"})
    ->DenseRange(Files, Server)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void printSideBySide()
{
    std::printf("\n%-40s %14s %14s\n", "median of one operation (us)", StoreNames[Files], StoreNames[Server]);
    for (const auto &[name, medians] : fixture().medians) {
        std::printf("%-40s %14.1f", name.c_str(), medians[Files]);
        if (medians[Server] > 0)
            std::printf(" %14.1f\n", medians[Server]);
        else
            std::printf(" %14s\n", "-");
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    printSideBySide();
    benchmark::Shutdown();
    return 0;
}

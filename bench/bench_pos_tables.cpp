// The sale's hot paths on a large data folder: 100,000 stock cards and a year's
// table of 1,000,000 sales rows, generated once per run into a temporary folder.
// Each benchmark reports the median time of one operation as "median_us".
#include "app/UserDialogs.h"
#include "lang/MessageTable.h"
#include "pos/DataFile.h"
#include "pos/DataModule.h"
#include "pos/StockSearch.h"
#include "pos/StockTable.h"
#include "pos/TableLayouts.h"

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

constexpr int StockCards = 100000;
constexpr int SalesRows = 1000000;
constexpr int OpenRows = 25;
constexpr int PageRows = 40; // rows the item list shows at once
const QDate Today(2026, 5, 20);

class SilentDialogs : public UserDialogs
{
public:
    Answer show(const Message &message) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(message.text));
        return message.defaultAnswer;
    }
};

const QStringList &words()
{
    static const QStringList list{
        u"mlieko"_s,    u"čaj"_s,       u"zelený"_s, u"čokoláda"_s, u"rožok"_s,  u"chlieb"_s,  u"syr"_s,
        u"jogurt"_s,    u"šunka"_s,     u"pivo"_s,   u"víno"_s,     u"káva"_s,   u"maslo"_s,   u"ovocný"_s,
        u"jablkový"_s,  u"džús"_s,      u"ľadový"_s, u"múka"_s,     u"cukor"_s,  u"soľ"_s,     u"ryža"_s,
        u"cestoviny"_s, u"paradajky"_s, u"uhorky"_s, u"pečivo"_s,   u"tvaroh"_s, u"smotana"_s, u"klobása"_s,
    };
    return list;
}

QString cardName(QRandomGenerator &random, int i)
{
    const QStringList &list = words();
    QString name = list.at(random.bounded(list.size())).toUpper();
    name += u' ' + list.at(random.bounded(list.size()));
    name += u' ' + QString::number(random.bounded(1, 1000)) + (random.bounded(2) ? u" g"_s : u" ml"_s);
    return name + u' ' + QString::number(i % 97);
}

void generateStock(const QString &path, QStringList &names)
{
    DataFile file;
    file.open(path, true);
    StockTable table(file);
    table.create();
    file.beginWrite();
    QSqlQuery insert(file.database());
    insert.prepare(u"INSERT INTO VX60_SKLAD (KOD, NAZOV, BARCODE, MJ, JC, DPH_IDX, PREF, SKLAD_IDX) "
                   "VALUES (?, ?, ?, 'ks', ?, 0, ?, 0)"_s);
    QRandomGenerator random(7);
    for (int i = 0; i < StockCards; ++i) {
        const QString name = cardName(random, i);
        names << name;
        insert.addBindValue(u"%1"_s.arg(i, 6, 10, QChar(u'0')));
        insert.addBindValue(name);
        insert.addBindValue(u"858%1"_s.arg(i, 10, 10, QChar(u'0')));
        insert.addBindValue(random.bounded(1, 5000) / 100.0);
        insert.addBindValue(int(i % 500 == 0));
        insert.exec();
    }
    file.commit();
}

void generateSales(const QString &path)
{
    DataFile file;
    file.open(path, true);
    const QString table = TableLayouts::salesTableName(Today.year());
    for (const QString &statement : TableLayouts::salesTableStatements(table))
        file.exec(statement);
    file.beginWrite();
    // Printed documents of a busy year, then one open document.
    file.exec(
        u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
        "INSERT INTO %2 (ID_PRIMARY, KOD, NAZOV, MJ, POCET, JC, DPH, DU, DOKLAD, DATUM, CAS, ID_DOKLAD, "
        "IDX_DPH, CENA, CENA_INT, OBAL, FISK, SKLAD, ZLAVA_INT, ZLAVA_PERC) "
        "SELECT i, printf('%06d', i % 100000), 'POLOŽKA ' || (i % 100000), 'ks', 1, (i % 500) / 100.0, 20, "
        "i / 20000, i / 8, printf('2026-%02d-%02d', 1 + i % 12, 1 + i % 28), '10:00:00', i / 8, 0, "
        "(i % 500) / 100.0, i % 500, 0, 1, 0, 0, 0 FROM n"_s.arg(SalesRows - OpenRows)
            .arg(table));
    file.exec(u"WITH RECURSIVE n(i) AS (SELECT %1 UNION ALL SELECT i + 1 FROM n WHERE i < %2) "
              "INSERT INTO %3 (ID_PRIMARY, NAZOV, CENA_INT, FISK) SELECT i, 'OTVORENÁ', 100, 0 FROM n"_s
                  .arg(SalesRows - OpenRows + 1)
                  .arg(SalesRows)
                  .arg(table));
    file.commit();
}

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
        generateStock(dir.filePath(TableLayouts::StockFileName), names);
        generateSales(dir.filePath(TableLayouts::salesFileName(Today.year())));
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

void searchAfterAnotherTillChangedCards(benchmark::State &state)
{
    Fixture &f = fixture();
    StockSearch &search = f.module->stockSearch();
    timeEach(state, [&] {
        search.invalidate();
        benchmark::DoNotOptimize(search.search(StockSearch::Column::Name, u"mlie"_s));
    });
}
BENCHMARK(searchAfterAnotherTillChangedCards)->Iterations(5)->Unit(benchmark::kMillisecond);

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

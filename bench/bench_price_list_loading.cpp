// Loading price lists into a stock table of 100,000 cards (LargeDataFolder):
//  - MergeOtherInstallation: another installation's table of 100,000 cards, half of
//    them under codes the table has (replaced, old versions kept in ZALOHA), half new;
//    backup of the stock file included (target: 3 s);
//  - LoadBinaryPriceList: an old binary price list of 100,000 records without codes,
//    each getting the next free generated code (target: 2 s).
// Each run starts from a fresh copy of the stock file; the copy is not timed.
#include "LargeDataFolder.h"
#include "base/Cp1250.h"
#include "base/Progress.h"
#include "stock/BinaryPriceList.h"
#include "stock/BinaryPriceListLoader.h"
#include "stock/DataFile.h"
#include "stock/PriceListMerge.h"
#include "stock/SqliteStockSource.h"
#include "stock/StockTable.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtEndian>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

constexpr int Cards = LargeDataFolder::StockCards;

QByteArray binaryRecord(int i)
{
    QByteArray record(BinaryPriceList::RecordSize, '\0');
    const QByteArray name = Cp1250::encode(u"Tovar zo starého cenníka č. %1"_s.arg(i));
    std::memcpy(record.data(), name.constData(), size_t(std::min<qsizetype>(name.size(), 39)));
    const double price = 1 + i % 1000 / 100.0;
    quint64 bits = 0;
    std::memcpy(&bits, &price, sizeof bits);
    qToLittleEndian(bits, record.data() + 56);
    record[80] = char(i % 4);
    return record;
}

struct Fixture
{
    QTemporaryDir dir;
    QString dataFolder = dir.path() + u"/cennik/"_s;
    QString pristine = dir.filePath(u"pristine.db"_s);
    QString source = dir.filePath(u"import.db"_s);
    QByteArray binary;

    Fixture()
    {
        QDir().mkpath(dataFolder);
        LargeDataFolder::generateStock(pristine);
        // Codes 050000..149999: the first half replaces cards, the second half is new.
        DataFile file;
        file.open(source, true);
        StockTable(file).create();
        file.exec(u"BEGIN"_s);
        file.exec(
            u"WITH RECURSIVE n(i) AS (SELECT 50000 UNION ALL SELECT i + 1 FROM n WHERE i < 149999) "
            "INSERT INTO VX60_SKLAD (KOD, NAZOV, MJ, JC, SKLAD_IDX) "
            "SELECT printf('%06d', i), 'Položka inej pokladne ' || i, 'ks', i % 700 / 10.0, 1 FROM n"_s);
        file.exec(u"COMMIT"_s);
        binary.reserve(qsizetype(Cards) * BinaryPriceList::RecordSize);
        for (int i = 0; i < Cards; ++i)
            binary += binaryRecord(i);
    }

    QString freshStock() const
    {
        const QString path = dataFolder + u"vx60_sklad.db"_s;
        QFile::remove(path);
        QFile::copy(pristine, path);
        return path;
    }
};

Fixture &fixture()
{
    static Fixture instance;
    return instance;
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void MergeOtherInstallation(benchmark::State &state)
{
    Fixture &f = fixture();
    NoProgress progress;
    for (auto _ : state) {
        DataFile stock;
        stock.open(f.freshStock(), false);
        SqliteStockSource source(f.source);
        const auto start = std::chrono::steady_clock::now();
        const PriceListMerge::Result result =
            PriceListMerge(stock, f.dataFolder).run(source, progress, QDateTime::currentDateTime());
        state.SetIterationTime(secondsSince(start));
        if (result.outcome != PriceListMerge::Outcome::Merged || result.replaced != Cards / 2 ||
            result.appended != Cards / 2)
            state.SkipWithError(qPrintable(u"merge: %1"_s.arg(result.error)));
    }
    state.counters["cards"] = Cards;
}

void LoadBinaryPriceList(benchmark::State &state)
{
    Fixture &f = fixture();
    NoProgress progress;
    for (auto _ : state) {
        DataFile stock;
        stock.open(f.freshStock(), false);
        const auto start = std::chrono::steady_clock::now();
        const BinaryPriceListLoader::Result result = BinaryPriceListLoader(stock).load(f.binary, progress);
        state.SetIterationTime(secondsSince(start));
        if (result.outcome != BinaryPriceListLoader::Outcome::Loaded || result.loaded != Cards)
            state.SkipWithError(qPrintable(u"load: %1"_s.arg(result.error)));
    }
    state.counters["records"] = Cards;
}

} // namespace

BENCHMARK(MergeOtherInstallation)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(LoadBinaryPriceList)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();

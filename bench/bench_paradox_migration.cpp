// Taking a busy shop's data folder of an older installation over: 100,000 stock cards
// and a year's sales table of 1,000,000 rows as Paradox tables, converted by
// DataFolderMigration (backup, conversion, rename). Target: at most 30 s.
// The tables are written once into a cache folder of the build, their data blocks
// whole after pxlib wrote the header (pxlib's record writer would take most of an
// hour for the million rows). Reading the two tables alone is measured beside the
// whole migration, which shows how its time splits between reading and writing.
#include "ParadoxFixtureRows.h"
#include "base/Progress.h"
#include "stock/DataFolderMigration.h"
#include "stock/ParadoxTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

constexpr int Cards = 100000;
constexpr int SalesRows = 1000000;

QStringList tableNames()
{
    return {u"vx60_sklad.db"_s, u"predaj_2025.db"_s};
}

QString cacheFolder()
{
    const QString folder = QStringLiteral(OMIRA_BENCH_CACHE "/paradox");
    if (QFile::exists(folder + u"/complete"_s))
        return folder;
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    QString error;
    QElapsedTimer timer;
    timer.start();
    const bool ok = ParadoxFixtureRows::writeTableInBlocks(folder + u'/' + tableNames()[0],
                                                           ParadoxFixtureRows::stockFields(), Cards,
                                                           ParadoxFixtureRows::stockRow, 1, &error) &&
                    ParadoxFixtureRows::writeTableInBlocks(
                        folder + u'/' + tableNames()[1], ParadoxFixtureRows::salesFields(true), SalesRows,
                        [](int i) { return ParadoxFixtureRows::salesRow(i, true); }, 1, &error);
    if (!ok)
        qFatal("%s", qPrintable(error));
    QFile(folder + u"/complete"_s).open(QIODevice::WriteOnly);
    std::fprintf(stderr, "Paradox tables of the benchmark written in %.1f s\n",
                 double(timer.elapsed()) / 1000);
    return folder;
}

void migrateLargeFolder(benchmark::State &state)
{
    const QString cache = cacheFolder();
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        for (const QString &name : tableNames())
            QFile::copy(cache + u'/' + name, dir.filePath(name));
        state.ResumeTiming();
        NoProgress progress;
        DataFolderMigration migration(dir.path(), false, QDateTime::currentDateTime());
        if (!migration.run(progress))
            state.SkipWithError(qPrintable(migration.error() + migration.report()));
    }
    state.counters["rows"] = Cards + SalesRows;
}

// The reading part of the migration: every record of both tables as values.
void readLargeTables(benchmark::State &state)
{
    const QString cache = cacheFolder();
    for (auto _ : state) {
        qint64 records = 0;
        for (const QString &name : tableNames()) {
            ParadoxTable table;
            if (!table.open(cache + u'/' + name)) {
                state.SkipWithError(qPrintable(table.error()));
                return;
            }
            QVariantList values;
            while (table.next(values) == ParadoxTable::Read::Record)
                ++records;
        }
        if (records != Cards + SalesRows)
            state.SkipWithError("not every record was read");
    }
    state.counters["rows"] = Cards + SalesRows;
}

} // namespace

BENCHMARK(migrateLargeFolder)->Unit(benchmark::kSecond)->Iterations(1)->Repetitions(3)->UseRealTime();
BENCHMARK(readLargeTables)->Unit(benchmark::kSecond)->Iterations(1)->Repetitions(3)->UseRealTime();

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

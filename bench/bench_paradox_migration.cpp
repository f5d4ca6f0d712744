// Taking a busy shop's data folder of an older installation over: 100,000 stock cards
// and a year's sales table of 1,000,000 rows as Paradox tables, converted by
// DataFolderMigration (backup, conversion, rename). Target: at most 30 s.
// The tables are written once with pxlib's writer into a cache folder of the build.
#include "ParadoxFixtureRows.h"
#include "base/Progress.h"
#include "stock/DataFolderMigration.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int Cards = 100000;
constexpr int SalesRows = 1000000;

QString cacheFolder()
{
    const QString folder = QStringLiteral(OMIRA_BENCH_CACHE "/paradox");
    if (QFile::exists(folder + u"/complete"_s))
        return folder;
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    QString error;
    const bool ok =
        ParadoxFixtureRows::writeTable(folder + u"/vx60_sklad.db"_s, ParadoxFixtureRows::stockFields(), Cards,
                                       ParadoxFixtureRows::stockRow, 1, &error) &&
        ParadoxFixtureRows::writeTable(
            folder + u"/predaj_2025.db"_s, ParadoxFixtureRows::salesFields(true), SalesRows,
            [](int i) { return ParadoxFixtureRows::salesRow(i, true); }, 1, &error);
    if (!ok)
        qFatal("%s", qPrintable(error));
    QFile(folder + u"/complete"_s).open(QIODevice::WriteOnly);
    return folder;
}

void migrateLargeFolder(benchmark::State &state)
{
    const QString cache = cacheFolder();
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        for (const QString &name : {u"vx60_sklad.db"_s, u"predaj_2025.db"_s})
            QFile::copy(cache + u'/' + name, dir.filePath(name));
        state.ResumeTiming();
        NoProgress progress;
        DataFolderMigration migration(dir.path(), false, QDateTime::currentDateTime());
        if (!migration.run(progress))
            state.SkipWithError(qPrintable(migration.error() + migration.report()));
    }
    state.counters["rows"] = Cards + SalesRows;
}

} // namespace

BENCHMARK(migrateLargeFolder)->Unit(benchmark::kSecond)->Iterations(1)->Repetitions(3)->UseRealTime();

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

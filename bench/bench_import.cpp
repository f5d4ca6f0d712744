// Importing a price list of 100,000 rows into a fresh data folder, the file read and
// every card written (PriceListImport):
//  - ImportCsv: a text file, code page 1250, Slovak numbers (target: 2 s);
//  - ImportXlsx/0: a workbook written in libxlsxwriter's constant-memory mode, whose
//    texts are inline strings (target: 5 s); ImportXlsx/1 the same workbook with shared
//    strings, as spreadsheet programs write it;
//  - ReadXlsx/0 and /1: reading the workbook's rows alone;
//  - ReadXlsxPeakMemory/0 and /1: the peak resident memory (VmHWM) of a process of its
//    own that reads all rows of the workbook, beside that of the same process reading a
//    workbook of one row (what the program and its libraries cost by themselves).
#include "base/Cp1250.h"
#include "base/Progress.h"
#include "stock/DataFile.h"
#include "stock/ImportFile.h"
#include "stock/PriceListImport.h"
#include "stock/TableLayouts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <xlsxwriter.h>

#include <chrono>
#include <cstdio>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

constexpr int Rows = 100000;
QString selfPath;

struct Item
{
    QString name;
    QString code;
    double price;
    int quantity;
    int vat;
    int unit;
    double day; // a spreadsheet's day number
};

Item item(int i)
{
    return {u"Tovar č. %1 – šošovica červená"_s.arg(i),
            u"%1"_s.arg(i, 6, 10, QChar(u'0')),
            1 + (i % 100000) / 100.0,
            i % 50,
            i % 4,
            i % 4,
            46082.0 + i % 365};
}

void writeCsv(const QString &path)
{
    const QLocale slovak(QLocale::Slovak, QLocale::Slovakia);
    QByteArray bytes = Cp1250::encode(u"Názov;Kód;Cena;Počet;DPH;MJ;Platí od\r\n");
    for (int i = 0; i < Rows; ++i) {
        const Item it = item(i);
        bytes += Cp1250::encode(
            u"%1;%2;%3;%4;%5;%6;%7\r\n"_s.arg(it.name, it.code, slovak.toString(it.price, 'f', 2))
                .arg(it.quantity)
                .arg(it.vat)
                .arg(it.unit)
                .arg(QDate(1899, 12, 30).addDays(qint64(it.day)).toString(u"d.M.yyyy"_s)));
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

void writeXlsx(const QString &path, int rows, bool constantMemory, const QString &tmpdir)
{
    QByteArray tmp = QFile::encodeName(tmpdir);
    lxw_workbook_options options{};
    options.constant_memory = constantMemory ? LXW_TRUE : LXW_FALSE;
    options.tmpdir = tmp.data();
    lxw_workbook *workbook = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    lxw_worksheet *sheet = workbook_add_worksheet(workbook, "Cenník");
    lxw_format *date = workbook_add_format(workbook);
    format_set_num_format(date, "dd.mm.yyyy");
    const char *titles[] = {"Názov", "Kód", "Cena", "Počet", "DPH", "MJ", "Platí od"};
    for (lxw_col_t column = 0; column < 7; ++column)
        worksheet_write_string(sheet, 0, column, titles[column], nullptr);
    for (int i = 0; i < rows; ++i) {
        const Item it = item(i);
        const lxw_row_t row = lxw_row_t(i + 1);
        worksheet_write_string(sheet, row, 0, it.name.toUtf8().constData(), nullptr);
        worksheet_write_string(sheet, row, 1, it.code.toUtf8().constData(), nullptr);
        worksheet_write_number(sheet, row, 2, it.price, nullptr);
        worksheet_write_number(sheet, row, 3, it.quantity, nullptr);
        worksheet_write_number(sheet, row, 4, it.vat, nullptr);
        worksheet_write_number(sheet, row, 5, it.unit, nullptr);
        worksheet_write_number(sheet, row, 6, it.day, date);
    }
    if (workbook_close(workbook) != LXW_NO_ERROR)
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

struct Fixture
{
    QTemporaryDir dir;
    QString csv = dir.filePath(u"cennik.csv"_s);
    QString xlsx[2] = {dir.filePath(u"cennik_inline.xlsx"_s), dir.filePath(u"cennik_shared.xlsx"_s)};
    QString small = dir.filePath(u"maly.xlsx"_s);
    QString dataFolder = dir.path() + u"/cennik/"_s;

    Fixture()
    {
        QDir().mkpath(dataFolder);
        writeCsv(csv);
        writeXlsx(xlsx[0], Rows, true, dir.path());
        writeXlsx(xlsx[1], Rows, false, dir.path());
        writeXlsx(small, 1, true, dir.path());
        std::fprintf(stderr, "csv %lld bytes, xlsx %lld / %lld bytes\n", QFileInfo(csv).size(),
                     QFileInfo(xlsx[0]).size(), QFileInfo(xlsx[1]).size());
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

std::unique_ptr<ImportRowSource> openRows(const QString &path, QString *error)
{
    ImportFile::Options options;
    options.titleRow = true;
    return ImportFile::open(path, options, error);
}

void import(benchmark::State &state, const QString &path)
{
    Fixture &f = fixture();
    NoProgress progress;
    for (auto _ : state) {
        const QString stockPath = f.dataFolder + TableLayouts::StockFileName;
        QFile::remove(stockPath);
        DataFile stock;
        stock.open(stockPath, true);
        const auto start = std::chrono::steady_clock::now();
        QString error;
        const std::unique_ptr<ImportRowSource> source = openRows(path, &error);
        if (!source) {
            state.SkipWithError(qPrintable(error));
            break;
        }
        const PriceListImport::Result result =
            PriceListImport(stock, f.dataFolder, QLocale(QLocale::Slovak, QLocale::Slovakia))
                .run(*source, progress, QDateTime::currentDateTime());
        state.SetIterationTime(secondsSince(start));
        if (result.outcome != PriceListImport::Outcome::Imported || result.imported != Rows)
            state.SkipWithError(qPrintable(u"import: %1 cards, %2 errors %3"_s.arg(result.imported)
                                               .arg(result.errors.size())
                                               .arg(result.error)));
    }
    state.counters["rows"] = Rows;
}

void ImportCsv(benchmark::State &state)
{
    import(state, fixture().csv);
}

void ImportXlsx(benchmark::State &state)
{
    import(state, fixture().xlsx[state.range(0)]);
}

// Every row of the file; -1 when it cannot be read.
qint64 readAllRows(const QString &path)
{
    QString error;
    const std::unique_ptr<ImportRowSource> source = openRows(path, &error);
    if (!source)
        return -1;
    ImportRow row;
    qint64 rows = 0;
    ImportRowSource::Read read;
    while ((read = source->next(row)) == ImportRowSource::Read::Row)
        ++rows;
    return read == ImportRowSource::Read::End ? rows : -1;
}

void ReadXlsx(benchmark::State &state)
{
    const QString path = fixture().xlsx[state.range(0)];
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const qint64 rows = readAllRows(path);
        state.SetIterationTime(secondsSince(start));
        if (rows != Rows)
            state.SkipWithError("rows missing");
    }
}

double peakMb(const QString &path)
{
    QProcess child;
    child.start(selfPath, {u"--read"_s, path});
    if (!child.waitForFinished(120000))
        return -1;
    return child.readAllStandardOutput().trimmed().toDouble() / 1024.0;
}

void ReadXlsxPeakMemory(benchmark::State &state)
{
    const QString path = fixture().xlsx[state.range(0)];
    double peak = 0;
    double baseline = 0;
    for (auto _ : state) {
        peak = peakMb(path);
        baseline = peakMb(fixture().small);
    }
    if (peak <= 0 || baseline <= 0)
        state.SkipWithError("reading process failed");
    state.counters["peak_MB"] = peak;
    state.counters["one_row_MB"] = baseline;
}

// The peak resident memory in kB once every row of `path` is read; as its own process,
// so that nothing else the benchmarks did counts.
int readAndReportPeak(const QString &path)
{
    if (readAllRows(path) < 0)
        return 1;
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return 1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            std::printf("%s\n", line.mid(6).trimmed().split(' ').value(0).constData());
    return 0;
}

} // namespace

BENCHMARK(ImportCsv)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ImportXlsx)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ReadXlsx)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ReadXlsxPeakMemory)->Arg(0)->Arg(1)->Iterations(1);

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    selfPath = QCoreApplication::applicationFilePath();
    if (argc == 3 && std::strcmp(argv[1], "--read") == 0)
        return readAndReportPeak(QString::fromLocal8Bit(argv[2]));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

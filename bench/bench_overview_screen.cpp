// The sales overview screen on a busy year (1,000,000 sales rows in 50 closings, with
// the indexes the till adds): opening it on the printer's next closing, as the owner
// does from the sale screen, to the first paint; then the closing range typed as the
// whole year, to the repainted grid with its footer total, for each grouping.
#include "BenchStatistics.h"
#include "LargeDataFolder.h"
#include "ScreenTiming.h"
#include "ScriptedDialogs.h"
#include "base/Configuration.h"
#include "lang/MessageTable.h"
#include "link/PrinterState.h"
#include "pos/SalesTable.h"
#include "stock/DataFile.h"
#include "stock/TableLayouts.h"
#include "stock/UnitAndGroupNames.h"
#include "stock/ui/TForm_prehlad.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <vector>

using namespace Qt::StringLiterals;
using BenchStatistics::median;
using ScreenTiming::msSince;

namespace {

constexpr int Year = 2026;
constexpr int OpenLimitMs = 500;
constexpr int WholeYearLimitMs = 1000;
constexpr int Repeats = 5;

struct Bench
{
    Bench()
    {
        dataFolder = dir.path() + u"/cennik/"_s;
        QDir().mkpath(dataFolder);
        config.dataFolder = dataFolder;
        UnitAndGroupNames::fromLists({u"ks"_s}, {u"Potraviny"_s, u"Drogéria"_s}).save(dataFolder);
        const QString path = dataFolder + TableLayouts::salesFileName(Year);
        LargeDataFolder::generateSales(path, Year);
        DataFile file;
        file.open(path, false);
        SalesTable(file, TableLayouts::salesTableName(Year)).addOverviewIndexes();
        file.close();
        printer.dailyClosingNumber = 19; // the overview opens on closing 20
        screen = std::make_unique<TForm_prehlad>(
            SalesOverviewScreenContext{dir.path(), config, messages, dialogs, printer, Year});
    }

    double open(const std::function<void()> &steps) { return ScreenTiming::openScreen(*screen, steps); }

    // Types the closings 1 to 50 into "Od" and "Do" under `grouping` and repaints the grid.
    double wholeYear(int grouping)
    {
        auto *groupings = screen->findChild<QComboBox *>(u"CB_sumar"_s);
        auto *from = screen->findChild<QLineEdit *>(u"Edit_duod"_s);
        auto *to = screen->findChild<QLineEdit *>(u"Edit_dudo"_s);
        auto *grid = screen->findChild<QTableView *>(u"SMDBGrid_polozky"_s);
        groupings->setCurrentIndex(grouping);
        QApplication::processEvents();
        from->setFocus();
        from->selectAll();
        QTest::keyClicks(from, u"1"_s);
        QTest::keyClick(from, Qt::Key_Return);
        to->setFocus();
        to->selectAll();
        QTest::keyClicks(to, u"50"_s);
        QElapsedTimer timer;
        timer.start();
        QTest::keyClick(to, Qt::Key_Return);
        grid->viewport()->repaint();
        return msSince(timer);
    }

    QTemporaryDir dir;
    QString dataFolder;
    Configuration config;
    MessageTable messages;
    ScriptedDialogs dialogs;
    PrinterInfo printer;
    std::unique_ptr<TForm_prehlad> screen;
};

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Slovak, QLocale::Slovakia));

    Bench bench;
    const double cold = bench.open([] {});
    std::vector<double> warm;
    for (int i = 0; i < Repeats; ++i)
        warm.push_back(bench.open([] {}));
    std::printf("open: first %.1f ms, then median %.1f ms (limit %d ms)\n", cold, median(warm), OpenLimitMs);

    const char *const names[] = {"po dokladoch", "po uzavierkach", "suhrnne"};
    for (int grouping = 0; grouping < 3; ++grouping) {
        std::vector<double> times;
        for (int i = 0; i < Repeats; ++i)
            bench.open([&] { times.push_back(bench.wholeYear(grouping)); });
        std::printf("whole year %s: median %.1f ms to the grid and its total (limit %d ms)\n",
                    names[grouping], median(times), WholeYearLimitMs);
    }
    return 0;
}

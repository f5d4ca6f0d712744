// The printed price list on a stock table of 100,000 cards, read through the item
// list's model a page of rows at a time as the report draws them:
//  - PriceListPdf: the first 2,000 cards of the list written to a PDF file (target: 2 s);
//  - PreviewOfWholeList: the preview of every card, from the press of the print key
//    to the first page on screen, with the longest time the event loop was held up
//    meanwhile (target: 1 s), measured by a timer that should fire every 5 ms.
// Runs on Qt's offscreen platform unless another is set.
#include "LargeDataFolder.h"
#include "SilentDialogs.h"
#include "base/UserDialogs.h"
#include "stock/DataFile.h"
#include "stock/StockSearch.h"
#include "stock/StockTable.h"
#include "stock/TableLayouts.h"
#include "stock/ui/PriceListReport.h"
#include "stock/ui/StockListModel.h"
#include "stock/ui/TForm_tlac_cennik.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGraphicsView>
#include <QPrintPreviewWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

constexpr int kPdfCards = 2000;
constexpr int kTickMs = 5;
const QDate PrintDate(2026, 5, 20);

struct Fixture
{
    QTemporaryDir dir;
    DataFile file;
    std::unique_ptr<StockTable> table;
    QList<qint64> ids; // the whole list in name order, as an empty search gives it

    Fixture()
    {
        const QString path = dir.filePath(TableLayouts::StockFileName);
        LargeDataFolder::generateStock(path);
        file.open(path, false);
        table = std::make_unique<StockTable>(file);
        StockSearch search(file);
        ids = search.search(StockSearch::Column::Name, {}).value_or(QList<qint64>{});
    }
};

// The report of the list's first `rows` rows, read through `list` as they are drawn.
PriceListReport reportOf(const StockListModel &list, int rows)
{
    return PriceListReport(
        std::min(rows, list.rowCount()), [&list](int row) { return list.card(row); }, u"Všetky skupiny"_s,
        PrintDate);
}

Fixture &fixture()
{
    static Fixture instance;
    return instance;
}

void PriceListPdf(benchmark::State &state)
{
    Fixture &f = fixture();
    const QString path = f.dir.filePath(u"cennik.pdf"_s);
    for (auto _ : state) {
        // A fresh model each time: the rows are read from the file again.
        StockListModel list(*f.table);
        list.setRowIds(f.ids);
        const auto start = std::chrono::steady_clock::now();
        const bool written = reportOf(list, kPdfCards).writePdf(path);
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (!written)
            state.SkipWithError("the PDF was not written");
    }
    state.counters["pdf_kB"] = double(QFileInfo(path).size()) / 1024;
}

// Watches the preview from the outside: the gaps between the ticks of a timer that
// should fire every few milliseconds, and the moment its page view first paints.
class PreviewWatch : public QObject
{
public:
    explicit PreviewWatch(TForm_tlac_cennik &form) : m_form(form)
    {
        m_clock.start();
        m_ticks.setTimerType(Qt::PreciseTimer);
        m_ticks.callOnTimeout(this, [this] { tick(); });
        m_ticks.start(kTickMs);
    }

    double shownSeconds() const { return m_shownMs / 1000.0; }
    double longestStallMs() const { return m_longestStallMs; }
    int pages() const { return m_pages; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && m_shownMs < 0) {
            m_shownMs = double(m_clock.nsecsElapsed()) / 1e6;
            m_pages = m_form.findChild<QPrintPreviewWidget *>()->pageCount();
            QTimer::singleShot(0, &m_form, &QDialog::reject);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void tick()
    {
        const double now = double(m_clock.nsecsElapsed()) / 1e6;
        m_longestStallMs = std::max(m_longestStallMs, now - m_lastTickMs);
        m_lastTickMs = now;
        if (!m_viewWatched && m_form.isVisible()) {
            if (auto *view = m_form.findChild<QGraphicsView *>()) {
                view->viewport()->installEventFilter(this);
                m_viewWatched = true;
            }
        }
    }

    TForm_tlac_cennik &m_form;
    QElapsedTimer m_clock;
    QTimer m_ticks;
    double m_lastTickMs = 0;
    double m_longestStallMs = 0;
    double m_shownMs = -1;
    int m_pages = 0;
    bool m_viewWatched = false;
};

void PreviewOfWholeList(benchmark::State &state)
{
    Fixture &f = fixture();
    SilentDialogs dialogs;
    double stall = 0;
    int pages = 0;
    for (auto _ : state) {
        StockListModel list(*f.table);
        list.setRowIds(f.ids);
        TForm_tlac_cennik form(reportOf(list, list.rowCount()), dialogs);
        PreviewWatch watch(form);
        form.exec();
        state.SetIterationTime(watch.shownSeconds());
        stall = std::max(stall, watch.longestStallMs());
        pages = watch.pages();
    }
    state.counters["longest_stall_ms"] = stall;
    state.counters["pages"] = pages;
    state.counters["cards"] = double(f.ids.size());
}

} // namespace

BENCHMARK(PriceListPdf)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(PreviewOfWholeList)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

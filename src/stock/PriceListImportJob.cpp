#include "stock/PriceListImportJob.h"

#include "base/Progress.h"
#include "stock/DataFile.h"

#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <memory>

namespace {

constexpr int ShowEveryMs = 25;

// What the job's thread tells the caller's: how far it got; and what the
// caller's tells the job's: that the user cancelled.
class SharedProgress : public Progress
{
public:
    bool advance(qint64 done, qint64 total) override
    {
        m_done.store(done, std::memory_order_relaxed);
        m_total.store(total, std::memory_order_relaxed);
        return !m_cancelled.load();
    }

    // Passes the last step to `shown`; false once the user cancelled there.
    bool show(Progress &shown)
    {
        if (!shown.advance(m_done.load(std::memory_order_relaxed), m_total.load(std::memory_order_relaxed)))
            m_cancelled.store(true);
        return !m_cancelled.load();
    }

private:
    std::atomic<qint64> m_done{0};
    std::atomic<qint64> m_total{0};
    std::atomic<bool> m_cancelled{false};
};

PriceListImport::Result failure(const QString &error)
{
    PriceListImport::Result result;
    result.outcome = PriceListImport::Outcome::Failed;
    result.error = error;
    return result;
}

} // namespace

PriceListImport::Result PriceListImportJob::run(Progress &progress) const
{
    QString error;
    const std::unique_ptr<ImportRowSource> source = ImportFile::open(sourcePath, options, &error);
    if (!source)
        return failure(error);
    DataFile stock;
    stock.setServer(server);
    if (!stock.open(stockPath, createStock))
        return failure(stock.lastError());
    return PriceListImport(stock, dataFolder, locale).run(*source, progress, now);
}

// The caller's thread waits in an event loop that holds back the user's input
// until the progress dialog is up (which takes it then, being modal), so that
// no key reaches the screen behind it meanwhile.
PriceListImport::Result PriceListImportJob::runOnThread(Progress &shown) const
{
    SharedProgress shared;
    // A cancel before the thread starts reaches the job's first step.
    shared.show(shown);
    PriceListImport::Result result;
    const std::unique_ptr<QThread> thread(
        QThread::create([this, &shared, &result] { result = run(shared); }));
    QEventLoop loop;
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    QTimer ticks;
    ticks.setInterval(ShowEveryMs);
    QObject::connect(&ticks, &QTimer::timeout, &loop, [&shared, &shown] { shared.show(shown); });
    thread->start();
    ticks.start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    thread->wait();
    return result;
}

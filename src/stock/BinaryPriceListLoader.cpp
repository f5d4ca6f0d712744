#include "stock/BinaryPriceListLoader.h"

#include "base/Progress.h"
#include "stock/BinaryPriceList.h"
#include "stock/BulkWriteSettings.h"
#include "stock/DataFile.h"
#include "stock/StockRowWriter.h"
#include "stock/StockTable.h"
#include "stock/WriteTransaction.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

namespace {

// How often the progress is told; often enough for a smooth bar, rarely enough
// to cost nothing next to the writes.
constexpr int ProgressStep = 512;

StockRow cardOf(const BinaryPriceList::Record &record, const QString &code)
{
    StockRow card;
    card.kod = code;
    card.nazov = record.nazov;
    card.jc = record.jc;
    card.pocet = record.pocet;
    card.dphIdx = record.dphIdx;
    return card;
}

} // namespace

BinaryPriceListLoader::BinaryPriceListLoader(DataFile &stock) : m_stock(stock) {}

BinaryPriceListLoader::Result BinaryPriceListLoader::failed(const QString &error)
{
    Result result;
    result.error = error;
    return result;
}

BinaryPriceListLoader::Result BinaryPriceListLoader::loadFile(const QString &path, Progress &progress)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failed(u"%1: %2"_s.arg(QDir::toNativeSeparators(path), file.errorString()));
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return failed(u"%1: %2"_s.arg(QDir::toNativeSeparators(path), file.errorString()));
    return load(content, progress);
}

std::optional<QString> BinaryPriceListLoader::freeCode(StockRowWriter &writer, QString code)
{
    for (;;) {
        if (code.isEmpty())
            code = u"I_%1"_s.arg(m_counter++, 4, 10, QChar(u'0'));
        const auto taken = writer.rowIdOf(code);
        if (!taken)
            return std::nullopt;
        if (!taken->has_value())
            return code;
        code.clear();
    }
}

BinaryPriceListLoader::Result BinaryPriceListLoader::load(QByteArrayView content, Progress &progress)
{
    m_counter = 1;
    StockTable table(m_stock);
    if (!table.exists() && !table.create())
        return failed(m_stock.lastError());
    const BulkWriteSettings settings(m_stock);
    WriteTransaction transaction(m_stock);
    if (!transaction.isOpen())
        return failed(m_stock.lastError());
    StockRowWriter writer(m_stock);
    Result result;
    const qsizetype count = BinaryPriceList::recordCount(content.size());
    for (qsizetype i = 0; i < count; ++i) {
        if (i % ProgressStep == 0 && !progress.advance(i, count))
            return {Outcome::Cancelled, 0, 0, {}};
        const BinaryPriceList::Record record = BinaryPriceList::record(content, i);
        if (BinaryPriceList::defect(record) != BinaryPriceList::Defect::None) {
            ++result.skipped;
            continue;
        }
        const std::optional<QString> code = freeCode(writer, record.kod);
        if (!code)
            return failed(writer.error());
        switch (writer.insert(cardOf(record, *code))) {
        case StockRowWriter::Write::Done:
            ++result.loaded;
            break;
        case StockRowWriter::Write::Refused:
            ++result.skipped;
            break;
        case StockRowWriter::Write::Failed:
            return failed(writer.error());
        }
    }
    if (!progress.advance(count, count))
        return {Outcome::Cancelled, 0, 0, {}};
    if (!transaction.commit())
        return failed(m_stock.lastError());
    result.outcome = Outcome::Loaded;
    return result;
}

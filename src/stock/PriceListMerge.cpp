#include "stock/PriceListMerge.h"

#include "base/Progress.h"
#include "stock/BulkWriteSettings.h"
#include "stock/DataFile.h"
#include "stock/StockBackup.h"
#include "stock/StockRowSource.h"
#include "stock/StockRowWriter.h"
#include "stock/StockTable.h"
#include "stock/TableLayouts.h"
#include "stock/WriteTransaction.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

#include <utility>

using namespace Qt::StringLiterals;

namespace {

constexpr int ProgressStep = 512;

enum class Step { Appended, Replaced, Skipped, Failed };

// Writes one card of the source: the replaced card's old contents are kept in
// ZALOHA, and taken back out when the table refuses the new ones.
class CardMerger
{
public:
    explicit CardMerger(DataFile &stock)
        : m_writer(stock), m_keep(stock.database()), m_unkeep(stock.database())
    {
        const QString columns = StockTable::columnList();
        m_keep.prepare(u"INSERT INTO %1 (%2) SELECT %2 FROM %3 WHERE rowid = ?"_s.arg(
            PriceListMerge::BackupTableName, columns, TableLayouts::StockTableName));
        m_unkeep.prepare(u"DELETE FROM %1 WHERE rowid = ?"_s.arg(PriceListMerge::BackupTableName));
    }

    Step merge(const StockRow &card)
    {
        // The table's own rules let an empty name through; a card without one
        // cannot be found or sold.
        if (card.nazov.trimmed().isEmpty())
            return Step::Skipped;
        const auto rowId = m_writer.rowIdOf(card.kod);
        if (!rowId)
            return Step::Failed;
        if (!rowId->has_value())
            return outcome(m_writer.insert(card), Step::Appended);
        return replace(**rowId, card);
    }

    const QString &error() const { return m_error.isEmpty() ? m_writer.error() : m_error; }

private:
    static Step outcome(StockRowWriter::Write write, Step done)
    {
        switch (write) {
        case StockRowWriter::Write::Done:
            return done;
        case StockRowWriter::Write::Refused:
            return Step::Skipped;
        case StockRowWriter::Write::Failed:
            break;
        }
        return Step::Failed;
    }

    Step replace(qint64 rowId, const StockRow &card)
    {
        if (!exec(m_keep, rowId))
            return Step::Failed;
        const qint64 kept = m_keep.lastInsertId().toLongLong();
        const Step step = outcome(m_writer.update(rowId, card), Step::Replaced);
        if (step == Step::Skipped && !exec(m_unkeep, kept))
            return Step::Failed;
        return step;
    }

    bool exec(QSqlQuery &query, qint64 rowId)
    {
        query.addBindValue(rowId);
        if (query.exec())
            return true;
        m_error = DataFile::engineText(query.lastError());
        return false;
    }

    StockRowWriter m_writer;
    QSqlQuery m_keep;
    QSqlQuery m_unkeep;
    QString m_error;
};

} // namespace

PriceListMerge::PriceListMerge(DataFile &stock, QString dataFolder)
    : m_stock(stock), m_dataFolder(std::move(dataFolder))
{}

PriceListMerge::Result PriceListMerge::failed(Outcome outcome, const QString &error) const
{
    Result result;
    result.outcome = outcome;
    result.error = error;
    return result;
}

PriceListMerge::Result PriceListMerge::run(StockRowSource &source, Progress &progress, const QDateTime &now)
{
    if (!source.checkLayout())
        return failed(Outcome::LayoutRefused, source.error());
    StockTable table(m_stock);
    if (!table.exists() && !table.create())
        return failed(Outcome::Failed, m_stock.lastError());
    return merge(source, progress, now);
}

bool PriceListMerge::prepareBackupTable()
{
    QStringList columns;
    for (const TableLayouts::Field &field : TableLayouts::stockFields())
        columns << TableLayouts::columnDefinition(field);
    return m_stock.exec(u"DROP TABLE IF EXISTS %1"_s.arg(BackupTableName)) &&
           m_stock.exec(u"CREATE TABLE %1 (\n  %2\n)"_s.arg(BackupTableName, columns.join(u",\n  "_s)));
}

PriceListMerge::Result PriceListMerge::merge(StockRowSource &source, Progress &progress, const QDateTime &now)
{
    const BulkWriteSettings settings(m_stock);
    WriteTransaction transaction(m_stock);
    if (!transaction.isOpen())
        return failed(Outcome::Failed, m_stock.lastError());
    // Taken under the write lock and before the first write: the copy is the
    // table as every till sees it now.
    StockBackup backup(m_dataFolder);
    if (!backup.take(m_stock.path(), now))
        return failed(Outcome::BackupFailed, backup.lastError());
    if (!prepareBackupTable())
        return failed(Outcome::Failed, m_stock.lastError());

    Result result;
    result.backupPath = backup.path();
    const qint64 total = std::max<qint64>(source.rowCount(), 0);
    CardMerger merger(m_stock);
    StockRow card;
    for (qint64 done = 0;; ++done) {
        if (done % ProgressStep == 0 && !progress.advance(done, total))
            return failed(Outcome::Cancelled, {});
        const StockRowSource::Read read = source.next(card);
        if (read == StockRowSource::Read::End)
            break;
        if (read == StockRowSource::Read::Failed)
            return failed(Outcome::Failed, source.error());
        switch (merger.merge(card)) {
        case Step::Appended:
            ++result.appended;
            break;
        case Step::Replaced:
            ++result.replaced;
            break;
        case Step::Skipped:
            ++result.skipped;
            break;
        case Step::Failed:
            return failed(Outcome::Failed, merger.error());
        }
    }
    if (!progress.advance(total, total))
        return failed(Outcome::Cancelled, {});
    if (!transaction.commit())
        return failed(Outcome::Failed, m_stock.lastError());
    result.outcome = Outcome::Merged;
    return result;
}

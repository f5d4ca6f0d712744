#include "stock/PriceListLoading.h"

#include "base/UserDialogs.h"
#include "lang/MessageTable.h"
#include "stock/BinaryPriceListLoader.h"
#include "stock/DataFile.h"
#include "stock/DataFolder.h"
#include "stock/PriceListMerge.h"
#include "stock/StockRowSourceFactory.h"
#include "stock/TableLayouts.h"
#include "stock/UnitAndGroupNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <utility>

using namespace Qt::StringLiterals;

namespace {

const QString Unchanged = u"\r\nCenník zostal bez zmeny."_s;

} // namespace

PriceListLoading::PriceListLoading(PriceListLoadingContext context) : m_context(std::move(context)) {}

QString PriceListLoading::chooseFile()
{
    UserDialogs::FileRequest request;
    request.title = m_context.messages.text(Msg::LoadPriceListTitle);
    request.filter = m_context.messages.text(Msg::LoadPriceListFilter);
    request.folder = DataFolder::file(m_context.dataFolder, u"import"_s);
    request.proposedName = TableLayouts::StockFileName;
    request.existingOnly = true;
    return m_context.dialogs.chooseFile(request);
}

PriceListLoading::Changes PriceListLoading::run(const QDateTime &now)
{
    m_chosen = chooseFile();
    if (m_chosen.isEmpty())
        return {};
    if (!QFileInfo::exists(m_chosen)) {
        m_context.dialogs.warn(m_context.messages.text(Msg::ImportFileMissing),
                               m_context.messages.text(Msg::ImportFileMissingCaption));
        return {};
    }
    const QString upper = m_chosen.toUpper();
    if (upper.endsWith(u".BIN"_s))
        return loadBinary(m_chosen);
    if (upper.endsWith(u".DB"_s))
        return mergeTable(m_chosen, now);
    return {};
}

PriceListLoading::Changes PriceListLoading::loadBinary(const QString &path)
{
    const MessageTable &messages = m_context.messages;
    const QString caption = messages.text(Msg::ServiceCaption);
    const BinaryPriceListLoader::Result result =
        BinaryPriceListLoader(m_context.stock).loadFile(path, m_context.progress);
    switch (result.outcome) {
    case BinaryPriceListLoader::Outcome::Failed:
        m_context.dialogs.warn(
            messages.text(Msg::BinaryPriceListFailed) + u"\r\n"_s + result.error + Unchanged, caption);
        return {};
    case BinaryPriceListLoader::Outcome::Cancelled:
        m_context.dialogs.inform(u"Načítanie cenníka bolo zrušené."_s + Unchanged, caption);
        return {};
    case BinaryPriceListLoader::Outcome::Loaded:
        break;
    }
    if (result.skipped > 0)
        m_context.dialogs.inform(
            u"Načítané karty: %1.\r\nVynechané záznamy: %2 (bez názvu, s neplatnou cenou "
            "alebo množstvom, alebo s neznámou sadzbou DPH)."_s.arg(result.loaded)
                .arg(result.skipped),
            caption);
    return {result.loaded > 0, false};
}

bool PriceListLoading::isStockFile(const QString &path) const
{
    const QString stock = QFileInfo(m_context.stock.path()).canonicalFilePath();
    return !stock.isEmpty() && QFileInfo(path).canonicalFilePath() == stock;
}

PriceListLoading::Changes PriceListLoading::mergeTable(const QString &path, const QDateTime &now)
{
    const MessageTable &messages = m_context.messages;
    const QString refusedCaption = messages.text(Msg::SettingsCopyFailedCaption);
    const QString errorCaption = messages.text(Msg::MergeErrorCaption);
    if (isStockFile(path)) {
        m_context.dialogs.warn(u"Vybraný súbor je cenník tejto pokladne, so sebou samým sa zlúčiť nedá."_s +
                                   Unchanged,
                               refusedCaption);
        return {};
    }
    const OpenedStockRowSource opened = openStockRowSource(path);
    if (!opened.source) {
        m_context.dialogs.warn(opened.error + Unchanged, refusedCaption);
        return {};
    }
    const PriceListMerge::Result result =
        PriceListMerge(m_context.stock, m_context.dataFolder).run(*opened.source, m_context.progress, now);
    switch (result.outcome) {
    case PriceListMerge::Outcome::LayoutRefused:
        m_context.dialogs.warn(result.error + Unchanged, refusedCaption);
        return {};
    case PriceListMerge::Outcome::BackupFailed:
        m_context.dialogs.warn(result.error + Unchanged, errorCaption);
        return {};
    case PriceListMerge::Outcome::Cancelled:
        m_context.dialogs.inform(u"Zlúčenie cenníkov bolo zrušené."_s + Unchanged, refusedCaption);
        return {};
    case PriceListMerge::Outcome::Failed:
        m_context.dialogs.warn(messages.text(Msg::MergeDatabaseError) + result.error, errorCaption);
        return {};
    case PriceListMerge::Outcome::Merged:
        break;
    }
    Changes changes{true, false};
    const QString companion = path.chopped(2) + u"ini"_s;
    changes.unitsAndGroups = copyCompanion(companion);
    if (!changes.unitsAndGroups)
        m_context.dialogs.inform(messages.text(Msg::SettingsCopyFailed) +
                                     QDir::toNativeSeparators(companion) + u" \r\n"_s +
                                     messages.text(Msg::SettingsKept),
                                 refusedCaption);
    tellMerged(result.moved(), result.skipped);
    return changes;
}

// Written whole under a temporary name and renamed over the old file, so that
// a till reading the names meanwhile sees either the old or the new ones.
bool PriceListLoading::copyCompanion(const QString &companion)
{
    QFile source(companion);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    const QByteArray content = source.readAll();
    if (source.error() != QFileDevice::NoError)
        return false;
    QSaveFile target(UnitAndGroupNames::filePath(m_context.dataFolder));
    return target.open(QIODevice::WriteOnly) && target.write(content) == content.size() && target.commit();
}

void PriceListLoading::tellMerged(qint64 moved, qint64 skipped)
{
    const MessageTable &messages = m_context.messages;
    QString text =
        messages.text(Msg::MergeDone) + QString::number(moved) + messages.text(Msg::MergeRowsMoved);
    if (skipped > 0)
        text += u"\r\nVynechané záznamy, ktoré cenník neprijal: %1."_s.arg(skipped);
    m_context.dialogs.inform(text, messages.text(Msg::MergeDone));
}

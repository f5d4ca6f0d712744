#include "pos/DataModule.h"

#include "base/UserDialogs.h"
#include "lang/MessageTable.h"
#include "stock/ParadoxTable.h"
#include "stock/StockBackup.h"
#include "stock/StockRestore.h"
#include "stock/TableLayouts.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSqlDatabase>

#include <utility>

using namespace Qt::StringLiterals;

namespace {

QString withTrailingSeparator(const QString &folder)
{
    if (folder.isEmpty() || folder.endsWith(u'/') || folder.endsWith(u'\\'))
        return folder;
    return folder + u'/';
}

bool isUsableKind(DataFile::Kind kind)
{
    return kind != DataFile::Kind::Foreign && kind != DataFile::Kind::Unreadable &&
           kind != DataFile::Kind::Damaged;
}

} // namespace

DataModule::DataModule(DataModuleSettings settings, const MessageTable &messages, UserDialogs &dialogs,
                       QDate today)
    : m_settings(std::move(settings)), m_messages(messages), m_dialogs(dialogs), m_year(today.year()),
      m_dataFolder(withTrailingSeparator(m_settings.dataFolder)), m_stockTable(m_stockFile),
      m_salesTable(m_salesFile, TableLayouts::salesTableName(m_year), m_settings.till), m_search(m_stockFile)
{
    m_stockFile.setServer(m_settings.server);
    m_salesFile.setServer(m_settings.server);
    startDatabaseLayer();
}

void DataModule::startDatabaseLayer()
{
    m_ready = false;
    if (!m_settings.databaseOn)
        return;
    // The files themselves are opened when the sale screen is shown; here only
    // the engine has to be there.
    m_ready = QSqlDatabase::isDriverAvailable(m_settings.server.isServer() ? u"QPSQL"_s : u"QSQLITE"_s);
}

QString DataModule::stockFileName() const
{
    return TableLayouts::StockFileName;
}

QString DataModule::stockPath() const
{
    return m_dataFolder + stockFileName();
}

QString DataModule::salesFileName() const
{
    return TableLayouts::salesFileName(m_year);
}

QString DataModule::salesPath() const
{
    return m_dataFolder + salesFileName();
}

QString DataModule::salesTableName() const
{
    return m_salesTable.name();
}

void DataModule::warn(const QString &text, const QString &caption)
{
    m_dialogs.warn(text, caption);
}

void DataModule::reportUnusableFile(const DataFile &file)
{
    if (file.lastKind() == DataFile::Kind::Damaged) {
        reportDamagedFile(file);
        return;
    }
    if (ParadoxTable::looksLikeParadox(file.path())) {
        reportOldInstallationTable(file);
        return;
    }
    const QString reason = file.lastKind() == DataFile::Kind::Unreadable
                               ? u"Súbor sa nedá čítať."_s
                               : u"Nie je to databáza tohto programu (napríklad tabuľka staršej inštalácie "
                                 "alebo poškodený súbor)."_s;
    warn(u"Súbor databázy\r\n%1\r\n%2\r\nSúbor zostáva nezmenený a tabuľka sa nepoužije."_s.arg(
             QDir::toNativeSeparators(file.path()), reason),
         m_messages.text(Msg::SaleWarningCaption));
}

void DataModule::reportOldInstallationTable(const DataFile &file)
{
    warn(u"Súbor databázy\r\n%1\r\nje tabuľka staršej inštalácie programu (Paradox). Program ho nezmenil a "
         "tabuľka sa nepoužije.\r\nDátový priečinok prevedie do formátu tohto programu nástroj omira-migrate "
         "vedľa programu:\r\nomira-migrate \"%2\"\r\nPôvodné súbory si uloží do zálohy."_s.arg(
             QDir::toNativeSeparators(file.path()), QDir::toNativeSeparators(m_dataFolder)),
         m_messages.text(Msg::SaleWarningCaption));
}

void DataModule::reportDamagedFile(const DataFile &file)
{
    const QString path = QDir::toNativeSeparators(file.path());
    if (file.path() == salesPath()) {
        // Sales are the shop's accounts: only a person restores them, from a copy
        // they trust; the program neither overwrites nor "repairs" the file.
        warn(
            u"Súbor predajov\r\n%1\r\nje poškodený (napríklad po páde disku alebo prerušenom kopírovaní). "
            "Program ho nemení ani neopravuje.\r\nPredaj sa nedá zaznamenať, kým sa súbor neobnoví zo zálohy."_s
                .arg(path),
            m_messages.text(Msg::SaleWarningCaption));
        return;
    }
    const QString backup = StockBackup::newest(m_dataFolder).isEmpty()
                               ? u"\r\nV priečinku zaloha nie je žiadna záloha cenníka."_s
                               : QString();
    warn(u"Súbor cenníka\r\n%1\r\nje poškodený (napríklad po páde disku alebo prerušenom kopírovaní). "
         "Program ho nezmenil a cenník sa nepoužije.%2"_s.arg(path, backup),
         m_messages.text(Msg::SaleWarningCaption));
}

DataModule::Restore DataModule::offerStockRestore()
{
    const QString backup = StockBackup::newest(m_dataFolder);
    if (backup.isEmpty())
        return Restore::NoBackup;
    const QDateTime now = QDateTime::currentDateTime();
    const QString question =
        u"Súbor cenníka\r\n%1\r\nje poškodený (napríklad po páde disku alebo prerušenom kopírovaní).\r\n\r\n"
        "Obnoviť cenník z najnovšej zálohy\r\n%2\r\nz %3?\r\n\r\nZmeny cenníka urobené po nej sa stratia. "
        "Poškodený súbor zostane v priečinku dát ako %4."_s.arg(
            QDir::toNativeSeparators(stockPath()), QDir::toNativeSeparators(backup),
            QLocale().toString(QFileInfo(backup).lastModified(), QLocale::ShortFormat),
            StockRestore::keptName(now));
    if (!m_dialogs.askYesNo(question, m_messages.text(Msg::SaleWarningCaption), UserDialogs::Answer::No))
        return Restore::Declined;
    StockRestore restore;
    if (!restore.restore(backup, stockPath(), now)) {
        warn(restore.lastError(), m_messages.text(Msg::SaleWarningCaption));
        return Restore::Failed;
    }
    return Restore::Done;
}

void DataModule::reportVersionTestFailed()
{
    UserDialogs::Message box;
    box.text = u"Verziu databazy sa nepodarilo overit"_s;
    box.icon = UserDialogs::Icon::None;
    box.topMost = false;
    m_dialogs.show(box);
}

bool DataModule::openExisting(DataFile &file, const QString &path, bool &usable)
{
    if (file.isOpen())
        return true;
    if (!usable) // told already in this showing
        return false;
    if (file.open(path, false, m_settings.busyTimeoutMs))
        return true;
    if (&file == &m_stockFile && file.lastKind() == DataFile::Kind::Damaged) {
        const Restore restore = offerStockRestore();
        if (restore == Restore::Done && file.open(path, false, m_settings.busyTimeoutMs))
            return true;
        usable = false;
        if (restore == Restore::NoBackup || restore == Restore::Done)
            reportUnusableFile(file);
        return false;
    }
    if (!isUsableKind(file.lastKind())) {
        usable = false;
        reportUnusableFile(file);
    } else if (file.lastKind() == DataFile::Kind::Server) {
        // A server that cannot be reached (or is not known) fails every table
        // alike: told once, and tried again at the next showing.
        usable = false;
        if (!std::exchange(m_serverFailureTold, true))
            warn(file.lastError(), m_messages.text(Msg::SaleWarningCaption));
    } else if (file.lastKind() != DataFile::Kind::Missing) {
        warn(file.lastError(), m_messages.text(Msg::SaleWarningCaption));
    }
    return false;
}

bool DataModule::openForCreation(DataFile &file, const QString &path, bool &usable)
{
    if (file.isOpen())
        return true;
    if (file.open(path, true, m_settings.busyTimeoutMs))
        return true;
    if (!isUsableKind(file.lastKind())) {
        usable = false;
        reportUnusableFile(file);
    }
    return false;
}

bool DataModule::connectDatabases()
{
    if (!m_ready)
        return false;
    // A file that was unusable may have been replaced since the last showing.
    m_stockUsable = true;
    m_salesUsable = true;
    m_serverFailureTold = false;
    openExisting(m_stockFile, stockPath(), m_stockUsable);
    openExisting(m_salesFile, salesPath(), m_salesUsable);
    return m_stockUsable && m_salesUsable;
}

void DataModule::closeDatabases()
{
    m_search.invalidate();
    m_stockFile.close();
    m_salesFile.close();
}

bool DataModule::ensureStockTable()
{
    if (!m_stockUsable)
        return false;
    const DataFile::Kind kind = m_stockFile.look(stockPath());
    const bool missing = kind == DataFile::Kind::Missing || kind == DataFile::Kind::Empty ||
                         (m_stockFile.isOpen() && !m_stockTable.exists());
    if (!missing) {
        // A table of an earlier version gets the change log here. Without it
        // (a read-only folder, say) the search still works, only reading the
        // whole table after each change, so a failure is not the cashier's
        // concern.
        if (m_stockFile.isOpen())
            m_stockTable.ensureChangeLog();
        return true;
    }
    return m_stockCreator ? m_stockCreator() : createStockTable();
}

bool DataModule::createStockTable()
{
    if (!QDir(m_dataFolder).exists()) {
        warn(m_dataFolder + u"\r\n"_s + m_messages.text(Msg::StockFolderMissing),
             m_messages.text(Msg::StockFolderMissingCaption));
        return false;
    }
    if (!openForCreation(m_stockFile, stockPath(), m_stockUsable) || !m_stockTable.create()) {
        if (m_stockUsable)
            warn(m_messages.text(Msg::StockTableNotCreated), m_messages.text(Msg::StockCardsCaption));
        return false;
    }
    m_search.invalidate();
    return true;
}

bool DataModule::createSalesTable()
{
    m_documentSourceEnabled = false;
    if (!QDir(m_dataFolder).exists()) {
        warn(m_dataFolder + u"\r\n"_s + m_messages.text(Msg::SalesFolderMissing),
             m_messages.text(Msg::SalesFolderMissingCaption));
        return false;
    }
    if (!openForCreation(m_salesFile, salesPath(), m_salesUsable) || !m_salesTable.create()) {
        if (m_salesUsable)
            warn(m_messages.text(Msg::SalesTableNotCreated) + m_salesFile.lastError(),
                 m_messages.text(Msg::SaleWarningCaption));
        return false;
    }
    return true;
}

bool DataModule::checkAndUpgradeSalesTable()
{
    if (!m_ready)
        return false;
    bool tested = false;
    switch (m_salesFile.look(salesPath())) {
    case DataFile::Kind::Missing:
        tested = createSalesTable();
        break;
    case DataFile::Kind::Foreign:
    case DataFile::Kind::Unreadable:
        // Told once per showing: connectDatabases() may have found it already.
        if (m_salesUsable) {
            m_salesFile.close();
            openExisting(m_salesFile, salesPath(), m_salesUsable);
        }
        break;
    case DataFile::Kind::Damaged:
        // Unless opening finds it sound after all; told once per showing.
        if (!m_salesUsable)
            break;
        [[fallthrough]];
    case DataFile::Kind::Empty:
    case DataFile::Kind::Sqlite:
    case DataFile::Kind::Server:
        if (!openExisting(m_salesFile, salesPath(), m_salesUsable))
            break;
        if (!m_salesTable.exists()) {
            tested = createSalesTable();
            break;
        }
        bool rows = false;
        tested = m_salesTable.probeRows(rows);
        if (!tested)
            reportVersionTestFailed();
        else if (!rows)
            m_documentSourceEnabled = false;
        break;
    }
    bool upgraded = false;
    if (tested) {
        bool has = false;
        bool hasTill = false;
        upgraded = m_salesTable.hasDiscountColumns(has) && (has || m_salesTable.addDiscountColumns()) &&
                   m_salesTable.hasTillColumn(hasTill) && (hasTill || m_salesTable.addTillColumn());
        if (!upgraded)
            warn(m_salesFile.lastError(), m_messages.text(Msg::SaleWarningCaption));
        // Only the sales overview's speed depends on them: a table they cannot be
        // added to now (a lock held too long, columns of a layout older still) is
        // used as it is and gets them at a later start.
        bool hasIndexes = true;
        if (upgraded && m_salesTable.hasOverviewIndexes(hasIndexes) && !hasIndexes)
            m_salesTable.addOverviewIndexes();
    }
    const DataFile::Kind stockKind = m_stockFile.look(stockPath());
    if (stockKind == DataFile::Kind::Missing) {
        warn(m_messages.text(Msg::StockTableMissing), m_messages.text(Msg::StockTableMissingCaption));
        m_stockCreator ? m_stockCreator() : createStockTable();
    }
    return upgraded;
}

bool DataModule::applyOpenFilter()
{
    m_openFilter = m_salesTable.openFilter();
    if (!m_salesUsable || !m_salesFile.isOpen())
        return false;
    if (!m_salesTable.openTotal()) {
        warn(m_salesFile.lastError(), m_messages.text(Msg::SaleWarningCaption));
        return false;
    }
    return true;
}

bool DataModule::prepareSalesTable()
{
    if (!m_ready)
        return false;
    const bool connected = connectDatabases();
    ensureStockTable();
    const bool prepared = checkAndUpgradeSalesTable();
    const bool filtered = applyOpenFilter();
    return connected && prepared && filtered;
}

std::optional<int> DataModule::sqlMaxIdx()
{
    std::optional<int> key;
    if (m_salesUsable && m_salesFile.isOpen())
        key = m_salesTable.nextKey();
    if (!key)
        warn(m_messages.text(Msg::QueryFailed), m_messages.text(Msg::SaleErrorCaption));
    return key;
}

SalesTable::StoreResult DataModule::storeItem(const SaleRow &row)
{
    SalesTable::StoreResult result;
    result.failure = SalesTable::Failure::Key;
    if (m_salesUsable && m_salesFile.isOpen())
        result = m_salesTable.storeOpenRow(row);
    if (result.failure == SalesTable::Failure::Key)
        warn(m_messages.text(Msg::QueryFailed), m_messages.text(Msg::SaleErrorCaption));
    return result;
}

std::optional<qint64> DataModule::openTotal()
{
    if (!m_salesUsable || !m_salesFile.isOpen())
        return std::nullopt;
    return m_salesTable.openTotal();
}

std::optional<QList<SaleRow>> DataModule::openRows()
{
    if (!m_salesUsable || !m_salesFile.isOpen())
        return std::nullopt;
    return m_salesTable.openRows();
}

bool DataModule::deleteOpenRow(int key)
{
    if (!m_salesUsable || !m_salesFile.isOpen())
        return false;
    return m_salesTable.deleteOpenRow(key);
}

bool DataModule::changeOpenAmounts(const QList<SalesTable::AmountChange> &changes)
{
    if (!m_salesUsable || !m_salesFile.isOpen())
        return false;
    return m_salesTable.changeOpenAmounts(changes);
}

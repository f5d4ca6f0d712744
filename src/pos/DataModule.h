#pragma once

#include "pos/SaleRow.h"
#include "pos/SalesTable.h"
#include "stock/DataFile.h"
#include "stock/StockSearch.h"
#include "stock/StockTable.h"

#include <QDate>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

class MessageTable;
class UserDialogs;

// What the data module takes from the configuration.
struct DataModuleSettings
{
    QString programFolder;
    QString dataFolder;     // LAN_PATH, ends with a separator
    bool databaseOn = true; // the BDE switch of the main configuration
    int busyTimeoutMs = DataFile::DefaultBusyTimeoutMs;
    int till = 1;        // POKLADNA: the open document is this till's rows
    DataServer server{}; // [DATABAZA]: the folder's files, or the shop's database server
};

// The point of sale's data module: the stock table and the year's sales table
// in the data folder, the start of the database layer, the preparation of the
// tables each time the sale screen is shown and the storing of items. Every
// failure is told to the user here, through `dialogs`, with the message-table
// texts; the screens only look at the results.
class DataModule
{
public:
    // Builds the paths and starts the database layer. The year of the sales
    // table is the year of `today` for the whole life of the module.
    DataModule(DataModuleSettings settings, const MessageTable &messages, UserDialogs &dialogs, QDate today);

    bool databaseReady() const { return m_ready; }
    int year() const { return m_year; }
    const QString &dataFolder() const { return m_dataFolder; }
    QString stockFileName() const;
    QString stockPath() const;
    QString salesFileName() const;
    QString salesPath() const;
    QString salesTableName() const;

    // The preparation of the tables when the sale screen is shown, in order:
    // connect, create a missing stock table, version test and upgrade, filter.
    bool prepareSalesTable();
    bool connectDatabases();
    void closeDatabases();
    bool ensureStockTable();
    bool checkAndUpgradeSalesTable();
    bool applyOpenFilter();

    // Creates the year's sales table when it is missing; false after telling why.
    bool createSalesTable();
    // Creates the stock table when it is missing; false after telling why.
    bool createStockTable();
    // Replaces the stock table's creation (the stock-card screen owns it).
    void setStockTableCreator(std::function<bool()> creator) { m_stockCreator = std::move(creator); }

    // The next row key (maximum + 1); an empty optional after message 168/161.
    std::optional<int> sqlMaxIdx();
    // Stores an item of the open document under the next key. A key failure is
    // told here (168/161); an insert failure is left to the caller with the
    // engine's text in lastError().
    SalesTable::StoreResult storeItem(const SaleRow &row);
    // Sum of CENA_INT over the open rows; an empty optional with lastError().
    std::optional<qint64> openTotal();
    std::optional<QList<SaleRow>> openRows();
    // Deletes an open row; false with lastError().
    bool deleteOpenRow(int key);
    // New amounts for open rows, all or none; false with lastError().
    bool changeOpenAmounts(const QList<SalesTable::AmountChange> &changes);
    QString openFilter() const { return m_openFilter; }

    bool salesTableUsable() const { return m_salesUsable; }
    bool stockTableUsable() const { return m_stockUsable; }
    // The document grid's source: off after the table was (re)created empty,
    // on again once the sale screen stores an item.
    bool documentSourceEnabled() const { return m_documentSourceEnabled; }
    void setDocumentSourceEnabled(bool enabled) { m_documentSourceEnabled = enabled; }

    QString lastError() const { return m_salesFile.lastError(); }
    DataFile &stockFile() { return m_stockFile; }
    DataFile &salesFile() { return m_salesFile; }
    StockTable &stockTable() { return m_stockTable; }
    SalesTable &salesTable() { return m_salesTable; }
    StockSearch &stockSearch() { return m_search; }

private:
    void startDatabaseLayer();
    bool openExisting(DataFile &file, const QString &path, bool &usable);
    bool openForCreation(DataFile &file, const QString &path, bool &usable);
    void reportUnusableFile(const DataFile &file);
    void reportDamagedFile(const DataFile &file);
    enum class Restore { NoBackup, Declined, Failed, Done };
    // Offers the newest backup in place of a damaged stock file (told to the cashier, but a
    // missing backup); Done when it was put there.
    Restore offerStockRestore();
    void reportOldInstallationTable(const DataFile &file);
    void reportVersionTestFailed();
    void warn(const QString &text, const QString &caption);

    DataModuleSettings m_settings;
    const MessageTable &m_messages;
    UserDialogs &m_dialogs;
    int m_year;
    QString m_dataFolder;
    bool m_ready = false;
    bool m_salesUsable = true;
    bool m_stockUsable = true;
    bool m_documentSourceEnabled = true;
    bool m_serverFailureTold = false; // in this showing
    QString m_openFilter;
    DataFile m_stockFile;
    DataFile m_salesFile;
    StockTable m_stockTable;
    SalesTable m_salesTable;
    StockSearch m_search;
    std::function<bool()> m_stockCreator;
};

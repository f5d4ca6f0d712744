#pragma once

#include "FakePlatform.h"
#include "ScriptedDialogs.h"
#include "base/Configuration.h"
#include "base/ErrorLog.h"
#include "lang/MessageTable.h"
#include "link/PrintManagerDetection.h"
#include "link/PrintManagerLink.h"
#include "link/PrinterRequests.h"
#include "link/PrinterState.h"
#include "link/PrinterStatusView.h"
#include "platform/FileSystem.h"
#include "pos/CashOperationGate.h"
#include "pos/CashVoucherPrint.h"
#include "pos/ReceiptPrint.h"
#include "pos/ReceiptPrintView.h"
#include "pos/SalesTable.h"
#include "stock/DataFile.h"
#include "stock/TableLayouts.h"

#include <QDir>
#include <QSet>
#include <QSqlQuery>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

// The main window's status display, not looked at by these tests.
class SilentStatusView : public PrinterStatusView
{
public:
    void setStateLabel(const QString &) override {}
    void setCaption(const QString &) override {}
    void setStatusPanel(int, const QString &) override {}
    void showIdleStatus() override {}
    void setTrayHint(const QString &) override {}
    void setTrayImage(TrayImage) override {}
    void showLastDocument(const DocumentTexts &) override {}
    void repaintNow() override {}
};

// The sale screen as the print sees it: notes what it is told.
class RecordingPrintView : public ReceiptPrintView
{
public:
    void setGridFrozen(bool frozen) override { gridFrozen = frozen; }
    void addDocumentLine(const QString &line) override { lines << line; }
    void showChange(const QString &caption, const QString &amount) override
    {
        changeCaption = caption;
        changeAmount = amount;
    }
    void showPrinted(const QString &label, const QString &, const QString &uid) override
    {
        printedLabel = label;
        printedUid = uid;
    }
    void finishPrint(const QString &) override { ++finished; }

    bool gridFrozen = false;
    QStringList lines;
    QString changeCaption;
    QString changeAmount;
    QString printedLabel;
    QString printedUid;
    int finished = 0;
};

// Everything a print needs, over a temporary program folder with its data folder and
// exchange folder, wired as the sale screen wires it. The clock is the caller's. Tills
// that share a data folder each have a root of their own and name the shared folder; on a
// server they name the shop's database as well.
struct ReceiptPrintRig
{
    explicit ReceiptPrintRig(LinkClock &clock, const QString &root, const QString &sharedDataFolder = {},
                             int till = 1, const DataServer &server = {})
        : link(config, windows, *files, clock), requests(config, link, *files, state, statusView),
          detection({config, messages, [this]() -> ErrorLog & { return errorLog; }, link, requests, state,
                     statusView})
    {
        config.programFolder = root + u"/program"_s;
        config.dataFolder =
            sharedDataFolder.isEmpty() ? config.programFolder + u"/cennik/"_s : sharedDataFolder + u'/';
        config.tillNumber = till;
        config.exchangeFolder = root + u"/exchange/"_s;
        config.printManagerInput = config.exchangeFolder + u"blocek.txt"_s;
        config.infoFolder = config.programFolder; // path_info as the loader defaults it
        config.printManagerTitle = u"RL70ZQ"_s;
        config.repeatPeriod = 50;
        config.infoTimeout = 1000;
        config.statusTimeout = 1000;
        config.paymentDialog = 0;
        config.paymentMeans[0] = u"Hotovosť"_s;
        config.paymentMeans[1] = u"Karta"_s;
        windows.titles.insert("RL70ZQ");
        QDir().mkpath(config.programFolder);
        QDir().mkpath(config.dataFolder);
        QDir().mkpath(config.exchangeFolder);
        tableName = TableLayouts::salesTableName(2026);
        salesFile.setServer(server);
        sales = std::make_unique<SalesTable>(salesFile, tableName, till);
        tableReady =
            salesFile.open(config.dataFolder + TableLayouts::salesFileName(2026), true) && sales->create();
    }

    // The name of item `item` of till `till`: it says whose it is wherever it turns up.
    static QString tillItemName(int till, int item)
    {
        return u"Pokladňa %1 položka %2"_s.arg(till).arg(item, 3, 10, QLatin1Char('0'));
    }

    ReceiptPrint &print()
    {
        if (!receiptPrint) {
            receiptPrint = std::make_unique<ReceiptPrint>(
                ReceiptPrint::Services{config, messages, dialogs, link, requests, detection, state, *files,
                                       salesFile, tableName, view});
        }
        return *receiptPrint;
    }

    // The cash operations of the same till. Their print settles a note this till left the way
    // the sale screen does.
    CashVoucherPrint &voucherPrint()
    {
        if (!cashVoucherPrint) {
            cashVoucherPrint = std::make_unique<CashVoucherPrint>(
                CashVoucherPrint::Services{config, messages, dialogs, link, requests, state,
                                           [this] { return print().resolvePendingPrint(); }});
        }
        return *cashVoucherPrint;
    }

    CashOperationGate cashGate() { return {detection, state, messages, dialogs}; }

    // What the sale screen does when it is shown: it asks for the printer's state and last
    // document, then settles a document this till left with the print manager.
    ReceiptPrint::Recovery showSaleScreen()
    {
        if (detection.online_sts() != 0)
            requests.read_info_reply(config.infoTimeout, true);
        return print().resolvePendingPrint();
    }

    int addItem(const QString &name, double quantity, double price, int vatEntry = 0)
    {
        SaleRow row;
        row.kod = u"K1"_s;
        row.nazov = name;
        row.mj = u"ks"_s;
        row.pocet = quantity;
        row.jc = price;
        row.idxDph = vatEntry;
        const double product = quantity * price;
        row.cenaInt = int((product + (product >= 0 ? 0.005 : -0.005)) * 100);
        row.cena = row.cenaInt / 100.0;
        const SalesTable::StoreResult stored = sales->storeOpenRow(row);
        return stored.failure == SalesTable::Failure::None ? stored.key : 0;
    }

    // Stores those of this till's items 0 to count - 1 (tillItemName()) that are not in the
    // table yet, printed or not, item i at i + 1 cents: a till killed half way goes on where
    // it stopped. `stored` hears each key once its row is committed. False when a row could
    // not be stored.
    bool storeTillItems(int count, const std::function<void(int key)> &stored)
    {
        QSqlQuery query(salesFile.database());
        query.prepare(u"SELECT NAZOV FROM "_s + tableName + u" WHERE UCET=?"_s);
        query.addBindValue(config.tillNumber);
        if (!query.exec()) {
            salesFile.setError(DataFile::engineText(query.lastError()));
            return false;
        }
        QSet<QString> there;
        while (query.next())
            there.insert(query.value(0).toString());
        for (int item = 0; item < count; ++item) {
            const QString name = tillItemName(config.tillNumber, item);
            if (there.contains(name))
                continue;
            const int key = addItem(name, 1, (item + 1) / 100.0);
            if (key <= 0)
                return false;
            stored(key);
        }
        return true;
    }

    QList<SaleRow> allRows()
    {
        QList<SaleRow> rows;
        QSqlQuery query(salesFile.database());
        query.exec(u"SELECT ID_PRIMARY, FISK, DOKLAD, ID_DOKLAD, DU, DATUM, CAS, UCET, NAZOV FROM "_s +
                   tableName + u" ORDER BY ID_PRIMARY"_s);
        while (query.next()) {
            SaleRow row;
            row.idPrimary = query.value(0).toInt();
            row.fisk = query.value(1).toInt() != 0;
            row.doklad = query.value(2).toInt();
            row.idDoklad = query.value(3).toInt();
            row.du = query.value(4).toInt();
            row.datum = QDate::fromString(query.value(5).toString(), u"yyyy-MM-dd"_s);
            row.cas = QTime::fromString(query.value(6).toString(), u"HH:mm:ss"_s);
            row.ucet = query.value(7).toInt();
            row.nazov = query.value(8).toString();
            rows << row;
        }
        return rows;
    }

    Configuration config;
    FakeWindowFinder windows;
    std::unique_ptr<platform::FileSystem> files = platform::createFileSystem();
    MessageTable messages;
    ScriptedDialogs dialogs;
    ErrorLog errorLog{QString(), false, dialogs};
    SilentStatusView statusView;
    PrinterState state;
    PrintManagerLink link;
    PrinterRequests requests;
    PrintManagerDetection detection;
    QString tableName;
    DataFile salesFile;
    std::unique_ptr<SalesTable> sales;
    bool tableReady = false; // the sales file opened and its table made
    RecordingPrintView view;
    std::unique_ptr<ReceiptPrint> receiptPrint;
    std::unique_ptr<CashVoucherPrint> cashVoucherPrint;
};

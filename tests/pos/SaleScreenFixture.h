#pragma once

#include "../link/RecordingStatusView.h"
#include "FakePlatform.h"
#include "ScreenChild.h"
#include "ScriptedDialogs.h"
#include "app/AppContext.h"
#include "link/ManualLinkClock.h"
#include "link/PrintManagerLink.h"
#include "link/PrinterDetection.h"
#include "link/PrinterRequests.h"
#include "link/PrinterState.h"
#include "platform/FileSystem.h"
#include "pos/DataModule.h"
#include "pos/ui/TForm_predaj_medic.h"
#include "stock/DataFile.h"
#include "stock/StockTable.h"

#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// A printer that answers the status query; the print manager itself is absent,
// so every request returns at once without a reply.
class ReadyPrinter : public PrinterDetection
{
public:
    bool detect_fm() override { return true; }
    int online_sts() override
    {
        ++statusQueries;
        return 1;
    }
    bool read_info_reply(int) override { return false; }

    int statusQueries = 0;
};

// Types text the way a keyboard does, letters beyond ASCII included.
inline void typeText(QWidget *widget, const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(widget, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// The sale screen on a data folder of its own in a temporary program folder.
struct SaleScreenFixture
{
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    FakeWindowFinder windows;
    std::unique_ptr<platform::FileSystem> files = platform::createFileSystem();
    AppContext context{dir.path(), dialogs, windows, *files};
    // Waits of the link pass at once; a test with a print manager answers from its hook.
    ManualLinkClock clock;
    PrintManagerLink link{context.config, windows, *files, clock};
    RecordingStatusView view;
    PrinterState printer;
    PrinterRequests requests{context.config, link, *files, printer, view};
    ReadyPrinter detection;
    std::unique_ptr<DataModule> data;
    std::unique_ptr<TForm_predaj_medic> screen;

    SaleScreenFixture()
    {
        context.config.programFolder = dir.path();
        context.config.dataFolder = dir.path() + QStringLiteral("/cennik/");
        context.config.printManagerInput = dir.path() + QStringLiteral("/blocek.txt");
        context.config.exchangeFolder = dir.path() + QStringLiteral("/");
        QDir().mkpath(context.config.dataFolder);
        printer.vat_rates = {20, 10, 0, 0, 5, 0, 0};
        printer.info.documentNumber = 41;
        printer.info.dailyClosingNumber = 6;
        printer.info.uid = QStringLiteral("UID-41");
    }

    QString dataFolder() const { return context.config.dataFolder; }
    SaleScreenContext saleContext()
    {
        return {context.programFolder, context.config,
                context.messages,      context.dialogs,
                context.files,         [this](const QString &line) { context.errorLog->WriteErrLog(line); }};
    }
    QString stockPath() const { return dataFolder() + QStringLiteral("vx60_sklad.db"); }

    // Writes the price list before the screen opens it.
    bool addCards(const QList<StockRow> &cards)
    {
        DataFile file;
        if (!file.open(stockPath(), true))
            return false;
        StockTable table(file);
        if (!table.exists() && !table.create())
            return false;
        if (!file.beginWrite())
            return false;
        for (const StockRow &card : cards) {
            if (!table.insert(card)) {
                file.rollback();
                return false;
            }
        }
        return file.commit();
    }

    TForm_predaj_medic &open(QDate today = QDate::currentDate())
    {
        if (!data) {
            DataModuleSettings settings;
            settings.programFolder = dir.path();
            settings.dataFolder = dataFolder();
            data = std::make_unique<DataModule>(settings, context.messages, dialogs, today);
        }
        if (!screen)
            screen = std::make_unique<TForm_predaj_medic>(
                SaleScreenServices{saleContext(), *data, requests, detection, printer, link});
        screen->show();
        screen->activateWindow();
        return *screen;
    }

    template <typename T> T *child(const QString &name) const { return screenChild<T>(*screen, name); }

    // Finds an item as the cashier does and stores it with the given fields.
    void enterItem(const QString &search, const QString &price, const QString &quantity,
                   const QString &percent)
    {
        auto *searchField = child<QLineEdit>(QStringLiteral("Edit_predaj"));
        searchField->setFocus();
        typeText(searchField, search);
        QTest::keyClick(searchField, Qt::Key_Return);
        child<QLineEdit>(QStringLiteral("Edit_jc"))->setText(price);
        child<QLineEdit>(QStringLiteral("Edit_zlava"))->setText(percent);
        auto *quantityField = child<QLineEdit>(QStringLiteral("Edit_pocet"));
        quantityField->setText(quantity);
        quantityField->setFocus();
        QTest::keyClick(quantityField, Qt::Key_Return);
    }
};

inline StockRow card(const QString &kod, const QString &nazov, double jc, const QString &barcode = {},
                     bool pref = false)
{
    StockRow row;
    row.kod = kod;
    row.nazov = nazov;
    row.jc = jc;
    row.barcode = barcode;
    row.pref = pref;
    row.mj = QStringLiteral("ks");
    row.dphIdx = 1;
    row.skladIdx = 3;
    return row;
}

#include "app/ui/Application.h"

#include "app/AppContext.h"
#include "app/AppMessageHandler.h"
#include "app/ErrorReporter.h"
#include "app/MessageFile.h"
#include "app/QtTranslations.h"
#include "app/StartupSequence.h"
#include "app/ui/InstanceWindow.h"
#include "app/ui/QtUserDialogs.h"
#include "app/ui/TSQD60.h"
#include "base/UserDialogs.h"
#include "lang/MessageIds.h"
#include "lang/MessageTable.h"
#include "lang/ui/CaptionApplier.h"
#include "link/PrintManagerDetection.h"
#include "link/PrintManagerLink.h"
#include "link/PrinterDetection.h"
#include "link/PrinterRequests.h"
#include "link/SteadyLinkClock.h"
#include "platform/FileSystem.h"
#include "platform/OsVersionQuery.h"
#include "platform/ProcessPriority.h"
#include "platform/WindowFinder.h"
#include "pos/CashOperationGate.h"
#include "pos/CashVoucherPrint.h"
#include "pos/DataModule.h"
#include "pos/ui/TForm_financie.h"
#include "pos/ui/TForm_platba.h"
#include "pos/ui/TForm_predaj_medic.h"
#include "stock/PriceListLoading.h"
#include "stock/ui/SalesOverviewPrint.h"
#include "stock/ui/ServiceImportRun.h"
#include "stock/ui/TForm_cennik_servis.h"
#include "stock/ui/TForm_prehlad.h"
#include "stock/ui/TForm_skladm.h"
#include "widgets/ProgressDialog.h"
#include "widgets/TypeOverFocus.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QScopeGuard>

using namespace Qt::StringLiterals;

namespace {

constexpr char kInstanceTitle[] = "Omira Predaj";

bool anotherInstanceRuns(const platform::WindowFinder &windows, UserDialogs &dialogs)
{
    if (!windows.windowExists(kInstanceTitle))
        return false;
    dialogs.inform(u"Program je už spustený na tomto PC.\r\nOtvorte si už spustený program."_s,
                   u"Program Omira"_s);
    return true;
}

// "Načítaj cenník" of the maintenance screen; true when the unit and group names changed.
bool loadPriceList(DataModule &dataModule, TForm_skladm &stockScreen, AppContext &context,
                   UserDialogs &dialogs)
{
    if (!dataModule.ensureStockTable() || !dataModule.stockFile().isOpen()) {
        dialogs.warn(context.messages.text(Msg::StockTableNotCreated),
                     context.messages.text(Msg::ServiceCaption));
        return false;
    }
    ProgressDialog progress(QApplication::activeWindow(), context.messages.text(Msg::LoadPriceListTitle),
                            u"Načítava sa cenník…"_s);
    // The data folder in effect: a save of the maintenance screen may have changed it.
    PriceListLoading loading(
        {context.config.dataFolder, dataModule.stockFile(), context.messages, dialogs, progress});
    const PriceListLoading::Changes changes = loading.run();
    progress.finish();
    if (changes.cards)
        stockScreen.runSearch();
    return changes.unitsAndGroups;
}

// "Import" of the maintenance screen: the whole price list replaced by a file's rows.
void importPriceList(DataModule &dataModule, TForm_skladm &stockScreen, AppContext &context,
                     UserDialogs &dialogs)
{
    if (!dataModule.ensureStockTable() || !dataModule.stockFile().isOpen()) {
        dialogs.warn(context.messages.text(Msg::StockTableNotCreated),
                     context.messages.text(Msg::ServiceCaption));
        return;
    }
    // The data folder in effect: a save of the maintenance screen may have changed it.
    if (ServiceImportRun::run(QApplication::activeWindow(), context.config.dataFolder, dataModule.stockFile(),
                              context.messages, dialogs))
        stockScreen.runSearch();
}

// The machine's facilities the program is started with.
struct ProgramPlatform
{
    platform::WindowFinder &windows;
    platform::FileSystem &files;
    platform::OsVersionQuery &osVersion;
    platform::ProcessPriority &priority;
};

} // namespace

Application::Application(int &argc, char **argv) : QApplication(argc, argv) {}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        const QString text = ErrorReporter::currentExceptionText();
        if (m_reporter)
            m_reporter->report(text);
        else
            qCritical("%s", qUtf8Printable(text));
    }
    return false;
}

namespace {

// Everything after the basics: the link, the main window, the start-up sequence, the
// screens, and the event loop.
int runProgram(Application &app, QtUserDialogs &dialogs, AppContext &context, const ProgramPlatform &platform)
{
    const QString &programFolder = context.programFolder;
    platform::WindowFinder &windows = platform.windows;
    platform::FileSystem &files = platform.files;
    platform::OsVersionQuery &osVersion = platform.osVersion;
    platform::ProcessPriority &priority = platform.priority;
    SteadyLinkClock clock;
    PrintManagerLink link(context.config, windows, files, clock);
    AppMessageHandler endHandler;

    TSQD60 mainWindow(context);
    dialogs.setMainWindow(&mainWindow);
    PrinterRequests requests(context.config, link, files, context.printer, mainWindow);
    PrintManagerDetection printer({context.config, context.messages,
                                   [&context]() -> ErrorLog & { return *context.errorLog; }, link, requests,
                                   context.printer, mainWindow});
    StartupSequence startup(context, mainWindow, {link, printer, osVersion, priority});
    if (startup.run(QCoreApplication::arguments()) == StartupSequence::Outcome::EndProgram)
        return 0;
    installQtTranslations(app, context.config.languageIndex);
    mainWindow.setReconnect([&printer] { return printer.detect_fm(); });

    // The sale screen works on the data module from its creation, so the module comes first.
    DataModuleSettings dataSettings;
    dataSettings.programFolder = programFolder;
    dataSettings.dataFolder = context.config.dataFolder;
    dataSettings.databaseOn = context.config.databaseOn;
    dataSettings.till = context.config.tillNumber;
    dataSettings.server = context.config.dataServer;
    DataModule dataModule(dataSettings, context.messages, dialogs, QDate::currentDate());
    context.databaseReady = dataModule.databaseReady();

    QList<QWidget *> allScreens{&mainWindow};
    const SaleScreenContext saleContext{
        context.programFolder, context.config,
        context.messages,      context.dialogs,
        context.files,         [&context](const QString &line) { context.errorLog->WriteErrLog(line); }};
    TForm_predaj_medic saleScreen({saleContext, dataModule, requests, printer, context.printer, link});
    saleScreen.setEndProgramAction([&mainWindow] { mainWindow.close(); });
    saleScreen.setMinimizeAction([&saleScreen] { saleScreen.showMinimized(); });
    saleScreen.setMainWindowHooks({[&mainWindow](bool active) {
                                       if (active)
                                           mainWindow.enableTimer();
                                       else
                                           mainWindow.disableTimer();
                                   },
                                   [&mainWindow](const QString &uid) { mainWindow.showLastUid(uid); }});
    allScreens.append(&saleScreen);
    allScreens.append(saleScreen.paymentDialog());

    CashOperationGate cashGate(printer, context.printer, context.messages, dialogs);
    CashVoucherPrint voucherPrint(
        {context.config, context.messages, dialogs, link, requests, context.printer,
         [&saleScreen] { return saleScreen.receiptPrint().resolvePendingPrint(); }});
    TForm_financie cashDialog({context.config, context.messages, dialogs, cashGate, voucherPrint,
                               [&saleScreen] { saleScreen.clearParagon(); },
                               [&saleScreen] { saleScreen.showLastDocument(); }});
    saleScreen.setCashAction([&cashDialog, &saleScreen](TForm_predaj_medic::CashOperation operation) {
        const auto mode = operation == TForm_predaj_medic::CashOperation::Deposit
                              ? CashVoucher::Mode::Deposit
                              : CashVoucher::Mode::Withdrawal;
        cashDialog.open(mode, [&saleScreen](QSize size) { return saleScreen.cashDialogPosition(size); });
    });
    allScreens.append(&cashDialog);

    TForm_skladm stockScreen({context.programFolder, context.config, context.messages, dialogs,
                              dataModule.stockFile(), dataModule.stockTable(), dataModule.stockSearch(),
                              [&dataModule, &context, &dialogs] {
                                  if (dataModule.ensureStockTable() && dataModule.stockFile().isOpen())
                                      return true;
                                  dialogs.warn(context.messages.text(Msg::StockTableNotCreated),
                                               context.messages.text(Msg::StockCardsCaption));
                                  return false;
                              }});
    saleScreen.setPriceListAction([&stockScreen, &saleScreen] { stockScreen.open(saleScreen.geometry()); });
    allScreens.append(&stockScreen);

    TForm_prehlad overviewScreen({context.programFolder, context.config, context.messages, dialogs,
                                  context.printer.info, dataModule.year()});
    saleScreen.setOverviewAction([&overviewScreen, &saleScreen] {
        overviewScreen.open(saleScreen.geometry());
        saleScreen.activateWindow();
    });
    QObject::connect(&overviewScreen, &TForm_prehlad::printRequested, &overviewScreen, [&overviewScreen] {
        SalesOverviewPrint::preview(&overviewScreen, overviewScreen.overview(), overviewScreen.choices(),
                                    overviewScreen.selectionLine());
    });
    allScreens.append(&overviewScreen);

    TForm_cennik_servis serviceScreen(
        {context.programFolder, context.config, context.messages, dialogs, dataModule.stockFile(),
         [&requests] { return requests.read_header_lines(); }, [&printer] { printer.detect_fm(); },
         [&stockScreen] {
             stockScreen.refillLists();
             stockScreen.runSearch();
         },
         [&saleScreen] { saleScreen.settingsChanged(); },
         [&dataModule, &stockScreen, &context, &dialogs] {
             return loadPriceList(dataModule, stockScreen, context, dialogs);
         },
         [&dataModule, &stockScreen, &context, &dialogs] {
             importPriceList(dataModule, stockScreen, context, dialogs);
         }});
    stockScreen.setServiceAction(
        [&serviceScreen, &stockScreen] { serviceScreen.open(stockScreen.frameGeometry()); });
    allScreens.append(&serviceScreen);
    mainWindow.setSaleScreen(&saleScreen);
    mainWindow.setEndSteps([&context, &dataModule, &saleScreen] {
        if (context.databaseReady)
            dataModule.closeDatabases();
        saleScreen.saveSettings();
    });
    // The sale screen's creation starts the timer whose first tick opens it.
    mainWindow.enableTimer();

    loadMessageFile(context.messages, context.config.messageFile(), dialogs);
    CaptionApplier::apply_captions(context.config.captionFile(), allScreens);

    // Hidden behind the tray icon; without a tray the window is the only way in.
    if (!mainWindow.trayAvailable())
        mainWindow.show();
    return QApplication::exec();
}

} // namespace

int runApplication(int argc, char *argv[])
{
    Application app(argc, argv);
    QApplication::setApplicationName(u"Omira VX70, VX60"_s);
    QApplication::setQuitOnLastWindowClosed(false);
    TypeOverFocus::install();
    const QString programFolder = QCoreApplication::applicationDirPath();
    QDir::setCurrent(programFolder);

    QtUserDialogs dialogs;
    const auto windows = platform::createWindowFinder();
    if (anotherInstanceRuns(*windows, dialogs))
        return 0;

    // Held for the whole run: a second start finds this window by its title.
    QApplication::setApplicationName(QString::fromLatin1(kInstanceTitle));
    InstanceWindow instanceWindow(QString::fromLatin1(kInstanceTitle));

    const auto files = platform::createFileSystem();
    const auto osVersion = platform::createOsVersionQuery();
    const auto priority = platform::createProcessPriority();
    AppContext context(programFolder, dialogs, *windows, *files);
    // Until the configuration names the log the context's log writes nothing; the box still shows.
    ErrorReporter errorReporter(
        dialogs, [&context]() -> ErrorLog & { return *context.errorLog; },
        QString::fromLatin1(kInstanceTitle));
    app.setErrorReporter(&errorReporter);
    const auto detachReporter = qScopeGuard([&app] { app.setErrorReporter(nullptr); });
    // An error that escapes the start is shown like any other, not a silent end.
    return errorReporter.runGuarded(
        [&] {
            return runProgram(app, dialogs, context, {*windows, *files, *osVersion, *priority});
        },
        1);
}

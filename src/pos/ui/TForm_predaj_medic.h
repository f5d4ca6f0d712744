#pragma once

#include "pos/PaymentSession.h"
#include "pos/ReceiptPrintView.h"
#include "pos/SaleDocument.h"
#include "pos/SaleItemEntry.h"
#include "stock/UnitAndGroupNames.h"

#include <QLocale>
#include <QWidget>

#include <functional>
#include <memory>

struct Configuration;
class MessageTable;
class UserDialogs;
namespace platform {
class FileSystem;
}
struct PrinterState;
class DataModule;
class PanelStatusBar;
class PrintManagerLink;
class PrinterDetection;
class PrinterRequests;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;
class ReceiptPrint;
class SaleDocumentPanel;
class SaleItemPanel;
class SaleSearchPanel;
class TForm_platba;
class WindowPlacement;

// The part of the program's shared state that the sale screen uses.
struct SaleScreenContext
{
    QString programFolder;
    Configuration &config; // the showing keys of pokladna.ini are applied to it
    const MessageTable &messages;
    UserDialogs &dialogs;
    platform::FileSystem &files;
    std::function<void(const QString &)> writeErrorLog;
};

// What the sale screen works with, all owned by the program for its whole run.
struct SaleScreenServices
{
    SaleScreenContext context;   // configuration, message table, dialogs, program folder
    DataModule &data;            // stock and sales tables
    PrinterRequests &requests;   // the information request and the tax-code data request
    PrinterDetection &detection; // the status query (online_sts) when the screen opens
    PrinterState &printer;       // last information reply and VAT rates
    PrintManagerLink &link;      // the hand-over of receipts and the pauses of a print
};

// The cashier's working window: finds items in the price list, takes the
// items of one receipt, stores each at once as an open row of the year's sales
// table, shows the document and its total and prints it as a receipt. The
// price list, the overview and the cash operations are screens of their own,
// handed in as actions. Closing the window hides it; "Koniec" ends the program.
//
// The search, the item fields and the document are panels of their own; the screen
// builds the window around them, wires them, owns the buttons, the paragon and the
// status bar, and sees every key first (the window's shortcuts and the guard of the
// buttons) before the panel of the focused field does.
class TForm_predaj_medic : public QWidget, private ReceiptPrintView
{
    Q_OBJECT

public:
    enum class CashOperation { Deposit, Withdrawal };

    // What a print changes on the main window.
    struct MainWindowHooks
    {
        std::function<void(bool)> setTimerActive;
        std::function<void(const QString &)> showLastUid;
    };

    // Creates the data folder when it is missing (one level).
    explicit TForm_predaj_medic(const SaleScreenServices &services, QWidget *parent = nullptr);
    ~TForm_predaj_medic() override;

    // Actions of the buttons whose screens live elsewhere; until one is set
    // its button says that the function is not there yet.
    void setPriceListAction(std::function<void()> action) { m_priceListAction = std::move(action); }
    // Takes the settings files again after the maintenance screen saved them:
    // the unit list and the status panel of the printer.
    void settingsChanged();
    void setOverviewAction(std::function<void()> action) { m_overviewAction = std::move(action); }
    void setCashAction(std::function<void(CashOperation)> action) { m_cashAction = std::move(action); }
    // "Koniec": ends the program (closes the main window).
    void setEndProgramAction(std::function<void()> action) { m_endProgram = std::move(action); }
    // Minimising this window minimises the whole application.
    void setMinimizeAction(std::function<void()> action) { m_minimize = std::move(action); }
    void setMainWindowHooks(MainWindowHooks hooks) { m_mainWindow = std::move(hooks); }
    // Starts a program detached; replaced by tests.
    void setProgramStarter(std::function<bool(const QString &)> starter)
    {
        m_startProgram = std::move(starter);
    }

    // The print of the open document and its payment dialog.
    ReceiptPrint &receiptPrint() { return *m_print; }
    TForm_platba *paymentDialog() const { return m_paymentDialog; }

    // Operations for the print and the payment dialog.
    SaleDocument &document() { return m_document; }
    double recomputeTotal();                 // returns the total in the account currency
    bool storeCurrentItem();                 // true when the item was stored
    bool applyDocumentDiscount(int percent); // whole-document percent discount
    void setLastDocumentUid(const QString &uid);
    // After a cash voucher: when the screen is shown, status panels 0 and 1 get the date
    // and label of the printer's last document and EditUID its UID.
    void showLastDocument();
    // Unchecks the paragon box and clears its number.
    void clearParagon();
    // Where the cash-operations dialog of `size` stands centred over this window.
    QPoint cashDialogPosition(QSize size) const;
    // Writes the window position and the column settings into pokladna.ini; nothing before
    // the screen was first shown, when it holds no settings of the user's yet.
    void saveSettings();

    // The paragon a receipt records, digits only.
    bool paragonChecked() const;
    QString paragonNumber() const;
    QString paragonDate() const; // YYYYMMDD
    QString paragonTime() const; // HHMMSS
    QString uidText() const;
    static QString currencyText() { return QStringLiteral("EUR"); }

    int searchColumn() const;
    bool userActionFlag() const { return m_userAction; }
    const UnitAndGroupNames &unitAndGroupNames() const { return m_names; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Building (TForm_predaj_medicLayout.cpp).
    void buildUi();
    QWidget *buildLeftPanel();
    QWidget *buildRightPanel();
    void buildStatusBar();
    void connectSignals();
    void installFilters();

    // Showing and closing.
    void FormShow();
    void readSettings();
    void placeWindow();
    void askPrinter();
    void fillLists();
    void fillStatusPanels();
    void loadHeader();
    void prepareTables();

    // Search and document.
    void Edit_predajEnter();
    void beforeSearchFieldKey();
    void showTotal();

    // Buttons and boxes.
    void BitBtn_novyClick();
    void BitBtn_vymazClick();
    void BitBtn_tlacClick();
    void BitBtn_cennikClick();
    void BitBtn_zostavyClick();
    void takeKeysBack();
    void BitBtn_vkladClick(CashOperation operation);
    void BitBtn_koniecClick();
    void BitBtn3Click();
    void Image_helpClick();
    void Edit_paragonExit();
    void guarded(const std::function<void()> &action);
    void notAvailable(const QString &what);

    // Printing (TForm_predaj_medicPrint.cpp).
    void createPrint();
    void resolvePendingPrint();
    std::optional<DocumentDiscountResult> discountFromPaymentDialog(int percent);
    void returnFromPaymentDialog();
    void showLastDocumentPanels();
    void focusParagonNumber() override;
    void focusSearchField() override;
    void setDiscountPercentText(const QString &text) override;
    void setMainTimerActive(bool active) override;
    void setGridFrozen(bool frozen) override;
    void showDocumentBox(bool inFront) override;
    void addDocumentLine(const QString &line) override;
    void showChange(const QString &caption, const QString &amount) override;
    void showPrinted(const QString &label, const QString &time, const QString &uid) override;
    void finishPrint(const QString &lastUid) override;
    void reloadDocument() override;

    // Keys (TForm_predaj_medicKeys.cpp).
    void updateGuard(QEvent *event);
    bool windowKey(int key);
    void updateDocumentPanels();
    void updateSelectionColours();

    const SaleScreenServices m_services;
    SaleDocument m_document;
    SaleItemEntry m_entry;
    QLocale m_locale;
    UnitAndGroupNames m_names;
    QString m_serialNumber;
    int m_printerModel = 0;

    bool m_userAction = false;
    int m_closingMode = 1;
    bool m_shownOnce = false; // saving before the first showing would store defaults
    bool m_checkingParagon = false;
    bool m_searchEntryPending = false; // the search field is entered when the shown window activates

    std::function<void()> m_priceListAction;
    std::function<void()> m_overviewAction;
    std::function<void(CashOperation)> m_cashAction;
    std::function<void()> m_endProgram;
    std::function<void()> m_minimize;
    std::function<bool(const QString &)> m_startProgram;
    MainWindowHooks m_mainWindow;
    std::unique_ptr<ReceiptPrint> m_print;
    TForm_platba *m_paymentDialog = nullptr;

    SaleSearchPanel *m_search = nullptr;
    SaleItemPanel *m_item = nullptr;
    SaleDocumentPanel *m_documentPanel = nullptr;

    QTextEdit *RE_hlavicka = nullptr;
    QLabel *Label_dkp = nullptr;
    QLabel *Image_help = nullptr;
    QCheckBox *CheckBox_paragon = nullptr;
    QLineEdit *Edit_paragon = nullptr;
    QLineEdit *MaskEdit_paragon_date = nullptr;
    QLineEdit *MaskEdit_paragon_time = nullptr;
    QLineEdit *EditUID = nullptr;
    QPushButton *BitBtn_novy = nullptr;
    QPushButton *BitBtn_vymaz = nullptr;
    QPushButton *BitBtn_tlac = nullptr;
    QPushButton *BitBtn3 = nullptr;
    QPushButton *BitBtn_cennik = nullptr;
    QPushButton *BitBtn_zostavy = nullptr;
    QPushButton *BitBtn_vklad = nullptr;
    QPushButton *BitBtn_vyber = nullptr;
    QPushButton *BitBtn_koniec = nullptr;
    PanelStatusBar *SB_predaj = nullptr;
    WindowPlacement *m_placement = nullptr;
};

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

struct AppContext;
struct PrinterState;
class DataModule;
class GridColumnFitter;
class PanelStatusBar;
class PrintManagerLink;
class PrinterDetection;
class PrinterRequests;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedLayout;
class QTableView;
class QTextEdit;
class ReceiptPrint;
class SaleDocumentModel;
class StockListModel;
class TForm_platba;

// What the sale screen works with, all owned by the program for its whole run.
struct SaleScreenServices
{
    AppContext &context;         // configuration, message table, dialogs, program folder
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

    int searchColumn() const { return m_searchColumn; }
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
    QWidget *buildItemBox();
    void buildStatusBar();
    void connectSignals();
    void installFilters();
    QPushButton *addButton(const QString &name, const QString &text);

    // Showing and closing.
    void FormShow();
    void readSettings();
    void placeWindow();
    void askPrinter();
    void fillLists();
    void fillStatusPanels();
    void loadHeader();
    void prepareTables();

    // Search and item fields.
    void Edit_predajEnter();
    void runSearch();
    void chooseColumn(int column);
    void stepColumn(int step);
    void moveItemList(int step);
    void Query_predajAfterScroll(int row);
    void enterFromList();
    void updateLiveDiscount();
    void showTotal();
    void setItemFieldsEditable(bool editable);
    void clearItemFields();
    void refreshDocumentGrid(std::optional<int> currentKey = std::nullopt);

    // Buttons and boxes.
    void BitBtn_novyClick();
    void BitBtn_vymazClick();
    void BitBtn_tlacClick();
    void BitBtn_cennikClick();
    void BitBtn_zostavyClick();
    void BitBtn_vkladClick(CashOperation operation);
    void BitBtn_koniecClick();
    void BitBtn3Click();
    void Image_helpClick();
    void Edit_paragonExit();
    void guarded(const std::function<void()> &action);
    void notAvailable(const QString &what);
    void showDocumentBoxText(bool front);

    // Printing (TForm_predaj_medicPrint.cpp).
    void createPrint();
    void resolvePendingPrint();
    std::optional<DocumentDiscountResult> discountFromPaymentDialog(int percent);
    void returnFromPaymentDialog();
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
    bool routeKey(QWidget *widget, QKeyEvent *event);
    bool searchFieldKey(QKeyEvent *event);
    bool itemListKey(QKeyEvent *event);
    bool nameFieldKey(QWidget *field, int key);
    bool listKey(QComboBox *list, int key);
    bool priceKey(QKeyEvent *event);
    bool quantityKey(QKeyEvent *event);
    bool percentKey(QKeyEvent *event);
    bool numberCharacter(QLineEdit *field, QKeyEvent *event, bool allowMinus);
    void focusNext(QWidget *from, int step);
    void beforeSearchFieldKey();
    void updateDocumentPanels();
    void updateSelectionColours();

    const SaleScreenServices m_s;
    SaleDocument m_document;
    SaleItemEntry m_entry;
    QLocale m_locale;
    UnitAndGroupNames m_names;
    QString m_serialNumber;
    int m_printerModel = 0;

    int m_searchColumn = 0;
    int m_stockGroup = 0;
    bool m_userAction = false;
    bool m_helpShown = false;
    bool m_printedShown = false;
    int m_closingMode = 1;
    bool m_shownOnce = false;
    bool m_inSearchKey = false;
    bool m_settingSearchText = false;
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

    StockListModel *m_stockModel = nullptr;
    SaleDocumentModel *m_documentModel = nullptr;
    GridColumnFitter *m_documentColumns = nullptr;
    GridColumnFitter *m_stockColumns = nullptr;

    QTextEdit *RE_hlavicka = nullptr;
    QGroupBox *GroupBox_cena = nullptr;
    QLabel *L_celkom = nullptr;
    QLabel *Label_dkp = nullptr;
    QLabel *Image_help = nullptr;
    QGroupBox *GroupBox_doklad = nullptr;
    QStackedLayout *m_documentStack = nullptr;
    QTableView *SMDBGrid_doklad = nullptr;
    QTextEdit *RE_doklad = nullptr;
    QCheckBox *CheckBox_paragon = nullptr;
    QLineEdit *Edit_paragon = nullptr;
    QLineEdit *MaskEdit_paragon_date = nullptr;
    QLineEdit *MaskEdit_paragon_time = nullptr;
    QLineEdit *EditUID = nullptr;
    QPushButton *BitBtn_novy = nullptr;
    QPushButton *BitBtn_vymaz = nullptr;
    QPushButton *BitBtn_tlac = nullptr;
    QPushButton *BitBtn3 = nullptr;
    QLabel *Label_vloz = nullptr;
    QLineEdit *Edit_nazov = nullptr;
    QLineEdit *Edit_nazov1 = nullptr;
    QLineEdit *Edit_nazov2 = nullptr;
    QLineEdit *Edit_kod = nullptr;
    QComboBox *CB_dph = nullptr;
    QLineEdit *Edit_jc = nullptr;
    QLineEdit *Edit_pocet = nullptr;
    QComboBox *CB_mj = nullptr;
    QLineEdit *Edit_zlava = nullptr;
    QLineEdit *Edit_zlava_eur = nullptr;
    QLineEdit *Edit_predaj = nullptr;
    QTableView *SMDBGrid_sklad = nullptr;
    QPushButton *BitBtn_cennik = nullptr;
    QPushButton *BitBtn_zostavy = nullptr;
    QPushButton *BitBtn_vklad = nullptr;
    QPushButton *BitBtn_vyber = nullptr;
    QPushButton *BitBtn_koniec = nullptr;
    PanelStatusBar *SB_predaj = nullptr;
    QList<QWidget *> m_focusOrder;
};

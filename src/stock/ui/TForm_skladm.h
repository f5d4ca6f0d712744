#pragma once

#include "stock/StockCards.h"
#include "stock/StockRow.h"

#include <QDialog>
#include <QRect>
#include <QString>

#include <functional>
#include <optional>

struct Configuration;
class DataFile;
class MessageTable;
class PanelStatusBar;
class QPushButton;
class StockCardPanel;
class StockGridPanel;
class StockSearch;
class StockTable;
class UserDialogs;
class WindowPlacement;

// What the stock-card screen works with; the application owns all of it.
struct StockCardsScreenContext
{
    QString programFolder;       // pokladna.ini lies below it
    const Configuration &config; // the data folder in effect: its vx60_sklad.ini names units and groups
    const MessageTable &messages;
    UserDialogs &dialogs;
    DataFile &stockFile;
    StockTable &stockTable;
    StockSearch &search;
    // Makes the stock table usable (creating a missing one); false after telling why.
    std::function<bool()> openStockTable;
};

// The stock-card screen "Cenník": the price list's cards in a grid on the left,
// the current card on the right, where cards are created, copied, edited, saved,
// cancelled and deleted.
class TForm_skladm : public QDialog
{
    Q_OBJECT

public:
    enum class State { Browse, Edit, Insert };

    explicit TForm_skladm(StockCardsScreenContext context, QWidget *parent = nullptr);
    ~TForm_skladm() override;

    // Shows the screen modally over the sale screen (`saleScreen`: its place), or
    // brings it forward when it is already open.
    void open(const QRect &saleScreen);
    // Searches again with the current text, mode and group filter.
    bool runSearch();
    // Loads the unit and group lists from vx60_sklad.ini.
    void refillLists();

    void setServiceAction(std::function<void()> action) { m_serviceAction = std::move(action); }
    // Replaces the price list's print preview (tests count prints with it).
    void setPrintAction(std::function<void()> action) { m_printAction = std::move(action); }

    State state() const { return m_state; }
    StockGridPanel &grid() const { return *m_grid; }
    StockCardPanel &card() const { return *m_card; }

    // The actions of the buttons, also reached by their keys.
    void BitBtn_novyClick();
    void BitBtn_kopiaClick();
    void BitBtn_opravClick();
    void BitBtn_ulozClick();
    void BitBtn_zrusClick();
    void BitBtn_vymazClick();
    void BitBtn_tlacClick();
    void BitBtn_servisClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void done(int result) override;

private:
    void buildLayout();
    QWidget *buildButtons();
    void connectButtons();
    void installFilters();
    void placeOver(const QRect &saleScreen);
    void restoreColumns();
    void saveColumns();

    bool windowKey(QKeyEvent *event);
    void updateGate(QEvent *event);
    void guarded(const std::function<void()> &action);

    void setState(State state);
    void showCurrentCard();
    void startEdit();
    void codeFieldEntered();
    void codeFieldLeft();
    void nameFieldLeft(QFocusEvent *event);
    void codeTextChanged(const QString &text);
    bool saveEdited(const StockRow &edited);
    bool saveInserted(const StockRow &edited);
    bool finishSave(const StockCards::Result &result);
    void afterSave(qint64 rowId);
    void refuseSave(const QString &detail);
    void backToBrowse();

    StockCardsScreenContext m_context;
    StockCards m_cards;
    StockGridPanel *m_grid = nullptr;
    StockCardPanel *m_card = nullptr;
    PanelStatusBar *StatusBar1 = nullptr;
    WindowPlacement *m_placement = nullptr;
    QPushButton *BitBtn_oprav = nullptr;
    QPushButton *BitBtn_kopia = nullptr;
    QPushButton *BitBtn_vymaz = nullptr;
    QPushButton *BitBtn_tlac = nullptr;
    QPushButton *BitBtn_servis = nullptr;
    QPushButton *BitBtn_pokladna = nullptr;
    QPushButton *BitBtn_novy = nullptr;
    QPushButton *BitBtn_zrus = nullptr;
    QPushButton *BitBtn_uloz = nullptr;

    State m_state = State::Browse;
    bool m_gateOpen = false;
    bool m_codeTyping = false;
    bool m_checkingName = false;
    QString m_rememberedCode;
    qint64 m_editRowId = 0;
    std::optional<StockRow> m_shownCard; // the edited card as it was read when the edit began
    std::function<void()> m_serviceAction;
    std::function<void()> m_printAction;
};

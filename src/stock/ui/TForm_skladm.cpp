#include "stock/ui/TForm_skladm.h"

#include "base/Configuration.h"
#include "base/IniFile.h"
#include "base/UserDialogs.h"
#include "lang/MessageIds.h"
#include "lang/MessageTable.h"
#include "stock/PointOfSaleKeys.h"
#include "stock/ScreenLayoutSettings.h"
#include "stock/StockSearch.h"
#include "stock/UnitAndGroupNames.h"
#include "stock/ui/PriceListReport.h"
#include "stock/ui/StockCardPanel.h"
#include "stock/ui/StockGridPanel.h"
#include "stock/ui/StockListModel.h"
#include "stock/ui/TForm_tlac_cennik.h"
#include "widgets/GridColumnFitter.h"
#include "widgets/PanelStatusBar.h"
#include "widgets/TypeOverFocus.h"
#include "widgets/WindowPlacement.h"

#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

using namespace Qt::StringLiterals;

namespace {

constexpr int kColumnCount = 5;
const QList<int> kDefaultWidths = {203, 97, 96, 71, 98};
const QString kInsertCancelledCode = u"DELVX60"_s;

QString stateName(TForm_skladm::State state)
{
    switch (state) {
    case TForm_skladm::State::Edit:
        return u"Edit"_s;
    case TForm_skladm::State::Insert:
        return u"Insert"_s;
    case TForm_skladm::State::Browse:
        break;
    }
    return u"Browse"_s;
}

} // namespace

TForm_skladm::TForm_skladm(StockCardsScreenContext context, QWidget *parent)
    : QDialog(parent), m_context(std::move(context)), m_cards(m_context.stockFile)
{
    setObjectName(u"TForm_skladm"_s);
    setWindowTitle(u"Cenník"_s);
    setModal(true);
    m_grid = new StockGridPanel(m_context.stockTable, m_context.search, m_context.messages, m_context.dialogs,
                                this);
    m_card = new StockCardPanel(this);
    TypeOverFocus::install();
    buildLayout();
    connectButtons();
    installFilters();
    connect(m_grid, &StockGridPanel::currentCardChanged, this, &TForm_skladm::showCurrentCard);
    connect(m_grid, &StockGridPanel::editRequested, this, [this] {
        m_card->codeField()->setEnabled(true);
        m_card->codeField()->setFocus(Qt::MouseFocusReason);
    });
    connect(m_card, &StockCardPanel::finished, this, [this] { BitBtn_uloz->setFocus(Qt::TabFocusReason); });
    connect(m_card->codeField(), &QLineEdit::textEdited, this, &TForm_skladm::codeTextChanged);
    setState(State::Browse);
}

TForm_skladm::~TForm_skladm() = default;

// ---- Showing and closing ---------------------------------------------------

void TForm_skladm::open(const QRect &saleScreen)
{
    if (isVisible()) {
        showNormal();
        raise();
        activateWindow();
        return;
    }
    placeOver(saleScreen);
    refillLists();
    if (m_context.openStockTable && !m_context.openStockTable())
        return;
    setState(State::Browse);
    runSearch();
    restoreColumns();
    m_grid->searchField()->setFocus(Qt::OtherFocusReason);
    exec();
}

void TForm_skladm::placeOver(const QRect &saleScreen)
{
    IniFile ini(PointOfSaleKeys::filePath(m_context.programFolder));
    ini.load();
    const auto placement = ScreenLayoutSettings::readPlacement(ini, ScreenLayoutSettings::Window::StockCards);
    if (placement.height > 0 && saleScreen.isValid()) {
        if (!m_placement)
            m_placement = new WindowPlacement(this);
        m_placement->placeClient(saleScreen);
    }
}

// The names of the data folder in effect: a save of the maintenance screen may have changed it.
void TForm_skladm::refillLists()
{
    const UnitAndGroupNames names = UnitAndGroupNames::load(m_context.config.dataFolder);
    m_grid->setGroups(m_context.messages.text(Msg::AllGroups), names.groupList());
    m_card->setGroups(names.groupList());
    m_card->setUnits(names.unitList());
}

void TForm_skladm::restoreColumns()
{
    IniFile ini(PointOfSaleKeys::filePath(m_context.programFolder));
    ini.load();
    const auto grid = ScreenLayoutSettings::Grid::StockCards;
    m_grid->columns().setWidths(
        ScreenLayoutSettings::hasColumnWidths(ini, grid, kColumnCount)
            ? GridColumnFitter::clamped(ScreenLayoutSettings::readColumnWidths(ini, grid, kColumnCount))
            : kDefaultWidths);
    m_grid->columns().fillGrid();
}

void TForm_skladm::saveColumns()
{
    IniFile ini(PointOfSaleKeys::filePath(m_context.programFolder));
    ini.load();
    ScreenLayoutSettings::writeColumnWidths(ini, ScreenLayoutSettings::Grid::StockCards,
                                            m_grid->columns().widths());
    ini.save();
}

void TForm_skladm::done(int result)
{
    // Closing abandons a card being edited or created.
    backToBrowse();
    saveColumns();
    QDialog::done(result);
}

bool TForm_skladm::runSearch()
{
    return m_grid->search();
}

// ---- States ----------------------------------------------------------------

void TForm_skladm::setState(State state)
{
    m_state = state;
    const bool editing = state != State::Browse;
    StatusBar1->setPanelText(0, stateName(state));
    m_card->setEditable(editing);
    BitBtn_uloz->setEnabled(editing);
    for (QWidget *browse :
         {static_cast<QWidget *>(BitBtn_novy), static_cast<QWidget *>(BitBtn_kopia),
          static_cast<QWidget *>(BitBtn_oprav), static_cast<QWidget *>(BitBtn_vymaz),
          static_cast<QWidget *>(m_grid->searchField()), static_cast<QWidget *>(m_grid->groupFilter()),
          static_cast<QWidget *>(m_grid->grid())})
        browse->setEnabled(!editing);
    BitBtn_zrus->setEnabled(state == State::Insert);
}

void TForm_skladm::backToBrowse()
{
    m_codeTyping = false;
    m_editRowId = 0;
    m_shownCard.reset();
    setState(State::Browse);
}

void TForm_skladm::showCurrentCard()
{
    if (m_codeTyping || m_state != State::Browse)
        return;
    if (const std::optional<StockRow> card = m_grid->currentCard())
        m_card->fill(*card);
}

// ---- Editing ---------------------------------------------------------------

void TForm_skladm::startEdit()
{
    if (m_state != State::Browse)
        return;
    const qint64 rowId = m_grid->currentRowId();
    // Read afresh: what the save compares with is the card as the edit found it.
    const std::optional<StockRow> card = rowId ? m_cards.card(rowId) : std::nullopt;
    if (!card) {
        m_context.dialogs.warn(m_context.messages.text(Msg::CardNotEditable),
                               m_context.messages.text(Msg::StockCardsCaption));
        return;
    }
    m_editRowId = rowId;
    m_shownCard = card;
    m_card->fill(*card);
    setState(State::Edit);
}

void TForm_skladm::codeFieldEntered()
{
    if (m_state == State::Browse)
        startEdit();
    if (m_state != State::Browse) {
        m_codeTyping = true;
        return;
    }
    // No card to edit (a double click enabled the field): the card stays read-only.
    setState(State::Browse);
    m_grid->grid()->setFocus(Qt::OtherFocusReason);
}

void TForm_skladm::codeFieldLeft()
{
    m_rememberedCode = m_card->codeField()->text();
    m_codeTyping = false;
}

void TForm_skladm::codeTextChanged(const QString &text)
{
    if (m_codeTyping)
        m_grid->setCodePrefix(text);
}

void TForm_skladm::BitBtn_opravClick()
{
    startEdit();
    if (m_state == State::Edit)
        m_card->codeField()->setFocus(Qt::OtherFocusReason);
}

void TForm_skladm::BitBtn_novyClick()
{
    if (m_state != State::Browse)
        return;
    m_editRowId = 0;
    m_shownCard.reset();
    m_card->clearForNew(m_grid->selectedGroup());
    setState(State::Insert);
    m_card->codeField()->setFocus(Qt::OtherFocusReason);
}

void TForm_skladm::BitBtn_kopiaClick()
{
    if (m_state != State::Browse || m_grid->rowCount() == 0 || !m_grid->currentCard())
        return;
    // The panel keeps the copied card's values; the code must change before the save.
    m_card->fill(*m_grid->currentCard());
    m_editRowId = 0;
    m_shownCard.reset();
    setState(State::Insert);
    m_card->codeField()->setFocus(Qt::OtherFocusReason);
}

void TForm_skladm::BitBtn_zrusClick()
{
    if (m_state != State::Insert)
        return;
    m_card->codeField()->setText(kInsertCancelledCode);
    backToBrowse();
    m_grid->setCodePrefix(QString());
    m_grid->searchField()->setFocus(Qt::OtherFocusReason);
}

// ---- Saving ----------------------------------------------------------------

void TForm_skladm::refuseSave(const QString &detail)
{
    QString text = m_context.messages.text(Msg::CardNotSaved);
    if (!detail.isEmpty())
        text += u"\r\n"_s + detail;
    m_context.dialogs.warn(text, m_context.messages.text(Msg::CardSaveCaption));
    m_card->codeField()->setFocus(Qt::OtherFocusReason);
}

void TForm_skladm::BitBtn_ulozClick()
{
    if (m_state == State::Browse)
        return;
    if (m_card->nameField()->text().isEmpty()) {
        m_card->nameField()->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (m_card->codeField()->text().isEmpty()) {
        m_context.dialogs.warn(m_context.messages.text(Msg::CardCodeEmpty),
                               m_context.messages.text(Msg::CardSaveCaption));
        m_card->codeField()->setFocus(Qt::OtherFocusReason);
        return;
    }
    StockRow edited = m_shownCard.value_or(StockRow{});
    if (QLineEdit *badNumber = m_card->readInto(edited)) {
        m_context.dialogs.warn(u"„%1“ nie je platné číslo."_s.arg(badNumber->text()),
                               m_context.messages.text(Msg::CardSaveCaption));
        badNumber->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (m_state == State::Insert)
        saveInserted(edited);
    else
        saveEdited(edited);
}

bool TForm_skladm::saveInserted(const StockRow &edited)
{
    return finishSave(m_cards.insert(edited));
}

bool TForm_skladm::saveEdited(const StockRow &edited)
{
    StockCards::Result result = m_cards.update(m_editRowId, *m_shownCard, edited, false);
    if (result.outcome == StockCards::Outcome::ChangedElsewhere) {
        if (!m_context.dialogs.askYesNo(u"Túto kartu medzitým zmenila iná pokladňa.\r\n"
                                        "Prepísať jej zmeny tým, čo je na karte teraz?"_s,
                                        m_context.messages.text(Msg::CardSaveCaption),
                                        UserDialogs::Answer::No))
            return false; // the card stays as typed, still being edited
        result = m_cards.update(m_editRowId, *m_shownCard, edited, true);
    }
    if (result.outcome == StockCards::Outcome::Vanished) {
        if (!m_context.dialogs.askYesNo(u"Túto kartu medzitým vymazala iná pokladňa.\r\n"
                                        "Uložiť ju ako novú kartu?"_s,
                                        m_context.messages.text(Msg::CardSaveCaption),
                                        UserDialogs::Answer::Yes))
            return false;
        return saveInserted(edited);
    }
    return finishSave(result);
}

bool TForm_skladm::finishSave(const StockCards::Result &result)
{
    switch (result.outcome) {
    case StockCards::Outcome::Saved:
        afterSave(result.rowId);
        return true;
    case StockCards::Outcome::DuplicateCode:
        refuseSave({});
        return false;
    default:
        refuseSave(result.error);
        return false;
    }
}

void TForm_skladm::afterSave(qint64 rowId)
{
    backToBrowse();
    BitBtn_novy->setFocus(Qt::OtherFocusReason);
    m_grid->grid()->setUpdatesEnabled(false);
    m_grid->clearSearchText();
    m_grid->setCodePrefix(QString());
    m_grid->selectRowId(rowId);
    m_grid->grid()->setUpdatesEnabled(true);
    showCurrentCard();
    m_grid->searchField()->setFocus(Qt::OtherFocusReason);
}

// ---- Deleting, printing, maintenance --------------------------------------

void TForm_skladm::BitBtn_vymazClick()
{
    if (m_state != State::Browse)
        return;
    const int row = m_grid->currentRow();
    const std::optional<StockRow> card = m_grid->currentCard();
    if (m_grid->rowCount() == 0 || !card)
        return;
    const bool confirmed =
        m_context.dialogs.askYesNo(m_context.messages.text(Msg::DeleteCardQuestion) + card->nazov + u"?"_s,
                                   m_context.messages.text(Msg::DeleteCardCaption), UserDialogs::Answer::No,
                                   UserDialogs::Icon::Question);
    if (confirmed && !m_cards.remove(m_grid->currentRowId()))
        m_context.dialogs.warn(m_cards.lastError(), m_context.messages.text(Msg::StockCardsCaption));
    m_grid->search();
    m_grid->setCurrentRow(std::min(row, m_grid->rowCount() - 1));
}

void TForm_skladm::BitBtn_tlacClick()
{
    if (m_printAction) {
        m_printAction();
    } else {
        // The list as the grid shows it: its rows, its order, the chosen group under the title.
        StockListModel &model = m_grid->model();
        PriceListReport report(
            model.rowCount(), [&model](int row) { return model.card(row); }, m_grid->selectedGroupName(),
            QDate::currentDate());
        TForm_tlac_cennik preview(std::move(report), m_context.dialogs, this);
        preview.exec();
    }
    m_grid->setCurrentRow(0);
}

void TForm_skladm::BitBtn_servisClick()
{
    if (m_serviceAction) {
        m_serviceAction();
        return;
    }
    m_context.dialogs.inform(u"Servis: táto časť programu zatiaľ nie je k dispozícii."_s, u"Servis"_s);
}

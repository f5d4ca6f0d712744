#include "pos/ui/SaleSearchPanel.h"

#include "base/UserDialogs.h"
#include "lang/MessageTable.h"
#include "pos/DataModule.h"
#include "stock/StockSearch.h"
#include "stock/ui/StockListModel.h"
#include "widgets/GridColumnFitter.h"
#include "widgets/ScreenWidgets.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>

#include <array>

using namespace Qt::StringLiterals;

namespace {

bool isEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

bool isModifierOnly(int key)
{
    return key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Shift || key == Qt::Key_Meta ||
           key == Qt::Key_AltGr;
}

} // namespace

SaleSearchPanel::SaleSearchPanel(DataModule &data, const MessageTable &messages, UserDialogs &dialogs,
                                 QObject *parent)
    : QObject(parent), m_data(data), m_messages(messages), m_dialogs(dialogs)
{
    Label_vloz = new QLabel;
    Label_vloz->setObjectName(u"Label_vloz"_s);
    Edit_predaj = ScreenWidgets::lineEdit(nullptr, u"Edit_predaj"_s);
    Edit_predaj->setToolTip(u"FILTER šípky Vpravo Vľavo, POHYB šípky Hore Dolu"_s);
    SMDBGrid_sklad = ScreenWidgets::grid(u"SMDBGrid_sklad"_s);
    m_model = new StockListModel(data.stockTable(), this);
    SMDBGrid_sklad->setModel(m_model);
    SMDBGrid_sklad->setEnabled(false);
    SMDBGrid_sklad->horizontalHeader()->setSectionsClickable(true);
    m_columns = new GridColumnFitter(SMDBGrid_sklad);
    ScreenWidgets::nameForReaders(SMDBGrid_sklad, u"Cenník"_s);

    connect(Edit_predaj, &QLineEdit::textChanged, this, [this] {
        if (!m_inSearchKey && !m_settingText)
            search();
    });
    connect(SMDBGrid_sklad->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid())
                    showRow(current.row());
            });
    connect(SMDBGrid_sklad, &QTableView::doubleClicked, this, &SaleSearchPanel::itemChosen);
    connect(SMDBGrid_sklad->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &SaleSearchPanel::chooseColumn);
}

void SaleSearchPanel::setFields(const QStringList &fields)
{
    m_model->setFields(fields);
}

QStringList SaleSearchPanel::fields() const
{
    return m_model->fields();
}

void SaleSearchPanel::search()
{
    const std::optional<QList<qint64>> ids = m_data.stockSearch().search(
        static_cast<StockSearch::Column>(m_searchColumn), StockSearch::fold(Edit_predaj->text()));
    if (!ids) {
        m_model->setRowIds({});
        m_dialogs.warn(m_messages.text(Msg::QueryFailed), m_messages.text(Msg::SaleErrorCaption));
        return;
    }
    m_model->setRowIds(*ids);
    if (ids->isEmpty())
        emit nothingFound(); // a code that is no card must not leave the previous item to store
    else
        SMDBGrid_sklad->setCurrentIndex(m_model->index(0, 0));
}

void SaleSearchPanel::chooseColumn(int column)
{
    if (column < 0 || column > 2 || column >= m_model->columnCount())
        return;
    m_model->setChosenColumn(column);
    const QString field = m_model->fields().at(column);
    if (field == u"NAZOV")
        m_searchColumn = 0;
    else if (field == u"KOD")
        m_searchColumn = 1;
    else if (field == u"JC")
        m_searchColumn = 2;
    static constexpr std::array kLabels = {Msg::SearchByName, Msg::SearchByCode, Msg::SortByPrice};
    Label_vloz->setText(m_messages.text(kLabels.at(size_t(m_searchColumn))));
    // The search field is read by the column it searches.
    ScreenWidgets::nameForReaders(Edit_predaj, Label_vloz->text());
    if (SMDBGrid_sklad->isVisible())
        search();
}

void SaleSearchPanel::clearText()
{
    m_settingText = true;
    Edit_predaj->clear();
    m_settingText = false;
}

std::optional<StockRow> SaleSearchPanel::currentCard() const
{
    return m_model->card(SMDBGrid_sklad->currentIndex().row());
}

void SaleSearchPanel::enter()
{
    clearText();
    emit entered();
    search();
}

void SaleSearchPanel::stepColumn(int step)
{
    chooseColumn(std::clamp(m_model->chosenColumn() + step, 0, 2));
}

void SaleSearchPanel::moveItemList(int step)
{
    const int rows = m_model->rowCount();
    if (rows == 0)
        return;
    const int current = SMDBGrid_sklad->currentIndex().isValid() ? SMDBGrid_sklad->currentIndex().row() : 0;
    SMDBGrid_sklad->setCurrentIndex(m_model->index(std::clamp(current + step, 0, rows - 1), 0));
}

void SaleSearchPanel::showRow(int row)
{
    if (const std::optional<StockRow> card = m_model->card(row))
        emit cardShown(*card);
}

bool SaleSearchPanel::handleKey(QObject *target, QKeyEvent *event)
{
    if (target == Edit_predaj)
        return searchFieldKey(event);
    if (target == SMDBGrid_sklad)
        return itemListKey(event);
    return false;
}

// Enter and Left/Right act alike in the search field and the item list.
bool SaleSearchPanel::chooseKey(int key)
{
    if (isEnter(key)) {
        emit itemChosen();
        return true;
    }
    if (key == Qt::Key_Left || key == Qt::Key_Right) {
        stepColumn(key == Qt::Key_Left ? -1 : 1);
        return true;
    }
    return false;
}

bool SaleSearchPanel::searchFieldKey(QKeyEvent *event)
{
    emit keyArriving();
    const int key = event->key();
    if (chooseKey(key))
        return true;
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
        moveItemList(key == Qt::Key_Up ? -1 : 1);
        return true;
    }
    if (key == Qt::Key_Control || key == Qt::Key_Alt)
        return true;
    // The field takes the key first, so the search sees the new text once.
    m_inSearchKey = true;
    static_cast<QObject *>(Edit_predaj)->event(event);
    m_inSearchKey = false;
    emit textTyped();
    search();
    return true;
}

bool SaleSearchPanel::itemListKey(QKeyEvent *event)
{
    const int key = event->key();
    if (chooseKey(key))
        return true;
    if (key == Qt::Key_Up || key == Qt::Key_Down || isModifierOnly(key) ||
        event->modifiers().testFlag(Qt::AltModifier))
        return false;
    Edit_predaj->setFocus();
    return true;
}

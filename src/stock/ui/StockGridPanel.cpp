#include "stock/ui/StockGridPanel.h"

#include "base/UserDialogs.h"
#include "lang/MessageIds.h"
#include "lang/MessageTable.h"
#include "stock/CardListQuery.h"
#include "stock/ui/StockListModel.h"
#include "widgets/GridColumnFitter.h"
#include "widgets/ScreenWidgets.h"

#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

using namespace Qt::StringLiterals;

namespace {

bool isEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

StockGridPanel::StockGridPanel(StockTable &table, StockSearch &stockSearch, const MessageTable &messages,
                               UserDialogs &dialogs, QObject *parent)
    : QObject(parent), m_search(stockSearch), m_messages(messages), m_dialogs(dialogs)
{
    Label_filter = new QLabel;
    Label_filter->setObjectName(u"Label_filter"_s);
    Edit_hladaj = ScreenWidgets::lineEdit(nullptr, u"Edit_hladaj"_s);
    Label_filter->setBuddy(Edit_hladaj);
    CB_clenenie_sklad = new QComboBox;
    CB_clenenie_sklad->setObjectName(u"CB_clenenie_sklad"_s);
    CB_clenenie_sklad->setAccessibleName(u"Skupina"_s);
    SMDBGrid_sklad = ScreenWidgets::grid(u"SMDBGrid_sklad"_s);
    SMDBGrid_sklad->setAccessibleName(u"Skladové karty"_s);
    m_model = new StockListModel(table, this);
    m_model->setFields({u"NAZOV"_s, u"KOD"_s, u"POCET"_s, u"MJ"_s, u"JC"_s});
    SMDBGrid_sklad->setModel(m_model);
    SMDBGrid_sklad->horizontalHeader()->setSectionsClickable(true);
    m_columns = new GridColumnFitter(SMDBGrid_sklad);
    m_columns->alwaysFillWithColumn(0);
    BitBtn_hladaj = ScreenWidgets::button(u"BitBtn_hladaj"_s, u"Hladaj"_s);
    BitBtn_skupina = ScreenWidgets::button(u"BitBtn_skupina"_s, u"Skupina"_s);

    connect(Edit_hladaj, &QLineEdit::textChanged, this, [this] {
        if (!m_settingText)
            search();
    });
    connect(CB_clenenie_sklad, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_settingGroups)
            search();
    });
    connect(SMDBGrid_sklad->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &StockGridPanel::currentCardChanged);
    connect(SMDBGrid_sklad, &QTableView::doubleClicked, this, &StockGridPanel::editRequested);
    connect(SMDBGrid_sklad->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &StockGridPanel::titleClicked);
    connect(BitBtn_hladaj, &QPushButton::clicked, Edit_hladaj, [this] { Edit_hladaj->setFocus(); });
    connect(BitBtn_skupina, &QPushButton::clicked, CB_clenenie_sklad,
            [this] { CB_clenenie_sklad->setFocus(); });
    setMode(StockSearch::Column::Name);
}

void StockGridPanel::setGroups(const QString &allGroups, const QStringList &groups)
{
    m_settingGroups = true;
    CB_clenenie_sklad->clear();
    CB_clenenie_sklad->addItem(allGroups);
    CB_clenenie_sklad->addItems(groups);
    CB_clenenie_sklad->setCurrentIndex(0);
    m_settingGroups = false;
}

int StockGridPanel::selectedGroup() const
{
    return CB_clenenie_sklad->currentIndex() - 1;
}

QString StockGridPanel::selectedGroupName() const
{
    return selectedGroup() >= 0 ? CB_clenenie_sklad->currentText() : QString();
}

bool StockGridPanel::search()
{
    CardListQuery query;
    query.column = m_mode;
    query.text = Edit_hladaj->text();
    query.group = selectedGroup();
    query.codePrefix = m_codePrefix;
    const std::optional<QList<qint64>> ids = m_search.cardList(query);
    if (!ids) {
        m_model->setRowIds({});
        m_dialogs.warn(m_messages.text(Msg::StockSearchFailed), m_messages.text(Msg::StockCardsCaption));
        return false;
    }
    m_model->setRowIds(*ids);
    if (!ids->isEmpty())
        SMDBGrid_sklad->setCurrentIndex(m_model->index(0, 0));
    emit currentCardChanged();
    return true;
}

void StockGridPanel::setCodePrefix(const QString &prefix)
{
    m_codePrefix = prefix;
    search();
}

void StockGridPanel::setMode(StockSearch::Column mode)
{
    m_mode = mode;
    m_model->setChosenColumn(mode == StockSearch::Column::Name ? 0 : 1);
    Label_filter->setText(
        m_messages.text(mode == StockSearch::Column::Name ? Msg::FilterByName : Msg::FilterByCode));
}

void StockGridPanel::titleClicked(int column)
{
    if (column > 1)
        return;
    setMode(column == 0 ? StockSearch::Column::Name : StockSearch::Column::Code);
    search();
}

void StockGridPanel::clearSearchText()
{
    m_settingText = true;
    Edit_hladaj->clear();
    m_settingText = false;
}

int StockGridPanel::rowCount() const
{
    return m_model->rowCount();
}

int StockGridPanel::currentRow() const
{
    return SMDBGrid_sklad->currentIndex().row();
}

void StockGridPanel::setCurrentRow(int row)
{
    if (row >= 0 && row < m_model->rowCount())
        SMDBGrid_sklad->setCurrentIndex(m_model->index(row, 0));
}

qint64 StockGridPanel::currentRowId() const
{
    return m_model->rowId(currentRow());
}

bool StockGridPanel::selectRowId(qint64 rowId)
{
    const int row = m_model->rowOf(rowId);
    setCurrentRow(row);
    return row >= 0;
}

std::optional<StockRow> StockGridPanel::currentCard() const
{
    return m_model->card(currentRow());
}

void StockGridPanel::moveGrid(int step)
{
    const int row = std::clamp(currentRow() + step, 0, m_model->rowCount() - 1);
    setCurrentRow(row);
}

bool StockGridPanel::handleKey(QObject *target, QKeyEvent *event)
{
    const int key = event->key();
    if (target == Edit_hladaj) {
        if (isEnter(key)) {
            SMDBGrid_sklad->setFocus();
            return true;
        }
        if (key == Qt::Key_Left || key == Qt::Key_Right) {
            const auto wanted = key == Qt::Key_Left ? StockSearch::Column::Name : StockSearch::Column::Code;
            if (wanted == m_mode)
                return false; // the cursor moves as usual
            setMode(wanted);
            search();
            return true;
        }
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            moveGrid(key == Qt::Key_Up ? -1 : 1);
            return true;
        }
    }
    if (target == CB_clenenie_sklad && isEnter(key)) {
        if (SMDBGrid_sklad->isEnabled())
            SMDBGrid_sklad->setFocus();
        return true;
    }
    return false;
}

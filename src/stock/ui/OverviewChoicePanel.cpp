#include "stock/ui/OverviewChoicePanel.h"

#include "widgets/ScreenWidgets.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

using Grouping = SalesOverviewChoices::Grouping;
using Sort = SalesOverviewChoices::Sort;
using Column = SalesOverviewChoices::Column;

constexpr int kLastFilterColumn = int(Column::Name);

bool isEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// The sort and the filter column that a grouping brings when it is chosen.
std::pair<Sort, Column> choiceOf(Grouping grouping)
{
    switch (grouping) {
    case Grouping::ByClosing:
        return {Sort::Closing, Column::Closing};
    case Grouping::Summary:
        return {Sort::Code, Column::Code};
    case Grouping::ByDocument:
        break;
    }
    return {Sort::Document, Column::Document};
}

// The item grid's column of a sort choice.
Column columnOf(Sort sort)
{
    switch (sort) {
    case Sort::Code:
        return Column::Code;
    case Sort::Name:
        return Column::Name;
    case Sort::Document:
        return Column::Document;
    case Sort::Date:
        return Column::Date;
    case Sort::Closing:
        break;
    }
    return Column::Closing;
}

QComboBox *choiceList(const QString &name, const QString &accessibleName, const QStringList &entries)
{
    auto *list = new QComboBox;
    list->setObjectName(name);
    list->setAccessibleName(accessibleName);
    list->addItems(entries);
    return list;
}

} // namespace

OverviewChoicePanel::OverviewChoicePanel(QObject *parent) : QObject(parent)
{
    Edit_filter = ScreenWidgets::lineEdit(nullptr, u"Edit_filter"_s, 60);
    Label_filter = new QLabel(u"&Filtrovanie"_s);
    Label_filter->setBuddy(Edit_filter);
    Edit_filter->setAccessibleName(u"Filtrovanie"_s);
    CB_triedenie = choiceList(u"CB_triedenie"_s, u"Triedenie podľa"_s,
                              {u"Kódu"_s, u"Názvu"_s, u"Denej uzávierky"_s, u"Čísla dokladu"_s, u"Dátumu"_s});
    CB_triedenie->setCurrentIndex(int(Sort::Closing));
    Label_triedenie = new QLabel(u"T&riedenie podla"_s);
    Label_triedenie->setBuddy(CB_triedenie);
    Image_smer = new QToolButton;
    Image_smer->setObjectName(u"Image_smer"_s);
    Image_smer->setFocusPolicy(Qt::StrongFocus);
    CB_sumar = choiceList(u"CB_sumar"_s, u"Sumár položiek"_s,
                          {u"po dokladoch"_s, u"po uzávierkach"_s, u"súhrnne"_s});
    Label_sumar = new QLabel(u"S&umár položiek"_s);
    Label_sumar->setBuddy(CB_sumar);
    CB_clenenie_sklad = choiceList(u"CB_clenenie_sklad"_s, u"Skladová skupina"_s, {});
    Label_skupina = new QLabel(u"S&kladová skupina"_s);
    Label_skupina->setBuddy(CB_clenenie_sklad);
    showDirection();

    for (QWidget *widget : {static_cast<QWidget *>(Edit_filter), static_cast<QWidget *>(CB_triedenie),
                            static_cast<QWidget *>(CB_sumar)})
        widget->installEventFilter(this);
    connect(Edit_filter, &QLineEdit::textChanged, this, [this] {
        if (!m_settingFilter)
            emit itemsChanged();
    });
    connect(CB_triedenie, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_settingChoices)
            sortChosen();
    });
    connect(CB_sumar, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_settingChoices)
            groupingChosen();
    });
    connect(CB_clenenie_sklad, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_settingChoices)
            emit itemsChanged();
    });
    connect(Image_smer, &QToolButton::clicked, this, [this] {
        m_descending = !m_descending;
        showDirection();
        emit itemsChanged();
    });
}

void OverviewChoicePanel::setGroups(const QString &allGroups, const QStringList &groups)
{
    m_settingChoices = true;
    const int chosen = CB_clenenie_sklad->currentIndex();
    CB_clenenie_sklad->clear();
    CB_clenenie_sklad->addItem(allGroups);
    CB_clenenie_sklad->addItems(groups);
    CB_clenenie_sklad->setCurrentIndex(chosen > 0 && chosen < CB_clenenie_sklad->count() ? chosen : 0);
    m_settingChoices = false;
}

void OverviewChoicePanel::resetGrouping(Grouping grouping)
{
    m_settingChoices = true;
    CB_sumar->setCurrentIndex(int(grouping));
    m_settingChoices = false;
}

void OverviewChoicePanel::setFilterColumn(Column column)
{
    m_filterColumn = column;
    emit filterColumnChanged(int(column));
}

void OverviewChoicePanel::clearFilter()
{
    m_settingFilter = true;
    Edit_filter->clear();
    m_settingFilter = false;
}

OverviewChoicePanel::Grouping OverviewChoicePanel::grouping() const
{
    return Grouping(std::max(0, CB_sumar->currentIndex()));
}

OverviewChoicePanel::Sort OverviewChoicePanel::sort() const
{
    return Sort(std::max(0, CB_triedenie->currentIndex()));
}

void OverviewChoicePanel::fillChoices(SalesOverviewChoices &choices) const
{
    choices.grouping = grouping();
    choices.sort = sort();
    choices.descending = m_descending;
    choices.filterColumn = m_filterColumn;
    choices.filterText = Edit_filter->text();
    const int group = CB_clenenie_sklad->currentIndex() - 1;
    choices.group = group >= 0 ? std::optional<int>(group) : std::nullopt;
}

void OverviewChoicePanel::showDirection()
{
    Image_smer->setArrowType(m_descending ? Qt::DownArrow : Qt::UpArrow);
    const QString text = m_descending ? u"Zostupne"_s : u"Vzostupne"_s;
    Image_smer->setToolTip(text);
    Image_smer->setAccessibleName(u"Smer triedenia: "_s + text);
}

void OverviewChoicePanel::groupingChosen()
{
    const auto [sortChoice, column] = choiceOf(grouping());
    m_settingChoices = true;
    CB_triedenie->setCurrentIndex(int(sortChoice));
    m_settingChoices = false;
    setFilterColumn(column);
    emit groupingChanged();
}

void OverviewChoicePanel::sortChosen()
{
    const Column column = columnOf(sort());
    if (SalesOverviewChoices::shows(grouping(), column))
        setFilterColumn(column);
    emit itemsChanged();
}

void OverviewChoicePanel::titleClicked(int column)
{
    if (column < 0 || column > kLastFilterColumn || !SalesOverviewChoices::shows(grouping(), Column(column)))
        return;
    setFilterColumn(Column(column));
    Edit_filter->setFocus(Qt::MouseFocusReason);
    if (!Edit_filter->text().isEmpty())
        emit itemsChanged();
}

// ---- Keys ------------------------------------------------------------------

bool OverviewChoicePanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Edit_filter && event->type() == QEvent::FocusIn) {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        // Each visit starts a new filter; coming back from another window is no visit.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            Edit_filter->clear();
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (watched == Edit_filter)
        return filterKey(key);
    if (isEnter(key->key()) || key->key() == Qt::Key_Left || key->key() == Qt::Key_Right) {
        Edit_filter->setFocus(Qt::OtherFocusReason);
        return true;
    }
    return false;
}

bool OverviewChoicePanel::filterKey(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Left:
        stepFilterColumn(-1);
        return true;
    case Qt::Key_Right:
        stepFilterColumn(1);
        return true;
    case Qt::Key_Up:
        emit moveRequested(-1);
        return true;
    case Qt::Key_Down:
        if (Edit_filter->text().isEmpty())
            emit moveRequested(1);
        else
            emit findRequested(int(m_filterColumn), Edit_filter->text());
        return true;
    default:
        return false;
    }
}

// The next column to the left or right that the grouping shows; at either end nothing changes.
void OverviewChoicePanel::stepFilterColumn(int step)
{
    for (int column = int(m_filterColumn) + step; column >= 0 && column <= kLastFilterColumn;
         column += step) {
        if (SalesOverviewChoices::shows(grouping(), Column(column))) {
            setFilterColumn(Column(column));
            Edit_filter->clear();
            return;
        }
    }
}

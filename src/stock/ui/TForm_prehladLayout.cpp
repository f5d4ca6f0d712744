// The sales overview's components and where they stand.
#include "stock/ui/TForm_prehlad.h"

#include "stock/ui/OverviewChoicePanel.h"
#include "stock/ui/OverviewDocumentPanel.h"
#include "stock/ui/OverviewItemPanel.h"
#include "stock/ui/OverviewRangePanel.h"
#include "widgets/PanelStatusBar.h"
#include "widgets/ScreenWidgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// The selected row stays navy with white text also while the grid has not the focus.
void colourSelection(QTableView *grid)
{
    QPalette colours = grid->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        colours.setColor(group, QPalette::Highlight, QColor(Qt::darkBlue));
        colours.setColor(group, QPalette::HighlightedText, QColor(Qt::white));
    }
    grid->setPalette(colours);
}

} // namespace

void TForm_prehlad::buildLayout()
{
    auto *main = new QVBoxLayout(this);
    main->setContentsMargins(4, 4, 4, 0);
    main->addWidget(buildFilterBox());

    auto *documents = new QHBoxLayout;
    documents->addWidget(m_documents->documentGrid(), 2);
    auto *lines = new QVBoxLayout;
    lines->addWidget(m_documents->buildHeading());
    lines->addWidget(m_documents->lineGrid(), 1);
    documents->addLayout(lines, 3);
    main->addLayout(documents, 2);

    main->addWidget(buildChoiceBar());
    main->addWidget(m_items->build(), 3);

    StatusBar1 = new PanelStatusBar(this);
    StatusBar1->setObjectName(u"StatusBar1"_s);
    StatusBar1->addPanel(0, Qt::AlignLeft | Qt::AlignVCenter, u"F12 Tlač"_s);
    StatusBar1->addPanel(150);
    main->addWidget(StatusBar1);

    const QColor tip = QApplication::palette().color(QPalette::ToolTipBase);
    setStyleSheet(
        u"QLineEdit, QComboBox { color: navy; }"
        "QLineEdit:focus, QComboBox:focus { background-color: %1; color: maroon; }"_s.arg(tip.name()));
    for (QTableView *grid : {m_documents->documentGrid(), m_documents->lineGrid(), m_items->grid()})
        colourSelection(grid);

    const QList<QWidget *> tabOrder = {m_range->closingFrom(),
                                       m_range->closingTo(),
                                       m_range->dateBox(),
                                       m_range->dateFrom(),
                                       m_range->dateTo(),
                                       m_range->tableList(),
                                       BitBtn_tlac,
                                       BitBtn_export,
                                       m_documents->documentGrid(),
                                       m_documents->lineGrid(),
                                       m_choices->filterField(),
                                       m_choices->sortChoice(),
                                       m_choices->directionButton(),
                                       m_choices->groupingChoice(),
                                       m_choices->groupFilter(),
                                       m_items->grid()};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder.at(i - 1), tabOrder.at(i));
    resize(1000, 650);
}

QWidget *TForm_prehlad::buildFilterBox()
{
    auto *box = new QGroupBox(u" Filtre "_s);
    box->setObjectName(u"GroupBox_filtre"_s);
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(4, 2, 4, 2);

    auto *closings = new QGroupBox(u"Cisla uzavierky"_s);
    auto *closingRow = new QHBoxLayout(closings);
    closingRow->setContentsMargins(4, 2, 4, 2);
    closingRow->addWidget(m_range->fromCaption());
    closingRow->addWidget(m_range->closingFrom());
    closingRow->addWidget(m_range->toCaption());
    closingRow->addWidget(m_range->closingTo());
    row->addWidget(closings);

    row->addWidget(m_range->dateBox());
    row->addWidget(m_range->dateFrom());
    row->addWidget(m_range->dateTo());
    row->addSpacing(12);
    row->addWidget(m_range->tableCaption());
    row->addWidget(m_range->tableList(), 1);

    BitBtn_tlac = ScreenWidgets::button(u"BitBtn_tlac"_s, u"&Tlač"_s);
    BitBtn_export = ScreenWidgets::button(u"BitBtn_export"_s, u"&Export"_s);
    connect(BitBtn_tlac, &QPushButton::clicked, this, &TForm_prehlad::printRequested);
    connect(BitBtn_export, &QPushButton::clicked, this, &TForm_prehlad::exportItems);
    row->addWidget(BitBtn_tlac);
    row->addWidget(BitBtn_export);
    return box;
}

QWidget *TForm_prehlad::buildChoiceBar()
{
    auto *bar = new QWidget;
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 2, 0, 2);
    row->addWidget(m_choices->filterCaption());
    row->addWidget(m_choices->filterField(), 2);
    row->addWidget(m_choices->sortCaption());
    row->addWidget(m_choices->sortChoice(), 1);
    row->addWidget(m_choices->directionButton());
    row->addWidget(m_choices->groupingCaption());
    row->addWidget(m_choices->groupingChoice(), 1);
    row->addWidget(m_choices->groupCaption());
    row->addWidget(m_choices->groupFilter(), 1);
    return bar;
}

void TForm_prehlad::installFilters()
{
    const QList<QWidget *> children = findChildren<QWidget *>();
    for (QWidget *child : children)
        child->installEventFilter(this);
}

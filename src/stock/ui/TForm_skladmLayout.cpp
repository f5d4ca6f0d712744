// The stock-card screen's components and where they stand.
#include "stock/ui/TForm_skladm.h"

#include "stock/ui/StockCardPanel.h"
#include "stock/ui/StockGridPanel.h"
#include "widgets/PanelStatusBar.h"
#include "widgets/ScreenWidgets.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const QString kVersionText = u"Ver. 3.0.2"_s;
const QString kKeyHelp = u"F1 hľadaj sklad, F2 Skupina, INS Nová karta, F12 Tlač"_s;

} // namespace

void TForm_skladm::buildLayout()
{
    auto *main = new QVBoxLayout(this);
    main->setContentsMargins(4, 4, 4, 0);

    auto *left = new QVBoxLayout;
    left->addWidget(m_grid->filterCaption());
    auto *searchRow = new QHBoxLayout;
    searchRow->addWidget(m_grid->searchField(), 2);
    searchRow->addWidget(m_grid->groupFilter(), 1);
    left->addLayout(searchRow);
    left->addWidget(m_grid->grid(), 1);
    auto *gridButtons = new QHBoxLayout;
    gridButtons->addWidget(m_grid->searchButton());
    gridButtons->addWidget(m_grid->groupButton());
    gridButtons->addStretch(1);
    left->addLayout(gridButtons);

    auto *right = new QVBoxLayout;
    right->addWidget(m_card->build());
    right->addStretch(1);
    right->addWidget(buildButtons());

    auto *halves = new QHBoxLayout;
    halves->addLayout(left, 3);
    halves->addLayout(right, 2);
    main->addLayout(halves, 1);

    StatusBar1 = new PanelStatusBar(this);
    StatusBar1->setObjectName(u"StatusBar1"_s);
    StatusBar1->addPanel(90);
    StatusBar1->addPanel(90, Qt::AlignLeft | Qt::AlignVCenter, kVersionText);
    StatusBar1->addPanel(0, Qt::AlignLeft | Qt::AlignVCenter, kKeyHelp);
    main->addWidget(StatusBar1);

    // The focused field stands out; the grid's selected row is navy with white text,
    // also while the grid has not the focus.
    const QColor tip = QApplication::palette().color(QPalette::ToolTipBase);
    setStyleSheet(
        u"QLineEdit, QComboBox { color: navy; }"
        "QLineEdit:focus, QComboBox:focus { background-color: %1; color: maroon; }"_s.arg(tip.name()));
    QPalette gridColours = m_grid->grid()->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        gridColours.setColor(group, QPalette::Highlight, QColor(Qt::darkBlue));
        gridColours.setColor(group, QPalette::HighlightedText, QColor(Qt::white));
    }
    m_grid->grid()->setPalette(gridColours);
    resize(820, 560);
}

QWidget *TForm_skladm::buildButtons()
{
    BitBtn_novy = ScreenWidgets::button(u"BitBtn_novy"_s, u"&Nový"_s);
    BitBtn_kopia = ScreenWidgets::button(u"BitBtn_kopia"_s, u"&Kópia"_s);
    BitBtn_oprav = ScreenWidgets::button(u"BitBtn_oprav"_s, u"&Oprav"_s);
    BitBtn_uloz = ScreenWidgets::button(u"BitBtn_uloz"_s, u"&Ulož"_s);
    BitBtn_zrus = ScreenWidgets::button(u"BitBtn_zrus"_s, u"&Zruš"_s);
    BitBtn_vymaz = ScreenWidgets::button(u"BitBtn_vymaz"_s, u"&Vymaž"_s);
    BitBtn_tlac = ScreenWidgets::button(u"BitBtn_tlac"_s, u"&Tlač"_s);
    BitBtn_servis = ScreenWidgets::button(u"BitBtn_servis"_s, u"Se&rvis"_s);
    BitBtn_pokladna = ScreenWidgets::button(u"BitBtn_pokladna"_s, u"&Pokladňa"_s);

    auto *buttons = new QWidget;
    auto *grid = new QGridLayout(buttons);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(BitBtn_novy, 0, 0);
    grid->addWidget(BitBtn_kopia, 0, 1);
    grid->addWidget(BitBtn_oprav, 0, 2);
    grid->addWidget(BitBtn_uloz, 1, 0);
    grid->addWidget(BitBtn_zrus, 1, 1);
    grid->addWidget(BitBtn_vymaz, 1, 2);
    grid->addWidget(BitBtn_tlac, 2, 0);
    grid->addWidget(BitBtn_servis, 2, 1);
    grid->addWidget(BitBtn_pokladna, 2, 2);
    return buttons;
}

void TForm_skladm::connectButtons()
{
    const QList<std::pair<QPushButton *, void (TForm_skladm::*)()>> actions = {
        {BitBtn_novy, &TForm_skladm::BitBtn_novyClick},   {BitBtn_kopia, &TForm_skladm::BitBtn_kopiaClick},
        {BitBtn_oprav, &TForm_skladm::BitBtn_opravClick}, {BitBtn_uloz, &TForm_skladm::BitBtn_ulozClick},
        {BitBtn_zrus, &TForm_skladm::BitBtn_zrusClick},   {BitBtn_vymaz, &TForm_skladm::BitBtn_vymazClick},
        {BitBtn_tlac, &TForm_skladm::BitBtn_tlacClick},   {BitBtn_servis, &TForm_skladm::BitBtn_servisClick},
    };
    for (const auto &[button, action] : actions)
        connect(button, &QPushButton::clicked, this,
                [this, action] { guarded([this, action] { (this->*action)(); }); });
    connect(BitBtn_pokladna, &QPushButton::clicked, this, [this] { guarded([this] { reject(); }); });
}

void TForm_skladm::installFilters()
{
    const QList<QWidget *> children = findChildren<QWidget *>();
    for (QWidget *child : children)
        child->installEventFilter(this);
}

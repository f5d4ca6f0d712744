// Building the sale screen's components and wiring their signals.
#include "pos/ui/TForm_predaj_medic.h"

#include "base/Configuration.h"
#include "base/UserDialogs.h"
#include "lang/MessageTable.h"
#include "pos/DataModule.h"
#include "pos/ui/SaleDocumentPanel.h"
#include "pos/ui/SaleItemPanel.h"
#include "pos/ui/SaleSearchPanel.h"
#include "widgets/PanelStatusBar.h"
#include "widgets/ScreenWidgets.h"
#include "widgets/WindowPlacement.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTextEdit>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

void TForm_predaj_medic::buildUi()
{
    const SaleScreenContext &context = m_services.context;
    m_search = new SaleSearchPanel(m_services.data, context.messages, context.dialogs, this);
    m_item = new SaleItemPanel(m_search->searchField(), this);
    m_documentPanel = new SaleDocumentPanel(m_document, context.messages, this);
    setObjectName(u"TForm_predaj_medic"_s);
    setMinimumSize(1000, 450);
    m_placement = new WindowPlacement(this);
    auto *main = new QVBoxLayout(this);
    main->setContentsMargins(4, 4, 4, 0);
    auto *panels = new QHBoxLayout;
    panels->addWidget(buildLeftPanel(), 3);
    panels->addWidget(buildRightPanel(), 2);
    main->addLayout(panels, 1);
    buildStatusBar();
    main->addWidget(SB_predaj);
    const QColor tip = QApplication::palette().color(QPalette::ToolTipBase);
    setStyleSheet(
        u"QLineEdit:focus, QComboBox:focus { background-color: %1; color: maroon; }"_s.arg(tip.name()));
}

QWidget *TForm_predaj_medic::buildLeftPanel()
{
    auto *panel = new QWidget;
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);

    auto *top = new QHBoxLayout;
    RE_hlavicka = new QTextEdit;
    RE_hlavicka->setObjectName(u"RE_hlavicka"_s);
    RE_hlavicka->setReadOnly(true);
    RE_hlavicka->setFocusPolicy(Qt::NoFocus);
    RE_hlavicka->setMaximumHeight(110);
    top->addWidget(RE_hlavicka, 3);
    top->addWidget(m_documentPanel->totalBox(), 2);
    layout->addLayout(top);

    auto *dkp = new QHBoxLayout;
    dkp->addWidget(new QLabel(u"DKP:"_s));
    Label_dkp = new QLabel;
    Label_dkp->setObjectName(u"Label_dkp"_s);
    dkp->addWidget(Label_dkp, 1);
    Image_help = new QLabel(u"?"_s);
    Image_help->setObjectName(u"Image_help"_s);
    Image_help->setToolTip(u"zobrazenie / zatvorenie Nápovedy"_s);
    Image_help->setCursor(Qt::PointingHandCursor);
    dkp->addWidget(Image_help);
    layout->addLayout(dkp);

    layout->addWidget(m_documentPanel->documentBox(), 1);

    auto *paragon = new QHBoxLayout;
    CheckBox_paragon = new QCheckBox(u"Paragon"_s);
    CheckBox_paragon->setObjectName(u"CheckBox_paragon"_s);
    CheckBox_paragon->setToolTip(u"Potvrdiť v prípade evidovania paragónu"_s);
    Edit_paragon = ScreenWidgets::lineEdit(panel, u"Edit_paragon"_s, 5);
    MaskEdit_paragon_date = ScreenWidgets::lineEdit(panel, u"MaskEdit_paragon_date"_s);
    MaskEdit_paragon_date->setInputMask(u"0000.00.00"_s);
    MaskEdit_paragon_date->setToolTip(u"Dátum vystavenia paragónu. Zadajte v tvare YYYYMMDD"_s);
    MaskEdit_paragon_time = ScreenWidgets::lineEdit(panel, u"MaskEdit_paragon_time"_s);
    MaskEdit_paragon_time->setInputMask(u"00:00:00"_s);
    for (QWidget *widget :
         {static_cast<QWidget *>(CheckBox_paragon), static_cast<QWidget *>(Edit_paragon),
          static_cast<QWidget *>(MaskEdit_paragon_date), static_cast<QWidget *>(MaskEdit_paragon_time)})
        paragon->addWidget(widget);
    paragon->addWidget(new QLabel(u"UID"_s));
    EditUID = ScreenWidgets::lineEdit(panel, u"EditUID"_s);
    EditUID->setText(u"UID z povodneho dokladu "_s);
    paragon->addWidget(EditUID, 1);
    layout->addLayout(paragon);
    ScreenWidgets::nameForReaders(RE_hlavicka, u"Hlavička predajne"_s);
    ScreenWidgets::nameForReaders(Edit_paragon, u"Číslo paragónu"_s);
    ScreenWidgets::nameForReaders(MaskEdit_paragon_date, u"Dátum paragónu"_s);
    ScreenWidgets::nameForReaders(MaskEdit_paragon_time, u"Čas paragónu"_s);
    ScreenWidgets::nameForReaders(EditUID, u"UID"_s);

    auto *buttons = new QHBoxLayout;
    BitBtn_novy = ScreenWidgets::button(u"BitBtn_novy"_s, u"&Nový"_s);
    BitBtn_vymaz = ScreenWidgets::button(u"BitBtn_vymaz"_s, u"&Vymaž"_s);
    BitBtn_tlac = ScreenWidgets::button(u"BitBtn_tlac"_s, u"&Tlač"_s);
    BitBtn3 = ScreenWidgets::button(u"BitBtn3"_s, u"&Servisná podpora"_s);
    BitBtn3->setToolTip(u"Spustenie programu AnyDesk kôli diaľkovej  správe PC"_s);
    for (QPushButton *button : {BitBtn_novy, BitBtn_vymaz, BitBtn_tlac, BitBtn3})
        buttons->addWidget(button);
    layout->addLayout(buttons);
    return panel;
}

QWidget *TForm_predaj_medic::buildRightPanel()
{
    auto *panel = new QWidget;
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_search->caption());
    layout->addWidget(m_item->box());
    layout->addWidget(m_search->searchField());
    layout->addWidget(m_search->itemList(), 1);

    auto *buttons = new QGridLayout;
    BitBtn_cennik = ScreenWidgets::button(u"BitBtn_cennik"_s, u"&CENNÍK"_s);
    BitBtn_zostavy = ScreenWidgets::button(u"BitBtn_zostavy"_s, u"&Prehľady"_s);
    BitBtn_vklad = ScreenWidgets::button(u"BitBtn_vklad"_s, u"Vklad"_s);
    BitBtn_vyber = ScreenWidgets::button(u"BitBtn_vyber"_s, u"Výber"_s);
    BitBtn_koniec = ScreenWidgets::button(u"BitBtn_koniec"_s, u"&Koniec"_s);
    buttons->addWidget(BitBtn_cennik, 0, 0);
    buttons->addWidget(BitBtn_zostavy, 0, 1);
    buttons->addWidget(BitBtn_vklad, 1, 0);
    buttons->addWidget(BitBtn_vyber, 1, 1);
    buttons->addWidget(BitBtn_koniec, 0, 2, 2, 1);
    layout->addLayout(buttons);
    return panel;
}

void TForm_predaj_medic::buildStatusBar()
{
    SB_predaj = new PanelStatusBar(this);
    SB_predaj->setObjectName(u"SB_predaj"_s);
    SB_predaj->setSizeGripEnabled(false);
    // Each panel as wide as its text; the key help takes the rest of the bar. The notice
    // is the one cut when a narrow window has no room for every text.
    for (int width : {60, 60, 40, 50, 60})
        SB_predaj->addPanel(width);
    SB_predaj->addPanel(0, Qt::AlignLeft | Qt::AlignVCenter,
                        u"F1 Doklad, F2 Predaj, F12 Tlač, INS Nová položka"_s);
    SB_predaj->addPanel(40, Qt::AlignLeft | Qt::AlignVCenter, u"Ver. 3.0.2"_s);
    SB_predaj->setPanelMayGiveWay(
        SB_predaj->addPanel(40, Qt::AlignLeft | Qt::AlignVCenter, u"Tlačí pokladnica"_s));
}

void TForm_predaj_medic::connectSignals()
{
    connect(BitBtn_novy, &QPushButton::clicked, this, [this] { guarded([this] { BitBtn_novyClick(); }); });
    connect(BitBtn_vymaz, &QPushButton::clicked, this, [this] { guarded([this] { BitBtn_vymazClick(); }); });
    connect(BitBtn_tlac, &QPushButton::clicked, this, &TForm_predaj_medic::BitBtn_tlacClick);
    connect(BitBtn_cennik, &QPushButton::clicked, this,
            [this] { guarded([this] { BitBtn_cennikClick(); }); });
    connect(BitBtn_zostavy, &QPushButton::clicked, this,
            [this] { guarded([this] { BitBtn_zostavyClick(); }); });
    connect(BitBtn_vklad, &QPushButton::clicked, this,
            [this] { guarded([this] { BitBtn_vkladClick(CashOperation::Deposit); }); });
    connect(BitBtn_vyber, &QPushButton::clicked, this,
            [this] { guarded([this] { BitBtn_vkladClick(CashOperation::Withdrawal); }); });
    connect(BitBtn_koniec, &QPushButton::clicked, this,
            [this] { guarded([this] { BitBtn_koniecClick(); }); });
    connect(BitBtn3, &QPushButton::clicked, this, [this] { BitBtn3Click(); });

    connect(m_search, &SaleSearchPanel::entered, this, [this] {
        m_documentPanel->showOpenDocument(m_services.context.config.demo);
        m_item->setNameEditable(false);
    });
    connect(m_search, &SaleSearchPanel::keyArriving, this, &TForm_predaj_medic::beforeSearchFieldKey);
    connect(m_search, &SaleSearchPanel::textTyped, this, [this] { recomputeTotal(); });
    connect(m_search, &SaleSearchPanel::itemChosen, m_item, &SaleItemPanel::focusAfterSearch);
    connect(m_search, &SaleSearchPanel::cardShown, m_item, &SaleItemPanel::showCard);
    connect(m_search, &SaleSearchPanel::nothingFound, m_item, &SaleItemPanel::clear);
    connect(m_item, &SaleItemPanel::storeRequested, this, [this] { storeCurrentItem(); });
    connect(qApp, &QApplication::focusChanged, this, [this] { updateSelectionColours(); });
}

void TForm_predaj_medic::installFilters()
{
    const QList<QWidget *> children = findChildren<QWidget *>();
    for (QWidget *child : children)
        child->installEventFilter(this);
}

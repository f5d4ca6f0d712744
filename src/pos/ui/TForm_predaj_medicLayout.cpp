// Building the sale screen's components and wiring their signals.
#include "pos/ui/TForm_predaj_medic.h"

#include "app/ui/PanelStatusBar.h"
#include "pos/DataModule.h"
#include "pos/ui/GridColumnFitter.h"
#include "pos/ui/SaleDocumentModel.h"
#include "pos/ui/StableHeaderView.h"
#include "pos/ui/StockListModel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedLayout>
#include <QTableView>
#include <QTextEdit>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

constexpr int kNameLength = 40;

QLineEdit *lineEdit(QWidget *parent, const QString &name, int maxLength = 32767)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMaxLength(maxLength);
    return edit;
}

QGroupBox *box(const QString &name, const QString &title, QWidget *content)
{
    auto *group = new QGroupBox(title);
    group->setObjectName(name);
    auto *layout = new QVBoxLayout(group);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(content);
    return group;
}

QTableView *grid(const QString &name)
{
    auto *view = new QTableView;
    view->setObjectName(name);
    view->setHorizontalHeader(new StableHeaderView(Qt::Horizontal, view));
    view->setVerticalHeader(new StableHeaderView(Qt::Vertical, view));
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setTabKeyNavigation(false);
    view->verticalHeader()->setDefaultSectionSize(20);
    view->horizontalHeader()->setHighlightSections(false);
    return view;
}

} // namespace

QPushButton *TForm_predaj_medic::addButton(const QString &name, const QString &text)
{
    auto *button = new QPushButton(text);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

void TForm_predaj_medic::buildUi()
{
    setObjectName(u"TForm_predaj_medic"_s);
    setMinimumSize(1000, 450);
    auto *main = new QVBoxLayout(this);
    main->setContentsMargins(4, 4, 4, 0);
    auto *panels = new QHBoxLayout;
    panels->addWidget(buildLeftPanel(), 3);
    panels->addWidget(buildRightPanel(), 2);
    main->addLayout(panels, 1);
    buildStatusBar();
    main->addWidget(SB_predaj);
    m_focusOrder = {Edit_nazov, Edit_nazov1, Edit_nazov2, Edit_kod,   CB_dph,
                    Edit_jc,    Edit_pocet,  CB_mj,       Edit_zlava, Edit_predaj};
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
    L_celkom = new QLabel(u"0.00"_s);
    L_celkom->setObjectName(u"L_celkom"_s);
    L_celkom->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont big = L_celkom->font();
    big.setPointSize(26);
    big.setBold(true);
    L_celkom->setFont(big);
    GroupBox_cena = box(u"GroupBox_cena"_s, QString(), L_celkom);
    top->addWidget(GroupBox_cena, 2);
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

    auto *documentArea = new QWidget;
    m_documentStack = new QStackedLayout(documentArea);
    SMDBGrid_doklad = grid(u"SMDBGrid_doklad"_s);
    m_documentModel = new SaleDocumentModel(m_document, this);
    SMDBGrid_doklad->setModel(m_documentModel);
    m_documentColumns = new GridColumnFitter(SMDBGrid_doklad);
    RE_doklad = new QTextEdit;
    RE_doklad->setObjectName(u"RE_doklad"_s);
    RE_doklad->setReadOnly(true);
    m_documentStack->addWidget(SMDBGrid_doklad);
    m_documentStack->addWidget(RE_doklad);
    GroupBox_doklad = box(u"GroupBox_doklad"_s, QString(), documentArea);
    layout->addWidget(GroupBox_doklad, 1);

    auto *paragon = new QHBoxLayout;
    CheckBox_paragon = new QCheckBox(u"Paragon"_s);
    CheckBox_paragon->setObjectName(u"CheckBox_paragon"_s);
    CheckBox_paragon->setToolTip(u"Potvrdiť v prípade evidovania paragónu"_s);
    Edit_paragon = lineEdit(panel, u"Edit_paragon"_s, 5);
    MaskEdit_paragon_date = lineEdit(panel, u"MaskEdit_paragon_date"_s);
    MaskEdit_paragon_date->setInputMask(u"0000.00.00"_s);
    MaskEdit_paragon_date->setToolTip(u"Dátum vystavenia paragónu. Zadajte v tvare YYYYMMDD"_s);
    MaskEdit_paragon_time = lineEdit(panel, u"MaskEdit_paragon_time"_s);
    MaskEdit_paragon_time->setInputMask(u"00:00:00"_s);
    for (QWidget *widget :
         {static_cast<QWidget *>(CheckBox_paragon), static_cast<QWidget *>(Edit_paragon),
          static_cast<QWidget *>(MaskEdit_paragon_date), static_cast<QWidget *>(MaskEdit_paragon_time)})
        paragon->addWidget(widget);
    paragon->addWidget(new QLabel(u"UID"_s));
    EditUID = lineEdit(panel, u"EditUID"_s);
    EditUID->setText(u"UID z povodneho dokladu "_s);
    paragon->addWidget(EditUID, 1);
    layout->addLayout(paragon);

    auto *buttons = new QHBoxLayout;
    BitBtn_novy = addButton(u"BitBtn_novy"_s, u"&Nový"_s);
    BitBtn_vymaz = addButton(u"BitBtn_vymaz"_s, u"&Vymaž"_s);
    BitBtn_tlac = addButton(u"BitBtn_tlac"_s, u"&Tlač"_s);
    BitBtn3 = addButton(u"BitBtn3"_s, u"&Servisná podpora"_s);
    BitBtn3->setToolTip(u"Spustenie programu AnyDesk kôli diaľkovej  správe PC"_s);
    for (QPushButton *button : {BitBtn_novy, BitBtn_vymaz, BitBtn_tlac, BitBtn3})
        buttons->addWidget(button);
    layout->addLayout(buttons);
    return panel;
}

QWidget *TForm_predaj_medic::buildItemBox()
{
    auto *group = new QGroupBox(u"Informácia o položke"_s);
    group->setObjectName(u"GroupBox_polozka"_s);
    auto *layout = new QGridLayout(group);
    layout->setContentsMargins(4, 2, 4, 2);
    Edit_nazov = lineEdit(group, u"Edit_nazov"_s, kNameLength);
    Edit_nazov1 = lineEdit(group, u"Edit_nazov1"_s, kNameLength);
    Edit_nazov2 = lineEdit(group, u"Edit_nazov2"_s, kNameLength);
    layout->addWidget(Edit_nazov, 0, 0, 1, 4);
    layout->addWidget(Edit_nazov1, 1, 0, 1, 4);
    layout->addWidget(Edit_nazov2, 2, 0, 1, 4);
    Edit_kod = lineEdit(group, u"Edit_kod"_s);
    CB_dph = new QComboBox;
    CB_dph->setObjectName(u"CB_dph"_s);
    Edit_jc = lineEdit(group, u"Edit_jc"_s);
    Edit_jc->setAlignment(Qt::AlignRight);
    Edit_pocet = lineEdit(group, u"Edit_pocet"_s);
    Edit_pocet->setAlignment(Qt::AlignRight);
    CB_mj = new QComboBox;
    CB_mj->setObjectName(u"CB_mj"_s);
    CB_mj->setEditable(true);
    CB_mj->setInsertPolicy(QComboBox::NoInsert);
    layout->addWidget(box(u"GroupBox_kod"_s, u"Kód"_s, Edit_kod), 3, 0);
    layout->addWidget(box(u"GroupBox_dph"_s, u"DPH"_s, CB_dph), 3, 1);
    layout->addWidget(box(u"GroupBox_jc"_s, u"Cena"_s, Edit_jc), 3, 2);
    layout->addWidget(box(u"GroupBox_pocet"_s, u"Počet"_s, Edit_pocet), 3, 3);
    auto *discount = new QWidget;
    auto *discountLayout = new QHBoxLayout(discount);
    discountLayout->setContentsMargins(0, 0, 0, 0);
    Edit_zlava_eur = lineEdit(discount, u"Edit_zlava_eur"_s);
    Edit_zlava_eur->setReadOnly(true);
    Edit_zlava_eur->setFocusPolicy(Qt::NoFocus);
    Edit_zlava_eur->setText(u"0.00"_s);
    Edit_zlava = lineEdit(discount, u"Edit_zlava"_s, 2);
    Edit_zlava->setText(u"0"_s);
    discountLayout->addWidget(Edit_zlava_eur);
    discountLayout->addWidget(Edit_zlava);
    layout->addWidget(box(u"GroupBox_mj"_s, u"MJ"_s, CB_mj), 4, 0);
    layout->addWidget(box(u"GroupBox_zlava"_s, u"   [EUR]   Zľav&a    [%] "_s, discount), 4, 1, 1, 3);
    return group;
}

QWidget *TForm_predaj_medic::buildRightPanel()
{
    auto *panel = new QWidget;
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    Label_vloz = new QLabel;
    Label_vloz->setObjectName(u"Label_vloz"_s);
    layout->addWidget(Label_vloz);
    layout->addWidget(buildItemBox());
    Edit_predaj = lineEdit(panel, u"Edit_predaj"_s);
    Edit_predaj->setToolTip(u"FILTER šípky Vpravo Vľavo, POHYB šípky Hore Dolu"_s);
    layout->addWidget(Edit_predaj);
    SMDBGrid_sklad = grid(u"SMDBGrid_sklad"_s);
    m_stockModel = new StockListModel(m_s.data.stockTable(), this);
    SMDBGrid_sklad->setModel(m_stockModel);
    SMDBGrid_sklad->setEnabled(false);
    SMDBGrid_sklad->horizontalHeader()->setSectionsClickable(true);
    m_stockColumns = new GridColumnFitter(SMDBGrid_sklad);
    layout->addWidget(SMDBGrid_sklad, 1);

    auto *buttons = new QGridLayout;
    BitBtn_cennik = addButton(u"BitBtn_cennik"_s, u"&CENNÍK"_s);
    BitBtn_zostavy = addButton(u"BitBtn_zostavy"_s, u"&Prehľady"_s);
    BitBtn_vklad = addButton(u"BitBtn_vklad"_s, u"Vklad"_s);
    BitBtn_vyber = addButton(u"BitBtn_vyber"_s, u"Výber"_s);
    BitBtn_koniec = addButton(u"BitBtn_koniec"_s, u"&Koniec"_s);
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
    for (int width : {130, 130, 90, 90, 170})
        SB_predaj->addPanel(width);
    SB_predaj->addPanel(0, Qt::AlignLeft | Qt::AlignVCenter,
                        u"F1 Doklad, F2 Predaj, F12 Tlač, INS Nová položka"_s);
    SB_predaj->addPanel(80, Qt::AlignLeft | Qt::AlignVCenter, u"Ver. 3.0.2"_s);
    SB_predaj->addPanel(230, Qt::AlignLeft | Qt::AlignVCenter, u"Doklady tlačí len pripojená pokladnica."_s);
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

    connect(Edit_predaj, &QLineEdit::textChanged, this, [this] {
        if (!m_inSearchKey && !m_settingSearchText)
            runSearch();
    });
    connect(SMDBGrid_sklad->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid())
                    Query_predajAfterScroll(current.row());
            });
    connect(SMDBGrid_sklad, &QTableView::doubleClicked, this, [this] { enterFromList(); });
    connect(SMDBGrid_sklad->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { chooseColumn(column); });
    for (QLineEdit *field : {Edit_jc, Edit_pocet, Edit_zlava})
        connect(field, &QLineEdit::textChanged, this, [this] { updateLiveDiscount(); });
    connect(qApp, &QApplication::focusChanged, this, [this] { updateSelectionColours(); });
}

void TForm_predaj_medic::installFilters()
{
    const QList<QWidget *> children = findChildren<QWidget *>();
    for (QWidget *child : children)
        child->installEventFilter(this);
}

// The maintenance screen's tabs and where they stand.
#include "stock/ui/TForm_cennik_servis.h"

#include "stock/ui/ServiceCashierPanel.h"
#include "stock/ui/ServiceImportPanel.h"
#include "stock/ui/ServiceInfoPanel.h"
#include "stock/ui/ServiceOmiraPanel.h"
#include "stock/ui/ServiceStockPanel.h"
#include "widgets/ScreenWidgets.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

void TForm_cennik_servis::buildLayout()
{
    m_omira = new ServiceOmiraPanel;
    m_stock = new ServiceStockPanel;
    m_info = new ServiceInfoPanel;
    m_cashiers = new ServiceCashierPanel;
    m_import = new ServiceImportPanel;
    PageControl1 = new QTabWidget;
    PageControl1->setObjectName(u"PageControl1"_s);
    PageControl1->addTab(m_omira, u"Omira"_s);
    PageControl1->addTab(m_stock, u"Sklad"_s);
    PageControl1->addTab(m_info, u"Informácia"_s);
    PageControl1->addTab(m_cashiers, u"Pokladník"_s);
    PageControl1->addTab(m_import, u"Import/Export"_s);

    auto *BitBtn_koniec = ScreenWidgets::button(u"BitBtn_koniec"_s, u"&Koniec"_s);
    connect(BitBtn_koniec, &QPushButton::clicked, this, &TForm_cennik_servis::BitBtn_koniecClick);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtn_koniec);

    auto *main = new QVBoxLayout(this);
    main->addWidget(PageControl1, 1);
    main->addLayout(buttons);
    resize(560, 520);
}

#include "stock/ui/ServiceCashierPanel.h"

#include "stock/PointOfSaleSettings.h"
#include "stock/ui/ServicePanelWidgets.h"
#include "widgets/ScreenWidgets.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

ServiceCashierPanel::ServiceCashierPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(u"Tab_pokladnik"_s);
    auto *layout = new QVBoxLayout(this);
    auto *cashiers = new QGroupBox(u"  Definícia pokladníkov "_s);
    cashiers->setObjectName(u"GroupBox_pokladnici"_s);
    auto *form = new QFormLayout(cashiers);
    for (int i = 0; i < PointOfSaleSettings::CashierCount; ++i) {
        auto *field =
            ScreenWidgets::lineEdit(this, u"Edit_pokl%1"_s.arg(i), PointOfSaleSettings::CashierNameLength);
        ServicePanelWidgets::row(form, {}, u"%1."_s.arg(i + 1), field);
        field->setAccessibleName(u"Pokladník %1"_s.arg(i + 1));
        m_cashierFields.append(field);
    }
    layout->addWidget(cashiers);
    CB_pokladnik = ServicePanelWidgets::checkBox(u"CB_pokladnik"_s, u"Vyžadovať pokladníka"_s);
    layout->addWidget(CB_pokladnik);
    layout->addStretch(1);
}

void ServiceCashierPanel::load(const PointOfSaleSettings &settings)
{
    for (int i = 0; i < PointOfSaleSettings::CashierCount; ++i)
        m_cashierFields[i]->setText(settings.cashiers[i]);
    CB_pokladnik->setChecked(settings.cashierRequired != 0);
}

void ServiceCashierPanel::store(PointOfSaleSettings &settings) const
{
    for (int i = 0; i < PointOfSaleSettings::CashierCount; ++i)
        settings.cashiers[i] = m_cashierFields[i]->text();
    settings.cashierRequired = CB_pokladnik->isChecked() ? 1 : 0;
}

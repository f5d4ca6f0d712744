#include "stock/ui/ServiceOmiraPanel.h"

#include "stock/PointOfSaleSettings.h"
#include "stock/ui/ServicePanelWidgets.h"
#include "widgets/ScreenWidgets.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
constexpr int kTitleLength = 60;
}

ServiceOmiraPanel::ServiceOmiraPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(u"Tab_omira"_s);
    auto *layout = new QVBoxLayout(this);
    auto *top = new QFormLayout;
    EditNameTM = ScreenWidgets::lineEdit(this, u"EditNameTM"_s, kTitleLength);
    ServicePanelWidgets::row(top, u"Label5"_s, u"ID aplikácie RL70"_s, EditNameTM);
    ChBox_platidla = ServicePanelWidgets::checkBox(u"ChBox_platidla"_s, u"Ponuka platidiel"_s);
    top->addRow(ChBox_platidla);
    layout->addLayout(top);

    auto *means = new QGroupBox(u"  Definícia platidiel  "_s);
    means->setObjectName(u"GroupBox5"_s);
    auto *form = new QFormLayout(means);
    for (int i = 0; i < PaymentFieldCount; ++i) {
        auto *field =
            ScreenWidgets::lineEdit(this, u"Edit_plat%1"_s.arg(i), PointOfSaleSettings::PaymentNameLength);
        ServicePanelWidgets::row(form, {}, u"%1."_s.arg(i + 1), field);
        field->setAccessibleName(u"Platidlo %1"_s.arg(i + 1));
        m_paymentFields.append(field);
    }
    layout->addWidget(means);
    layout->addStretch(1);
}

void ServiceOmiraPanel::load(const PointOfSaleSettings &settings)
{
    EditNameTM->setText(settings.printManagerTitle);
    ChBox_platidla->setChecked(settings.paymentDialog != 0);
    for (int i = 0; i < PaymentFieldCount; ++i)
        m_paymentFields[i]->setText(settings.paymentMeans[i]);
}

void ServiceOmiraPanel::store(PointOfSaleSettings &settings) const
{
    settings.printManagerTitle = EditNameTM->text();
    settings.paymentDialog = ChBox_platidla->isChecked() ? 1 : 0;
    for (int i = 0; i < PaymentFieldCount; ++i)
        settings.paymentMeans[i] = m_paymentFields[i]->text();
}

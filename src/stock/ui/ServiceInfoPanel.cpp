#include "stock/ui/ServiceInfoPanel.h"

#include "stock/PointOfSaleSettings.h"
#include "stock/ui/ServicePanelWidgets.h"
#include "widgets/ScreenWidgets.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

ServiceInfoPanel::ServiceInfoPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(u"Tab_info"_s);
    auto *layout = new QVBoxLayout(this);
    BitBtn_hlavicka = ScreenWidgets::button(u"BitBtn_hlavicka"_s, u"&Hlavička"_s);
    layout->addWidget(BitBtn_hlavicka, 0, Qt::AlignLeft);
    layout->addWidget(buildService());
    layout->addWidget(buildPrinter());

    RE_hlavicka = new QTextEdit;
    RE_hlavicka->setObjectName(u"RE_hlavicka"_s);
    RE_hlavicka->setAccessibleName(u"Prevádzka podnikateľa"_s);
    // Tab leaves the box instead of standing in the header as a character.
    RE_hlavicka->setTabChangesFocus(true);
    layout->addWidget(ScreenWidgets::box(u"GroupBox6"_s, u" Prevádzka podnikateľa"_s, RE_hlavicka), 1);
}

QWidget *ServiceInfoPanel::buildService()
{
    auto *box = new QGroupBox(u" Servisná organizácia "_s);
    box->setObjectName(u"GroupBox4"_s);
    auto *form = new QFormLayout(box);
    Edit_servis = ScreenWidgets::lineEdit(this, u"Edit_servis"_s);
    Edit_telefon = ScreenWidgets::lineEdit(this, u"Edit_telefon"_s);
    ServicePanelWidgets::row(form, u"Label3"_s, u"Názov organizácie"_s, Edit_servis);
    ServicePanelWidgets::row(form, u"Label4"_s, u"Telefónny kontakt"_s, Edit_telefon);
    return box;
}

QWidget *ServiceInfoPanel::buildPrinter()
{
    auto *box = new QGroupBox(u" Identifikácia tlačiarne"_s);
    box->setObjectName(u"GroupBox1"_s);
    auto *form = new QFormLayout(box);
    CB_model = new QComboBox;
    CB_model->setObjectName(u"CB_model"_s);
    CB_model->addItems(printerModels());
    Edit_vc = ScreenWidgets::lineEdit(this, u"Edit_vc"_s);
    ServicePanelWidgets::row(form, u"Label_model"_s, u"Model"_s, CB_model);
    ServicePanelWidgets::row(form, u"Label_vc"_s, u"Výr. číslo"_s, Edit_vc);
    return box;
}

void ServiceInfoPanel::load(const PointOfSaleSettings &settings)
{
    Edit_servis->setText(settings.serviceName);
    Edit_telefon->setText(settings.serviceTelephone);
    CB_model->setCurrentIndex(settings.printerModel);
    Edit_vc->setText(settings.serialNumber);
}

void ServiceInfoPanel::store(PointOfSaleSettings &settings) const
{
    settings.serviceName = Edit_servis->text();
    settings.serviceTelephone = Edit_telefon->text();
    // A model number outside the list shows no model and is kept as it was.
    if (CB_model->currentIndex() >= 0)
        settings.printerModel = CB_model->currentIndex();
    settings.serialNumber = Edit_vc->text();
}

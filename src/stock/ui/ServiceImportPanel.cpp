#include "stock/ui/ServiceImportPanel.h"

#include "widgets/ScreenWidgets.h"

#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

ServiceImportPanel::ServiceImportPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(u"Tab_import"_s);
    auto *layout = new QVBoxLayout(this);
    BitBtn_nacitaj_ostatne = ScreenWidgets::button(u"BitBtn_nacitaj_ostatne"_s, u"&Import"_s);
    BitBtn_nacitaj = ScreenWidgets::button(u"BitBtn_nacitaj"_s, u"&Načítaj cenník"_s);
    // The operator who moved to a button on purpose presses it with Enter too.
    BitBtn_nacitaj_ostatne->setAutoDefault(true);
    BitBtn_nacitaj->setAutoDefault(true);
    layout->addWidget(BitBtn_nacitaj_ostatne);
    layout->addWidget(BitBtn_nacitaj);
    layout->addStretch(1);
}

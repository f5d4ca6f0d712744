#include "stock/ui/ServicePanelWidgets.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>

QCheckBox *ServicePanelWidgets::checkBox(const QString &name, const QString &text)
{
    auto *box = new QCheckBox(text);
    box->setObjectName(name);
    return box;
}

QLabel *ServicePanelWidgets::row(QFormLayout *form, const QString &labelName, const QString &caption,
                                 QWidget *field)
{
    auto *label = new QLabel(caption);
    if (!labelName.isEmpty())
        label->setObjectName(labelName);
    label->setBuddy(field);
    form->addRow(label, field);
    return label;
}

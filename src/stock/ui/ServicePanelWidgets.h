#pragma once

#include <QString>

class QCheckBox;
class QFormLayout;
class QLabel;
class QWidget;

// Small builders shared by the tabs of the price-list maintenance screen.
namespace ServicePanelWidgets {

QCheckBox *checkBox(const QString &name, const QString &text);
// A captioned row whose label is the field's buddy, so the caption names the field.
QLabel *row(QFormLayout *form, const QString &labelName, const QString &caption, QWidget *field);

} // namespace ServicePanelWidgets

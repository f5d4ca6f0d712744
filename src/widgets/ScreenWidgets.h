#pragma once

#include <QString>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QTableView;
class QWidget;

// Components of the screens, built the same way everywhere.
namespace ScreenWidgets {

QLineEdit *lineEdit(QWidget *parent, const QString &name, int maxLength = 32767);
// A titled box around one component.
QGroupBox *box(const QString &name, const QString &title, QWidget *content);
// A read-only grid that selects whole rows.
QTableView *grid(const QString &name);
// Buttons take no Enter of their own: the screen decides what Enter does.
QPushButton *button(const QString &name, const QString &text);
// A key aimed at an open drop-down list belongs to the list (Escape closes the list,
// not the screen beneath it).
bool insideOpenList(const QWidget *widget);
// What a screen reader reads for `widget`: `name`, and its hint as the description.
void nameForReaders(QWidget *widget, const QString &name);

} // namespace ScreenWidgets

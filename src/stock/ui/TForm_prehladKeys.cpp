// The sales overview's window keys; the keys of the fields belong to their panels.
#include "stock/ui/TForm_prehlad.h"

#include "widgets/ScreenWidgets.h"

#include <QKeyEvent>
#include <QPushButton>

bool TForm_prehlad::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || ScreenWidgets::insideOpenList(qobject_cast<QWidget *>(watched)))
        return QDialog::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    switch (key->key()) {
    case Qt::Key_F12:
        emit printRequested();
        return true;
    case Qt::Key_Escape:
        reject();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // The cashier moved to the button on purpose: Enter presses it.
        if (auto *button = qobject_cast<QPushButton *>(watched)) {
            button->click();
            return true;
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

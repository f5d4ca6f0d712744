#include "widgets/TypeOverFocus.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>

TypeOverFocus::TypeOverFocus(QObject *parent) : QObject(parent) {}

void TypeOverFocus::install()
{
    QCoreApplication *application = QCoreApplication::instance();
    if (!application || application->findChild<TypeOverFocus *>(QString(), Qt::FindDirectChildrenOnly))
        return;
    application->installEventFilter(new TypeOverFocus(application));
}

bool TypeOverFocus::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::FocusIn && event->type() != QEvent::FocusOut)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget)
        return false;
    const auto &focus = static_cast<const QFocusEvent &>(*event);
    if (event->type() == QEvent::FocusOut)
        focusLeft(widget, focus);
    else
        focusEntered(widget, focus);
    return false;
}

void TypeOverFocus::focusLeft(QWidget *widget, const QFocusEvent &event)
{
    if (event.reason() == Qt::ActiveWindowFocusReason)
        m_leftWith.insert(widget->window(), widget);
}

void TypeOverFocus::focusEntered(QWidget *widget, const QFocusEvent &event)
{
    const QPointer<QWidget> leftWith = m_leftWith.take(widget->window());
    switch (event.reason()) {
    case Qt::MouseFocusReason:
    case Qt::PopupFocusReason:
        return;
    case Qt::ActiveWindowFocusReason:
        // Back in the window: only a field the program chose meanwhile is entered anew.
        if (leftWith == widget)
            return;
        break;
    default:
        break;
    }
    QLineEdit *edit = editOf(widget);
    if (edit && !edit->isReadOnly())
        edit->selectAll();
}

QLineEdit *TypeOverFocus::editOf(QWidget *widget)
{
    if (auto *edit = qobject_cast<QLineEdit *>(widget))
        return edit;
    // An editable list hands its focus events to its line edit directly, past any filter.
    if (auto *list = qobject_cast<QComboBox *>(widget))
        return list->isEditable() ? list->lineEdit() : nullptr;
    return nullptr;
}

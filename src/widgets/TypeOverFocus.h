#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>

class QFocusEvent;
class QLineEdit;
class QWidget;

// A cashier types over what a field holds: a line edit that receives the focus by
// a key (Tab, a shortcut), or because the program moved it there (after a search,
// a dialog, an F-key), selects its whole text, so that the first key typed replaces
// the preset value. A mouse click places the caret as usual, and coming back to a
// window (Alt+Tab, a closed message box or drop-down list) finds the field as it
// was left. One filter on the application does this for every screen.
class TypeOverFocus : public QObject
{
    Q_OBJECT

public:
    // Installs the filter on the running application; later calls do nothing.
    static void install();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit TypeOverFocus(QObject *parent);
    void focusLeft(QWidget *widget, const QFocusEvent &event);
    void focusEntered(QWidget *widget, const QFocusEvent &event);
    static QLineEdit *editOf(QWidget *widget);

    // Per window, the field that held the focus when the window was left.
    QHash<const QWidget *, QPointer<QWidget>> m_leftWith;
};

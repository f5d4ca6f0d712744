// The stock-card screen sees every key first: the action gate, the window keys
// and the keys of the grid; what is left goes to the panel of the focused field.
#include "stock/ui/TForm_skladm.h"

#include "stock/ui/StockCardPanel.h"
#include "stock/ui/StockGridPanel.h"

#include "base/UserDialogs.h"
#include "lang/MessageIds.h"
#include "lang/MessageTable.h"
#include "widgets/ScreenWidgets.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcutEvent>
#include <QTableView>
#include <QTimer>

namespace {

bool isEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

bool returnsToWindow(Qt::FocusReason reason)
{
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

} // namespace

bool TForm_skladm::eventFilter(QObject *watched, QEvent *event)
{
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget)
        return QDialog::eventFilter(watched, event);
    auto *button = qobject_cast<QPushButton *>(widget);
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        updateGate(event);
        break;
    case QEvent::KeyPress: {
        updateGate(event);
        if (ScreenWidgets::insideOpenList(widget))
            break;
        auto *key = static_cast<QKeyEvent *>(event);
        if (windowKey(key))
            return true;
        if (button && isEnter(key->key()) && key->modifiers() == Qt::NoModifier) {
            // The cashier moved to the button on purpose: Enter presses it.
            if (button->isEnabled())
                button->click();
            return true;
        }
        if (widget == m_grid->grid()) {
            if (key->key() == Qt::Key_Delete) {
                BitBtn_vymazClick();
                return true;
            }
            if (isEnter(key->key())) {
                BitBtn_opravClick();
                return true;
            }
        }
        if (m_grid->handleKey(widget, key) || m_card->handleKey(widget, key))
            return true;
        break;
    }
    case QEvent::Shortcut:
        // Alt with the underlined letter acts at once, not after the button's animation:
        // a key typed right after it would close the gate before the delayed click.
        if (button && !static_cast<QShortcutEvent *>(event)->isAmbiguous()) {
            if (button->isEnabled())
                button->click();
            return true;
        }
        break;
    case QEvent::MouseButtonPress:
        if (button)
            m_gateOpen = true;
        break;
    case QEvent::FocusIn:
        if (button)
            m_gateOpen = true;
        if (widget == m_card->codeField())
            codeFieldEntered();
        break;
    case QEvent::FocusOut:
        if (widget == m_card->codeField())
            codeFieldLeft();
        if (widget == m_card->nameField())
            nameFieldLeft(static_cast<QFocusEvent *>(event));
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void TForm_skladm::updateGate(QEvent *event)
{
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool onButton = qobject_cast<QPushButton *>(QApplication::focusWidget()) != nullptr;
    const bool pressesButton = onButton && (isEnter(key->key()) || key->key() == Qt::Key_Space) &&
                               key->modifiers() == Qt::NoModifier;
    m_gateOpen = key->modifiers().testFlag(Qt::AltModifier) || pressesButton;
}

void TForm_skladm::guarded(const std::function<void()> &action)
{
    if (m_gateOpen)
        action();
}

bool TForm_skladm::windowKey(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        reject();
        return true;
    case Qt::Key_F12:
        BitBtn_tlacClick();
        return true;
    case Qt::Key_F1:
        if (m_grid->searchField()->isEnabled())
            m_grid->searchField()->setFocus(Qt::ShortcutFocusReason);
        return true;
    case Qt::Key_F2:
        if (m_grid->groupFilter()->isEnabled())
            m_grid->groupFilter()->setFocus(Qt::ShortcutFocusReason);
        return true;
    case Qt::Key_Insert:
        if (BitBtn_novy->isEnabled())
            BitBtn_novyClick();
        return true;
    default:
        return false;
    }
}

void TForm_skladm::nameFieldLeft(QFocusEvent *event)
{
    // Leaving the window (a message box, another program) is not leaving the field.
    if (m_state == State::Browse || m_checkingName || returnsToWindow(event->reason()))
        return;
    if (!m_card->nameField()->text().isEmpty() || !isVisible())
        return;
    QWidget *next = QApplication::focusWidget();
    if (next == BitBtn_zrus || next == BitBtn_pokladna)
        return;
    // The box is shown once the focus change is over, never inside it.
    m_checkingName = true;
    QTimer::singleShot(0, this, [this] {
        if (m_state != State::Browse && m_card->nameField()->text().isEmpty() && isVisible()) {
            m_context.dialogs.warn(m_context.messages.text(Msg::CardNameEmpty),
                                   m_context.messages.text(Msg::CardNameEmptyCaption));
            m_card->nameField()->setFocus(Qt::OtherFocusReason);
        }
        m_checkingName = false;
    });
}

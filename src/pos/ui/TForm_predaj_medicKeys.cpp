// The sale screen sees every key first: the user-action guard and the window
// shortcuts; what is left goes to the panel of the focused field.
#include "pos/ui/TForm_predaj_medic.h"

#include "base/Configuration.h"
#include "base/UserDialogs.h"
#include "lang/MessageTable.h"
#include "link/PrinterState.h"
#include "pos/ui/SaleDocumentPanel.h"
#include "pos/ui/SaleItemPanel.h"
#include "pos/ui/SaleSearchPanel.h"
#include "widgets/PanelStatusBar.h"

#include <QAbstractButton>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

using namespace Qt::StringLiterals;

namespace {

bool returnsToWindow(Qt::FocusReason reason)
{
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

} // namespace

bool TForm_predaj_medic::eventFilter(QObject *watched, QEvent *event)
{
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        updateGuard(event);
        break;
    case QEvent::KeyPress: {
        updateGuard(event);
        auto *key = static_cast<QKeyEvent *>(event);
        updateDocumentPanels();
        if (windowKey(key->key()))
            return true;
        if (widget == m_documentPanel->grid() && key->key() == Qt::Key_Delete) {
            BitBtn_vymazClick();
            return true;
        }
        return m_search->handleKey(widget, key) || m_item->handleKey(widget, key);
    }
    case QEvent::MouseButtonPress:
        if (qobject_cast<QAbstractButton *>(widget))
            m_userAction = true;
        if (widget == Image_help)
            Image_helpClick();
        break;
    case QEvent::Enter:
        if (qobject_cast<QAbstractButton *>(widget))
            m_userAction = true;
        break;
    case QEvent::FocusIn:
        // Only the cashier's own move into the field starts a new search; coming back
        // to the window (Alt+Tab, a closed message box) finds the text as it was left.
        if (widget == m_search->searchField() &&
            (m_searchEntryPending || !returnsToWindow(static_cast<QFocusEvent *>(event)->reason()))) {
            m_searchEntryPending = false;
            Edit_predajEnter();
        }
        break;
    case QEvent::FocusOut:
        if (widget == Edit_paragon)
            Edit_paragonExit();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void TForm_predaj_medic::updateGuard(QEvent *event)
{
    const auto *key = static_cast<QKeyEvent *>(event);
    m_userAction = key->modifiers().testFlag(Qt::AltModifier) || key->key() == Qt::Key_Insert ||
                   key->key() == Qt::Key_F12;
}

void TForm_predaj_medic::updateDocumentPanels()
{
    const MessageTable &messages = m_services.context.messages;
    const PrinterInfo &info = m_services.printer.info;
    SB_predaj->setPanelText(0, messages.text(Msg::ClosingNumberPrefix) +
                                   QString::number(info.dailyClosingNumber + 1));
    SB_predaj->setPanelText(1, messages.text(Msg::DocumentNumberPrefix) +
                                   QString::number(info.documentNumber + 1));
}

bool TForm_predaj_medic::windowKey(int key)
{
    switch (key) {
    case Qt::Key_F1:
        if (m_documentPanel->grid()->isEnabled())
            m_documentPanel->grid()->setFocus();
        return true;
    case Qt::Key_F2:
        if (m_search->searchField()->isEnabled())
            m_search->searchField()->setFocus();
        return true;
    case Qt::Key_F12:
        BitBtn_tlac->click();
        return true;
    case Qt::Key_Insert:
        BitBtn_novy->click();
        return true;
    default:
        return false;
    }
}

void TForm_predaj_medic::updateSelectionColours()
{
    QTableView *documentGrid = m_documentPanel->grid();
    const bool documentFocused = documentGrid->hasFocus();
    const auto colour = [](QTableView *grid, bool navy) {
        QPalette palette = grid->palette();
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            palette.setColor(group, QPalette::Highlight,
                             navy ? QColor(Qt::darkBlue) : palette.color(QPalette::Base));
            palette.setColor(group, QPalette::HighlightedText,
                             navy ? QColor(Qt::white) : palette.color(QPalette::Text));
        }
        grid->setPalette(palette);
    };
    colour(documentGrid, documentFocused);
    colour(m_search->itemList(), !documentFocused);
}

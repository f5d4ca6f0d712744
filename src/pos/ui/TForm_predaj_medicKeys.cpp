// The sale screen's keys: the user-action guard, the window shortcuts, the
// routes of each field and the character filters of the number fields.
#include "pos/ui/TForm_predaj_medic.h"

#include "app/AppContext.h"
#include "app/ui/PanelStatusBar.h"
#include "link/PrinterState.h"
#include "pos/ui/StockListModel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedLayout>
#include <QTableView>
#include <QTextEdit>

using namespace Qt::StringLiterals;

namespace {

bool isEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

bool isModifierOnly(int key)
{
    return key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Shift || key == Qt::Key_Meta ||
           key == Qt::Key_AltGr;
}

bool returnsToWindow(Qt::FocusReason reason)
{
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

void selectNeighbour(QComboBox *list, int step)
{
    const int index = list->currentIndex() + step;
    if (index >= 0 && index < list->count())
        list->setCurrentIndex(index);
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
        return routeKey(widget, key);
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
        if (widget == Edit_predaj &&
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
    const MessageTable &messages = m_s.context.messages;
    const PrinterInfo &info = m_s.printer.info;
    SB_predaj->setPanelText(0, messages.text(Msg::ClosingNumberPrefix) +
                                   QString::number(info.dailyClosingNumber + 1));
    SB_predaj->setPanelText(1, messages.text(Msg::DocumentNumberPrefix) +
                                   QString::number(info.documentNumber + 1));
}

bool TForm_predaj_medic::windowKey(int key)
{
    switch (key) {
    case Qt::Key_F1:
        if (SMDBGrid_doklad->isEnabled())
            SMDBGrid_doklad->setFocus();
        return true;
    case Qt::Key_F2:
        if (Edit_predaj->isEnabled())
            Edit_predaj->setFocus();
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

bool TForm_predaj_medic::routeKey(QWidget *widget, QKeyEvent *event)
{
    const int key = event->key();
    if (widget == Edit_predaj)
        return searchFieldKey(event);
    if (widget == SMDBGrid_sklad)
        return itemListKey(event);
    if (widget == SMDBGrid_doklad && key == Qt::Key_Delete) {
        BitBtn_vymazClick();
        return true;
    }
    if (widget == Edit_nazov || widget == Edit_nazov1 || widget == Edit_nazov2 || widget == Edit_kod)
        return nameFieldKey(widget, key);
    if (widget == CB_dph || widget == CB_mj || (CB_mj->lineEdit() && widget == CB_mj->lineEdit()))
        return listKey(widget == CB_dph ? CB_dph : CB_mj, key);
    if (widget == Edit_jc)
        return priceKey(event);
    if (widget == Edit_pocet)
        return quantityKey(event);
    if (widget == Edit_zlava)
        return percentKey(event);
    return false;
}

void TForm_predaj_medic::beforeSearchFieldKey()
{
    if (m_document.isEmpty())
        recomputeTotal();
    if (m_printedShown || m_helpShown) {
        m_printedShown = false;
        m_helpShown = false;
        showDocumentBoxText(false);
        GroupBox_doklad->setTitle(m_s.context.messages.text(Msg::OpenDocumentBoxCaption));
    }
}

bool TForm_predaj_medic::searchFieldKey(QKeyEvent *event)
{
    beforeSearchFieldKey();
    const int key = event->key();
    if (isEnter(key)) {
        enterFromList();
        return true;
    }
    if (key == Qt::Key_Left || key == Qt::Key_Right) {
        stepColumn(key == Qt::Key_Left ? -1 : 1);
        return true;
    }
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
        moveItemList(key == Qt::Key_Up ? -1 : 1);
        return true;
    }
    if (key == Qt::Key_Control || key == Qt::Key_Alt)
        return true;
    // The field takes the key first, so the search sees the new text once.
    m_inSearchKey = true;
    static_cast<QObject *>(Edit_predaj)->event(event);
    m_inSearchKey = false;
    recomputeTotal();
    runSearch();
    return true;
}

bool TForm_predaj_medic::itemListKey(QKeyEvent *event)
{
    const int key = event->key();
    if (isEnter(key)) {
        enterFromList();
        return true;
    }
    if (key == Qt::Key_Left || key == Qt::Key_Right) {
        stepColumn(key == Qt::Key_Left ? -1 : 1);
        return true;
    }
    if (key == Qt::Key_Up || key == Qt::Key_Down || isModifierOnly(key) ||
        event->modifiers().testFlag(Qt::AltModifier))
        return false;
    Edit_predaj->setFocus();
    return true;
}

void TForm_predaj_medic::focusNext(QWidget *from, int step)
{
    const qsizetype start = m_focusOrder.indexOf(from);
    if (start < 0)
        return;
    for (qsizetype i = start + step; i >= 0 && i < m_focusOrder.size(); i += step) {
        if (m_focusOrder.at(i)->isEnabled()) {
            m_focusOrder.at(i)->setFocus();
            return;
        }
    }
}

bool TForm_predaj_medic::nameFieldKey(QWidget *field, int key)
{
    if (isEnter(key) || key == Qt::Key_Down) {
        focusNext(field, 1);
        return true;
    }
    if (key != Qt::Key_Up)
        return false;
    if (field == Edit_nazov1 && !Edit_nazov->isEnabled())
        return true;
    if (field != Edit_nazov)
        focusNext(field, -1);
    return true;
}

bool TForm_predaj_medic::listKey(QComboBox *list, int key)
{
    if (key == Qt::Key_Left || key == Qt::Key_Right) {
        selectNeighbour(list, key == Qt::Key_Left ? -1 : 1);
        return true;
    }
    if (list == CB_dph) {
        if (isEnter(key) || key == Qt::Key_Down)
            focusNext(CB_dph, 1);
        else if (key == Qt::Key_Up)
            focusNext(CB_dph, -1);
        else
            return false;
        return true;
    }
    if (isEnter(key) || key == Qt::Key_Up)
        focusNext(CB_mj, -1);
    else if (key != Qt::Key_Down)
        return false;
    return true;
}

bool TForm_predaj_medic::numberCharacter(QLineEdit *field, QKeyEvent *event, bool allowMinus)
{
    const QString text = event->text();
    if (text.isEmpty() || !text.at(0).isPrint() || event->key() == Qt::Key_Backspace)
        return false;
    const QChar c = text.at(0);
    if (c.isDigit())
        return false;
    const QString separator = m_locale.decimalPoint();
    if (c == u'.' || c == u',' || text == separator) {
        if (!field->text().contains(separator))
            field->insert(separator);
        return true;
    }
    if (allowMinus && c == u'-' && !field->text().contains(u'-'))
        return false;
    return true;
}

bool TForm_predaj_medic::priceKey(QKeyEvent *event)
{
    const int key = event->key();
    if (isEnter(key)) {
        Edit_pocet->setFocus();
        return true;
    }
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
        focusNext(Edit_jc, key == Qt::Key_Up ? -1 : 1);
        return true;
    }
    return numberCharacter(Edit_jc, event, false);
}

bool TForm_predaj_medic::quantityKey(QKeyEvent *event)
{
    const int key = event->key();
    if (isEnter(key)) {
        storeCurrentItem();
        return true;
    }
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
        focusNext(Edit_pocet, key == Qt::Key_Up ? -1 : 1);
        return true;
    }
    return numberCharacter(Edit_pocet, event, true);
}

bool TForm_predaj_medic::percentKey(QKeyEvent *event)
{
    const int key = event->key();
    if (isEnter(key) || key == Qt::Key_Down || key == Qt::Key_Tab) {
        Edit_pocet->setFocus();
        return true;
    }
    if (key == Qt::Key_Up) {
        CB_mj->setFocus();
        return true;
    }
    const QString text = event->text();
    return !text.isEmpty() && text.at(0).isPrint() && !text.at(0).isDigit();
}

void TForm_predaj_medic::updateSelectionColours()
{
    const bool documentFocused = SMDBGrid_doklad->hasFocus();
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
    colour(SMDBGrid_doklad, documentFocused);
    colour(SMDBGrid_sklad, !documentFocused);
}

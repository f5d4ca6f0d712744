// The keys of the cash-operations dialog: what each field accepts and where Enter and
// leaving a field take the focus.

#include "pos/ui/TForm_financie.h"

#include "base/Configuration.h"
#include "base/UserDialogs.h"
#include "lang/MessageTable.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

constexpr int Decimals = 2;

bool isEnter(const QKeyEvent *event)
{
    return (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
           (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

// The focus left for another control of the dialog, not for a box or a list's own popup.
bool leftForAnotherControl(const QEvent *event)
{
    const Qt::FocusReason reason = static_cast<const QFocusEvent *>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

} // namespace

void TForm_financie::keyPressEvent(QKeyEvent *event)
{
    // Enter belongs to the fields; it never closes or confirms the dialog on its own.
    if (isEnter(event))
        return;
    QDialog::keyPressEvent(event);
}

bool TForm_financie::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn && watched == Edit_hotovost)
        Edit_hotovostEnter();
    if (event->type() == QEvent::FocusOut && leftForAnotherControl(event) && !m_closing && isVisible()) {
        if (watched == Edit_celkom)
            Edit_celkomExit();
        else if (watched == Edit_hotovost)
            Edit_hotovostExit();
        else if (watched == CB_vyhotovil)
            CB_vyhotovilExit();
    }
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (isEnter(key)) {
        if (watched == Edit_celkom)
            Edit_celkomEnter();
        else if (watched == Edit_hotovost)
            Edit_hotovostEnterKey();
        else if (watched == Edit_info)
            CB_platidlo->setFocus();
        else if (watched == CB_platidlo)
            Edit_hotovost->setFocus();
        else if (watched == CB_vyhotovil)
            focusNextChild();
        else if (watched == BitBtn_ok)
            BitBtn_ok->click();
        return true;
    }
    if (watched == Edit_celkom)
        return amountKey(Edit_celkom, key, false);
    if (watched == Edit_hotovost)
        return amountKey(Edit_hotovost, key, true);
    if (watched == Edit_info)
        return textKey(key);
    return QDialog::eventFilter(watched, event);
}

bool TForm_financie::amountKey(QLineEdit *field, QKeyEvent *event, bool minusAllowed)
{
    const QString text = event->text();
    // Editing keys, moves and shortcuts (Ctrl+C, Ctrl+V) are the field's own.
    if (text.isEmpty() || text.front().unicode() < 0x20 || text.front().unicode() == 0x7F ||
        (event->modifiers() & Qt::ControlModifier))
        return false;
    const QChar typed = text.front();
    const bool selected = field->hasSelectedText();
    const int at = selected ? field->selectionStart() : field->cursorPosition();
    const QString rest = field->text().remove(field->selectionStart(), field->selectedText().size());
    const qsizetype separator = rest.indexOf(m_separator);
    if (typed.isDigit()) {
        const bool centsFull = separator >= 0 && at > separator && rest.size() - separator - 1 >= Decimals;
        return !selected && centsFull;
    }
    if (typed == u'-')
        return !(minusAllowed && at == 0 && !rest.contains(u'-'));
    if (typed == u',' || typed == u'.') {
        const bool first = at == 0 || (at == 1 && rest.startsWith(u'-'));
        if (separator < 0 && !first)
            field->insert(QString(m_separator));
        return true;
    }
    QApplication::beep();
    return true;
}

bool TForm_financie::textKey(QKeyEvent *event)
{
    const QString text = event->text();
    if (text.isEmpty() || text.front().unicode() < 0x20 || (event->modifiers() & Qt::ControlModifier))
        return false;
    if (CashVoucher::unprintable(text).isEmpty())
        return false;
    // The printer has no letter for it: refused here rather than changed on the voucher.
    QApplication::beep();
    return true;
}

void TForm_financie::Edit_celkomEnter()
{
    double amount = 0;
    if (CashVoucher::readAmount(Edit_celkom->text(), false, amount) == CashVoucher::AmountCheck::Valid &&
        amount > CashVoucher::WarningAmount)
        m_services.dialogs.warn(message(int(Msg::AmountTooHigh)), message(int(Msg::AmountTooHighCaption)));
    if (m_services.config.cashierRequired == 1)
        CB_vyhotovil->setFocus();
    else
        Edit_hotovost->setFocus();
}

void TForm_financie::Edit_celkomExit()
{
    double amount = 0;
    const CashVoucher::AmountCheck check = CashVoucher::readAmount(Edit_celkom->text(), false, amount);
    if (check != CashVoucher::AmountCheck::Valid) {
        later([this, check] { refuse(CashVoucher::amountProblemText(check), Edit_celkom); });
        return;
    }
    m_voucher.setAmount(amount);
    Edit_hotovost->setText(Edit_celkom->text());
    showRemaining();
}

void TForm_financie::Edit_hotovostEnter()
{
    if (m_voucher.allPaymentsZero())
        Edit_hotovost->setText(Edit_celkom->text());
    Edit_hotovost->selectAll();
}

void TForm_financie::Edit_hotovostEnterKey()
{
    storePayment();
    showRemaining();
    if (m_voucher.paidInFull())
        BitBtn_ok->setFocus();
    else
        CB_platidlo->setFocus();
}

void TForm_financie::Edit_hotovostExit()
{
    // Stored on leaving too, so that what was typed for one means is not lost when the
    // cashier moves on to another without Enter.
    storePayment();
    showRemaining();
}

void TForm_financie::storePayment()
{
    double paid = 0;
    const CashVoucher::AmountCheck check = CashVoucher::readAmount(Edit_hotovost->text(), true, paid);
    if (check == CashVoucher::AmountCheck::Valid || check == CashVoucher::AmountCheck::Empty)
        m_voucher.setPayment(selectedMeans(), paid);
}

void TForm_financie::CB_platidloClick(int)
{
    if (!m_voucher.allPaymentsZero())
        Edit_hotovost->setText(CashVoucher::format(m_voucher.payment(selectedMeans())));
}

void TForm_financie::CB_vyhotovilExit()
{
    if (cashierMissing())
        later([this] { refuseMissingCashier(); });
}

int TForm_financie::selectedMeans() const
{
    return m_entryMeans.value(CB_platidlo->currentIndex(), 0);
}

bool TForm_financie::cashierMissing() const
{
    return m_services.config.cashierRequired == 1 && CB_vyhotovil->currentIndex() < 0;
}

void TForm_financie::later(std::function<void()> step)
{
    // After the focus change has finished: a box opened inside it would fight it. One
    // refusal at a time, and none once the dialog is closing.
    if (m_refusalQueued)
        return;
    m_refusalQueued = true;
    QTimer::singleShot(0, this, [this, step = std::move(step)] {
        m_refusalQueued = false;
        if (!m_closing && isVisible())
            step();
    });
}

#include "pos/ui/TForm_platba.h"

#include "base/Configuration.h"
#include "base/UserDialogs.h"
#include "lang/MessageTable.h"
#include "widgets/ScreenWidgets.h"
#include "widgets/TypeOverFocus.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

constexpr int AmountLength = 8;
constexpr int PercentLength = 2;
constexpr int ShowPauseMs = 500;
const QString Navy = u"color: navy"_s;
const QString Maroon = u"color: maroon"_s;

QLabel *namedLabel(const QString &name, const QString &text = {})
{
    auto *label = new QLabel(text);
    label->setObjectName(name);
    return label;
}

bool isEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

TForm_platba::TForm_platba(Services services, QWidget *parent)
    : QDialog(parent), m_services(std::move(services)), m_calc(m_services.config.paymentMeans, QLocale())
{
    setObjectName(u"TForm_platba"_s);
    setWindowTitle(u"Úhrada dokladu"_s);
    setModal(true);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    TypeOverFocus::install();
    buildLayout();
}

void TForm_platba::buildLayout()
{
    auto *totalBox = new QGroupBox;
    totalBox->setObjectName(u"GB_celkomplatit"_s);
    auto *totalLayout = new QHBoxLayout(totalBox);
    totalLayout->addWidget(new QLabel(u"Cena celkom"_s));
    m_total = namedLabel(u"Label_celkom"_s);
    totalLayout->addWidget(m_total);

    auto *discountBox =
        new QGroupBox(u"   [%]                       Zľ&ava                       Pred zľavou  "_s);
    discountBox->setObjectName(u"GB_zlava"_s);
    auto *discountLayout = new QHBoxLayout(discountBox);
    m_percent = new QLineEdit(u"0"_s);
    m_percent->setObjectName(u"Edit_zlava_perc"_s);
    m_percent->setMaxLength(PercentLength);
    m_discountAmount = namedLabel(u"Label_zlava_eur"_s);
    m_beforeDiscount = namedLabel(u"Label_pred_zlavou"_s);
    discountLayout->addWidget(m_percent);
    discountLayout->addWidget(m_discountAmount);
    discountLayout->addWidget(m_beforeDiscount);

    auto *meansBox = new QGroupBox;
    meansBox->setObjectName(u"GB_platidlo"_s);
    auto *meansLayout = new QGridLayout(meansBox);
    m_means = new QComboBox;
    m_means->setObjectName(u"CB_platidlo"_s);
    m_means->setEditable(false);
    m_amount = new QLineEdit;
    m_amount->setObjectName(u"Edit_amount"_s);
    m_amount->setMaxLength(AmountLength);
    m_amount->setToolTip(u"Zadajte sumu platenú hotovosťou"_s);
    m_remainingCaption = namedLabel(u"Label_uhradit"_s);
    m_remaining = namedLabel(u"Label_zostavauhradit"_s);
    meansLayout->addWidget(new QLabel(u"Výber platidla"_s), 0, 0);
    meansLayout->addWidget(m_means, 1, 0);
    meansLayout->addWidget(new QLabel(u"Hodnota platidla"_s), 0, 1);
    meansLayout->addWidget(m_amount, 1, 1);
    meansLayout->addWidget(m_remainingCaption, 0, 2);
    meansLayout->addWidget(m_remaining, 1, 2);

    m_memo = new QPlainTextEdit;
    m_memo->setObjectName(u"Memo_peta"_s);
    m_memo->setToolTip(u"Zadajte text, ktorý bude vytlačený na konci dokladu"_s);
    ScreenWidgets::nameForReaders(m_percent, u"Zľava na doklad [%]"_s);
    ScreenWidgets::nameForReaders(m_means, u"Výber platidla"_s);
    ScreenWidgets::nameForReaders(m_amount, u"Hodnota platidla"_s);
    ScreenWidgets::nameForReaders(m_memo, u"Doplňujúca informácia vytlačená na konci dokladu"_s);

    auto *paidLayout = new QGridLayout;
    for (int i = 0; i < LabelledMeans; ++i) {
        m_names[std::size_t(i)] = namedLabel(u"Label_P%1"_s.arg(i + 1));
        m_amounts[std::size_t(i)] = namedLabel(u"Label_PS%1"_s.arg(i + 1), m_calc.amountText(0));
        paidLayout->addWidget(m_names[std::size_t(i)], i % 4, (i / 4) * 2);
        paidLayout->addWidget(m_amounts[std::size_t(i)], i % 4, (i / 4) * 2 + 1);
    }

    m_cashRegister = new QPushButton(u"&Pokladna"_s);
    m_cashRegister->setObjectName(u"BitBtn_Pokladna"_s);
    m_print = new QPushButton(u"&Tlač dokladu"_s);
    m_print->setObjectName(u"BitBtn_ok"_s);
    for (QPushButton *button : {m_cashRegister, m_print}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_cashRegister);
    buttons->addStretch();
    buttons->addWidget(m_print);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(totalBox);
    layout->addWidget(discountBox);
    layout->addWidget(meansBox);
    layout->addWidget(new QLabel(u"Doplňujúca informácia vytlačená na konci dokladu"_s));
    layout->addWidget(m_memo);
    layout->addLayout(paidLayout);
    layout->addLayout(buttons);
    layout->addWidget(namedLabel(u"StatusBar1"_s, u" F4  Zľava,  F12 Tlač"_s));

    setTabOrder(m_percent, m_means);
    setTabOrder(m_means, m_amount);
    setTabOrder(m_amount, m_memo);
    setTabOrder(m_memo, m_print);
    setTabOrder(m_print, m_cashRegister);
    m_memo->setTabChangesFocus(true);

    // Every control is watched: a drop-down list takes F4 for itself, and the
    // dialog's keys must work wherever the focus is.
    const QList<QWidget *> controls = findChildren<QWidget *>();
    for (QWidget *control : controls)
        control->installEventFilter(this);
    connect(m_means, &QComboBox::activated, this, &TForm_platba::chooseMeans);
    connect(m_memo, &QPlainTextEdit::cursorPositionChanged, this, &TForm_platba::keepMemoColumns);
    connect(m_print, &QPushButton::clicked, this, &TForm_platba::printDocument);
    connect(m_cashRegister, &QPushButton::clicked, this, &TForm_platba::cashRegister);
}

void TForm_platba::run(PaymentSession &session)
{
    m_session = &session;
    prepare();
    // Only "Tlač dokladu" accepts. Any other way out (Escape, "Pokladna", or the
    // event loop ended by a shutdown or a close request) leaves the sale unprinted.
    if (exec() != QDialog::Accepted) {
        session.cancelled = true;
        if (isVisible())
            reject(); // the loop ended under the dialog; it must not stay on screen
    }
    if (m_services.pause)
        m_services.pause(ShowPauseMs);
    m_session = nullptr;
}

QString TForm_platba::totalText() const
{
    return m_calc.amountText(m_calc.total());
}

void TForm_platba::prepare()
{
    if (m_services.pause)
        m_services.pause(ShowPauseMs);
    setWindowTitle(u"Úhrada dokladu"_s);
    PaymentSession &session = *m_session;
    session.cancelled = false;
    m_calc.start(session.totalCents);
    m_percent->setEnabled(session.totalCents >= 1);
    m_percent->setText(QString::number(session.discount.percent));
    // A percent only copied from the item field, never applied to this document, has no
    // gross or net of its own: the document's current total is what holds.
    const bool applied = session.discount.percent != 0 && session.discount.applied;
    m_beforeDiscount->setText(applied ? m_calc.amountText(session.discount.gross) : totalText());
    m_total->setText(applied ? m_calc.amountText(session.discount.net) : totalText());
    m_discountAmount->setText(m_calc.amountText(applied ? session.discount.discountCents / 100.0 : 0.0));
    m_amount->setText(m_total->text());
    m_amount->setEnabled(session.totalCents >= 0);
    m_amount->setCursorPosition(m_amount->text().size());
    m_means->clear();
    m_means->addItems(m_calc.listNames());
    m_means->setCurrentIndex(0);
    m_memo->setEnabled(!m_services.config.closingTextDisabled);
    m_memo->clear();
    for (int i = 0; i < LabelledMeans; ++i)
        m_names[std::size_t(i)]->setText(m_services.config.paymentMeans[std::size_t(i)]);
    showAmounts();
    showRemaining(session.totalCents < 0, m_total->text());
    m_means->setFocus();
}

void TForm_platba::showAmounts()
{
    for (int i = 0; i < LabelledMeans; ++i) {
        const double value = m_calc.amount(i);
        m_amounts[std::size_t(i)]->setText(m_calc.amountText(value));
        m_amounts[std::size_t(i)]->setStyleSheet(value != 0 ? Maroon : Navy);
    }
}

void TForm_platba::showRemaining(bool changeOrExact, const QString &amount)
{
    m_remainingCaption->setText(
        m_services.messages.text(changeOrExact ? Msg::ChangeDue : Msg::RemainingToPay));
    m_remainingCaption->setStyleSheet(changeOrExact ? Navy : Maroon);
    m_remaining->setText(amount);
}

void TForm_platba::chooseMeans(int entry)
{
    const QString suggestion = m_calc.suggestionFor(entry);
    if (!suggestion.isEmpty())
        m_amount->setText(suggestion);
    if (m_calc.totalCents() < 0)
        showRemaining(true, m_amount->text());
}

void TForm_platba::enterAmount()
{
    if (m_calc.allAmountsZero())
        m_amount->setText(m_total->text());
    m_amount->selectAll();
}

void TForm_platba::storeAmount()
{
    m_calc.setAmount(m_means->currentIndex(), PaymentCalculation::parseAmount(m_amount->text()));
}

void TForm_platba::leaveAmount()
{
    if (!m_session)
        return;
    if (PaymentCalculation::parseAmount(m_amount->text()) > PaymentCalculation::WarningAmount)
        m_services.dialogs.warn(m_services.messages.text(Msg::AmountTooHigh),
                                m_services.messages.text(Msg::AmountTooHighCaption));
    storeAmount();
    showAmounts();
    const double difference = m_calc.difference();
    const bool settled = difference >= 0;
    showRemaining(settled, m_calc.amountText(difference));
    if (!settled)
        m_means->setFocus();
}

void TForm_platba::applyDiscount()
{
    if (!m_session || !m_services.applyDiscount)
        return;
    const int percent = m_percent->text().toInt();
    const std::optional<DocumentDiscountResult> result = m_services.applyDiscount(percent);
    if (!result)
        return;
    m_session->discount = result->discount;
    m_session->discount.percent = percent;
    m_session->totalCents = result->totalCents;
    m_calc.setTotal(result->totalCents);
    m_beforeDiscount->setText(m_calc.amountText(result->discount.gross + 0.005));
    m_total->setText(totalText());
    showRemaining(result->totalCents < 0, totalText());
    m_discountAmount->setText(m_calc.amountText(result->discount.discountCents / 100.0));
    m_calc.clearAmounts();
    showAmounts();
    m_amount->setText(totalText());
}

void TForm_platba::keepMemoColumns()
{
    // The printer's paper takes forty characters; a longer line would be cut.
    QTextCursor cursor = m_memo->textCursor();
    if (cursor.positionInBlock() < MemoColumns)
        return;
    const QSignalBlocker blocker(m_memo);
    cursor.insertBlock();
    m_memo->setTextCursor(cursor);
}

void TForm_platba::printDocument()
{
    PaymentSession &session = *m_session;
    storeAmount();
    session.discount = DocumentDiscount{};
    if (m_calc.confirm() == PaymentCalculation::Outcome::Short) {
        setWindowTitle(m_services.messages.text(Msg::PaymentShortCaption));
        m_amount->setFocus();
        return;
    }
    session.amounts = m_calc.amounts();
    session.tendered = m_calc.tendered();
    session.closingText = m_memo->toPlainText().split(u'\n');
    accept();
}

void TForm_platba::cashRegister()
{
    if (m_services.cashRegister)
        m_services.cashRegister();
    reject();
}

void TForm_platba::reject()
{
    if (m_session)
        m_session->cancelled = true;
    QDialog::reject();
}

void TForm_platba::keyPressEvent(QKeyEvent *event)
{
    if (!dialogKey(event->key()))
        QDialog::keyPressEvent(event);
}

bool TForm_platba::dialogKey(int key)
{
    switch (key) {
    case Qt::Key_F4:
        if (m_percent->isEnabled())
            m_percent->setFocus();
        return true;
    case Qt::Key_F12:
        // The field being left does its exit work before the payment is confirmed.
        focusNextChild();
        m_print->click();
        return true;
    default:
        return false;
    }
}

bool TForm_platba::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn && watched == m_amount)
        enterAmount();
    if (event->type() == QEvent::FocusOut && watched == m_amount)
        leaveAmount();
    if (event->type() == QEvent::FocusOut && watched == m_percent)
        applyDiscount();
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (dialogKey(key->key()))
            return true;
        // The route is amount, Enter, then Enter on the focused print button prints.
        if (watched == m_print && isEnter(key->key()) &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            m_print->click();
            return true;
        }
        if (watched == m_amount)
            return filterAmountKey(key);
        if (watched == m_means)
            return filterListKey(key);
        if (watched == m_percent)
            return filterPercentKey(key);
    }
    return QDialog::eventFilter(watched, event);
}

bool TForm_platba::filterAmountKey(QKeyEvent *event)
{
    if (isEnter(event->key())) {
        storeAmount();
        m_print->setFocus();
        return true;
    }
    const QString text = event->text();
    if (text.isEmpty() || event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete)
        return false;
    const QChar c = text.front();
    if (c.isDigit())
        return false;
    // What the key leaves standing: a selected text is typed over.
    const QString kept =
        m_amount->hasSelectedText()
            ? m_amount->text().remove(m_amount->selectionStart(), m_amount->selectedText().size())
            : m_amount->text();
    if (c == u'-')
        return kept.contains(u'-');
    if (c == u',' || c == u'.') {
        if (!kept.contains(u'.') && !kept.contains(u','))
            m_amount->insert(QLocale().decimalPoint());
        return true;
    }
    return true;
}

bool TForm_platba::filterListKey(QKeyEvent *event)
{
    if (isEnter(event->key())) {
        if (m_amount->isEnabled())
            m_amount->setFocus();
        else
            m_print->setFocus();
        return true;
    }
    const QString text = event->text();
    if (!text.isEmpty() && text.front().isDigit() && m_amount->isEnabled()) {
        m_amount->setFocus();
        m_amount->setText(text);
        return true;
    }
    return false;
}

bool TForm_platba::filterPercentKey(QKeyEvent *event)
{
    if (isEnter(event->key()) || event->key() == Qt::Key_Down || event->key() == Qt::Key_Tab) {
        m_means->setFocus();
        return true;
    }
    const QString text = event->text();
    if (text.isEmpty() || event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete)
        return false;
    return !text.front().isDigit();
}

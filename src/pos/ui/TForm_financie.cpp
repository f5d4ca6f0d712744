#include "pos/ui/TForm_financie.h"

#include "base/Configuration.h"
#include "base/UserDialogs.h"
#include "lang/MessageTable.h"
#include "pos/CashOperationGate.h"
#include "pos/CashVoucherPrint.h"
#include "widgets/TypeOverFocus.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const QString InputErrorCaption = u"Omira chyba zadania"_s;
const QString CashierMissing = u"! Vyberte meno obsluhy !"_s;
const QString HandOverFailed =
    u"Tlačový manažér neprevzal doklad v stanovenom čase, doklad sa nevytlačil.\r\n"
    "Skontrolujte, či tlačový manažér beží, a stlačte OK znovu."_s;

QLabel *captionFor(QWidget *field, const QString &name, const QString &text)
{
    auto *label = new QLabel(text);
    label->setObjectName(name);
    label->setBuddy(field);
    return label;
}

QLineEdit *lineEdit(const QString &name, int maxLength, const QString &hint)
{
    auto *edit = new QLineEdit;
    edit->setObjectName(name);
    edit->setMaxLength(maxLength);
    edit->setToolTip(hint);
    return edit;
}

QComboBox *list(const QString &name, const QString &hint)
{
    auto *combo = new QComboBox;
    combo->setObjectName(name);
    combo->setEditable(false);
    combo->setToolTip(hint);
    return combo;
}

} // namespace

TForm_financie::TForm_financie(Services services, QWidget *parent)
    : QDialog(parent), m_services(std::move(services))
{
    setObjectName(u"TForm_financie"_s);
    setWindowTitle(u" Hotovostné operácie"_s);
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    const QString separator = QLocale().decimalPoint();
    if (separator == u","_s)
        m_separator = u',';
    TypeOverFocus::install();
    buildLayout();
}

QString TForm_financie::message(int slot) const
{
    return m_services.messages.text(slot);
}

void TForm_financie::buildLayout()
{
    Edit_celkom = lineEdit(u"Edit_celkom"_s, AmountLength, u"Zadajte platenú sumu s DPH"_s);
    Label_cena = captionFor(Edit_celkom, u"Label_cena"_s, message(int(Msg::DepositAmountLabel)));
    Edit_info =
        lineEdit(u"Edit_info"_s, CashVoucher::TextLength, u"Zadajte doplňujúci údaj tlačený na doklade"_s);
    CB_vyhotovil = list(u"CB_vyhotovil"_s, u"Kto vystavil doklad"_s);

    auto *top = new QGridLayout;
    top->addWidget(Label_cena, 0, 0);
    top->addWidget(Edit_celkom, 1, 0);
    top->addWidget(captionFor(Edit_info, u"Label4"_s, u"Doplňujúca informácia"_s), 2, 0);
    top->addWidget(Edit_info, 3, 0);
    top->addWidget(captionFor(CB_vyhotovil, u"Label1"_s, u"Vyhotovil:"_s), 4, 0);
    top->addWidget(CB_vyhotovil, 5, 0);

    GB_vratit = new QGroupBox(u"Vrátiť"_s);
    GB_vratit->setObjectName(u"GB_vratit"_s);
    Label_vydavok = new QLabel;
    Label_vydavok->setObjectName(u"Label_vydavok"_s);
    (new QVBoxLayout(GB_vratit))->addWidget(Label_vydavok);
    GB_vratit->hide();

    // Kept for the captions of the language files; no voucher pays an invoice.
    GB_faktury = new QGroupBox(u"Úhrada faktúry"_s);
    GB_faktury->setObjectName(u"GB_faktury"_s);
    Edit_faktura = lineEdit(u"Edit_faktura"_s, PaymentLength, u"Zadajte sumu uhrádzanej faktúry"_s);
    Edit_cislofa =
        lineEdit(u"Edit_cislofa"_s, CashVoucher::TextLength, u"Zadajte číslo uhrádzanej faktúry"_s);
    auto *invoices = new QGridLayout(GB_faktury);
    invoices->addWidget(Edit_faktura, 0, 0);
    invoices->addWidget(captionFor(Edit_cislofa, u"Label5"_s, u"Číslo faktúry"_s), 0, 1);
    invoices->addWidget(Edit_cislofa, 0, 2);
    GB_faktury->hide();
    GB_faktury->setEnabled(false);

    BitBtn_ok = new QPushButton(message(int(Msg::CashPrintButton)));
    BitBtn_ok->setObjectName(u"BitBtn_ok"_s);
    BitBtn_ok->setToolTip(u"Vytlačenie pokladničného dokladu"_s);
    BitBtn_ok->setAutoDefault(false);
    BitBtn_ok->setDefault(false);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buildPaymentBox());
    layout->addWidget(GB_vratit);
    layout->addWidget(GB_faktury);
    layout->addWidget(BitBtn_ok);

    setTabOrder(Edit_celkom, Edit_info);
    setTabOrder(Edit_info, CB_vyhotovil);
    setTabOrder(CB_vyhotovil, CB_platidlo);
    setTabOrder(CB_platidlo, Edit_hotovost);
    setTabOrder(Edit_hotovost, BitBtn_ok);

    for (QWidget *control : {static_cast<QWidget *>(Edit_celkom), static_cast<QWidget *>(Edit_info),
                             static_cast<QWidget *>(CB_vyhotovil), static_cast<QWidget *>(CB_platidlo),
                             static_cast<QWidget *>(Edit_hotovost), static_cast<QWidget *>(BitBtn_ok)})
        control->installEventFilter(this);
    connect(CB_platidlo, &QComboBox::activated, this, &TForm_financie::CB_platidloClick);
    connect(BitBtn_ok, &QPushButton::clicked, this, &TForm_financie::BitBtn_okClick);
}

QGroupBox *TForm_financie::buildPaymentBox()
{
    GB_platidla = new QGroupBox;
    GB_platidla->setObjectName(u"GB_platidla"_s);
    CB_platidlo = list(u"CB_platidlo"_s, u"Vyberte platidlo"_s);
    Edit_hotovost = lineEdit(u"Edit_hotovost"_s, PaymentLength, u"Zadajte sumu platenú vybraným platidlom"_s);
    Label_zostavauhradit = new QLabel;
    Label_zostavauhradit->setObjectName(u"Label_zostavauhradit"_s);
    Label6 = captionFor(nullptr, u"Label6"_s, u"Zostáva uhradiť"_s);
    auto *layout = new QGridLayout(GB_platidla);
    layout->addWidget(captionFor(CB_platidlo, u"Label3"_s, u"Výber platidla"_s), 0, 0);
    layout->addWidget(CB_platidlo, 1, 0);
    layout->addWidget(captionFor(Edit_hotovost, u"Label2"_s, u"Hodnota platidla"_s), 0, 1);
    layout->addWidget(Edit_hotovost, 1, 1);
    layout->addWidget(Label6, 0, 2);
    layout->addWidget(Label_zostavauhradit, 1, 2);
    return GB_platidla;
}

bool TForm_financie::open(CashVoucher::Mode mode, const std::function<QPoint(QSize)> &place)
{
    if (isVisible()) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
        raise();
        activateWindow();
        return true;
    }
    if (!m_services.gate.mayOpen())
        return false;
    Edit_faktura->clear();
    Edit_cislofa->clear();
    Edit_celkom->clear();
    GB_faktury->setEnabled(false);
    prepareMode(mode);
    resize(width(), OpenHeight);
    if (place)
        move(place(size()));
    exec();
    if (isVisible())
        done(QDialog::Rejected); // the loop ended under the dialog: it must not stay on screen
    restoreAfterClosing();
    return true;
}

void TForm_financie::prepareMode(CashVoucher::Mode mode)
{
    m_voucher.start(mode);
    const bool deposit = mode == CashVoucher::Mode::Deposit;
    Label_cena->setText(message(int(deposit ? Msg::DepositAmountLabel : Msg::WithdrawalAmountLabel)));
    Label_zostavauhradit->setVisible(!deposit);
    Label6->hide();
    GB_faktury->hide();
}

void TForm_financie::restoreAfterClosing()
{
    Label_zostavauhradit->show();
    Label6->show();
    resize(width(), ClosedHeight);
}

void TForm_financie::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // A window restored by the window manager keeps what the cashier typed.
    if (!event->spontaneous())
        FormShow();
}

void TForm_financie::FormShow()
{
    m_closing = false;
    readyToPrint();
    const CashVoucher::Mode mode = m_voucher.mode();
    m_voucher.start(mode);
    Edit_celkom->setText(u"0"_s);
    Edit_info->clear();
    Edit_hotovost->clear();
    CB_vyhotovil->clear();
    for (const QString &name : m_services.config.cashiers) {
        if (!name.isEmpty())
            CB_vyhotovil->addItem(name);
    }
    CB_vyhotovil->setCurrentIndex(-1); // nobody is chosen until the cashier says so
    CB_platidlo->clear();
    m_entryMeans.clear();
    for (int means = 0; means < CashVoucher::MeansCount; ++means) {
        const QString &name = m_services.config.paymentMeans[std::size_t(means)];
        if (name.isEmpty())
            continue;
        CB_platidlo->addItem(name);
        m_entryMeans << means;
    }
    CB_platidlo->setCurrentIndex(0);
    showRemaining();
    Edit_celkom->setFocus();
    Edit_celkom->selectAll();
}

void TForm_financie::readyToPrint()
{
    BitBtn_ok->setEnabled(true);
    BitBtn_ok->setText(message(int(Msg::CashPrintButton)));
}

void TForm_financie::done(int result)
{
    m_closing = true;
    FormClose();
    QDialog::done(result);
}

void TForm_financie::FormClose()
{
    Edit_celkom->clear();
    GB_platidla->show();
    GB_vratit->hide();
    if (m_services.showLastDocument)
        m_services.showLastDocument();
}

void TForm_financie::BitBtn_okClick()
{
    switch (m_services.print.begin()) {
    case CashVoucherPrint::Start::Demo:
        accept();
        return;
    case CashVoucherPrint::Start::PrinterMissing:
        reject();
        return;
    case CashVoucherPrint::Start::Ready:
        break;
    }
    // The second press after a voucher with change only closes.
    if (GB_vratit->isVisible()) {
        accept();
        return;
    }
    if (!readVoucher())
        return;
    BitBtn_ok->setEnabled(false);
    BitBtn_ok->setText(message(int(Msg::CashPrinting)));
    BitBtn_ok->repaint();
    switch (m_services.print.print(m_voucher)) {
    case CashVoucherPrint::Outcome::Printed:
        showPrinted();
        break;
    case CashVoucherPrint::Outcome::NotConfirmed:
        reject();
        break;
    case CashVoucherPrint::Outcome::HandOverFailed:
        m_services.dialogs.warn(HandOverFailed, message(int(Msg::VoucherNotConfirmedCaption)));
        readyToPrint();
        break;
    case CashVoucherPrint::Outcome::Stopped:
        readyToPrint();
        break;
    }
}

bool TForm_financie::readVoucher()
{
    double amount = 0;
    const CashVoucher::AmountCheck check = CashVoucher::readAmount(Edit_celkom->text(), false, amount);
    if (check != CashVoucher::AmountCheck::Valid) {
        refuse(CashVoucher::amountProblemText(check), Edit_celkom);
        return false;
    }
    if (qRound64(amount * 100) == 0) {
        Edit_celkom->setFocus();
        return false;
    }
    m_voucher.setAmount(amount);
    if (cashierMissing()) {
        refuseMissingCashier();
        return false;
    }
    m_voucher.setCashier(CB_vyhotovil->currentIndex() < 0 ? QString() : CB_vyhotovil->currentText());
    if (!checkText())
        return false;
    double paid = 0;
    const CashVoucher::AmountCheck paidCheck = CashVoucher::readAmount(Edit_hotovost->text(), true, paid);
    if (paidCheck != CashVoucher::AmountCheck::Valid && paidCheck != CashVoucher::AmountCheck::Empty) {
        refuse(CashVoucher::amountProblemText(paidCheck), Edit_hotovost);
        return false;
    }
    m_voucher.setPayment(selectedMeans(), paid);
    if (m_voucher.settle() == CashVoucher::Settlement::Short) {
        Edit_hotovost->setFocus();
        return false;
    }
    for (const double payment : m_voucher.payments()) {
        if (std::abs(payment) > CashVoucher::LargestAmount) {
            refuse(CashVoucher::amountProblemText(CashVoucher::AmountCheck::TooLarge), Edit_hotovost);
            return false;
        }
    }
    return true;
}

bool TForm_financie::checkText()
{
    const QString unprintable = CashVoucher::unprintable(Edit_info->text());
    if (!unprintable.isEmpty()) {
        refuse(u"Doplňujúca informácia obsahuje znaky, ktoré pokladňa nevytlačí: %1\r\nOpravte ju."_s.arg(
                   unprintable),
               Edit_info);
        return false;
    }
    m_voucher.setText(Edit_info->text());
    return true;
}

void TForm_financie::showPrinted()
{
    if (m_services.clearParagon)
        m_services.clearParagon();
    if (m_voucher.change() == 0) {
        accept();
        return;
    }
    GB_platidla->hide();
    Label_vydavok->setText(CashVoucher::format(m_voucher.change()));
    GB_vratit->show();
    readyToPrint();
    BitBtn_ok->setFocus();
}

void TForm_financie::showRemaining()
{
    Label_zostavauhradit->setText(m_voucher.remainingText());
}

void TForm_financie::refuseMissingCashier()
{
    refuse(CashierMissing, CB_vyhotovil);
}

void TForm_financie::refuse(const QString &text, QWidget *field)
{
    m_services.dialogs.warn(text, InputErrorCaption);
    field->setFocus();
}

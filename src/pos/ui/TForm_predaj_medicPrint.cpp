// The print of the open document as seen from the sale screen: the fields the print
// reads, the payment dialog it opens and what it shows while it runs.

#include "pos/ui/TForm_predaj_medic.h"

#include "app/AppContext.h"
#include "app/ui/PanelStatusBar.h"
#include "link/PrintManagerLink.h"
#include "link/PrinterState.h"
#include "pos/DataModule.h"
#include "pos/ReceiptPrint.h"
#include "pos/ui/SaleDocumentModel.h"
#include "pos/ui/TForm_platba.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QStackedLayout>
#include <QTableView>
#include <QTextCursor>
#include <QTextEdit>

using namespace Qt::StringLiterals;

void TForm_predaj_medic::createPrint()
{
    AppContext &context = m_s.context;
    m_print = std::make_unique<ReceiptPrint>(ReceiptPrint::Services{
        context.config, context.messages, context.dialogs, m_s.link, m_s.requests, m_s.detection, m_s.printer,
        context.files, m_s.data.salesFile(), m_s.data.salesTableName(), *this});
    m_paymentDialog =
        new TForm_platba({context.config, context.messages, context.dialogs,
                          [this](int percent) { return discountFromPaymentDialog(percent); },
                          [this](int ms) { m_s.link.wait_ms(ms); }, [this] { returnFromPaymentDialog(); }},
                         this);
    m_print->setPaymentDialog([this](PaymentSession &session) { m_paymentDialog->run(session); });
}

void TForm_predaj_medic::BitBtn_tlacClick()
{
    SaleScreenFields fields;
    fields.userAction = m_userAction;
    fields.paragonChecked = paragonChecked();
    fields.paragonNumber = paragonNumber();
    fields.paragonDate = paragonDate();
    fields.paragonTime = paragonTime();
    fields.discountPercentText = Edit_zlava->text();
    fields.discountAmountText = Edit_zlava_eur->text();
    fields.refundedUid = uidText();
    if (m_print->print(fields) == ReceiptPrint::Outcome::Cancelled)
        Edit_predaj->setFocus();
}

void TForm_predaj_medic::resolvePendingPrint()
{
    m_print->resolvePendingPrint();
}

std::optional<DocumentDiscountResult> TForm_predaj_medic::discountFromPaymentDialog(int percent)
{
    if (!applyDocumentDiscount(percent))
        return std::nullopt;
    return DocumentDiscountResult{m_document.discount, m_document.totalCents()};
}

void TForm_predaj_medic::returnFromPaymentDialog()
{
    if (isVisible()) {
        const PrinterInfo &info = m_s.printer.info;
        SB_predaj->setPanelText(0, info.date);
        SB_predaj->setPanelText(1, info.label);
    }
    setEnabled(true);
}

void TForm_predaj_medic::focusParagonNumber()
{
    Edit_paragon->setFocus();
}

void TForm_predaj_medic::focusSearchField()
{
    Edit_predaj->setFocus();
}

void TForm_predaj_medic::setDiscountPercentText(const QString &text)
{
    Edit_zlava->setText(text);
}

void TForm_predaj_medic::setMainTimerActive(bool active)
{
    if (m_mainWindow.setTimerActive)
        m_mainWindow.setTimerActive(active);
}

void TForm_predaj_medic::setGridFrozen(bool frozen)
{
    SMDBGrid_doklad->setEnabled(!frozen);
}

void TForm_predaj_medic::showDocumentBox(bool inFront)
{
    RE_doklad->clear();
    m_helpShown = false;
    m_printedShown = true;
    GroupBox_doklad->setTitle(m_s.context.messages.text(Msg::DocumentBoxCaption));
    if (inFront)
        m_documentStack->setCurrentWidget(RE_doklad);
}

void TForm_predaj_medic::addDocumentLine(const QString &line)
{
    QTextCursor cursor(RE_doklad->document());
    cursor.movePosition(QTextCursor::End);
    if (!RE_doklad->document()->isEmpty())
        cursor.insertBlock();
    cursor.insertText(line);
}

void TForm_predaj_medic::showChange(const QString &caption, const QString &amount)
{
    GroupBox_cena->setTitle(caption);
    L_celkom->setText(amount);
}

void TForm_predaj_medic::showPrinted(const QString &label, const QString &time, const QString &uid)
{
    SB_predaj->setPanelText(1, label);
    SB_predaj->setPanelText(3, time);
    EditUID->setText(uid);
    // The change stays on display; only the document behind it is now empty.
    m_document.reloadRows();
    m_document.recomputeTotal();
    refreshDocumentGrid();
}

void TForm_predaj_medic::finishPrint(const QString &lastUid)
{
    SMDBGrid_doklad->setEnabled(true);
    m_settingSearchText = true;
    Edit_predaj->clear();
    m_settingSearchText = false;
    CheckBox_paragon->setChecked(false);
    Edit_paragon->clear();
    if (m_mainWindow.showLastUid)
        m_mainWindow.showLastUid(lastUid);
    Edit_predaj->setFocus();
}

void TForm_predaj_medic::reloadDocument()
{
    m_document.reloadRows();
    refreshDocumentGrid();
    recomputeTotal();
}

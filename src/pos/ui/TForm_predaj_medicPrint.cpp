// The print of the open document as seen from the sale screen: the fields the print
// reads, the payment dialog it opens and what it shows while it runs.

#include "pos/ui/TForm_predaj_medic.h"

#include "base/Configuration.h"
#include "base/UserDialogs.h"
#include "lang/MessageTable.h"
#include "link/PrintManagerLink.h"
#include "link/PrinterState.h"
#include "pos/DataModule.h"
#include "pos/ReceiptPrint.h"
#include "pos/ui/SaleDocumentPanel.h"
#include "pos/ui/SaleItemPanel.h"
#include "pos/ui/SaleSearchPanel.h"
#include "pos/ui/TForm_platba.h"
#include "widgets/PanelStatusBar.h"

#include <QCheckBox>
#include <QLineEdit>

using namespace Qt::StringLiterals;

void TForm_predaj_medic::createPrint()
{
    const SaleScreenContext &context = m_services.context;
    m_print = std::make_unique<ReceiptPrint>(
        ReceiptPrint::Services{context.config, context.messages, context.dialogs, m_services.link,
                               m_services.requests, m_services.detection, m_services.printer, context.files,
                               m_services.data.salesFile(), m_services.data.salesTableName(), *this});
    m_paymentDialog = new TForm_platba({context.config, context.messages, context.dialogs,
                                        [this](int percent) { return discountFromPaymentDialog(percent); },
                                        [this](int ms) { m_services.link.wait_ms(ms); },
                                        [this] { returnFromPaymentDialog(); }},
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
    fields.discountPercentText = m_item->discountPercentText();
    fields.discountAmountText = m_item->discountAmountText();
    fields.refundedUid = uidText();
    const ReceiptPrint::Outcome outcome = m_print->print(fields);
    // The payment dialog and the boxes of the print are gone; the keys come back here,
    // to the field the print left them in.
    if (isVisible())
        activateWindow();
    if (outcome == ReceiptPrint::Outcome::Cancelled)
        m_search->searchField()->setFocus();
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
    showLastDocumentPanels();
    setEnabled(true);
}

void TForm_predaj_medic::showLastDocumentPanels()
{
    if (!isVisible())
        return;
    const PrinterInfo &info = m_services.printer.info;
    SB_predaj->setPanelText(0, info.date);
    SB_predaj->setPanelText(1, info.label);
}

void TForm_predaj_medic::showLastDocument()
{
    showLastDocumentPanels();
    if (isVisible())
        EditUID->setText(m_services.printer.info.uid);
}

void TForm_predaj_medic::clearParagon()
{
    CheckBox_paragon->setChecked(false);
    Edit_paragon->clear();
}

void TForm_predaj_medic::focusParagonNumber()
{
    Edit_paragon->setFocus();
}

void TForm_predaj_medic::focusSearchField()
{
    m_search->searchField()->setFocus();
}

void TForm_predaj_medic::setDiscountPercentText(const QString &text)
{
    m_item->setDiscountPercentText(text);
}

void TForm_predaj_medic::setMainTimerActive(bool active)
{
    if (m_mainWindow.setTimerActive)
        m_mainWindow.setTimerActive(active);
}

void TForm_predaj_medic::setGridFrozen(bool frozen)
{
    m_documentPanel->setFrozen(frozen);
}

void TForm_predaj_medic::showDocumentBox(bool inFront)
{
    m_documentPanel->startPrintedDocument(inFront);
}

void TForm_predaj_medic::addDocumentLine(const QString &line)
{
    m_documentPanel->addPrintedLine(line);
}

void TForm_predaj_medic::showChange(const QString &caption, const QString &amount)
{
    m_documentPanel->showChange(caption, amount);
}

void TForm_predaj_medic::showPrinted(const QString &label, const QString &time, const QString &uid)
{
    SB_predaj->setPanelText(1, label);
    SB_predaj->setPanelText(3, time);
    EditUID->setText(uid);
    // The change stays on display; only the document behind it is now empty.
    m_document.reloadRows();
    m_document.recomputeTotal();
    m_documentPanel->refresh();
}

void TForm_predaj_medic::finishPrint(const QString &lastUid)
{
    m_documentPanel->setFrozen(false);
    m_search->clearText();
    clearParagon();
    if (m_mainWindow.showLastUid)
        m_mainWindow.showLastUid(lastUid);
    m_search->searchField()->setFocus();
}

void TForm_predaj_medic::reloadDocument()
{
    m_document.reloadRows();
    m_documentPanel->refresh();
    recomputeTotal();
}

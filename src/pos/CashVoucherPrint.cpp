#include "pos/CashVoucherPrint.h"

#include "base/Configuration.h"
#include "base/Paths.h"
#include "base/UserDialogs.h"
#include "lang/MessageTable.h"
#include "link/PrintManagerLink.h"
#include "link/PrinterRequests.h"
#include "link/PrinterState.h"
#include "pos/CashOperationGate.h"
#include "pos/CashVoucher.h"
#include "pos/TillIdentity.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

PrintPendingRecord::Kind kindOf(const CashVoucher &voucher)
{
    return voucher.withdrawal() ? PrintPendingRecord::Kind::Withdrawal : PrintPendingRecord::Kind::Deposit;
}

} // namespace

CashVoucherPrint::CashVoucherPrint(Services services)
    : m_services(std::move(services)),
      m_pending(m_services.config.dataFolder, TillIdentity::of(m_services.config)),
      m_now([] { return QDateTime::currentDateTime(); })
{}

void CashVoucherPrint::stage(Stage reached)
{
    if (m_stageHook)
        m_stageHook(reached);
}

CashVoucherPrint::Start CashVoucherPrint::begin()
{
    if (m_services.config.demo)
        return Start::Demo;
    if (!m_services.requests.get_info()) {
        CashOperationGate::warnPrinterMissing(m_services.dialogs, m_services.messages);
        return Start::PrinterMissing;
    }
    m_numberBefore = m_services.state.info.documentNumber;
    return Start::Ready;
}

CashVoucherPrint::Outcome CashVoucherPrint::print(const CashVoucher &voucher)
{
    if (!settlePending())
        return Outcome::Stopped;
    const QByteArray bytes = voucher.compose().bytes();
    if (!noteHandOver(voucher, bytes))
        return Outcome::Stopped;
    removeStaleInfoFiles();
    m_services.link.set_command_text(bytes);
    if (!m_services.link.tm_send(HandOverTimeoutMs)) {
        // The input file never took it: nothing can come out.
        m_pending.clear();
        return Outcome::HandOverFailed;
    }
    stage(Stage::HandedOver);
    m_services.link.wait_ms(AfterHandOverPauseMs);
    if (!numberWentUp()) {
        m_services.dialogs.warn(m_services.messages.text(int(Msg::VoucherNotConfirmed)),
                                m_services.messages.text(int(Msg::VoucherNotConfirmedCaption)));
        return Outcome::NotConfirmed;
    }
    stage(Stage::ResultRead);
    m_pending.clear();
    stage(Stage::NoteCleared);
    return Outcome::Printed;
}

bool CashVoucherPrint::settlePending()
{
    // Settled before the voucher goes: a later document raises the printer's number and
    // could then be taken for the pending one.
    if (!m_pending.exists() || !m_services.resolvePending)
        return true;
    switch (m_services.resolvePending()) {
    case ReceiptPrint::Recovery::PrinterSilent:
        ReceiptPrint::warnPendingUnknown(m_services.dialogs, m_services.messages);
        return false;
    case ReceiptPrint::Recovery::RowsNotWritten:
        return false;
    case ReceiptPrint::Recovery::VoucherPrinted:
        // Most likely the very voucher the cashier asks for again; the cashier, now told,
        // decides whether another one is wanted.
        return false;
    case ReceiptPrint::Recovery::Nothing:
    case ReceiptPrint::Recovery::Printed:
    case ReceiptPrint::Recovery::NotPrinted:
    case ReceiptPrint::Recovery::VoucherNotPrinted:
        break;
    }
    // The settlement asked the printer: its answer is the number before this voucher.
    m_numberBefore = m_services.state.info.documentNumber;
    return true;
}

bool CashVoucherPrint::noteHandOver(const CashVoucher &voucher, const QByteArray &bytes)
{
    PrintPendingRecord::Entry entry;
    entry.printManagerInput = TillIdentity::of(m_services.config).linkText();
    entry.till = m_services.config.tillNumber;
    entry.documentBefore = m_numberBefore;
    entry.printTime = m_now();
    entry.documentHash = PrintPendingRecord::hashOf(bytes);
    entry.kind = kindOf(voucher);
    entry.amountCents = std::llround(voucher.amount() * 100.0);
    if (!m_pending.write(entry)) {
        m_services.dialogs.warn(m_pending.path(), u"LAN - Err create file 'lan_bl.pending'"_s);
        return false;
    }
    stage(Stage::Noted);
    return true;
}

void CashVoucherPrint::removeStaleInfoFiles()
{
    for (const QString &name : {u"info.txt"_s, u"info.ful"_s})
        m_services.link.remove_file(joinPath(m_services.config.infoFolder, name));
    // The reply is read from the exchange folder, which path_info need not name: a reply
    // left there with a higher number would pass for the voucher's.
    m_services.link.remove_file(m_services.requests.infoFilePath());
}

bool CashVoucherPrint::numberWentUp()
{
    const int timeout = m_services.config.infoTimeout;
    m_services.requests.read_info_reply(timeout, false);
    if (m_services.state.info.documentNumber > m_numberBefore)
        return true;
    const bool answered = m_services.requests.read_info_reply(timeout, true);
    if (m_services.state.info.documentNumber > m_numberBefore)
        return true;
    // The printer answered a request placed after the voucher without a new number: the
    // voucher did not come out. Without an answer nothing is known and the note stays.
    if (answered)
        m_pending.clear();
    return false;
}

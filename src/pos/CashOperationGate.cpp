#include "pos/CashOperationGate.h"

#include "base/UserDialogs.h"
#include "lang/MessageTable.h"
#include "link/PrinterDetection.h"
#include "link/PrinterState.h"

using namespace Qt::StringLiterals;

CashOperationGate::CashOperationGate(PrinterDetection &detection, const PrinterState &state,
                                     const MessageTable &messages, UserDialogs &dialogs)
    : m_detection(detection), m_state(state), m_messages(messages), m_dialogs(dialogs)
{}

bool CashOperationGate::mayOpen()
{
    if (m_detection.online_sts() == 0) {
        warnPrinterMissing(m_dialogs, m_messages);
        return false;
    }
    if (m_state.cash_block) {
        m_detection.online_sts();
        return false;
    }
    return true;
}

void CashOperationGate::warnPrinterMissing(UserDialogs &dialogs, const MessageTable &messages)
{
    dialogs.warn(u"Nepodarilo sa zdetekovat pokladňu.\r\nDoklady nie je možno tlačiť."_s,
                 messages.text(Msg::PrinterStateCaption));
}

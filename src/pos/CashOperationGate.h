#pragma once

struct PrinterState;
class MessageTable;
class PrinterDetection;
class UserDialogs;

// Whether the cash-operations dialog may open: the printer must answer the status query
// and must not block cash vouchers (status bit 1000 hexadecimal).
class CashOperationGate
{
public:
    CashOperationGate(PrinterDetection &detection, const PrinterState &state, const MessageTable &messages,
                      UserDialogs &dialogs);

    // Warns when the printer does not answer; a blocked printer is refused silently.
    bool mayOpen();
    // The warning when the printer does not answer: no voucher can be printed.
    static void warnPrinterMissing(UserDialogs &dialogs, const MessageTable &messages);

private:
    PrinterDetection &m_detection;
    const PrinterState &m_state;
    const MessageTable &m_messages;
    UserDialogs &m_dialogs;
};

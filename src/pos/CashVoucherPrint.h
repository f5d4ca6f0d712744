#pragma once

#include "pos/PrintPendingRecord.h"
#include "pos/ReceiptPrint.h"

#include <QDateTime>
#include <QString>

#include <functional>

struct Configuration;
struct PrinterState;
class CashVoucher;
class MessageTable;
class PrintManagerLink;
class PrinterRequests;
class UserDialogs;

// Prints a cash deposit or withdrawal voucher: the printer's document number before it,
// the hand-over of the voucher as a control command, and the test that the number went up.
// While the voucher is with the print manager this till's note in the data folder names it,
// the same note receipts leave, so that a program that dies meanwhile never prints the
// voucher a second time: the next print of this till settles the note first.
class CashVoucherPrint
{
public:
    static constexpr int HandOverTimeoutMs = 8000;
    static constexpr int AfterHandOverPauseMs = 100;

    struct Services
    {
        const Configuration &config;
        const MessageTable &messages;
        UserDialogs &dialogs;
        PrintManagerLink &link;
        PrinterRequests &requests;
        PrinterState &state;
        // Settles a document this till left with the print manager (the sale screen's
        // ReceiptPrint::resolvePendingPrint); it tells the cashier what it found.
        std::function<ReceiptPrint::Recovery()> resolvePending;
    };

    enum class Start { Demo, PrinterMissing, Ready };
    enum class Outcome {
        Printed,
        NotConfirmed,   // handed over, but the document number did not go up (the cashier was told)
        HandOverFailed, // the print manager did not take it within the time-out
        Stopped,        // nothing handed over: a pending document or the note stood in the way
    };
    // Points of a print at which the program may die; a test stops there.
    enum class Stage { Noted, HandedOver, ResultRead, NoteCleared };

    explicit CashVoucherPrint(Services services);

    void setStageHook(std::function<void(Stage)> hook) { m_stageHook = std::move(hook); }
    void setClock(std::function<QDateTime()> now) { m_now = std::move(now); }

    // The first steps of "OK": demonstration mode prints nothing; otherwise the last
    // information reply gives the document number before the voucher.
    Start begin();
    qint32 numberBefore() const { return m_numberBefore; }
    // Hands the voucher over and waits for the printer's new document number.
    Outcome print(const CashVoucher &voucher);
    const PrintPendingRecord &pendingRecord() const { return m_pending; }

private:
    bool settlePending();
    bool noteHandOver(const CashVoucher &voucher, const QByteArray &bytes);
    void removeStaleInfoFiles();
    bool numberWentUp();
    void stage(Stage reached);

    Services m_services;
    PrintPendingRecord m_pending;
    qint32 m_numberBefore = 0;
    std::function<void(Stage)> m_stageHook;
    std::function<QDateTime()> m_now;
};

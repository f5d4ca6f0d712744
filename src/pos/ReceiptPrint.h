#pragma once

#include "pos/PaymentSession.h"
#include "pos/PrintPendingRecord.h"
#include "pos/PrintedRows.h"
#include "pos/ReceiptComposer.h"
#include "pos/SalesTable.h"
#include "pos/TillIdentity.h"

#include <QDateTime>
#include <QString>

#include <functional>

struct Configuration;
struct PrinterState;
class DataFile;
class MessageTable;
class PrintManagerLink;
class PrinterDetection;
class PrinterRequests;
class ReceiptPrintView;
class UserDialogs;

namespace platform {
class FileSystem;
}

// The fields of the sale screen that a print reads.
struct SaleScreenFields
{
    bool userAction = true; // the print was asked for by a click, Alt+T or F12
    bool paragonChecked = false;
    QString paragonNumber;
    QString paragonDate;         // YYYYMMDD
    QString paragonTime;         // HHMMSS
    QString discountPercentText; // the item discount percent
    QString discountAmountText;  // the amount shown beside it
    QString refundedUid;         // EditUID
};

// Prints this till's open document as one fiscal receipt: the checks, the payment, the
// document file, the hand-over to the print manager, the wait for its answer and the
// marking of the rows. Every wait goes through the link's clock. While a receipt is with
// the print manager this till's note in the data folder says so, so that a program that
// dies meanwhile neither prints the sale again nor loses it (resolvePendingPrint).
class ReceiptPrint
{
public:
    // The warning when the paragon number is not five characters long; the sale screen
    // gives it too when the cashier leaves the field.
    static void warnParagonLength(UserDialogs &dialogs);

    static constexpr auto DocumentFileName = "lan_bl.txt";
    static constexpr auto DisplayCopyFileName = "demo_bl.tmp";
    static constexpr qint64 VatRefundLimitCents = 40000;
    static constexpr qint64 TotalLimitCents = 1500000;
    static constexpr int ReceiptStopBits = 0x8000 | 0x1000 | 0x0010;

    struct Services
    {
        const Configuration &config;
        const MessageTable &messages;
        UserDialogs &dialogs;
        PrintManagerLink &link;
        PrinterRequests &requests;
        PrinterDetection &detection;
        PrinterState &state;
        platform::FileSystem &files;
        DataFile &salesFile;
        QString salesTable;
        ReceiptPrintView &view;
    };

    enum class Outcome { Stopped, Cancelled, Printed, NotPrinted };
    enum class Recovery {
        Nothing,
        Printed,
        NotPrinted,
        PrinterSilent,  // the printer did not say its last document: the note stays
        RowsNotWritten, // printed, but the rows could not be marked (the cashier was told why)
        // A cash voucher's note, settled; the cashier was told which way.
        VoucherPrinted,
        VoucherNotPrinted,
    };
    // Points of a print at which the program may die; a test stops there.
    enum class Stage { Composed, Noted, HandedOver, ResultRead, RowsMarked, NoteCleared };

    using PaymentDialog = std::function<void(PaymentSession &)>;

    explicit ReceiptPrint(Services services);

    // The payment dialog; without one, or with SHOW off, the total goes to payment means 1.
    void setPaymentDialog(PaymentDialog dialog) { m_paymentDialog = std::move(dialog); }
    void setClock(std::function<QDateTime()> now) { m_now = std::move(now); }
    void setStageHook(std::function<void(Stage)> hook) { m_stageHook = std::move(hook); }

    // "Tlač" or F12 on the sale screen.
    Outcome print(const SaleScreenFields &fields);
    // Settles a receipt left with the print manager by a program that did not live to see
    // the outcome: asks the printer for its last document and marks the rows when it came
    // out. Only a number one above the number before means that: with more documents
    // since, the cashier, who has the paper, says whether the receipt is among them. The
    // sale screen calls it when it is shown; print() calls it before anything is handed
    // over, and so must every other document handed to the print manager. A note of a cash
    // voucher is settled the same way; the cashier is told whether the voucher came out.
    Recovery resolvePendingPrint();
    // The warning when the printer does not say whether a pending document came out.
    static void warnPendingUnknown(UserDialogs &dialogs, const MessageTable &messages);

    const PaymentSession &session() const { return m_session; }
    QString documentFilePath() const;
    QString displayCopyPath() const;
    const PrintPendingRecord &pendingRecord() const { return m_pending; }

private:
    enum class Attempt { Printed, NotPrinted, Cancelled, Stopped };
    enum class Verdict { Printed, NotPrinted, Unknown }; // of a pending document
    struct AttemptState
    {
        QList<int> keys;
        bool handedOver = false;
        bool resultRead = false;
    };

    bool checkParagon(const SaleScreenFields &fields);
    bool checkPrinter();
    bool checkTotal(qint64 totalCents);
    Attempt attempt(const SaleScreenFields &fields, qint32 numberBefore);
    bool askPayment();
    bool writeDocument(const ReceiptComposer::Document &document);
    void saveDisplayCopy(const QString &text);
    bool noteHandOver(const AttemptState &state, qint32 numberBefore);
    bool handOver();
    void showChange();
    bool waitForResult();
    Attempt outcome(AttemptState &state, qint32 numberBefore);
    bool markPrinted(const QList<int> &keys, int till, qint32 number, const QDateTime &printTime);
    void tellRowsNotWritten(qint32 number);
    bool pendingWasPrinted(const PrintPendingRecord::Entry &entry, qint32 number, bool &asked);
    QString pendingDescription(const PrintPendingRecord::Entry &entry);
    Verdict pendingVerdict(const PrintPendingRecord::Entry &entry, bool &asked);
    Recovery settlePendingVoucher(const PrintPendingRecord::Entry &entry);
    bool settleBeforeHandOver(bool &printed);
    std::optional<QList<SaleRow>> openRows();
    void stage(Stage reached);
    bool ask(const QString &text, const QString &caption);
    QString message(int slot) const;

    Services m_services;
    SalesTable m_sales;
    PrintedRows m_rows;
    TillIdentity m_till;
    PrintPendingRecord m_pending;
    PaymentSession m_session;
    PaymentDialog m_paymentDialog;
    std::function<QDateTime()> m_now;
    std::function<void(Stage)> m_stageHook;
    QDateTime m_printTime;
    QString m_display;
    QByteArray m_document; // the bytes of the document file as last written
};

#include "pos/ReceiptPrint.h"

#include "base/Configuration.h"
#include "base/Cp1250.h"
#include "base/UserDialogs.h"
#include "lang/MessageTable.h"
#include "link/PrintManagerLink.h"
#include "link/PrinterDetection.h"
#include "link/PrinterRequests.h"
#include "link/PrinterState.h"
#include "platform/FileSystem.h"
#include "pos/CashVoucher.h"
#include "pos/ReceiptPrintView.h"
#include "stock/DataFile.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

namespace {

constexpr int InputVanishPauseMs = 100;
constexpr int InputVanishPauses = 51;
constexpr int CopyPauseMs = 300;
constexpr int CopyAttempts = 31;
constexpr int ResultPauseMs = 500;
constexpr int OutcomePauseMs = 500;
constexpr int ParagonNumberLength = 5;
constexpr double ExactTolerance = 0.001;

const QString PrinterNotFound = u"Nepodarilo sa zdetekovat pokladňu.\r\nDoklad nebol vytlačený."_s;
const QString VatRefundQuestion =
    u"Z vystaveného dokladu sa nedá uplatniť vratka DPH.\r\nPokračovať v tlači dokladu?"_s;
const QString VatRefundCaption = u"Hotovostná platba nad 400 EUR"_s;
const QString DocumentFileCaption = u"LAN - Err create file 'lan_bl.txt'"_s;
const QString MissingUid = u"Vyplňte identifikátor pôvodného dokladu."_s;
const QString MissingUidCaption = u"Chýba UID pôvodného dokladu."_s;
const QString BadVatEntry = u"Položka %1 má neplatnú sadzbu DPH."_s;
const QString PendingNoteCaption = u"LAN - Err create file 'lan_bl.pending'"_s;
const QString RecoveredText = u"Doklad č. %1 bol vytlačený, ale program sa ukončil skôr, ako ho zapísal.\r\n"
                              "Jeho položky sú teraz zapísané ako vytlačené."_s;
const QString RecoveredCaption = u"Omira"_s;
const QString PendingPrinterSilent =
    u"Nie je známe, či sa vytlačil doklad, ktorý program odovzdal tlačovému manažérovi pred svojím "
    "ukončením alebo pred prerušenou tlačou: pokladňa neodpovedá.\r\n"
    "Skontrolujte, či beží tlačový manažér a či je pokladňa zapnutá, a tlač zopakujte.\r\n"
    "Kým sa to nezistí, nový doklad sa netlačí, aby sa nákup nevytlačil dvakrát."_s;
const QString RowsNotWritten =
    u"Doklad č. %1 sa vytlačil, ale jeho položky sa nepodarilo zapísať do tabuľky predaja ako "
    "vytlačené.\r\nDôvod: %2\r\n"
    "Položky sa znovu netlačia. Odstráňte príčinu (napríklad obnovte prístup k priečinku údajov) a "
    "stlačte Tlač: položky sa potom len zapíšu ako vytlačené."_s;
const QString PendingAmongOthers =
    u"Tlačovému manažérovi bol odovzdaný doklad, ktorého výsledok program nestihol zistiť "
    "(%1).\r\n"
    "Pokladňa odvtedy vytlačila viac dokladov (čísla %2 až %3), preto sa nedá zistiť, či je medzi "
    "nimi aj tento.\r\nSkontrolujte vytlačené doklady.\r\n\r\n"_s;
const QString ReceiptAnswers =
    u"Áno: doklad sa vytlačil, jeho položky sa zapíšu ako vytlačené dokladom č. %1.\r\n"
    "Nie: doklad sa nevytlačil, jeho položky zostanú v doklade na novú tlač."_s;
const QString VoucherAnswers = u"Áno: doklad sa vytlačil dokladom č. %1.\r\nNie: doklad sa nevytlačil."_s;
const QString VoucherRecovered =
    u"%1, ktorý program odovzdal tlačovému manažérovi pred svojím ukončením alebo pred prerušenou "
    "tlačou, sa vytlačil dokladom č. %2.\r\nZnovu sa netlačí."_s;
const QString VoucherNotRecovered =
    u"%1, ktorý program odovzdal tlačovému manažérovi pred svojím ukončením alebo pred prerušenou "
    "tlačou, sa nevytlačil.\r\nAk je doklad potrebný, vytlačte ho znovu."_s;

qint64 totalOf(const QList<SaleRow> &rows)
{
    qint64 total = 0;
    for (const SaleRow &row : rows)
        total += row.cenaInt;
    return total;
}

QList<int> keysOf(const QList<SaleRow> &rows)
{
    QList<int> keys;
    for (const SaleRow &row : rows)
        keys << row.idPrimary;
    return keys;
}

// The amount beside the item discount percent, in cents, truncated like the sale screen
// does when it reads it.
qint64 discountCentsOf(const QString &text)
{
    QString plain = text.trimmed();
    plain.replace(u',', u'.');
    return qint64(plain.toDouble() * 100.0);
}

} // namespace

ReceiptPrint::ReceiptPrint(Services services)
    : m_services(std::move(services)),
      m_sales(m_services.salesFile, m_services.salesTable, m_services.config.tillNumber),
      m_rows(m_services.salesFile, m_services.salesTable), m_till(TillIdentity::of(m_services.config)),
      m_pending(m_services.config.dataFolder, m_till), m_now([] { return QDateTime::currentDateTime(); })
{}

void ReceiptPrint::warnParagonLength(UserDialogs &dialogs)
{
    dialogs.warn(u"Chyba pri zadaní čísla PARAGÓNU.\r\nČíslo paragónu musí mať dĺžku 5 znakov."_s,
                 u"Omira chyba zadania..."_s);
}

QString ReceiptPrint::documentFilePath() const
{
    return QDir(m_services.config.programFolder).filePath(QString::fromLatin1(DocumentFileName));
}

QString ReceiptPrint::displayCopyPath() const
{
    return QDir(m_services.config.programFolder).filePath(QString::fromLatin1(DisplayCopyFileName));
}

QString ReceiptPrint::message(int slot) const
{
    return m_services.messages.text(slot);
}

void ReceiptPrint::stage(Stage reached)
{
    if (m_stageHook)
        m_stageHook(reached);
}

bool ReceiptPrint::ask(const QString &text, const QString &caption)
{
    return m_services.dialogs.askYesNo(text, caption, UserDialogs::Answer::Yes);
}

std::optional<QList<SaleRow>> ReceiptPrint::openRows()
{
    std::optional<QList<SaleRow>> rows = m_sales.openRows();
    if (!rows)
        m_services.dialogs.warn(m_sales.lastError(), message(int(Msg::SaleWarningCaption)));
    return rows;
}

ReceiptPrint::Outcome ReceiptPrint::print(const SaleScreenFields &fields)
{
    m_printTime = m_now();
    m_session = PaymentSession{};
    m_session.discount.percent = fields.discountPercentText.trimmed().toInt();
    m_session.discount.discountCents = discountCentsOf(fields.discountAmountText);
    if (!checkParagon(fields))
        return Outcome::Stopped;
    m_services.view.setDiscountPercentText(u"0"_s);
    if (!fields.userAction)
        return Outcome::Stopped;

    bool pendingPrinted = false;
    if (!settleBeforeHandOver(pendingPrinted))
        return Outcome::Stopped;
    if (!m_services.config.demo && !checkPrinter())
        return Outcome::Stopped;

    const std::optional<QList<SaleRow>> rows = openRows();
    if (!rows || !checkTotal(totalOf(*rows)))
        return Outcome::Stopped;
    if (rows->isEmpty()) {
        m_services.view.focusSearchField();
        return Outcome::Stopped;
    }

    QFile::remove(displayCopyPath());
    m_services.view.setMainTimerActive(false);
    const qint32 numberBefore = m_services.state.info.documentNumber;
    m_services.view.setGridFrozen(true);

    Attempt result = attempt(fields, numberBefore);
    while (result == Attempt::NotPrinted &&
           ask(message(int(Msg::NotPrintedRetry)), message(int(Msg::SaleErrorCaption))))
        result = attempt(fields, numberBefore);

    if (result == Attempt::Cancelled) {
        m_services.view.setGridFrozen(false);
        return Outcome::Cancelled;
    }
    m_services.view.setGridFrozen(false);
    m_services.view.finishPrint(m_services.state.info.uid);
    switch (result) {
    case Attempt::Printed:
        return Outcome::Printed;
    case Attempt::Stopped:
        return Outcome::Stopped;
    default:
        return Outcome::NotPrinted;
    }
}

bool ReceiptPrint::checkParagon(const SaleScreenFields &fields)
{
    // The header line carries exactly five characters; anything else would shift the
    // date and time the printer reads after it.
    if (!fields.paragonChecked || fields.paragonNumber.size() == ParagonNumberLength)
        return true;
    warnParagonLength(m_services.dialogs);
    m_services.view.focusParagonNumber();
    return false;
}

bool ReceiptPrint::checkPrinter()
{
    const int status = m_services.detection.online_sts();
    if (status == 0) {
        m_services.dialogs.warn(PrinterNotFound, message(int(Msg::PrinterStateCaption)));
        return false;
    }
    if ((status & ReceiptStopBits) != 0) {
        m_services.dialogs.warn(
            QString::asprintf("ON LINE status = %04X", unsigned(status & ReceiptStopBits)),
            message(int(Msg::PrinterStateCaption)));
        return false;
    }
    return true;
}

bool ReceiptPrint::checkTotal(qint64 totalCents)
{
    if (totalCents > VatRefundLimitCents && !ask(VatRefundQuestion, VatRefundCaption))
        return false;
    if (totalCents > TotalLimitCents) {
        m_services.dialogs.warn(message(int(Msg::AmountTooHigh)), message(int(Msg::AmountTooHighCaption)));
        return false;
    }
    return true;
}

ReceiptPrint::Attempt ReceiptPrint::attempt(const SaleScreenFields &fields, qint32 numberBefore)
{
    // A retry of a receipt whose fate is unknown must not print it a second time.
    bool pendingPrinted = false;
    if (!settleBeforeHandOver(pendingPrinted))
        return pendingPrinted ? Attempt::Printed : Attempt::Stopped;
    if (!askPayment())
        return Attempt::Cancelled;
    const std::optional<QList<SaleRow>> rows = openRows();
    if (!rows)
        return Attempt::Stopped;

    AttemptState state;
    state.keys = keysOf(*rows);
    ReceiptContent content;
    if (fields.paragonChecked)
        content.paragon = ReceiptParagon{fields.paragonDate, fields.paragonTime, fields.paragonNumber};
    content.rows = *rows;
    content.refundedUid = fields.refundedUid;
    content.totalCents = totalOf(*rows);
    content.payments = m_session.amounts;
    content.closingText = m_session.closingText;
    m_session.closingText.clear();
    const ReceiptComposer::Document document = ReceiptComposer::receipt(content);

    m_services.view.showDocumentBox(m_services.config.demo);
    if (writeDocument(document)) {
        stage(Stage::Composed);
        if (m_services.config.demo) {
            // Nothing goes to the print manager, but the cashier still sees the change.
            showChange();
        } else if (noteHandOver(state, numberBefore)) {
            state.handedOver = handOver();
            if (!state.handedOver)
                m_pending.clear();
            showChange();
            if (state.handedOver)
                state.resultRead = waitForResult();
        }
    }
    return outcome(state, numberBefore);
}

bool ReceiptPrint::settleBeforeHandOver(bool &printed)
{
    // Settled before anything else goes to the print manager: any later document raises the
    // printer's number and could then be taken for the pending receipt.
    printed = false;
    if (!m_pending.exists())
        return true;
    switch (resolvePendingPrint()) {
    case Recovery::PrinterSilent:
        warnPendingUnknown(m_services.dialogs, m_services.messages);
        return false;
    case Recovery::RowsNotWritten:
        return false;
    case Recovery::Printed:
        printed = true;
        return false;
    case Recovery::Nothing:
    case Recovery::NotPrinted:
    case Recovery::VoucherPrinted: // another document: the cashier was told about it
    case Recovery::VoucherNotPrinted:
        break;
    }
    return true;
}

void ReceiptPrint::warnPendingUnknown(UserDialogs &dialogs, const MessageTable &messages)
{
    dialogs.warn(PendingPrinterSilent, messages.text(int(Msg::PrinterStateCaption)));
}

bool ReceiptPrint::askPayment()
{
    m_session.clearPayments();
    const std::optional<QList<SaleRow>> rows = m_sales.openRows();
    m_session.totalCents = rows ? totalOf(*rows) : 0;
    if (m_services.config.paymentDialog == 1 && m_paymentDialog) {
        m_session.cancelled = false;
        m_paymentDialog(m_session);
        return !m_session.cancelled;
    }
    m_session.amounts[0] = double(m_session.totalCents) / 100.0;
    // The customer gave exactly the total, so the change display shows nothing due.
    m_session.tendered = m_session.amounts[0];
    return true;
}

bool ReceiptPrint::writeDocument(const ReceiptComposer::Document &document)
{
    m_display.clear();
    m_document.clear();
    QFile file(documentFilePath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        m_services.dialogs.warn(documentFilePath(), DocumentFileCaption);
        return false;
    }
    QStringList shown;
    for (const ReceiptPiece &piece : document.pieces) {
        m_services.view.addDocumentLine(piece.display);
        shown << piece.display;
        // Demonstration mode prints nothing, so nothing is written.
        if (m_services.config.demo)
            continue;
        if (file.write(piece.bytes) != piece.bytes.size())
            return false;
        m_document += piece.bytes;
    }
    if (!file.flush())
        return false;
    file.close();
    if (document.failure == ReceiptComposer::Failure::MissingRefundedUid) {
        m_services.dialogs.warn(MissingUid, MissingUidCaption);
        return false;
    }
    if (document.failure == ReceiptComposer::Failure::BadVatEntry) {
        m_services.dialogs.warn(BadVatEntry.arg(document.failedRow + 1),
                                message(int(Msg::SaleWarningCaption)));
        return false;
    }
    saveDisplayCopy(shown.join(u"\r\n"_s));
    return true;
}

void ReceiptPrint::saveDisplayCopy(const QString &text)
{
    QFile copy(displayCopyPath());
    if (copy.open(QIODevice::WriteOnly | QIODevice::Truncate))
        copy.write(Cp1250::encode(text));
}

bool ReceiptPrint::noteHandOver(const AttemptState &state, qint32 numberBefore)
{
    const PrintPendingRecord::Entry entry{m_till.linkText(),
                                          m_till.number,
                                          m_services.salesTable,
                                          numberBefore,
                                          m_printTime,
                                          state.keys,
                                          PrintPendingRecord::hashOf(m_document)};
    if (m_pending.write(entry)) {
        stage(Stage::Noted);
        return true;
    }
    m_services.dialogs.warn(m_pending.path(), PendingNoteCaption);
    return false;
}

bool ReceiptPrint::handOver()
{
    const std::string input = m_services.config.printManagerInput.toStdString();
    for (int pause = 0; pause < InputVanishPauses && m_services.files.fileExists(input); ++pause)
        m_services.link.wait_ms(InputVanishPauseMs);
    m_services.link.wait_ms(InputVanishPauseMs);
    m_services.link.remove_file(m_services.requests.infoFilePath());
    // Never over a document the print manager has not taken yet: that one would be lost.
    const std::string source = documentFilePath().toStdString();
    for (int attempt = 1; attempt <= CopyAttempts; ++attempt) {
        if (m_services.files.copyFileNoOverwrite(source, input).ok()) {
            stage(Stage::HandedOver);
            return true;
        }
        if (attempt < CopyAttempts)
            m_services.link.wait_ms(CopyPauseMs);
    }
    return false;
}

void ReceiptPrint::showChange()
{
    const double change = double(m_session.totalCents) / 100.0 - m_session.tendered;
    if (change > -ExactTolerance && change < ExactTolerance)
        m_services.view.showChange(message(int(Msg::TotalBoxPaidExactly)), u"0.00"_s);
    else
        m_services.view.showChange(message(int(Msg::ChangeDue)), QString::asprintf("%0.2f", change));
}

bool ReceiptPrint::waitForResult()
{
    for (;;) {
        const int rounds = m_services.config.infoTimeout / ResultPauseMs;
        for (int round = 0; round < rounds; ++round) {
            m_services.link.wait_ms(ResultPauseMs);
            if (m_services.requests.get_info()) {
                stage(Stage::ResultRead);
                return true;
            }
        }
        m_services.detection.online_sts();
        if (!ask(message(int(Msg::ResultMissingRetry)), message(int(Msg::SaleWarningCaption))))
            return false;
    }
}

ReceiptPrint::Attempt ReceiptPrint::outcome(AttemptState &state, qint32 numberBefore)
{
    m_services.link.wait_ms(OutcomePauseMs);
    if (!m_services.config.demo && m_services.state.info.documentNumber <= numberBefore)
        state.resultRead =
            m_services.requests.read_info_reply(m_services.config.infoTimeout, false) || state.resultRead;
    const qint32 number = m_services.state.info.documentNumber;
    if (m_services.config.demo || number > numberBefore) {
        if (!markPrinted(state.keys, m_till.number, number, m_printTime)) {
            tellRowsNotWritten(number);
            return Attempt::Printed;
        }
        m_pending.clear();
        stage(Stage::NoteCleared);
        const PrinterInfo &info = m_services.state.info;
        m_services.view.showPrinted(info.label, info.time, info.uid);
        return Attempt::Printed;
    }
    // Keep the note while the printer has not said anything since the hand-over: the
    // receipt may still come out, and the next print must find out first.
    if (!state.handedOver || state.resultRead)
        m_pending.clear();
    return Attempt::NotPrinted;
}

bool ReceiptPrint::markPrinted(const QList<int> &keys, int till, qint32 number, const QDateTime &printTime)
{
    const bool done =
        m_services.config.demo
            ? m_rows.remove(keys, till)
            : m_rows.mark(keys, till, {printTime, m_services.state.info.dailyClosingNumber + 1, number});
    if (done)
        stage(Stage::RowsMarked);
    return done;
}

void ReceiptPrint::tellRowsNotWritten(qint32 number)
{
    // The receipt is out but the rows are not marked: the note stays, so the next print
    // marks them instead of printing them again, and the cashier must know both.
    m_services.dialogs.warn(RowsNotWritten.arg(number).arg(m_rows.lastError()),
                            message(int(Msg::SaleWarningCaption)));
}

QString ReceiptPrint::pendingDescription(const PrintPendingRecord::Entry &entry)
{
    if (entry.isVoucher()) {
        const auto mode = entry.kind == PrintPendingRecord::Kind::Deposit ? CashVoucher::Mode::Deposit
                                                                          : CashVoucher::Mode::Withdrawal;
        return CashVoucher::describe(mode, double(entry.amountCents) / 100.0);
    }
    qint64 totalCents = 0;
    if (const std::optional<QList<SaleRow>> rows = m_sales.openRows()) {
        for (const SaleRow &row : *rows)
            totalCents += entry.keys.contains(row.idPrimary) ? row.cenaInt : 0;
    }
    return u"položiek: %1, spolu %2 EUR"_s.arg(entry.keys.size())
        .arg(QString::asprintf("%0.2f", double(totalCents) / 100.0));
}

bool ReceiptPrint::pendingWasPrinted(const PrintPendingRecord::Entry &entry, qint32 number, bool &asked)
{
    asked = false;
    const qint64 since = qint64(number) - entry.documentBefore;
    if (since <= 0)
        return false;
    // The till hands nothing else over while its note stands, so one document more is this
    // one. With more, other documents came from elsewhere (the print manager itself, a
    // program of an earlier version), and nothing in the printer's answer tells the kinds
    // of documents apart: only the paper does.
    if (since == 1)
        return true;
    asked = true;
    const QString text =
        PendingAmongOthers.arg(pendingDescription(entry)).arg(qint64(entry.documentBefore) + 1).arg(number) +
        (entry.isVoucher() ? VoucherAnswers : ReceiptAnswers).arg(number);
    return m_services.dialogs.askYesNo(text, RecoveredCaption, UserDialogs::Answer::No,
                                       UserDialogs::Icon::Question);
}

ReceiptPrint::Verdict ReceiptPrint::pendingVerdict(const PrintPendingRecord::Entry &entry, bool &asked)
{
    asked = false;
    // Demonstration mode hands nothing over, so its note names nothing that was printed.
    if (m_services.config.demo)
        return Verdict::NotPrinted;
    if (!m_services.requests.read_info_reply(m_services.config.infoTimeout, true))
        return Verdict::Unknown;
    return pendingWasPrinted(entry, m_services.state.info.documentNumber, asked) ? Verdict::Printed
                                                                                 : Verdict::NotPrinted;
}

ReceiptPrint::Recovery ReceiptPrint::settlePendingVoucher(const PrintPendingRecord::Entry &entry)
{
    bool asked = false;
    const Verdict verdict = pendingVerdict(entry, asked);
    if (verdict == Verdict::Unknown)
        return Recovery::PrinterSilent;
    m_pending.clear();
    const QString voucher = pendingDescription(entry);
    if (verdict == Verdict::NotPrinted) {
        m_services.dialogs.inform(VoucherNotRecovered.arg(voucher), RecoveredCaption);
        return Recovery::VoucherNotPrinted;
    }
    const PrinterInfo &info = m_services.state.info;
    m_services.view.showPrinted(info.label, info.time, info.uid);
    if (!asked)
        m_services.dialogs.inform(VoucherRecovered.arg(voucher).arg(info.documentNumber), RecoveredCaption);
    return Recovery::VoucherPrinted;
}

ReceiptPrint::Recovery ReceiptPrint::resolvePendingPrint()
{
    bool damaged = false;
    const std::optional<PrintPendingRecord::Entry> entry = m_pending.read(&damaged);
    if (!entry) {
        // A note that cannot be read names no rows to settle.
        if (damaged)
            m_pending.clear();
        return Recovery::Nothing;
    }
    if (entry->printManagerInput != m_till.linkText())
        return Recovery::Nothing;
    if (entry->isVoucher())
        return settlePendingVoucher(*entry);
    if (entry->salesTable != m_services.salesTable)
        return Recovery::Nothing;
    bool asked = false;
    const Verdict verdict = pendingVerdict(*entry, asked);
    if (verdict == Verdict::Unknown)
        return Recovery::PrinterSilent;
    if (verdict == Verdict::NotPrinted) {
        m_pending.clear();
        return Recovery::NotPrinted;
    }
    const qint32 number = m_services.state.info.documentNumber;
    if (!markPrinted(entry->keys, entry->till, number, entry->printTime)) {
        tellRowsNotWritten(number);
        return Recovery::RowsNotWritten;
    }
    m_pending.clear();
    const PrinterInfo &info = m_services.state.info;
    m_services.view.showPrinted(info.label, info.time, info.uid);
    m_services.view.reloadDocument();
    if (!asked)
        m_services.dialogs.inform(RecoveredText.arg(number), RecoveredCaption);
    return Recovery::Printed;
}

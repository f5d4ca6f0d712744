#pragma once

#include "omira-tm/ExchangeRequest.h"
#include "omira-tm/PrinterMemory.h"

#include <QByteArray>

// How a printed document moves the printer's turnovers: every item, return and
// discount line of a receipt adds its printed amount (negative for returns and
// discounts) to the turnover of its VAT letter; a voucher adds its amount to the
// deposits or the withdrawals.
class DocumentAccounting
{
public:
    // The amount of the information reply that a VAT letter feeds, or -1.
    static int amountForVatLetter(char letter);
    // ESC, VAT letter, kind letter (N sale, A return, B discount), "N", last letter (N or R).
    static bool isVatCode(const QByteArray &bytes, qsizetype at);
    static PrinterMemory::Amounts turnoverChanges(const QByteArray &document, ExchangeRequest::Kind kind);

private:
    static void addReceiptLines(const QByteArray &document, PrinterMemory::Amounts &changes);
    static void addVoucherAmount(const QByteArray &document, ExchangeRequest::Kind kind,
                                 PrinterMemory::Amounts &changes);
};

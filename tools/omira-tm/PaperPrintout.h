#pragma once

#include "omira-tm/ExchangeRequest.h"
#include "omira-tm/PrinterMemory.h"

#include <QByteArray>
#include <QStringList>

// A printed document as the cashier reads it on the paper roll: the header lines, the
// text without its markup and commands, VAT codes as "[1]" (or "[1R]"), payment lines
// with the names of the payment means, and a footer with the number, date, time and
// UID the printer gave the document.
class PaperPrintout
{
public:
    // `printer` is the state after the document; `paymentNames` are the names of
    // payment means 1..10 (missing or empty ones print as "Platidlo n").
    PaperPrintout(const PrinterMemory &printer, QStringList paymentNames);

    QStringList render(const QByteArray &document, ExchangeRequest::Kind kind) const;

private:
    class Writer;
    QString paymentName(int means) const;

    const PrinterMemory &m_printer;
    QStringList m_paymentNames;
};

#pragma once

#include <QByteArray>
#include <QString>

// What one input file asks of the print manager: a control command, answered from the
// printer's memory, or a document, which the printer prints.
struct ExchangeRequest
{
    enum class Kind { Status, Information, Rates, Data, Receipt, Deposit, Withdrawal, Unknown };

    Kind kind = Kind::Unknown;
    char dataLetter = 0; // of a data request
    bool ended = false;  // a document closed by its end command, so it can be printed

    static ExchangeRequest classify(const QByteArray &bytes);
    // True when the bytes can be taken at once: a control command or a document that
    // has its end command. Anything else is taken once it stops growing.
    static bool isWhole(const QByteArray &bytes);

    bool isDocument() const
    {
        return kind == Kind::Receipt || kind == Kind::Deposit || kind == Kind::Withdrawal;
    }
    // For journal file names: "status", "data-v", "receipt", ...
    QString name() const;
};

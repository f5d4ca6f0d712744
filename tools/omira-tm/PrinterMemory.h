#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <array>

// What the simulated fiscal printer remembers between documents and between runs:
// the values of its information reply, its VAT rates and the texts of its data replies.
struct PrinterMemory
{
    static constexpr int RateCount = 7;

    // The amounts of the information reply, in its order (reply values 5 to 13).
    enum Amount {
        HigherRate,  // VAT letters 1 and 4
        ReducedRate, // VAT letters 2 and 5
        Exempt,      // VAT letters 3 and 6
        Packaging,   // returnable packaging, letters 7 and 8
        Invoices,    // kept for the reply layout; no document line feeds it
        FourthRate,  // VAT letters G and H
        Deposits,    // cash deposit vouchers
        Withdrawals, // cash withdrawal vouchers, as a positive sum
        Spare,       // kept for the reply layout
        AmountCount
    };
    using Amounts = std::array<qint64, AmountCount>; // cents

    qint32 documentNumber = 0;
    QString uid;      // of the last document
    QString secondId; // of the last document
    QString label;    // of the last document, e.g. "PD/000042"
    QString date;     // of the last document, dd.MM.yyyy
    QString time;     // of the last document, HH:mm:ss
    Amounts turnovers{};

    std::array<int, RateCount> vatRates{20, 10, 0, 0, 0, 0, 0};
    QStringList headerLines;
    QString taxCode;
    QString build;

    // A printer fresh from the factory, as the simulator first starts.
    static PrinterMemory factoryDefaults();
};

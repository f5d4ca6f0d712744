#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <array>

// The last information reply of the printer. Every text is held within its slot length,
// whatever the reply held.
struct PrinterInfo
{
    static constexpr int UidLength = 39;
    static constexpr int SecondIdLength = 49;
    static constexpr int LabelLength = 15;
    static constexpr int DateLength = 11;
    static constexpr int TimeLength = 9;

    // The amounts of reply values 5 to 13, in that order.
    enum Amount {
        HigherRate,
        ReducedRate,
        Exempt,
        Packaging,
        Invoices,
        Further1,
        Further2,
        Further3,
        Further4
    };
    static constexpr int AmountCount = 9;

    qint32 documentNumber = 0;
    QString uid;
    QString secondId;
    QString label;
    QString date;
    QString time;
    std::array<double, AmountCount> amounts{};
    // Nothing on the file link reports it, so it keeps its start value unless demonstration
    // mode sets it.
    qint32 dailyClosingNumber = 0;

    double amount(Amount which) const { return amounts[which]; }
    bool operator==(const PrinterInfo &) const = default;
};

// What the program knows about the printer: owned by the main window for the whole run,
// written by the requests and the detection, read by the screens that print.
struct PrinterState
{
    static constexpr int VatRateCount = 7;
    static constexpr qint32 ReadyBit = 0x0001;
    static constexpr qint32 CashBlockBit = 0x1000;

    PrinterInfo info;
    qint32 status_word = 0; // 0 after a failed status request
    bool cash_block = false;
    bool connected = false;
    std::array<quint8, VatRateCount> vat_rates{};
    QByteArray data_reply; // bytes of the last data reply, code page 1250
    QString build_id;      // " (build xxxx)" once the printer told it
    // The printer build and the rates are read only by the first detection that reaches the
    // printer.
    bool firstDetection = true;
};

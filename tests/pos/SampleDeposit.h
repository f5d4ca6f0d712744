#pragma once

#include "pos/CashVoucher.h"

#include <QByteArray>

// The deposit that the tests of cash vouchers hand over, and the bytes the print manager
// must receive for it.
namespace SampleDeposit {

inline constexpr qint64 AmountCents = 10000;

// 100.00 deposited, 120.00 given in cash: the voucher shows the amount in cash.
inline CashVoucher voucher()
{
    CashVoucher deposit;
    deposit.start(CashVoucher::Mode::Deposit);
    deposit.setAmount(100);
    deposit.setPayment(0, 120);
    deposit.setText(QStringLiteral("Ranný vklad"));
    deposit.setCashier(QStringLiteral("Eva Malá"));
    deposit.settle();
    return deposit;
}

inline const QByteArray Bytes = "\x1bV^tRann\xfd vklad\r\n"
                                "\x1bk      100.00\r\n"
                                "\x1bP1      100.00\r\n"
                                "Vyhotovil: Eva Mal\xe1\r\n"
                                "\x1b"
                                "e";

} // namespace SampleDeposit

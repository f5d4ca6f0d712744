#include "omira-tm/DocumentAccounting.h"

#include "omira-tm/CentAmount.h"

namespace {

constexpr char Esc = '\x1b';
constexpr qsizetype VatCodeLength = 5; // ESC, VAT letter, kind letter, "N", last letter

} // namespace

bool DocumentAccounting::isVatCode(const QByteArray &bytes, qsizetype at)
{
    if (at + VatCodeLength > bytes.size() || bytes[at] != Esc)
        return false;
    const char kind = bytes[at + 2];
    const char last = bytes[at + 4];
    return amountForVatLetter(bytes[at + 1]) >= 0 && (kind == 'N' || kind == 'A' || kind == 'B') &&
           bytes[at + 3] == 'N' && (last == 'N' || last == 'R');
}

namespace {

// The number that follows `at` after any blanks, up to the next blank, markup or line end.
std::optional<qint64> amountAfter(const QByteArray &bytes, qsizetype at)
{
    while (at < bytes.size() && bytes[at] == ' ')
        ++at;
    qsizetype end = at;
    while (end < bytes.size() && bytes[end] != ' ' && bytes[end] != '^' && bytes[end] != '\r' &&
           bytes[end] != '\n' && bytes[end] != Esc)
        ++end;
    return CentAmount::parse(QByteArrayView(bytes).sliced(at, end - at));
}

} // namespace

int DocumentAccounting::amountForVatLetter(char letter)
{
    switch (letter) {
    case '1':
    case '4':
        return PrinterMemory::HigherRate;
    case '2':
    case '5':
        return PrinterMemory::ReducedRate;
    case '3':
    case '6':
        return PrinterMemory::Exempt;
    case '7':
    case '8':
        return PrinterMemory::Packaging;
    case 'G':
    case 'H':
        return PrinterMemory::FourthRate;
    default:
        return -1;
    }
}

PrinterMemory::Amounts DocumentAccounting::turnoverChanges(const QByteArray &document,
                                                           ExchangeRequest::Kind kind)
{
    PrinterMemory::Amounts changes{};
    if (kind == ExchangeRequest::Kind::Receipt)
        addReceiptLines(document, changes);
    else if (kind == ExchangeRequest::Kind::Deposit || kind == ExchangeRequest::Kind::Withdrawal)
        addVoucherAmount(document, kind, changes);
    return changes;
}

void DocumentAccounting::addReceiptLines(const QByteArray &document, PrinterMemory::Amounts &changes)
{
    for (qsizetype at = document.indexOf(Esc); at >= 0; at = document.indexOf(Esc, at + 1)) {
        if (!isVatCode(document, at))
            continue;
        // A line whose amount cannot be read is printed without counting, as a
        // printer would refuse to book what it cannot read.
        if (const auto cents = amountAfter(document, at + VatCodeLength)) {
            qint64 &turnover = changes[amountForVatLetter(document[at + 1])];
            turnover = CentAmount::add(turnover, *cents);
        }
    }
}

void DocumentAccounting::addVoucherAmount(const QByteArray &document, ExchangeRequest::Kind kind,
                                          PrinterMemory::Amounts &changes)
{
    const qsizetype at = document.indexOf("\x1bk");
    if (at < 0)
        return;
    const qint64 cents = amountAfter(document, at + 2).value_or(0);
    if (kind == ExchangeRequest::Kind::Deposit)
        changes[PrinterMemory::Deposits] = cents;
    else
        changes[PrinterMemory::Withdrawals] = -cents;
}

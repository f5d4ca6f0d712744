#include "pos/ReceiptComposer.h"

#include "base/Cp1250.h"

using namespace Qt::StringLiterals;

namespace {

const QByteArray LineEnd("\r\n");
const QByteArray ItemEnd("^N\r\n");

struct VatLetters
{
    char sale;
    char refund; // returns and discount lines
    char last;
};

constexpr std::array<VatLetters, 7> VatTable{{
    {'1', '4', 'N'},
    {'2', '5', 'N'},
    {'3', '6', 'N'},
    {'G', 'H', 'N'},
    {'1', '4', 'R'},
    {'2', '5', 'R'},
    {'G', 'H', 'R'},
}};

char kindLetter(ReceiptComposer::LineKind kind)
{
    switch (kind) {
    case ReceiptComposer::LineKind::Sale:
        return 'N';
    case ReceiptComposer::LineKind::Return:
        return 'A';
    case ReceiptComposer::LineKind::Discount:
        return 'B';
    }
    return 'N';
}

// printf-style formatting of numbers is done by Qt, which always uses the C locale, so the
// decimal point stays "." even when the process runs under a locale with a comma.
QString amount(const char *format, double value)
{
    return QString::asprintf(format, value);
}

QByteArray esc(char letter)
{
    return QByteArray(1, ReceiptComposer::Esc) + letter;
}

// A piece whose display is the written text itself.
ReceiptPiece shownAsWritten(const QByteArray &bytes)
{
    return {bytes, Cp1250::decode(bytes)};
}

// A piece shown without its line end.
ReceiptPiece withEnd(const QByteArray &body, const QByteArray &end)
{
    return {body + end, Cp1250::decode(body)};
}

double cents(qint64 value)
{
    return double(value) / 100.0;
}

} // namespace

QByteArray ReceiptComposer::Document::bytes() const
{
    QByteArray all;
    for (const ReceiptPiece &piece : pieces)
        all += piece.bytes;
    return all;
}

QString ReceiptComposer::Document::displayText() const
{
    QStringList lines;
    for (const ReceiptPiece &piece : pieces)
        lines << piece.display;
    return lines.join(u"\r\n"_s);
}

QByteArray ReceiptComposer::vatCode(int vatEntry, double quantity, bool packaging, LineKind kind)
{
    if (vatEntry < 0 || vatEntry >= int(VatTable.size()))
        return {};
    const bool refund = quantity < 0 || kind == LineKind::Discount;
    const VatLetters &letters = VatTable[std::size_t(vatEntry)];
    char vat = refund ? letters.refund : letters.sale;
    char last = letters.last;
    if (packaging) {
        vat = quantity < 0 ? '8' : '7';
        last = 'N';
    }
    return esc(vat) + kindLetter(kind) + 'N' + last;
}

QString ReceiptComposer::unitText(const QString &unit)
{
    return unit.isEmpty() ? u" "_s : unit.left(3);
}

ReceiptPiece ReceiptComposer::header(const std::optional<ReceiptParagon> &paragon)
{
    QByteArray bytes = esc('b') + "^t";
    if (paragon)
        bytes += Cp1250::encode(u"^P"_s + paragon->date + paragon->time + paragon->number + u"^k"_s);
    return shownAsWritten(bytes);
}

ReceiptPiece ReceiptComposer::nameBlock(const SaleRow &row)
{
    QString text = u"^D"_s + row.nazov;
    for (const QString &more : {row.nazov1, row.nazov2}) {
        if (!more.isEmpty())
            text += u"\r\n"_s + more;
    }
    return shownAsWritten(Cp1250::encode(text + u"^k\r\n"_s));
}

bool ReceiptComposer::hasDiscountLine(const SaleRow &row)
{
    return row.pocet >= 0 && !row.obal && row.zlavaPerc > 0;
}

ReceiptPiece ReceiptComposer::itemLine(const SaleRow &row, const QString &refundedUid,
                                       const QString &currency)
{
    const bool refund = row.pocet < 0;
    const QByteArray code =
        vatCode(row.idxDph, row.pocet, row.obal, refund ? LineKind::Return : LineKind::Sale);
    const QString unit = unitText(row.mj);
    const QString gross = amount("%9.2f", cents(qint64(row.cenaInt) + row.zlavaInt));
    const QString price = amount("%6.2f", row.jc);
    const QString quantity = amount("%7.2f", row.pocet);
    QByteArray body;
    if (!refund) {
        body = Cp1250::encode(u"^J"_s + price + u"^k ^Q"_s + quantity + u"^k ^M"_s + unit.rightJustified(3) +
                              u"^k  "_s) +
               code + Cp1250::encode(gross + u' ' + currency);
        return withEnd(body, hasDiscountLine(row) ? LineEnd : ItemEnd);
    }
    QString text = u"^J"_s + price + u"^k  ^Q"_s + quantity + u"^k ^M"_s + unit.leftJustified(3) + u"^k "_s;
    if (!row.obal)
        text += u"^R"_s + refundedUid + u"^k "_s;
    body = Cp1250::encode(text) + code + Cp1250::encode(gross + u' ' + currency);
    return withEnd(body, ItemEnd);
}

ReceiptPiece ReceiptComposer::discountLine(const SaleRow &row, const QString &currency)
{
    const QByteArray code = vatCode(row.idxDph, row.pocet, false, LineKind::Discount);
    const QString percent = QString::asprintf("%2d%%", row.zlavaPerc);
    const QByteArray body = Cp1250::encode(u"^DZľava "_s + percent + u"^k ^Q1^k ^M x^k "_s) + code +
                            Cp1250::encode(u' ' + amount("%6.2f", -cents(row.zlavaInt)) + u' ' + currency);
    return withEnd(body, ItemEnd);
}

ReceiptPiece ReceiptComposer::totalLine(qint64 totalCents, const QString &currency)
{
    return shownAsWritten(esc('k') + Cp1250::encode(amount("%12.2f", cents(totalCents)) + u' ' + currency) +
                          LineEnd);
}

ReceiptPiece ReceiptComposer::paymentLine(int means, double value)
{
    return shownAsWritten(esc('P') + QByteArray::number(means) + amount("%12.2f", value).toLatin1() +
                          LineEnd);
}

ReceiptPiece ReceiptComposer::closingLine(const QString &text)
{
    return withEnd(Cp1250::encode(text), LineEnd);
}

ReceiptPiece ReceiptComposer::end()
{
    return shownAsWritten(esc('e'));
}

ReceiptPiece ReceiptComposer::depositHeader(const QString &text)
{
    const QByteArray head = esc('V') + "^t";
    return shownAsWritten(text.isEmpty() ? head : head + Cp1250::encode(text) + LineEnd);
}

ReceiptPiece ReceiptComposer::withdrawalHeader(const QString &text)
{
    const QByteArray head = esc('v') + "^t";
    return shownAsWritten(text.isEmpty() ? head : head + Cp1250::encode(text) + LineEnd);
}

ReceiptPiece ReceiptComposer::voucherAmount(double value)
{
    return shownAsWritten(esc('k') + amount("%12.2f", value).toLatin1() + LineEnd);
}

ReceiptPiece ReceiptComposer::cashierLine(const QString &name)
{
    return shownAsWritten(Cp1250::encode(u"Vyhotovil: "_s + name) + LineEnd);
}

QList<ReceiptPiece>
ReceiptComposer::paymentLines(const std::array<double, ReceiptContent::PaymentMeansCount> &amounts)
{
    QList<ReceiptPiece> lines;
    for (std::size_t i = 0; i < amounts.size(); ++i) {
        if (amounts[i] != 0)
            lines << paymentLine(int(i) + 1, amounts[i]);
    }
    return lines;
}

ReceiptComposer::Document ReceiptComposer::receipt(const ReceiptContent &content)
{
    Document document;
    document.pieces << header(content.paragon);
    for (qsizetype i = 0; i < content.rows.size(); ++i) {
        const SaleRow &row = content.rows[i];
        document.pieces << nameBlock(row);
        if (vatCode(row.idxDph, row.pocet, row.obal, LineKind::Sale).isEmpty())
            document.failure = Failure::BadVatEntry;
        else if (row.pocet < 0 && !row.obal && content.refundedUid.isEmpty())
            document.failure = Failure::MissingRefundedUid;
        if (!document.complete()) {
            document.failedRow = int(i);
            return document;
        }
        document.pieces << itemLine(row, content.refundedUid, content.currency);
        if (hasDiscountLine(row))
            document.pieces << discountLine(row, content.currency);
    }
    document.pieces << totalLine(content.totalCents, content.currency);
    document.pieces << paymentLines(content.payments);
    for (const QString &line : content.closingText) {
        if (!line.isEmpty())
            document.pieces << closingLine(line);
    }
    document.pieces << end();
    return document;
}

ReceiptComposer::Document ReceiptComposer::voucher(const VoucherContent &content)
{
    const double sign = content.withdrawal ? -1.0 : 1.0;
    Document document;
    document.pieces << (content.withdrawal ? withdrawalHeader(content.text) : depositHeader(content.text));
    document.pieces << voucherAmount(sign * content.amount);
    std::array<double, ReceiptContent::PaymentMeansCount> payments = content.payments;
    for (double &payment : payments)
        payment *= sign;
    document.pieces << paymentLines(payments);
    if (!content.cashier.isEmpty())
        document.pieces << cashierLine(content.cashier);
    document.pieces << end();
    return document;
}

#pragma once

#include "pos/SaleRow.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// A paragon issued earlier by hand and recorded on the receipt's header line.
struct ReceiptParagon
{
    QString date;   // YYYYMMDD
    QString time;   // HHMMSS
    QString number; // 5 characters
};

// One piece of a document: the bytes handed to the print manager (code page 1250, line
// end included where the document has one) and the text shown on the sale screen.
struct ReceiptPiece
{
    QByteArray bytes;
    QString display;
    bool operator==(const ReceiptPiece &) const = default;
};

// What a receipt is made of.
struct ReceiptContent
{
    static constexpr int PaymentMeansCount = 10;

    std::optional<ReceiptParagon> paragon;
    QList<SaleRow> rows;
    QString refundedUid; // EditUID: the document that returned items came from
    qint64 totalCents = 0;
    std::array<double, PaymentMeansCount> payments{};
    QStringList closingText;
    QString currency = QStringLiteral("EUR");
};

// What a cash deposit or withdrawal voucher is made of. Amounts are given as the cashier
// entered them; a withdrawal's are negated on the voucher.
struct VoucherContent
{
    bool withdrawal = false;
    double amount = 0;
    std::array<double, ReceiptContent::PaymentMeansCount> payments{};
    QString text;    // the additional text of the header line; may be empty
    QString cashier; // "Vyhotovil:" line when not empty
};

// The document command lines that the print manager understands, composed byte for byte.
// Amounts always use "." as decimal point, whatever the locale of the program.
class ReceiptComposer
{
public:
    static constexpr char Esc = '\x1b';

    enum class LineKind { Sale, Return, Discount };
    enum class Failure { None, MissingRefundedUid, BadVatEntry };

    struct Document
    {
        QList<ReceiptPiece> pieces;
        Failure failure = Failure::None;
        int failedRow = -1; // index into the rows when composition stopped

        bool complete() const { return failure == Failure::None; }
        QByteArray bytes() const;
        QString displayText() const; // one line per piece
    };

    // The five bytes ESC, VAT letter, kind letter, "N", last letter; empty for an entry
    // outside 0..6, which no printer rate stands for.
    static QByteArray vatCode(int vatEntry, double quantity, bool packaging, LineKind kind);

    static ReceiptPiece header(const std::optional<ReceiptParagon> &paragon);
    static ReceiptPiece nameBlock(const SaleRow &row);
    // Line 3, 4a or 4b for the row; a line 3 followed by a discount line ends without "^N".
    static ReceiptPiece itemLine(const SaleRow &row, const QString &refundedUid, const QString &currency);
    static bool hasDiscountLine(const SaleRow &row);
    static ReceiptPiece discountLine(const SaleRow &row, const QString &currency);
    static ReceiptPiece totalLine(qint64 totalCents, const QString &currency);
    static ReceiptPiece paymentLine(int means, double amount); // means 1..10
    static ReceiptPiece closingLine(const QString &text);
    static ReceiptPiece end();
    // Cash voucher lines.
    static ReceiptPiece depositHeader(const QString &text);
    static ReceiptPiece withdrawalHeader(const QString &text);
    static ReceiptPiece voucherAmount(double amount);
    static ReceiptPiece cashierLine(const QString &name);

    // The whole receipt in its order: header, the items, total, payments, closing text,
    // end. Composition stops at an item that cannot be printed; the pieces up to it are
    // kept, so that the display shows how far it came.
    static Document receipt(const ReceiptContent &content);
    // A voucher in its order: header with the additional text, amount, the payment lines,
    // the cashier line, end.
    static Document voucher(const VoucherContent &content);
    // One line per payment means with an amount other than 0, in order 1..10.
    static QList<ReceiptPiece>
    paymentLines(const std::array<double, ReceiptContent::PaymentMeansCount> &amounts);
    static QString unitText(const QString &unit);
};

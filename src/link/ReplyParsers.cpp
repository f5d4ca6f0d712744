#include "link/ReplyParsers.h"

#include "base/Cp1250.h"
#include "link/ReplyScanner.h"

#include <cmath>

namespace ReplyParsers {

namespace {

constexpr int ValueCount = 13;
constexpr int FirstAmountValue = 5;

bool isDigit(char byte)
{
    return byte >= '0' && byte <= '9';
}

// Only the leading run of printable ASCII of a value is kept: the first control byte or
// byte of the upper half ends it.
QByteArray printablePrefix(const QByteArray &word)
{
    qsizetype end = 0;
    while (end < word.size() && static_cast<unsigned char>(word[end]) >= 0x20 &&
           static_cast<unsigned char>(word[end]) <= 0x7F)
        ++end;
    return word.first(end);
}

// Date and time are kept as read; a zero byte would end them as a C string.
QString unfilteredText(const QByteArray &word, qsizetype slot)
{
    const qsizetype zero = word.indexOf('\0');
    const QByteArray text = zero < 0 ? word : word.first(zero);
    return Cp1250::decode(text.first(std::min(text.size(), slot)));
}

QString slotText(const QByteArray &value, qsizetype slot)
{
    return QString::fromLatin1(value.first(std::min(value.size(), slot)));
}

std::optional<qint32> wholeInteger(const QByteArray &value)
{
    ReplyScanner scanner(value);
    const std::optional<qint32> number = scanner.readInteger();
    if (!number || scanner.readByte())
        return std::nullopt;
    return number;
}

// Length of the C decimal number at the start of `word`, 0 when there is none.
qsizetype decimalLength(QByteArrayView word)
{
    qsizetype pos = 0;
    const auto digitsFrom = [&word](qsizetype from) {
        qsizetype to = from;
        while (to < word.size() && isDigit(word[to]))
            ++to;
        return to - from;
    };
    if (pos < word.size() && (word[pos] == '+' || word[pos] == '-'))
        ++pos;
    qsizetype mantissa = digitsFrom(pos);
    pos += mantissa;
    if (pos < word.size() && word[pos] == '.') {
        const qsizetype fraction = digitsFrom(pos + 1);
        if (mantissa + fraction > 0)
            pos += 1 + fraction;
        mantissa += fraction;
    }
    if (mantissa == 0)
        return 0;
    if (pos < word.size() && (word[pos] == 'e' || word[pos] == 'E')) {
        qsizetype exponent = pos + 1;
        if (exponent < word.size() && (word[exponent] == '+' || word[exponent] == '-'))
            ++exponent;
        const qsizetype digits = digitsFrom(exponent);
        if (digits > 0)
            pos = exponent + digits;
    }
    return pos;
}

bool storeValue(PrinterInfo &info, int valueNumber, const QByteArray &value)
{
    switch (valueNumber) {
    case 1:
        info.uid = slotText(value, PrinterInfo::UidLength);
        return true;
    case 2:
        info.secondId = slotText(value, PrinterInfo::SecondIdLength);
        return true;
    case 3:
        info.label = slotText(value, PrinterInfo::LabelLength);
        return true;
    case 4:
        if (const std::optional<qint32> number = wholeInteger(value)) {
            info.documentNumber = *number;
            return true;
        }
        return false;
    default:
        info.amounts[valueNumber - FirstAmountValue] = parseAmount(value);
        return true;
    }
}

} // namespace

std::optional<qint32> parseStatus(QByteArrayView bytes)
{
    ReplyScanner scanner(bytes);
    if (!scanner.readInteger())
        return std::nullopt;
    return scanner.readInteger().value_or(0);
}

InfoOutcome parseInfo(QByteArrayView bytes, PrinterInfo &info)
{
    ReplyScanner scanner(bytes);
    const std::optional<qint32> kind = scanner.readInteger();
    if (!kind)
        return InfoOutcome::Incomplete;
    if (*kind != 1)
        return InfoOutcome::NotInformation;

    PrinterInfo read = info;
    for (int valueNumber = 1; valueNumber <= ValueCount;) {
        const std::optional<QByteArray> word = scanner.readWord(MaxWordLength);
        if (!word)
            break;
        const QByteArray value = printablePrefix(*word);
        if (value.isEmpty())
            continue;
        if (!storeValue(read, valueNumber, value))
            return InfoOutcome::Rejected;
        ++valueNumber;
    }
    if (const std::optional<QByteArray> date = scanner.readWord(MaxWordLength))
        read.date = unfilteredText(*date, PrinterInfo::DateLength);
    if (const std::optional<QByteArray> time = scanner.readWord(MaxWordLength))
        read.time = unfilteredText(*time, PrinterInfo::TimeLength);
    info = read;
    return InfoOutcome::Read;
}

int parseVatRates(QByteArrayView bytes, std::array<quint8, PrinterState::VatRateCount> &rates)
{
    ReplyScanner scanner(bytes);
    int count = 0;
    for (; count < PrinterState::VatRateCount; ++count) {
        const std::optional<qint32> rate = scanner.readInteger();
        if (!rate)
            break;
        rates[count] = static_cast<quint8>(static_cast<quint32>(*rate) & 0xFF);
    }
    return count;
}

QByteArray rebuildData(QByteArrayView bytes)
{
    ReplyScanner scanner(bytes);
    QByteArray text;
    const std::optional<char> first = scanner.readByte();
    if (!first)
        return text;
    text.append(*first);
    while (text.size() <= DataTextLimit) {
        const std::optional<QByteArray> word = scanner.readWordPiece(DataWordLength);
        if (!word)
            break;
        text.append(*word).append("\r\n");
    }
    return text;
}

double parseAmount(QByteArrayView word)
{
    const qsizetype length = decimalLength(word);
    if (length == 0)
        return 0.0;
    bool ok = false;
    const double value = word.first(length).toByteArray().toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

} // namespace ReplyParsers

#include "omira-tm/ExchangeRequest.h"

using namespace Qt::StringLiterals;

namespace {

constexpr char Esc = '\x1b';
const QByteArray StatusBytes("\x1b\x11\x1b"
                             "e");
const QByteArray InformationBytes("\x1bI\x1b"
                                  "e");
const QByteArray RatesBytes("\x1b!d");
const QByteArray EndCommand("\x1b"
                            "e");

// Line ends or blanks after the last command change nothing about the request.
QByteArray withoutTrailingBlanks(const QByteArray &bytes)
{
    qsizetype end = bytes.size();
    while (end > 0 && (bytes[end - 1] == '\r' || bytes[end - 1] == '\n' || bytes[end - 1] == ' '))
        --end;
    return bytes.first(end);
}

bool isDataRequest(const QByteArray &bytes)
{
    return bytes.size() == 5 && bytes.startsWith("\x1b!") && bytes.endsWith(EndCommand);
}

ExchangeRequest::Kind documentKind(const QByteArray &bytes)
{
    if (bytes.size() < 2 || bytes[0] != Esc)
        return ExchangeRequest::Kind::Unknown;
    switch (bytes[1]) {
    case 'b':
        return ExchangeRequest::Kind::Receipt;
    case 'V':
        return ExchangeRequest::Kind::Deposit;
    case 'v':
        return ExchangeRequest::Kind::Withdrawal;
    default:
        return ExchangeRequest::Kind::Unknown;
    }
}

} // namespace

ExchangeRequest ExchangeRequest::classify(const QByteArray &bytes)
{
    const QByteArray request = withoutTrailingBlanks(bytes);
    ExchangeRequest result;
    if (request == StatusBytes) {
        result.kind = Kind::Status;
    } else if (request == InformationBytes) {
        result.kind = Kind::Information;
    } else if (request == RatesBytes) {
        result.kind = Kind::Rates;
    } else if (isDataRequest(request)) {
        result.kind = Kind::Data;
        result.dataLetter = request[2];
    } else {
        result.kind = documentKind(request);
        result.ended = result.isDocument() && request.endsWith(EndCommand);
    }
    return result;
}

bool ExchangeRequest::isWhole(const QByteArray &bytes)
{
    const ExchangeRequest request = classify(bytes);
    return request.kind != Kind::Unknown && (!request.isDocument() || request.ended);
}

QString ExchangeRequest::name() const
{
    switch (kind) {
    case Kind::Status:
        return u"status"_s;
    case Kind::Information:
        return u"info"_s;
    case Kind::Rates:
        return u"rates"_s;
    case Kind::Data: {
        const auto letter = static_cast<unsigned char>(dataLetter);
        const bool plain = (letter >= 'a' && letter <= 'z') || (letter >= 'A' && letter <= 'Z') ||
                           (letter >= '0' && letter <= '9');
        return plain ? u"data-"_s + QLatin1Char(dataLetter)
                     : u"data-x%1"_s.arg(letter, 2, 16, QLatin1Char('0'));
    }
    case Kind::Receipt:
        return u"receipt"_s;
    case Kind::Deposit:
        return u"deposit"_s;
    case Kind::Withdrawal:
        return u"withdrawal"_s;
    case Kind::Unknown:
        break;
    }
    return u"unknown"_s;
}

#include "omira-tm/ReplyFormatter.h"

#include "base/Cp1250.h"
#include "omira-tm/CentAmount.h"

using namespace Qt::StringLiterals;

namespace ReplyFormatter {
namespace {

const QByteArray LineEnd("\r\n");

QByteArray line(const QByteArray &text)
{
    return text + LineEnd;
}

QByteArray number(qint64 value)
{
    return QByteArray::number(value);
}

} // namespace

QByteArray replyToken(const QString &value, int length)
{
    QByteArray token;
    for (const QChar c : value.left(length))
        token += c.unicode() > 0x20 && c.unicode() < 0x7f ? static_cast<char>(c.unicode()) : '_';
    return token.isEmpty() ? QByteArray("-") : token;
}

QByteArray statusReply(quint32 statusWord)
{
    return line("0") + line(QByteArray::number(statusWord));
}

QByteArray informationReply(const PrinterMemory &state)
{
    QByteArray reply = line("1");
    reply += line(replyToken(state.uid, UidLength));
    reply += line(replyToken(state.secondId, SecondIdLength));
    reply += line(replyToken(state.label, LabelLength));
    reply += line(number(state.documentNumber));
    for (const qint64 amount : state.turnovers)
        reply += line(CentAmount::format(amount).toLatin1());
    reply += line(replyToken(state.date, DateLength));
    reply += line(replyToken(state.time, TimeLength));
    return reply;
}

QByteArray ratesReply(const PrinterMemory &state)
{
    QByteArray reply;
    for (const int rate : state.vatRates)
        reply += line(number(rate));
    return reply;
}

QByteArray dataReply(char letter, const PrinterMemory &state)
{
    switch (letter) {
    case 'v':
        return line(Cp1250::encode(state.build));
    case 'h': {
        QByteArray reply;
        for (const QString &header : state.headerLines)
            reply += line(Cp1250::encode(header));
        return reply;
    }
    case 'D':
        return line(Cp1250::encode(state.taxCode));
    default:
        return {};
    }
}

QByteArray malformedReply(ExchangeRequest::Kind kind, const PrinterMemory &state)
{
    switch (kind) {
    case ExchangeRequest::Kind::Status:
        return line("0") + line("\x01\xfe"
                                "ready");
    case ExchangeRequest::Kind::Rates:
    case ExchangeRequest::Kind::Data:
        return QByteArray("\xff\xfe\x00\x01\x1b\x90", 6);
    default:
        // Cut in the middle of the document number, which is no number either.
        return line("1") + line(replyToken(state.uid, UidLength)) + line("-") + line("-") + "#" +
               number(state.documentNumber);
    }
}

} // namespace ReplyFormatter

#pragma once

#include "omira-tm/ExchangeRequest.h"
#include "omira-tm/PrinterMemory.h"

#include <QByteArray>

// The bytes of the reply files, code page 1250 with CR LF line ends, laid out so that
// the program's readers take every value: numbers in decimal, amounts with "." and two
// decimals, and no value of the information reply empty or with a blank in it (either
// would move the later values onto the wrong fields).
namespace ReplyFormatter {

inline constexpr int UidLength = 39;
inline constexpr int SecondIdLength = 49;
inline constexpr int LabelLength = 15;
inline constexpr int DateLength = 11;
inline constexpr int TimeLength = 9;

// "info.txt" after a status request: a first line that is not 1, then the status word.
QByteArray statusReply(quint32 statusWord);
// "info.txt" after an information request and after every document.
QByteArray informationReply(const PrinterMemory &state);
// "fm_sts.bin" after a rates request: seven lines of one rate each.
QByteArray ratesReply(const PrinterMemory &state);
// "fm_sts.bin" after a data request: "v" the build, "h" the header lines, "D" the tax
// code; any other letter an empty file.
QByteArray dataReply(char letter, const PrinterMemory &state);
// A reply that the program's readers must refuse or take nothing from, for trying
// their failure paths: a status reply without status word, an information reply cut
// inside a document number that is no number, rates and data that are binary noise.
QByteArray malformedReply(ExchangeRequest::Kind kind, const PrinterMemory &state);

// One value of the information reply: printable ASCII only (anything else becomes
// "_"), at most `length` characters, "-" when empty.
QByteArray replyToken(const QString &value, int length);

} // namespace ReplyFormatter

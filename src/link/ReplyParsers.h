#pragma once

#include "link/PrinterState.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

#include <array>
#include <optional>

// The readers of the print manager's reply files, working on the bytes of a file. They
// trust nothing in the bytes: any content gives a defined result, and no text grows
// beyond its slot.
namespace ReplyParsers {

// A word of an information reply longer than this is cut here before it is stored.
inline constexpr qsizetype MaxWordLength = 149;
// A data reply is rebuilt from words of at most this many bytes...
inline constexpr qsizetype DataWordLength = 50;
// ...until the text has grown beyond this length.
inline constexpr qsizetype DataTextLimit = 1000;
// The longest text a data reply can be rebuilt into: the limit, one more word and its
// line end.
inline constexpr qsizetype MaxDataReplyLength = DataTextLimit + DataWordLength + 2;

// The status word of a status reply (its second number), 0 when that is missing or not a
// 32-bit number. Nothing while the first number is missing: the reply is not complete yet.
std::optional<qint32> parseStatus(QByteArrayView bytes);

enum class InfoOutcome {
    Incomplete,     // no first number yet
    NotInformation, // first number other than 1: taken as read, nothing changes
    Rejected,       // the document number is no 32-bit integer: nothing changes
    Read,           // `info` holds the values of the reply
};
// Reads an information reply over `info`: values missing from the reply keep what `info`
// held. `info` is changed only when the outcome is Read.
InfoOutcome parseInfo(QByteArrayView bytes, PrinterInfo &info);

// Stores the low byte of each rate number in order, stopping at the first place that
// holds no number; the rates not reached keep their values. Returns how many were read.
int parseVatRates(QByteArrayView bytes, std::array<quint8, PrinterState::VatRateCount> &rates);

// The text of a data reply rebuilt word by word: the first byte as it is, then every word
// followed by CR LF. Never longer than MaxDataReplyLength.
QByteArray rebuildData(QByteArrayView bytes);

// An amount in C decimal notation at the start of `word`; 0 for anything else and for
// values that no double can hold.
double parseAmount(QByteArrayView word);

} // namespace ReplyParsers

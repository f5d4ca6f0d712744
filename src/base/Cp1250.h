#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Windows code page 1250 (Central European), the encoding of every file the
// program shares with the outside: INI, language, exchange and receipt files.
// Our own table, so that the result does not depend on how Qt was built.
namespace Cp1250 {
QString decode(QByteArrayView bytes);
// Characters without a code in 1250 become '?'.
QByteArray encode(QStringView text);
// Whether the character has a code of its own in 1250 (encode would not turn it into '?').
bool canEncode(QChar ch);
} // namespace Cp1250

#pragma once

#include <QString>
#include <QtGlobal>

// The English text of a Windows system error code, for the error log and the
// messages that report a failed system call. Parts that were in round brackets
// read ";" and insertion marks such as %1 are left as they are, because the
// text is logged as it stands and never formatted. Codes without a text give
// "unknown.".
QString WinErrorText(quint32 code);

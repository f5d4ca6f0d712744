#pragma once

#include <QString>

#include <functional>

class ErrorLog;
class UserDialogs;

// An error that no handler of the program caught: written to the error log and shown
// in the standard error box (error icon, the error's text, the program's name as its
// caption). Whoever reports it goes on afterwards.
class ErrorReporter
{
public:
    // The text of an exception that is not a std::exception and so carries none.
    static const QString UnknownErrorText;

    // `log` is asked at each report: the log is replaced once the configuration names it.
    ErrorReporter(UserDialogs &dialogs, std::function<ErrorLog &()> log, QString caption);

    void report(const QString &text);
    // Runs `body`; an exception that escapes it is reported and gives `failureCode`.
    // For the program's start, where no event loop catches it yet.
    int runGuarded(const std::function<int()> &body, int failureCode);
    // The text of the exception being handled; only inside a catch block.
    static QString currentExceptionText();

private:
    UserDialogs &m_dialogs;
    std::function<ErrorLog &()> m_log;
    QString m_caption;
    bool m_boxOpen = false;
};

#include "app/ErrorReporter.h"

#include "base/ErrorLog.h"
#include "base/UserDialogs.h"

#include <QScopedValueRollback>

#include <exception>

using namespace Qt::StringLiterals;

const QString ErrorReporter::UnknownErrorText = u"Nastala neznáma chyba programu."_s;

ErrorReporter::ErrorReporter(UserDialogs &dialogs, std::function<ErrorLog &()> log, QString caption)
    : m_dialogs(dialogs), m_log(std::move(log)), m_caption(std::move(caption))
{}

void ErrorReporter::report(const QString &text)
{
    // The log first: the box waits for the user, who may end the program from there.
    m_log().WriteErrLog(u"Unhandled error: "_s + text);
    // A handler that fails on every repaint would otherwise stack a box on each repaint
    // of the window behind the first box; the log still gets every one of them.
    if (m_boxOpen)
        return;
    const QScopedValueRollback boxOpen(m_boxOpen, true);
    m_dialogs.error(text, m_caption);
}

int ErrorReporter::runGuarded(const std::function<int()> &body, int failureCode)
{
    try {
        return body();
    } catch (...) {
        report(currentExceptionText());
        return failureCode;
    }
}

QString ErrorReporter::currentExceptionText()
{
    try {
        throw;
    } catch (const std::exception &error) {
        return QString::fromUtf8(error.what());
    } catch (...) {
        return UnknownErrorText;
    }
}

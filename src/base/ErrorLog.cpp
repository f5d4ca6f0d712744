#include "base/ErrorLog.h"

#include "base/Cp1250.h"
#include "base/UserDialogs.h"
#include "base/Version.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {

QString padded(int number, int digits)
{
    return QString::number(number).rightJustified(digits, u'0');
}

} // namespace

ErrorLog::ErrorLog(QString path, bool enabled, UserDialogs &dialogs)
    : m_path(std::move(path)), m_enabled(enabled), m_dialogs(dialogs),
      m_now([] { return QDateTime::currentDateTime(); })
{}

QByteArray ErrorLog::formatLine(const QDateTime &when, const QLocale &locale, const QString &firmwareId,
                                const QString &text)
{
    const QTime time = when.time();
    const QString line = u"> (%1 %2:%3:%4,%5 Ver:%6 %7) %8 \r\n"_s.arg(
        locale.toString(when.date(), QLocale::ShortFormat), QString::number(time.hour()),
        padded(time.minute(), 2), padded(time.second(), 2), padded(time.msec(), 3),
        QString::fromUtf16(kVersionText), firmwareId, text);
    return Cp1250::encode(line);
}

void ErrorLog::WriteErrLog(const QString &text)
{
    if (!m_enabled)
        return;
    // A read-only log is made writable again; a missing one is created below.
    QFile::setPermissions(m_path, QFile::permissions(m_path) | QFileDevice::WriteOwner);
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        m_dialogs.warn(m_path, text);
        return;
    }
    const QByteArray line = formatLine(m_now(), m_locale, m_firmwareId, text);
    if (file.write(line) != line.size() || !file.flush())
        m_dialogs.warn(m_path, text);
}

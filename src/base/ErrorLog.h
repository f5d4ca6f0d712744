#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QString>

#include <functional>

class UserDialogs;

// The error log: one line per event, appended to a text file that is opened and
// closed around each line so that others can read it in between. A log that
// cannot be opened is reported in a message box for every event; the program
// goes on.
class ErrorLog
{
public:
    ErrorLog(QString path, bool enabled, UserDialogs &dialogs);

    void WriteErrLog(const QString &text);

    // Firmware identification of the printer, part of every line; empty until known.
    void setFirmwareId(const QString &firmwareId) { m_firmwareId = firmwareId; }
    void setClock(std::function<QDateTime()> now) { m_now = std::move(now); }
    void setLocale(const QLocale &locale) { m_locale = locale; }
    const QString &path() const { return m_path; }
    bool enabled() const { return m_enabled; }

    // "> (date h:mm:ss,mmm Ver:version firmware) text \r\n" in code page 1250.
    static QByteArray formatLine(const QDateTime &when, const QLocale &locale, const QString &firmwareId,
                                 const QString &text);

private:
    QString m_path;
    bool m_enabled;
    UserDialogs &m_dialogs;
    QString m_firmwareId;
    std::function<QDateTime()> m_now;
    QLocale m_locale = QLocale::system();
};

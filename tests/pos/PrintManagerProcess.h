#pragma once

#include "TestPaths.h"

#include <QDir>
#include <QProcess>
#include <QStringList>

#include <memory>
#include <optional>

// The print-manager simulator as its own headless process on an exchange folder, as a till
// meets it: started, stopped and started again with other faults, its printer memory and
// journal kept in the folder meanwhile.
class PrintManagerProcess
{
public:
    static constexpr int TimeoutMs = 30000;

    explicit PrintManagerProcess(QString exchange) : m_exchange(std::move(exchange)) {}
    ~PrintManagerProcess() { stop(); }

    // `options` of omira-tm besides the input file; `lastDocument` sets the printer's last
    // document number first. True once it watches the folder.
    bool start(const QStringList &options = {}, std::optional<qint32> lastDocument = {})
    {
        stop();
        QDir().mkpath(m_exchange);
        if (lastDocument &&
            !TestPaths::writeFile(statePath(),
                                  "[PRINTER]\r\nNUMBER=" + QByteArray::number(*lastDocument) + "\r\n"))
            return false;
        m_process = std::make_unique<QProcess>();
        m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_process->setProcessEnvironment(environment);
        m_process->start(QStringLiteral(OMIRA_TM_EXE),
                         QStringList{QStringLiteral("--input"), m_exchange + QStringLiteral("/blocek.txt"),
                                     QStringLiteral("--headless"), QStringLiteral("--poll-interval"),
                                     QStringLiteral("5")} +
                             options);
        // It says so once the folder is watched.
        QByteArray said;
        while (!said.contains("watches") && m_process->waitForReadyRead(TimeoutMs))
            said += m_process->readAllStandardOutput();
        return said.contains("watches");
    }

    void stop()
    {
        if (!m_process)
            return;
        m_process->kill();
        m_process->waitForFinished(TimeoutMs);
        m_process.reset();
    }

    QString statePath() const { return m_exchange + QStringLiteral("/omira-tm.ini"); }
    QString journalFolder() const { return m_exchange + QStringLiteral("/journal"); }
    // The journal's files of one kind of request ("deposit", "status"), oldest first.
    QStringList journal(const QString &kind) const
    {
        return QDir(journalFolder())
            .entryList({QStringLiteral("*-") + kind + QStringLiteral(".txt")}, QDir::Files, QDir::Name);
    }
    QByteArray journalFile(const QString &name) const
    {
        return TestPaths::readFile(journalFolder() + u'/' + name);
    }

private:
    QString m_exchange;
    std::unique_ptr<QProcess> m_process;
};

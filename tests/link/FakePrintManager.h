#pragma once

#include "base/Configuration.h"
#include "link/ManualLinkClock.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QMap>

// Plays the print manager on the link clock: whenever the link waits, it takes a command
// left on the input file and, after the delay set for that command, writes its reply whole
// into the exchange folder.
class FakePrintManager
{
public:
    FakePrintManager(const Configuration &config, ManualLinkClock &clock) : m_config(config)
    {
        clock.setSleepHook([this](qint64 now) { onTime(now); });
    }

    // The reply to `command`: `bytes` in `fileName`, `delayMs` after the command was taken.
    void answer(const QByteArray &command, const QString &fileName, const QByteArray &bytes,
                qint64 delayMs = 0)
    {
        m_answers.insert(command, Reply{fileName, bytes, delayMs, 0});
    }
    void forget(const QByteArray &command) { m_answers.remove(command); }

    QList<QByteArray> received;
    bool takesInput = true;

private:
    struct Reply
    {
        QString fileName;
        QByteArray bytes;
        qint64 delayMs;
        qint64 dueMs;
    };

    void onTime(qint64 now)
    {
        QFile input(m_config.printManagerInput);
        if (takesInput && input.exists() && input.open(QIODevice::ReadOnly)) {
            const QByteArray command = input.readAll();
            input.close();
            input.remove();
            received.append(command);
            if (m_answers.contains(command)) {
                Reply reply = m_answers.value(command);
                reply.dueMs = now + reply.delayMs;
                m_pending.append(reply);
            }
        }
        for (qsizetype i = m_pending.size() - 1; i >= 0; --i) {
            if (m_pending[i].dueMs <= now) {
                writeWhole(m_pending[i]);
                m_pending.removeAt(i);
            }
        }
    }

    void writeWhole(const Reply &reply) const
    {
        const QString path = m_config.exchangeFolder + reply.fileName;
        QFile beside(path + QStringLiteral(".part"));
        if (beside.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            beside.write(reply.bytes);
            beside.close();
            QFile::remove(path);
            beside.rename(path);
        }
    }

    const Configuration &m_config;
    QMap<QByteArray, Reply> m_answers;
    QList<Reply> m_pending;
};

#pragma once

#include "link/LinkClock.h"

#include <QList>

#include <functional>

// A clock whose time advances only when someone sleeps on it, by exactly the time asked
// for. It records every sleep, so that the number and the spacing of the link's
// attempts can be checked without real waiting.
class ManualLinkClock : public LinkClock
{
public:
    explicit ManualLinkClock(qint64 startMs = 0) : m_nowMs(startMs) {}

    qint64 nowMs() const override { return m_nowMs; }
    void sleepMs(qint64 ms) override;

    // Called after each sleep with the new time; lets a test change the world "meanwhile".
    void setSleepHook(std::function<void(qint64 nowMs)> hook) { m_hook = std::move(hook); }
    const QList<qint64> &sleeps() const { return m_sleeps; }

private:
    qint64 m_nowMs;
    QList<qint64> m_sleeps;
    std::function<void(qint64)> m_hook;
};

#pragma once

#include "base/Progress.h"

// Lets a piece of work go on `steps` times, then cancels it as the user would.
class CancelAfter : public Progress
{
public:
    explicit CancelAfter(int steps) : m_steps(steps) {}
    bool advance(qint64, qint64) override { return m_steps-- > 0; }

private:
    int m_steps;
};

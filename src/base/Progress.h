#pragma once

#include <QtGlobal>

// Where a long piece of work reports how far it got and learns whether the user
// cancelled it. The core never shows a widget: a screen hands in a progress
// dialog, a command-line tool a progress line, tests and benchmarks nothing.
class Progress
{
public:
    virtual ~Progress() = default;
    // `done` of `total` steps (total 0 when unknown); false when the user
    // cancelled, after which the work stops and undoes what it did.
    virtual bool advance(qint64 done, qint64 total) = 0;
};

// Progress that nobody watches and nobody cancels.
class NoProgress : public Progress
{
public:
    bool advance(qint64, qint64) override { return true; }
};

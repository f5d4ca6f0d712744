#pragma once

#include "base/UserDialogs.h"

#include <cstdio>

// Gives every box its default answer and prints its text, so a benchmark never waits
// for a user and an unexpected box is still seen.
class SilentDialogs : public UserDialogs
{
public:
    Answer show(const Message &message) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(message.text));
        return message.defaultAnswer;
    }
    QString chooseFile(const FileRequest &) override { return {}; }
};

#pragma once

#include "platform/OsVersionQuery.h"
#include "platform/ProcessPriority.h"
#include "platform/WindowFinder.h"

#include <set>
#include <string>

// Top-level windows that "exist" for the code under test.
class FakeWindowFinder : public platform::WindowFinder
{
public:
    bool windowExists(const std::string &title) const override { return titles.count(title) > 0; }
    std::set<std::string> titles;
};

class FakeOsVersionQuery : public platform::OsVersionQuery
{
public:
    platform::OsVersion query() const override { return version; }
    platform::OsVersion version{"Windows 7 ", 6, 1, 7601, true};
};

class FakeProcessPriority : public platform::ProcessPriority
{
public:
    bool setPriorityClass(unsigned priorityClass) override
    {
        applied = priorityClass;
        return true;
    }
    unsigned applied = 0;
};

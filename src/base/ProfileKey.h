#pragma once

#include <QString>

// A key of an INI file: its section and its name.
struct ProfileKey
{
    QString section;
    QString name;
};

#pragma once

#include "base/ProfileKey.h"

#include <functional>

class IniFile;

// Reads and writes one named key of a settings file. Written text is made safe
// for the profile syntax so that it reads back exactly as it was written.
namespace ProfileAccess {
QString readString(const IniFile &ini, const ProfileKey &key, const QString &defaultValue);
int readInt(const IniFile &ini, const ProfileKey &key, int defaultValue);
bool readSwitch(const IniFile &ini, const ProfileKey &key, bool defaultValue);

void writeString(IniFile &ini, const ProfileKey &key, const QString &value);
void writeInt(IniFile &ini, const ProfileKey &key, int value);

// A value as it must stand in the file: line breaks and NULs would end the line
// or the value early and become blanks; blanks at either end and a pair of
// enclosing quotes would be lost on reading, so such a value is quoted.
QString storedValue(const QString &value);

// Saves `ini` after `write` has changed it, keeping every line it does not
// touch. A file that exists but cannot be read is left alone, since rewriting
// it from an empty document would drop all its other keys and comments.
bool update(const QString &path, const std::function<void(IniFile &)> &write);
} // namespace ProfileAccess

#include "base/ProfileAccess.h"

#include "base/IniFile.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

bool isProfileBlank(QChar ch)
{
    return ch == u' ' || ch == u'\t' || ch == u'\v' || ch == u'\f' || ch == QChar(0x1A);
}

bool wouldLoseQuotes(const QString &value)
{
    return value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
           value.back() == value.front();
}

} // namespace

QString ProfileAccess::readString(const IniFile &ini, const ProfileKey &key, const QString &defaultValue)
{
    return ini.readString(key.section, key.name, defaultValue);
}

int ProfileAccess::readInt(const IniFile &ini, const ProfileKey &key, int defaultValue)
{
    return ini.readInt(key.section, key.name, defaultValue);
}

bool ProfileAccess::readSwitch(const IniFile &ini, const ProfileKey &key, bool defaultValue)
{
    return ini.readSwitch(key.section, key.name, defaultValue);
}

void ProfileAccess::writeString(IniFile &ini, const ProfileKey &key, const QString &value)
{
    ini.setString(key.section, key.name, storedValue(value));
}

void ProfileAccess::writeInt(IniFile &ini, const ProfileKey &key, int value)
{
    ini.setInt(key.section, key.name, value);
}

QString ProfileAccess::storedValue(const QString &value)
{
    QString text = value;
    text.replace(u"\r\n"_s, u" "_s);
    for (QChar &ch : text) {
        if (ch == u'\r' || ch == u'\n' || ch == QChar(0))
            ch = u' ';
    }
    const bool blankAtEnd = !text.isEmpty() && (isProfileBlank(text.front()) || isProfileBlank(text.back()));
    if (blankAtEnd || wouldLoseQuotes(text))
        return u'"' + text + u'"';
    return text;
}

bool ProfileAccess::update(const QString &path, const std::function<void(IniFile &)> &write)
{
    IniFile ini(path);
    if (!ini.load() && QFileInfo::exists(path))
        return false;
    write(ini);
    return ini.save();
}

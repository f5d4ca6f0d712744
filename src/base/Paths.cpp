#include "base/Paths.h"

#include <algorithm>

QString joinPath(const QString &folder, const QString &name)
{
#ifdef Q_OS_WIN
    return folder + u'\\' + name;
#else
    return folder + u'/' + name;
#endif
}

QString resolveInputPattern(const QString &value)
{
    const qsizetype star = value.indexOf(u'*');
    if (star < 0)
        return value;
    // The extension is that of the file name, never a dot in a folder name.
    const qsizetype dot = value.lastIndexOf(u'.');
    const bool hasExtension = dot > std::max(value.lastIndexOf(u'\\'), value.lastIndexOf(u'/'));
    return value.first(star) + (hasExtension ? value.sliced(dot) : QString());
}

QString folderOf(const QString &path)
{
    const qsizetype separator = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    return path.first(separator + 1);
}

QString fitToSlot(const QString &name, int length)
{
    return name.size() > length ? name.first(length) : name;
}

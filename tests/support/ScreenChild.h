#pragma once

#include <QObject>
#include <QString>

// The widget of `screen` named `name` (its component name). A screen test cannot
// go on without it, so a missing one ends the test at once with its name.
template <typename T> T *screenChild(const QObject &screen, const QString &name)
{
    T *found = screen.findChild<T *>(name);
    if (!found)
        qFatal("no component %s", qPrintable(name));
    return found;
}

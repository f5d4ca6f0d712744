#pragma once

#include <QString>

// `folder` + the platform's separator + `name`.
QString joinPath(const QString &folder, const QString &name);
// The print manager's input file as the hand-over uses it: a value with "*" is
// cut before the first "*" and keeps the extension of the whole value
// (X:\pm\blocek*.txt becomes X:\pm\blocek.txt).
QString resolveInputPattern(const QString &value);
// The folder part of a path with its trailing separator ("\" or "/"), or empty.
QString folderOf(const QString &path);
// A name cut to a fixed slot of `length` characters; shorter names stay whole.
QString fitToSlot(const QString &name, int length);

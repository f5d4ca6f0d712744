#pragma once

#include "app/CommandLine.h"
#include "app/Configuration.h"

#include <functional>

class IniFile;

// Reads the data folder's pokladna.ini (always <program>/cennik/pokladna.ini),
// then the main configuration file, then asks for the process priority class
// through `applyPriority` (a refusal is ignored). Missing files, sections and
// keys give the defaults; nothing is reported.
Configuration LoadConfiguration(const QString &programFolder, const CommandLine &commandLine,
                                const std::function<void(int priorityClass)> &applyPriority = {});

// The print manager's input file as the hand-over uses it: a value with "*" is
// cut before the first "*" and keeps the extension of the whole value
// (X:\pm\blocek*.txt becomes X:\pm\blocek.txt).
QString resolveInputPattern(const QString &value);
// The folder part of a path with its trailing separator ("\" or "/"), or empty.
QString folderOf(const QString &path);
// A name cut to a fixed slot of `length` characters; shorter names stay whole.
QString fitToSlot(const QString &name, int length);

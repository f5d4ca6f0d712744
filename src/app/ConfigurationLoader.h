#pragma once

#include "app/CommandLine.h"
#include "base/Configuration.h"

#include <functional>

class IniFile;

// Reads the data folder's pokladna.ini (always <program>/cennik/pokladna.ini),
// then the main configuration file, then asks for the process priority class
// through `applyPriority` (a refusal is ignored). Missing files, sections and
// keys give the defaults; nothing is reported.
Configuration LoadConfiguration(const QString &programFolder, const CommandLine &commandLine,
                                const std::function<void(int priorityClass)> &applyPriority = {});

#pragma once

#include "omira-tm/SimulatorSettings.h"

#include <QString>
#include <QStringList>

// The command line of the simulator. The exchange folder and the window title come
// from the program folder's configuration, read by the program's own loader so that
// both agree on every rule; --input and --title override them.
struct SimulatorOptions
{
    static constexpr auto DefaultTitle = "RL70ZQ";
    static constexpr auto StateFileName = "omira-tm.ini";
    static constexpr auto JournalFolderName = "journal";

    SimulatorSettings settings;
    bool headless = false;
    bool helpRequested = false;
    QString error; // empty when the command line was understood

    // `arguments` as main() gets them, the program path first; `ownFolder` is the
    // program folder used when the command line names none.
    static SimulatorOptions parse(const QStringList &arguments, const QString &ownFolder);
    static QString helpText();
};

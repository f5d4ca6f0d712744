#pragma once

#include "app/CommandLine.h"
#include "base/Configuration.h"
#include "base/ErrorLog.h"
#include "lang/MessageTable.h"
#include "link/PrinterState.h"
#include "pos/TillLock.h"

#include <QString>

#include <memory>

class UserDialogs;
namespace platform {
class FileSystem;
class WindowFinder;
} // namespace platform

// The state the whole program shares, owned by the application for its run and
// handed to whatever needs it: configuration, message table, error log, the
// start-up's findings and the operating-system services.
struct AppContext
{
    AppContext(QString folder, UserDialogs &userDialogs, platform::WindowFinder &windowFinder,
               platform::FileSystem &fileSystem)
        : programFolder(std::move(folder)), dialogs(userDialogs), windows(windowFinder), files(fileSystem),
          errorLog(std::make_unique<ErrorLog>(QString(), false, userDialogs))
    {}

    QString programFolder; // folder of the executable, also the current directory
    UserDialogs &dialogs;
    platform::WindowFinder &windows;
    platform::FileSystem &files;

    CommandLine commandLine;
    Configuration config;
    MessageTable messages;
    std::unique_ptr<ErrorLog> errorLog; // replaced once the configuration names the log

    QString versionText;
    QString osText;
    int osMajor = 0;
    bool firstTick = true;
    bool databaseReady = false;
    PrinterState printer; // the last information reply, status word and rates
    // Held from the start-up to the end: no other till of this number runs on the data folder.
    std::unique_ptr<TillLock> tillLock;
};

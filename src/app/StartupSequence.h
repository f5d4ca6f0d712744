#pragma once

#include <QString>
#include <QStringList>

class AppContext;
class PrintManagerLink;
class PrinterDetection;
class StartupView;
namespace platform {
class OsVersionQuery;
class ProcessPriority;
} // namespace platform

// What the program does once, right after the main window exists and before
// any other screen: version and OS text, command line, configuration, message
// table, the lock of the till number on the data folder, access tests of the
// configured files, clean-up of left-over exchange files, the checks that the
// print manager runs, and printer detection.
class StartupSequence
{
public:
    enum class Outcome { Continue, EndProgram };

    struct Services
    {
        PrintManagerLink &link;
        PrinterDetection &printer;
        const platform::OsVersionQuery &osVersion;
        platform::ProcessPriority &priority;
    };

    StartupSequence(AppContext &context, StartupView &view, Services services);

    Outcome run(const QStringList &arguments);

    // Opens `path` for writing (creating it), reports a failure with the system's
    // error text, and deletes the file again when it is empty.
    void CheckFileAccess(const QString &path);

    static constexpr int DeletionLimitMs = 3000;

private:
    void showVersionAndOs();
    void loadConfiguration(const QStringList &arguments);
    void loadMessages();
    bool takeTillLock();
    void testConfiguredFiles();
    void removeLeftOverExchangeFiles();
    bool printManagerChecksPass();
    void detectPrinter();
    void removeLeftOverInputFile();
    bool deleteWithinLimit(const QString &path);
    void removeInputFile(const QString &path);

    AppContext &m_context;
    StartupView &m_view;
    Services m_services;
};

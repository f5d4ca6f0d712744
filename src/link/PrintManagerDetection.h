#pragma once

#include "link/PrinterDetection.h"

#include <QString>

#include <functional>

struct Configuration;
struct PrinterState;
class ErrorLog;
class MessageTable;
class PrintManagerLink;
class PrinterRequests;
class PrinterStatusView;

// Finds out whether documents can be printed: the full detection of the start-up and the
// tray menu, and the quick status query before a print. Both show the outcome on the main
// window and its tray icon; the trace lines go to the error log only with `filelog` on.
class PrintManagerDetection : public PrinterDetection
{
public:
    struct Services
    {
        const Configuration &config;
        const MessageTable &messages;
        // The log is asked for at each line: the application replaces it once the
        // configuration names the log file.
        std::function<ErrorLog &()> errorLog;
        PrintManagerLink &link;
        PrinterRequests &requests;
        PrinterState &state;
        PrinterStatusView &view;
    };

    explicit PrintManagerDetection(const Services &services) : m_services(services) {}

    bool detect_fm() override;
    int online_sts() override;
    bool read_info_reply(int timeoutMs) override;

private:
    bool detect();
    void readPrinterBuildAndRates();
    bool showConnected();
    bool showNotAnswering();
    void trace(const QString &line);
    void log(const QString &line);

    Services m_services;
};

#pragma once

// What the start-up and the tray menu ask of the printer link: the full
// detection, the quick status query and the read of the last information reply.
class PrinterDetection
{
public:
    virtual ~PrinterDetection() = default;

    virtual bool detect_fm() = 0;
    // The printer's status word; 0 when it is not ready or does not answer.
    virtual int online_sts() = 0;
    // Waits up to `timeoutMs` for the information reply already on its way.
    virtual bool read_info_reply(int timeoutMs) = 0;
};

// Stands in until a printer link is connected: the printer is never found.
class NoPrinterDetection : public PrinterDetection
{
public:
    bool detect_fm() override { return false; }
    int online_sts() override { return 0; }
    bool read_info_reply(int) override { return false; }
};

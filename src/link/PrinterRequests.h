#pragma once

#include "link/PrinterState.h"
#include "link/PrinterStatusView.h"

#include <QByteArray>
#include <QLocale>
#include <QString>

#include <optional>

struct Configuration;
class PrintManagerLink;

namespace platform {
class FileSystem;
}

// The control requests to the print manager and the reading of their replies into the
// printer state. Each request removes its reply file before it sends, so an old reply is
// never taken for a new one. No request shows a message or writes a log line; the callers
// decide what a failure means.
class PrinterRequests
{
public:
    static constexpr auto InfoFileName = "info.txt";
    static constexpr auto InfoCopyFileName = "_info.tmp";
    static constexpr auto DataFileName = "fm_sts.bin";
    // Of a reply file no more than this is read; no reply the printer gives comes near it.
    static constexpr qint64 MaxReplyBytes = 64 * 1024;

    PrinterRequests(const Configuration &config, PrintManagerLink &link, platform::FileSystem &files,
                    PrinterState &state, PrinterStatusView &view);

    // Asks for the status word; true when the printer is ready (bit 0).
    bool read_status_reply(int timeoutMs);
    // Reads the information reply into the printer info, asking for it first when
    // `sendRequest` is set; shows the result on the main window.
    bool read_info_reply(int timeoutMs, bool sendRequest);
    bool read_vat_rates(int timeoutMs);
    // The length of the rebuilt data reply for `letter` ("v", "h", "D"), 0 when none came.
    qsizetype query_printer_data(char letter);
    // The printer's receipt header lines: the reply file of the data request "h" as
    // plain text (code page 1250), or nothing when the printer gave no data.
    std::optional<QString> read_header_lines();
    // Reads the information reply that stands or arrives, without asking for one.
    bool get_info();
    void show_printer_info();

    // The texts of the main window for `info`, amounts with two decimals in `locale`.
    static PrinterStatusView::DocumentTexts documentTexts(const PrinterInfo &info, const QLocale &locale);
    void setLocale(const QLocale &locale) { m_locale = locale; }

    QString infoFilePath() const;
    QString infoCopyFilePath() const;
    QString dataFilePath() const;

private:
    bool send(const QByteArray &command, int timeoutMs);
    std::optional<QByteArray> readReplyFile(const QString &path) const;
    bool copyInfoFile() const;

    const Configuration &m_config;
    PrintManagerLink &m_link;
    platform::FileSystem &m_files;
    PrinterState &m_state;
    PrinterStatusView &m_view;
    QLocale m_locale;
};

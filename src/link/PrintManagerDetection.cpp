#include "link/PrintManagerDetection.h"

#include "base/Configuration.h"
#include "base/Cp1250.h"
#include "base/ErrorLog.h"
#include "lang/MessageTable.h"
#include "link/PrintManagerLink.h"
#include "link/PrinterRequests.h"
#include "link/PrinterState.h"
#include "link/PrinterStatusView.h"

#include <algorithm>
#include <exception>

using namespace Qt::StringLiterals;

namespace {

const QString PrinterName = u"Omira"_s;
constexpr char PrinterBuildLetter = 'v';
constexpr qsizetype PrinterBuildLength = 4;

} // namespace

int PrintManagerDetection::online_sts()
{
    PrinterState &state = m_services.state;
    state.status_word = 0;
    if (m_services.config.demo) {
        state.status_word = 1;
        return 1;
    }
    const bool ready = m_services.link.tm_present() &&
                       m_services.requests.read_status_reply(m_services.config.statusTimeout);
    if (state.status_word == 0)
        m_services.link.wait_ms(10);
    trace(u"online_sts():zac"_s);
    if (!ready) {
        state.status_word = 0;
        return 0;
    }
    state.connected = true;
    state.cash_block = (state.status_word & PrinterState::CashBlockBit) != 0;
    trace(u"online_sts():end"_s);
    m_services.view.setTrayImage(PrinterStatusView::TrayImage::Answering);
    return state.status_word;
}

bool PrintManagerDetection::detect_fm()
{
    if (m_services.config.demo) {
        m_services.view.setStateLabel(u"DEMO"_s);
        m_services.view.setTrayHint(u"DEMO"_s);
        return true;
    }
    try {
        return detect();
    } catch (const std::exception &) {
        log(u"Could not initialize COM port"_s);
        m_services.state.status_word = 0;
        // The labels must not go on claiming a printer that was never reached.
        return showNotAnswering();
    }
}

bool PrintManagerDetection::read_info_reply(int timeoutMs)
{
    return m_services.requests.read_info_reply(timeoutMs, false);
}

bool PrintManagerDetection::detect()
{
    m_services.view.setTrayHint(m_services.messages.text(Msg::DetectingHint));
    trace(u"detect_fm():zac"_s);
    m_services.view.setStateLabel(PrinterName);
    m_services.view.setTrayHint(PrinterName);
    if (online_sts() == 0) {
        log(u"Error online_sts() /detect_fm/"_s);
        return showNotAnswering();
    }
    m_services.requests.read_info_reply(m_services.config.infoTimeout, false);
    m_services.view.setCaption(PrinterName);
    if (m_services.state.firstDetection)
        readPrinterBuildAndRates();
    return showConnected();
}

void PrintManagerDetection::readPrinterBuildAndRates()
{
    if (m_services.requests.query_printer_data(PrinterBuildLetter) > 0) {
        const QByteArray &reply = m_services.state.data_reply;
        // The build goes into every error-log line: a line end or control byte of a short
        // reply ends it, so that a line stays one line.
        qsizetype length = 0;
        while (length < std::min(PrinterBuildLength, reply.size()) &&
               static_cast<uchar>(reply[length]) >= 0x20)
            ++length;
        const QByteArray build = reply.first(length);
        m_services.state.build_id = u" (build "_s + Cp1250::decode(build) + u")"_s;
        m_services.errorLog().setFirmwareId(m_services.state.build_id);
    }
    m_services.requests.read_vat_rates(m_services.config.infoTimeout);
    m_services.state.firstDetection = false;
}

bool PrintManagerDetection::showConnected()
{
    m_services.state.connected = true;
    m_services.view.repaintNow();
    m_services.view.setTrayImage(PrinterStatusView::TrayImage::Answering);
    m_services.view.setTrayHint(m_services.messages.text(Msg::ConnectedHint));
    m_services.view.showIdleStatus();
    m_services.view.setStatusPanel(1, PrinterName);
    m_services.view.setStatusPanel(2, QString());
    trace(u"detect_fm():end"_s);
    return true;
}

bool PrintManagerDetection::showNotAnswering()
{
    const QString notAnswering = m_services.messages.text(Msg::PrinterNotAnswering);
    m_services.view.setTrayImage(PrinterStatusView::TrayImage::NotAnswering);
    m_services.view.setTrayHint(notAnswering);
    m_services.view.setStatusPanel(3, notAnswering);
    m_services.view.repaintNow();
    m_services.state.connected = false;
    return false;
}

void PrintManagerDetection::trace(const QString &line)
{
    if (m_services.config.traceLog)
        log(line);
}

void PrintManagerDetection::log(const QString &line)
{
    m_services.errorLog().WriteErrLog(line);
}

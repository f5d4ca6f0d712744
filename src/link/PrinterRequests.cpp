#include "link/PrinterRequests.h"

#include "base/Cp1250.h"

#include "base/Configuration.h"
#include "link/PrintManagerLink.h"
#include "link/ReplyParsers.h"
#include "platform/FileSystem.h"

#include <QFile>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QByteArray StatusRequest("\x1b\x11\x1b\x65");
const QByteArray InfoRequest("\x1b\x49\x1b\x65");
const QByteArray RatesRequest("\x1b\x21\x64");

QByteArray dataRequest(char letter)
{
    return QByteArray("\x1b\x21") + letter + QByteArray("\x1b\x65");
}

} // namespace

PrinterRequests::PrinterRequests(const Configuration &config, PrintManagerLink &link,
                                 platform::FileSystem &files, PrinterState &state, PrinterStatusView &view)
    : m_config(config), m_link(link), m_files(files), m_state(state), m_view(view)
{}

bool PrinterRequests::read_status_reply(int timeoutMs)
{
    if (!m_link.tm_present())
        return false;
    m_state.status_word = 0;
    m_link.remove_file(infoFilePath());
    m_link.wait_ms(20);
    if (!send(StatusRequest, timeoutMs))
        return false;

    std::optional<qint32> statusWord;
    // The reply is read through a copy, so that the print manager can write its next reply
    // while this one is read. A file that cannot be copied or opened yet, or whose first
    // number is not there yet, is looked at again after a pause.
    m_link.pollUntil(timeoutMs, [&] {
        if (!m_files.fileExists(infoFilePath().toStdString()) || !copyInfoFile())
            return false;
        const std::optional<QByteArray> bytes = readReplyFile(infoCopyFilePath());
        statusWord = bytes ? ReplyParsers::parseStatus(*bytes) : std::nullopt;
        return statusWord.has_value();
    });
    m_state.status_word = statusWord.value_or(0);
    return (m_state.status_word & PrinterState::ReadyBit) != 0;
}

bool PrinterRequests::read_info_reply(int timeoutMs, bool sendRequest)
{
    if (sendRequest) {
        m_link.remove_file(infoFilePath());
        if (!send(InfoRequest, timeoutMs))
            return false;
        m_link.wait_ms(2 * m_link.repeatPeriod());
    }

    auto outcome = ReplyParsers::InfoOutcome::Incomplete;
    PrinterInfo info = m_state.info;
    m_link.pollUntil(timeoutMs, [&] {
        const std::optional<QByteArray> bytes = readReplyFile(infoFilePath());
        outcome = bytes ? ReplyParsers::parseInfo(*bytes, info) : ReplyParsers::InfoOutcome::Incomplete;
        return outcome != ReplyParsers::InfoOutcome::Incomplete;
    });
    switch (outcome) {
    case ReplyParsers::InfoOutcome::Incomplete:
    case ReplyParsers::InfoOutcome::Rejected:
        return false;
    case ReplyParsers::InfoOutcome::Read:
        m_state.info = info;
        break;
    case ReplyParsers::InfoOutcome::NotInformation:
        break;
    }
    show_printer_info();
    return true;
}

bool PrinterRequests::read_vat_rates(int timeoutMs)
{
    m_link.remove_file(dataFilePath());
    m_link.wait_ms(50);
    if (!send(RatesRequest, timeoutMs))
        return false;
    m_link.wait_ms(m_link.repeatPeriod());

    auto rates = m_state.vat_rates;
    // A file without a single rate is still being written: a complete reply has seven.
    const bool read = m_link.pollUntil(timeoutMs, [&] {
        const std::optional<QByteArray> bytes = readReplyFile(dataFilePath());
        return bytes && ReplyParsers::parseVatRates(*bytes, rates) > 0;
    });
    if (read)
        m_state.vat_rates = rates;
    return read;
}

qsizetype PrinterRequests::query_printer_data(char letter)
{
    // Whatever an earlier query left must not pass for the answer to this one.
    m_state.data_reply.clear();
    m_link.remove_file(dataFilePath());
    if (!send(dataRequest(letter), m_config.infoTimeout))
        return 0;
    m_link.wait_ms(m_link.repeatPeriod());

    const int polls = std::max(1, m_link.pollCount(m_config.infoTimeout));
    for (int poll = 0; poll < polls; ++poll) {
        m_link.wait_ms(m_link.repeatPeriod());
        if (const std::optional<QByteArray> bytes = readReplyFile(dataFilePath())) {
            m_state.data_reply = ReplyParsers::rebuildData(*bytes);
            return m_state.data_reply.size();
        }
    }
    return 0;
}

std::optional<QString> PrinterRequests::read_header_lines()
{
    if (query_printer_data('h') <= 0)
        return std::nullopt;
    // Taken as the print manager wrote it, not as the data reply was rebuilt into words.
    const std::optional<QByteArray> bytes = readReplyFile(dataFilePath());
    if (!bytes)
        return std::nullopt;
    return Cp1250::decode(*bytes);
}

bool PrinterRequests::get_info()
{
    if (m_config.demo) {
        m_state.info.documentNumber = 1;
        m_state.info.dailyClosingNumber = 1;
        return true;
    }
    return read_info_reply(m_config.infoTimeout, false);
}

void PrinterRequests::show_printer_info()
{
    m_view.showLastDocument(documentTexts(m_state.info, m_locale));
    m_view.showIdleStatus();
    m_view.setTrayHint(u"Omira->"_s + QString::number(m_state.info.documentNumber));
}

PrinterStatusView::DocumentTexts PrinterRequests::documentTexts(const PrinterInfo &info,
                                                                const QLocale &locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    const auto amount = [&](PrinterInfo::Amount which) { return plain.toString(info.amount(which), 'f', 2); };
    return {info.uid,
            info.label,
            info.date,
            info.time,
            amount(PrinterInfo::HigherRate),
            amount(PrinterInfo::ReducedRate),
            amount(PrinterInfo::Exempt),
            amount(PrinterInfo::Packaging),
            amount(PrinterInfo::Invoices)};
}

QString PrinterRequests::infoFilePath() const
{
    return m_config.exchangeFolder + QLatin1StringView(InfoFileName);
}

QString PrinterRequests::infoCopyFilePath() const
{
    return m_config.exchangeFolder + QLatin1StringView(InfoCopyFileName);
}

QString PrinterRequests::dataFilePath() const
{
    return m_config.exchangeFolder + QLatin1StringView(DataFileName);
}

bool PrinterRequests::send(const QByteArray &command, int timeoutMs)
{
    m_link.set_command_text(command);
    return m_link.tm_send(timeoutMs);
}

std::optional<QByteArray> PrinterRequests::readReplyFile(const QString &path) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.read(MaxReplyBytes);
}

bool PrinterRequests::copyInfoFile() const
{
    return m_files.copyFileReplace(infoFilePath().toStdString(), infoCopyFilePath().toStdString()).ok();
}

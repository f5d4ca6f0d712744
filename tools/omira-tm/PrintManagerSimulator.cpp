#include "omira-tm/PrintManagerSimulator.h"

#include "omira-tm/CentAmount.h"
#include "omira-tm/DocumentAccounting.h"
#include "omira-tm/PaperPrintout.h"
#include "omira-tm/ReplyFormatter.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QUuid>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

QString labelPrefix(ExchangeRequest::Kind kind)
{
    switch (kind) {
    case ExchangeRequest::Kind::Deposit:
        return u"VK"_s;
    case ExchangeRequest::Kind::Withdrawal:
        return u"VY"_s;
    default:
        return u"PD"_s;
    }
}

QString freshUid()
{
    return u"O-"_s + QUuid::createUuid().toString(QUuid::Id128).toUpper();
}

} // namespace

PrintManagerSimulator::PrintManagerSimulator(SimulatorSettings settings, Clock clock, QObject *parent)
    : QObject(parent), m_settings(std::move(settings)),
      m_clock(clock ? std::move(clock) : [] { return QDateTime::currentDateTime(); }),
      m_stateFile(m_settings.statePath), m_journal(m_settings.journalFolder)
{
    m_timer.setInterval(m_settings.pollIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &PrintManagerSimulator::poll);
}

bool PrintManagerSimulator::start()
{
    if (!QDir().mkpath(m_settings.exchangeFolder())) {
        m_error = u"The exchange folder %1 cannot be made."_s.arg(m_settings.exchangeFolder());
        return false;
    }
    const bool firstRun = !m_stateFile.exists();
    m_state = m_stateFile.load();
    if (firstRun && !m_stateFile.save(m_state)) {
        m_error = u"The state file %1 cannot be written."_s.arg(m_stateFile.path());
        return false;
    }
    // A program that closed while no print manager ran leaves its terminate file
    // behind; taking it now would end this run before it served anyone.
    QFile::remove(exchangePath(TerminateName));
    m_running = true;
    m_timer.start();
    emit stateChanged();
    return true;
}

void PrintManagerSimulator::poll()
{
    if (!m_running)
        return;
    if (!m_settings.noTake && !m_replyPending) {
        if (const std::optional<QByteArray> bytes = takeInput())
            handle(*bytes);
    }
    if (takeTerminate()) {
        m_running = false;
        m_timer.stop();
        emit activity(u"terminate"_s);
        emit terminated();
    }
}

bool PrintManagerSimulator::takeTerminate()
{
    const QString path = exchangePath(TerminateName);
    return QFile::exists(path) && QFile::remove(path);
}

std::optional<QByteArray> PrintManagerSimulator::takeInput()
{
    QFile file(m_settings.inputPath);
    if (!file.exists()) {
        m_growingSize = -1;
        return std::nullopt;
    }
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    file.close();
    // A file that is not known to be whole is taken once it has stopped growing.
    if (!ExchangeRequest::isWhole(bytes) && bytes.size() != m_growingSize) {
        m_growingSize = bytes.size();
        return std::nullopt;
    }
    m_growingSize = -1;
    // Taken means removed: while it stays, the program must not place the next one.
    if (!file.remove())
        return std::nullopt;
    return bytes;
}

void PrintManagerSimulator::handle(const QByteArray &bytes)
{
    const ExchangeRequest request = ExchangeRequest::classify(bytes);
    if (m_journal.record(bytes, request.name()).isEmpty())
        emit activity(u"journal %1 cannot be written"_s.arg(m_journal.folder()));
    emit activity(u"%1 (%2 bytes)"_s.arg(request.name()).arg(bytes.size()));

    switch (request.kind) {
    case ExchangeRequest::Kind::Status:
        answer(InfoReplyName, request.kind, ReplyFormatter::statusReply(m_settings.statusWord));
        break;
    case ExchangeRequest::Kind::Information:
        answer(InfoReplyName, request.kind, ReplyFormatter::informationReply(m_state));
        break;
    case ExchangeRequest::Kind::Rates:
        answer(DataReplyName, request.kind, ReplyFormatter::ratesReply(m_state));
        break;
    case ExchangeRequest::Kind::Data:
        answer(DataReplyName, request.kind, ReplyFormatter::dataReply(request.dataLetter, m_state));
        break;
    case ExchangeRequest::Kind::Receipt:
    case ExchangeRequest::Kind::Deposit:
    case ExchangeRequest::Kind::Withdrawal:
        // A document that was not printed is answered all the same, with the number
        // unchanged, which is how the program learns that it was not printed.
        print(request, bytes);
        answer(InfoReplyName, request.kind, ReplyFormatter::informationReply(m_state));
        break;
    case ExchangeRequest::Kind::Unknown:
        break;
    }
}

bool PrintManagerSimulator::canPrint(ExchangeRequest::Kind kind) const
{
    const quint32 word = m_settings.statusWord;
    if ((word & 1) == 0)
        return false;
    return (word & (kind == ExchangeRequest::Kind::Receipt ? ReceiptStopBits : CashStopBit)) == 0;
}

bool PrintManagerSimulator::print(const ExchangeRequest &request, const QByteArray &document)
{
    if (!request.ended || !canPrint(request.kind)) {
        emit activity(request.ended ? u"%1 refused: status word %2"_s.arg(request.name())
                                          .arg(m_settings.statusWord, 4, 16, QLatin1Char('0'))
                                    : u"%1 refused: no end command"_s.arg(request.name()));
        return false;
    }
    advanceDocument(request.kind, document);
    if (!m_stateFile.save(m_state))
        emit activity(u"state file %1 cannot be written"_s.arg(m_stateFile.path()));
    emit documentPrinted(PaperPrintout(m_state, m_settings.paymentNames).render(document, request.kind));
    emit stateChanged();
    return true;
}

void PrintManagerSimulator::advanceDocument(ExchangeRequest::Kind kind, const QByteArray &document)
{
    // The program reads the number as a signed 32-bit value; a printer at the end of
    // that range starts again at 1 rather than sending a number it cannot read.
    const qint32 number =
        m_state.documentNumber >= std::numeric_limits<qint32>::max() ? 1 : m_state.documentNumber + 1;
    const QDateTime now = m_clock();
    m_state.documentNumber = number;
    m_state.uid = freshUid();
    m_state.secondId = QString::fromLatin1(
        QCryptographicHash::hash(document + QByteArray::number(number), QCryptographicHash::Sha1)
            .toHex()
            .toUpper());
    m_state.label = u"%1/%2"_s.arg(labelPrefix(kind)).arg(number, 6, 10, QLatin1Char('0'));
    m_state.date = now.toString(u"dd.MM.yyyy"_s);
    m_state.time = now.toString(u"HH:mm:ss"_s);
    const PrinterMemory::Amounts changes = DocumentAccounting::turnoverChanges(document, kind);
    for (int i = 0; i < PrinterMemory::AmountCount; ++i)
        m_state.turnovers[i] = CentAmount::add(m_state.turnovers[i], changes[i]);
}

void PrintManagerSimulator::answer(const char *fileName, ExchangeRequest::Kind kind, const QByteArray &reply)
{
    if (m_settings.noReply)
        return;
    const QByteArray bytes = m_settings.malformed ? ReplyFormatter::malformedReply(kind, m_state) : reply;
    const QString name = QString::fromLatin1(fileName);
    if (m_settings.replyDelayMs <= 0) {
        writeReply(name, bytes);
        return;
    }
    m_replyPending = true;
    QTimer::singleShot(m_settings.replyDelayMs, this, [this, name, bytes] {
        m_replyPending = false;
        if (m_running)
            writeReply(name, bytes);
    });
}

bool PrintManagerSimulator::writeReply(const QString &fileName, const QByteArray &bytes)
{
    // Written beside and renamed into place, so that the program, which reads a reply
    // as soon as it exists, never sees part of one.
    QSaveFile file(QDir(m_settings.exchangeFolder()).filePath(fileName));
    const bool written =
        file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    emit activity(written ? u"  → %1"_s.arg(fileName) : u"%1 cannot be written"_s.arg(fileName));
    return written;
}

QString PrintManagerSimulator::exchangePath(const char *name) const
{
    return QDir(m_settings.exchangeFolder()).filePath(QString::fromLatin1(name));
}

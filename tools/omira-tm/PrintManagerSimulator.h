#pragma once

#include "omira-tm/ExchangeJournal.h"
#include "omira-tm/ExchangeRequest.h"
#include "omira-tm/PrinterMemory.h"
#include "omira-tm/PrinterMemoryFile.h"
#include "omira-tm/SimulatorSettings.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <optional>

// The print manager as the program sees it through the exchange folder: it takes each
// input file as soon as it is whole, removes it, notes it in the journal and answers
// with the reply file of the request. Documents are "printed": the document number
// rises, the document gets a fresh UID and the turnovers move by its lines. The folder
// is looked at by a timer rather than by change notifications, which network folders
// do not always deliver.
class PrintManagerSimulator : public QObject
{
    Q_OBJECT
public:
    static constexpr auto InfoReplyName = "info.txt";
    static constexpr auto DataReplyName = "fm_sts.bin";
    static constexpr auto TerminateName = "terminate";
    // Status bits under which the printer refuses receipts, and cash vouchers.
    static constexpr quint32 ReceiptStopBits = 0x0010 | 0x1000 | 0x8000;
    static constexpr quint32 CashStopBit = 0x1000;

    using Clock = std::function<QDateTime()>;

    explicit PrintManagerSimulator(SimulatorSettings settings, Clock clock = {}, QObject *parent = nullptr);

    // Makes the exchange folder, loads the printer's memory (writing it on the first
    // run), removes a terminate file left from an earlier session and starts watching.
    // False, with error(), when the folder or the state file cannot be made.
    bool start();
    // One look at the exchange folder: the timer's work, callable by tests.
    void poll();

    const SimulatorSettings &settings() const { return m_settings; }
    const PrinterMemory &state() const { return m_state; }
    const QString &error() const { return m_error; }
    bool isRunning() const { return m_running; }

signals:
    void stateChanged();
    void documentPrinted(const QStringList &paper);
    // A line for the window's activity list: what came in and what went out.
    void activity(const QString &text);
    void terminated();

private:
    std::optional<QByteArray> takeInput();
    void handle(const QByteArray &bytes);
    bool print(const ExchangeRequest &request, const QByteArray &document);
    bool canPrint(ExchangeRequest::Kind kind) const;
    void advanceDocument(ExchangeRequest::Kind kind, const QByteArray &document);
    void answer(const char *fileName, ExchangeRequest::Kind kind, const QByteArray &reply);
    bool writeReply(const QString &fileName, const QByteArray &bytes);
    QString exchangePath(const char *name) const;
    bool takeTerminate();

    SimulatorSettings m_settings;
    Clock m_clock;
    PrinterMemoryFile m_stateFile;
    PrinterMemory m_state;
    ExchangeJournal m_journal;
    QTimer m_timer;
    QString m_error;
    qsizetype m_growingSize = -1; // size at the last look of an input file that may still grow
    bool m_replyPending = false;
    bool m_running = false;
};

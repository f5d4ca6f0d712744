#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// How one run of the simulator works: where it listens and answers, where it keeps its
// memory and journal, and the faults it acts out.
struct SimulatorSettings
{
    QString inputPath;        // the print manager's input file; its folder is the exchange folder
    QString statePath;        // the printer's memory
    QString journalFolder;    // one file per received document or command
    QString title;            // of the window the program looks for
    QStringList paymentNames; // payment means 1..10, for the paper view

    quint32 statusWord = 1; // bit 0: ready
    int replyDelayMs = 0;
    int pollIntervalMs = 20;
    bool noReply = false;   // takes and prints, but never answers
    bool noTake = false;    // never takes the input file
    bool malformed = false; // answers with files the program cannot read

    QString exchangeFolder() const;
};

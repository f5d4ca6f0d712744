#pragma once

#include "pos/TillIdentity.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// The note a till leaves in the data folder while one of its documents is with the print
// manager: a receipt with the rows it holds, or a cash voucher with its amount; the printer's
// document number before it and what was handed over. A program that dies between the
// hand-over and the outcome finds the note at its next print and learns whether the document
// came out, instead of printing the same sale or the same cash twice.
//
// Every till has a note file of its own, named by its number and by its machine and print
// manager, and touches no other: tills that share a data folder never overwrite, settle or
// delete each other's notes. The single note "lan_bl.pending" of earlier versions is still
// read, and settled, by the till it names, so that an upgrade made while a receipt was
// pending loses nothing.
class PrintPendingRecord
{
public:
    static constexpr auto LegacyFileName = "lan_bl.pending";

    enum class Kind { Receipt, Deposit, Withdrawal };

    struct Entry
    {
        QString printManagerInput; // TillIdentity::linkText() of the till that handed it over
        int till = 1;              // the UCET of its rows; notes of earlier versions are till 1's
        QString salesTable;
        qint32 documentBefore = 0;
        QDateTime printTime;
        QList<int> keys;
        // hashOf() the bytes handed over; empty in a note of an earlier version.
        QByteArray documentHash;
        Kind kind = Kind::Receipt; // notes of earlier versions are receipts
        qint64 amountCents = 0;    // a voucher's amount as entered
        bool isVoucher() const { return kind != Kind::Receipt; }
        bool operator==(const Entry &) const = default;
    };

    PrintPendingRecord(const QString &dataFolder, const TillIdentity &till);

    // The note's file name for `till`: a name of safe characters only, whatever the host
    // name and the input path hold.
    static QString fileNameFor(const TillIdentity &till);
    static QByteArray hashOf(const QByteArray &document);

    const QString &path() const { return m_path; }
    // Written beside, flushed to the disk and renamed over, so that a crash leaves either
    // the old note or the new one.
    bool write(const Entry &entry);
    // This till's note; nothing when there is none. A damaged note of this till reads as
    // nothing too, with `damaged` set. An old-named note is this till's only when it names
    // this till's machine and print manager.
    std::optional<Entry> read(bool *damaged = nullptr) const;
    bool exists() const;
    // Removes this till's note, the old-named one only when it is this till's.
    bool clear();

    // This till has just removed `removed` from the print manager's input before the print
    // manager took it. When that was the receipt the note waits for, the receipt was never
    // printed: the note is cleared and returned. A note of an earlier version holds no
    // hash; the document file it was handed over from (`documentFile`) stands in for it.
    std::optional<Entry> settleRemovedUntaken(const QByteArray &removed, const QString &documentFile);

private:
    static std::optional<Entry> readFile(const QString &path, bool *damaged);
    std::optional<Entry> legacyNote() const;

    TillIdentity m_till;
    QString m_path;
    QString m_legacyPath;
};

#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// The note left in the data folder while a receipt is with the print manager: which rows
// it holds and the printer's document number before it. A program that dies between the
// hand-over and the marking of the rows finds the note at its next print and learns from
// the printer whether the receipt came out, instead of printing the same sale twice.
class PrintPendingRecord
{
public:
    static constexpr auto FileName = "lan_bl.pending";

    struct Entry
    {
        QString printManagerInput; // the receipt went to this print manager
        QString salesTable;
        qint32 documentBefore = 0;
        QDateTime printTime;
        QList<int> keys;
        bool operator==(const Entry &) const = default;
    };

    explicit PrintPendingRecord(const QString &dataFolder);

    const QString &path() const { return m_path; }
    // Written beside, flushed to the disk and renamed over, so that a crash leaves either
    // the old note or the new one.
    bool write(const Entry &entry);
    // Nothing when there is no note; a damaged note reads as nothing too, with
    // `damaged` set so that the caller can tell.
    std::optional<Entry> read(bool *damaged = nullptr) const;
    bool exists() const;
    bool clear();

private:
    QString m_path;
};

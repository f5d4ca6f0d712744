#pragma once

#include <QByteArray>
#include <QString>

// Every received document or command as one numbered file, "000042-receipt.txt",
// holding the bytes as they arrived. Numbering goes on from the highest file already
// in the folder, so a restart never overwrites an earlier entry.
class ExchangeJournal
{
public:
    explicit ExchangeJournal(QString folder);

    const QString &folder() const { return m_folder; }
    // The path of the new entry, or empty when it could not be written.
    QString record(const QByteArray &bytes, const QString &name);

private:
    int highestNumberOnDisk() const;

    QString m_folder;
    int m_lastNumber = -1; // -1: not looked up yet
};

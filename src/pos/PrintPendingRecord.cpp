#include "pos/PrintPendingRecord.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

const QString Magic = u"omira-pending 1"_s;

QString keysText(const QList<int> &keys)
{
    QStringList texts;
    for (const int key : keys)
        texts << QString::number(key);
    return texts.join(u',');
}

std::optional<QList<int>> keysFrom(const QString &text)
{
    QList<int> keys;
    for (const QString &part : text.split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        keys << part.toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    return keys;
}

} // namespace

PrintPendingRecord::PrintPendingRecord(const QString &dataFolder)
    : m_path(QDir(dataFolder).filePath(QString::fromLatin1(FileName)))
{}

bool PrintPendingRecord::write(const Entry &entry)
{
    const QStringList lines{Magic,
                            entry.printManagerInput,
                            entry.salesTable,
                            QString::number(entry.documentBefore),
                            entry.printTime.toString(Qt::ISODate),
                            keysText(entry.keys),
                            u"end"_s};
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write((lines.join(u'\n') + u'\n').toUtf8());
    return file.commit();
}

std::optional<PrintPendingRecord::Entry> PrintPendingRecord::read(bool *damaged) const
{
    if (damaged)
        *damaged = false;
    QFile file(m_path);
    if (!file.exists())
        return std::nullopt;
    const auto fail = [damaged]() -> std::optional<Entry> {
        if (damaged)
            *damaged = true;
        return std::nullopt;
    };
    if (!file.open(QIODevice::ReadOnly))
        return fail();
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    if (lines.size() < 7 || lines[0] != Magic || lines[6] != u"end"_s)
        return fail();
    Entry entry;
    bool ok = false;
    entry.printManagerInput = lines[1];
    entry.salesTable = lines[2];
    entry.documentBefore = lines[3].toInt(&ok);
    entry.printTime = QDateTime::fromString(lines[4], Qt::ISODate);
    const std::optional<QList<int>> keys = keysFrom(lines[5]);
    if (!ok || !keys)
        return fail();
    entry.keys = *keys;
    return entry;
}

bool PrintPendingRecord::exists() const
{
    return QFile::exists(m_path);
}

bool PrintPendingRecord::clear()
{
    return !QFile::exists(m_path) || QFile::remove(m_path);
}

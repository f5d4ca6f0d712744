#include "pos/PrintPendingRecord.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

// Version 1 is the single note of earlier versions: no till number, no hash. Version 2 knows
// receipts only.
const QString MagicV1 = u"omira-pending 1"_s;
const QString MagicV2 = u"omira-pending 2"_s;
const QString Magic = u"omira-pending 3"_s;
constexpr int LinesV1 = 7;
constexpr int LinesV2 = 9;
constexpr int Lines = 11;

const QString KindNames[] = {u"receipt"_s, u"deposit"_s, u"withdrawal"_s};

QString kindText(PrintPendingRecord::Kind kind)
{
    return KindNames[int(kind)];
}

std::optional<PrintPendingRecord::Kind> kindFrom(const QString &text)
{
    for (int i = 0; i < 3; ++i) {
        if (KindNames[i] == text)
            return PrintPendingRecord::Kind(i);
    }
    return std::nullopt;
}

int versionOf(const QStringList &lines)
{
    const QString first = lines.value(0);
    return first == MagicV1 ? 1 : first == MagicV2 ? 2 : first == Magic ? 3 : 0;
}
constexpr int NameHashLength = 8;

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

PrintPendingRecord::PrintPendingRecord(const QString &dataFolder, const TillIdentity &till)
    : m_till(till), m_path(QDir(dataFolder).filePath(fileNameFor(till))),
      m_legacyPath(QDir(dataFolder).filePath(QString::fromLatin1(LegacyFileName)))
{}

QString PrintPendingRecord::fileNameFor(const TillIdentity &till)
{
    // The number is there for the reader of a folder listing; the hash keeps apart the tills
    // of one number on different machines or print managers (a misconfiguration the start-up
    // refuses, but whose notes must still not meet).
    const QByteArray hash =
        QCryptographicHash::hash(till.linkText().toUtf8(), QCryptographicHash::Sha1).toHex();
    return u"lan_bl_%1_%2.pending"_s.arg(till.number).arg(QString::fromLatin1(hash.first(NameHashLength)));
}

QByteArray PrintPendingRecord::hashOf(const QByteArray &document)
{
    return QCryptographicHash::hash(document, QCryptographicHash::Sha256).toHex();
}

bool PrintPendingRecord::write(const Entry &entry)
{
    const QStringList lines{Magic,
                            entry.printManagerInput,
                            QString::number(entry.till),
                            entry.salesTable,
                            QString::number(entry.documentBefore),
                            entry.printTime.toString(Qt::ISODate),
                            keysText(entry.keys),
                            QString::fromLatin1(entry.documentHash),
                            kindText(entry.kind),
                            QString::number(entry.amountCents),
                            u"end"_s};
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write((lines.join(u'\n') + u'\n').toUtf8());
    return file.commit();
}

std::optional<PrintPendingRecord::Entry> PrintPendingRecord::readFile(const QString &path, bool *damaged)
{
    if (damaged)
        *damaged = false;
    QFile file(path);
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
    const int version = versionOf(lines);
    const bool v1 = version == 1;
    const int count = version == 1 ? LinesV1 : version == 2 ? LinesV2 : Lines;
    if (version == 0 || lines.size() < count || lines[count - 1] != u"end"_s)
        return fail();
    Entry entry;
    int at = 1;
    entry.printManagerInput = lines[at++];
    bool tillOk = true;
    if (!v1)
        entry.till = lines[at++].toInt(&tillOk);
    entry.salesTable = lines[at++];
    bool numberOk = false;
    entry.documentBefore = lines[at++].toInt(&numberOk);
    entry.printTime = QDateTime::fromString(lines[at++], Qt::ISODate);
    const std::optional<QList<int>> keys = keysFrom(lines[at++]);
    if (!v1)
        entry.documentHash = lines[at++].toLatin1();
    std::optional<Kind> kind = Kind::Receipt;
    bool amountOk = true;
    if (version >= 3) {
        kind = kindFrom(lines[at++]);
        entry.amountCents = lines[at++].toLongLong(&amountOk);
    }
    if (!tillOk || !numberOk || !keys || !kind || !amountOk)
        return fail();
    entry.kind = *kind;
    entry.keys = *keys;
    return entry;
}

std::optional<PrintPendingRecord::Entry> PrintPendingRecord::legacyNote() const
{
    // Whether damaged or another till's, an old-named note that does not name this till is
    // left as it is: only the till it belongs to may settle it.
    std::optional<Entry> entry = readFile(m_legacyPath, nullptr);
    if (!entry || entry->printManagerInput != m_till.linkText())
        return std::nullopt;
    return entry;
}

std::optional<PrintPendingRecord::Entry> PrintPendingRecord::read(bool *damaged) const
{
    if (QFile::exists(m_path))
        return readFile(m_path, damaged);
    if (damaged)
        *damaged = false;
    return legacyNote();
}

bool PrintPendingRecord::exists() const
{
    return QFile::exists(m_path) || legacyNote().has_value();
}

bool PrintPendingRecord::clear()
{
    const bool own = !QFile::exists(m_path) || QFile::remove(m_path);
    const bool legacy = !legacyNote() || QFile::remove(m_legacyPath);
    return own && legacy;
}

std::optional<PrintPendingRecord::Entry> PrintPendingRecord::settleRemovedUntaken(const QByteArray &removed,
                                                                                  const QString &documentFile)
{
    const std::optional<Entry> entry = read();
    if (!entry || entry->printManagerInput != m_till.linkText())
        return std::nullopt;
    QByteArray expected = entry->documentHash;
    if (expected.isEmpty()) {
        QFile document(documentFile);
        if (!document.open(QIODevice::ReadOnly))
            return std::nullopt;
        expected = hashOf(document.readAll());
    }
    if (hashOf(removed) != expected || !clear())
        return std::nullopt;
    return entry;
}

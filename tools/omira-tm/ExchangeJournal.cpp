#include "omira-tm/ExchangeJournal.h"

#include <QDir>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace {

constexpr int NumberDigits = 6;

} // namespace

ExchangeJournal::ExchangeJournal(QString folder) : m_folder(std::move(folder)) {}

int ExchangeJournal::highestNumberOnDisk() const
{
    int highest = 0;
    const QStringList names = QDir(m_folder).entryList({u"*-*.txt"_s}, QDir::Files);
    for (const QString &name : names) {
        bool ok = false;
        const int number = name.first(name.indexOf(u'-')).toInt(&ok);
        if (ok)
            highest = std::max(highest, number);
    }
    return highest;
}

QString ExchangeJournal::record(const QByteArray &bytes, const QString &name)
{
    if (!QDir().mkpath(m_folder))
        return {};
    if (m_lastNumber < 0)
        m_lastNumber = highestNumberOnDisk();
    const int number = m_lastNumber + 1;
    const QString path =
        QDir(m_folder).filePath(u"%1-%2.txt"_s.arg(number, NumberDigits, 10, QLatin1Char('0')).arg(name));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return {};
    m_lastNumber = number;
    return path;
}

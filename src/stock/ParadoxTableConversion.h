#pragma once

#include <QList>
#include <QString>

class Progress;

// One Paradox table of an older installation written into a new SQLite file of
// our layout, in one transaction: the same rows, keys and values, empty fields
// kept empty. A sales table of a version before the discount fields gets them as
// 0, as the program's upgrade gives them. A row that does not fit (a value longer
// than our field, an empty required field, a key already taken) is refused and
// noted; the rest is taken over. When the table cannot be read to its end the
// new file is removed: a table is converted whole or not at all.
class ParadoxTableConversion
{
public:
    enum class Kind { Stock, Sales };

    struct Refusal
    {
        qint64 row = 0; // record number in the Paradox table, from 1
        QString reason;
    };

    // `year` names the sales table inside the file.
    ParadoxTableConversion(Kind kind, int year = 0);

    // Reads `source` and writes `target` (which must not exist). False with
    // error() when the table was not converted; `target` is then gone.
    bool run(const QString &source, const QString &target, Progress &progress);

    qint64 rowsRead() const { return m_read; }
    qint64 rowsWritten() const { return m_written; }
    const QList<Refusal> &refusals() const { return m_refusals; }
    const QString &error() const { return m_error; }

private:
    bool convert(const QString &source, class DataFile &file, Progress &progress);

    Kind m_kind;
    int m_year;
    qint64 m_read = 0;
    qint64 m_written = 0;
    QList<Refusal> m_refusals;
    QString m_error;
};

#pragma once

#include "base/DataServer.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class DataFile;

// The stock file's log of changed cards, VX60_SKLAD_ZMENY. Triggers on the
// stock table write the row id of every card inserted, changed or deleted, by
// any till or program, under a number that only grows (PORADIE). A till's
// search remembers the last number it applied and, after a change, reads only
// the cards logged since instead of the whole table.
//
// The log keeps at least the last KeptEntries numbers; every TrimStep-th entry
// trims what is older.
// A reader whose position was trimmed away (a till that was away during a long
// import) learns it from the first number kept and reads the whole table.
class StockChangeLog
{
public:
    static constexpr int KeptEntries = 4096;
    static constexpr int TrimStep = 256;
    static inline const QString TableName = QStringLiteral("VX60_SKLAD_ZMENY");

    struct Changes
    {
        // False when entries after the position were trimmed away or more than
        // asked for are waiting: only reading the whole table is then right.
        bool complete = true;
        qint64 last = 0;      // the position after these changes
        QList<qint64> rowIds; // each changed card once, in the order first logged
    };

    explicit StockChangeLog(DataFile &file);

    // CREATE statements of the log and its triggers; each does nothing when
    // its object is there already (on the server: makes it anew, the same).
    static QStringList statements(DataServer::Kind kind = DataServer::Kind::Files);

    // Whether the log and all its triggers are in the file.
    std::optional<bool> isInstalled();
    // Adds what a table of an earlier version lacks, in one write transaction,
    // so that a till doing the same at the same time finds it done.
    bool install();

    // The newest number logged, 0 for an empty log.
    std::optional<qint64> lastPosition();
    // The cards changed after `position`, at most `most` entries.
    std::optional<Changes> changesAfter(qint64 position, int most);

private:
    DataFile &m_file;
};

#pragma once

#include "base/DataServer.h"

#include <QString>
#include <QStringList>

// The yearly sales files of a data folder ("predaj_2025.db", ...) and the one
// the sales overview opens first. The overview only ever reads a file of this
// list, and derives the table name from the file's year, so that no typed text
// can reach the FROM clause of a statement.
class SalesFiles
{
public:
    // The names of the yearly sales files present in `dataFolder`, in the order
    // of their years; when there is none, the current year's file name alone (the
    // overview then shows empty grids rather than no table at all). On a server,
    // the file names of the yearly tables its database holds.
    static QStringList list(const QString &dataFolder, int currentYear, const DataServer &server = {});
    // The current year's file when it is listed, else the last one listed.
    static QString choose(const QStringList &files, int currentYear);
    // The year of a yearly sales file name, or 0 when `fileName` is not one.
    static int yearOf(const QString &fileName);
    // "PREDAJ_2025" for "predaj_2025.db"; empty when `fileName` is not a sales file name.
    static QString tableNameOf(const QString &fileName);
};

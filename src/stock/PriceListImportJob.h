#pragma once

#include "base/DataServer.h"
#include "stock/ImportFile.h"
#include "stock/PriceListImport.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

class Progress;

// One import of a price list from a file: the file opened as rows and the stock
// file opened through a connection of the job's own, so that the job can run on
// any thread (a database connection may be used only by the thread that made it).
struct PriceListImportJob
{
    QString stockPath;
    QString dataFolder; // the backups and the unit names
    QString sourcePath;
    ImportFile::Options options;
    QLocale locale;
    QDateTime now;            // names the backup
    bool createStock = false; // a missing stock file is made, as a till does at its start
    DataServer server{};      // where the price list is: the folder's file or the shop's server

    // On the calling thread.
    PriceListImport::Result run(Progress &progress) const;

    // On a thread of its own, while the calling thread keeps handling its events
    // (the screens stay painted) and passes the job's progress to `shown` every
    // few milliseconds; a cancel in `shown` stops the job at its next step.
    PriceListImport::Result runOnThread(Progress &shown) const;
};

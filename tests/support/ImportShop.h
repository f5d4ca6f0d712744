#pragma once

#include "TestStore.h"
#include "stock/DataFile.h"
#include "stock/ImportFile.h"
#include "stock/PriceListImport.h"
#include "stock/StockRow.h"

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>
#include <QTemporaryDir>

class ImportRowSource;
class Progress;

// A data folder as a till has it, with the unit names "krát", "ks", "kg", "l",
// one stock group and a price list of `cards` (one card "1" "Starý" unless told),
// for the tests that import into it.
struct ImportShop
{
    ImportShop();
    explicit ImportShop(const QList<StockRow> &cards);

    // Imports the rows of `source` at the minute `now`, numbers written the Slovak way.
    PriceListImport::Result import(ImportRowSource &source, Progress &progress, const QDateTime &now);
    // Imports a file of any kind; a file that does not open gives a failed result with its error.
    PriceListImport::Result importFile(const QString &path, const ImportFile::Options &options,
                                       const QDateTime &now);
    PriceListImport::Result importFile(const QString &path, bool titleRow, const QDateTime &now);
    // The cards of the price list in the order they were written.
    QList<StockRow> cards();

    static const QStringList Units;
    static const QLocale Slovak;

    TestStore store; // where the price list is: the folder's file or the test server
    QTemporaryDir dir;
    QString dataFolder;
    QString stockPath;
    DataFile stock;
};

#include "ImportShop.h"

#include "base/Progress.h"
#include "stock/ImportRowSource.h"
#include "stock/StockTable.h"
#include "stock/TableLayouts.h"
#include "stock/UnitAndGroupNames.h"

#include <QDir>
#include <QSqlQuery>
#include <QTest>

using namespace Qt::StringLiterals;

const QStringList ImportShop::Units{u"krát"_s, u"ks"_s, u"kg"_s, u"l"_s};
const QLocale ImportShop::Slovak(QLocale::Slovak, QLocale::Slovakia);

namespace {

StockRow oldCard()
{
    StockRow old;
    old.kod = u"1"_s;
    old.nazov = u"Starý"_s;
    return old;
}

} // namespace

ImportShop::ImportShop() : ImportShop({oldCard()}) {}

ImportShop::ImportShop(const QList<StockRow> &cards)
{
    dataFolder = dir.path() + u"/cennik/"_s;
    QDir().mkpath(dataFolder);
    UnitAndGroupNames::fromLists(Units, {u"Potraviny"_s}).save(dataFolder);
    stockPath = dataFolder + TableLayouts::StockFileName;
    stock.setServer(store.server());
    QVERIFY(stock.open(stockPath, true));
    QVERIFY(StockTable(stock).create());
    for (const StockRow &row : cards)
        QVERIFY(StockTable(stock).insert(row));
}

PriceListImport::Result ImportShop::import(ImportRowSource &source, Progress &progress, const QDateTime &now)
{
    return PriceListImport(stock, dataFolder, Slovak).run(source, progress, now);
}

PriceListImport::Result ImportShop::importFile(const QString &path, const ImportFile::Options &options,
                                               const QDateTime &now)
{
    QString error;
    const std::unique_ptr<ImportRowSource> source = ImportFile::open(path, options, &error);
    if (!source) {
        PriceListImport::Result failed;
        failed.error = error;
        return failed;
    }
    NoProgress progress;
    return import(*source, progress, now);
}

PriceListImport::Result ImportShop::importFile(const QString &path, bool titleRow, const QDateTime &now)
{
    ImportFile::Options options;
    options.titleRow = titleRow;
    return importFile(path, options, now);
}

QList<StockRow> ImportShop::cards()
{
    QList<StockRow> rows;
    QSqlQuery query(stock.database());
    query.exec(
        u"SELECT %1 FROM %2 ORDER BY rowid"_s.arg(StockTable::columnList(), TableLayouts::StockTableName));
    while (query.next())
        rows << StockTable::rowFrom(query);
    return rows;
}

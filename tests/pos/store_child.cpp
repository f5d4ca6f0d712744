// Stores items into the sales table of a data folder as a till does, one write
// transaction each, and prints every key once its transaction is committed.
// Usage: pos_store_child <data folder> <year> <count> <till number> [<server connection>]
// With a connection the tables are on that PostgreSQL server, not in the folder.
#include "pos/SalesTable.h"
#include "stock/DataFile.h"
#include "stock/TableLayouts.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5 && args.size() != 6) {
        std::fprintf(stderr, "usage: pos_store_child folder year count till [server connection]\n");
        return 2;
    }
    const int year = args.at(2).toInt();
    const int count = args.at(3).toInt();
    const int till = args.at(4).toInt();
    DataFile file;
    if (args.size() == 6)
        file.setServer({DataServer::Kind::PostgreSql, args.at(5), u"POSTGRESQL"_s});
    SalesTable table(file, TableLayouts::salesTableName(year));
    if (!file.open(QDir(args.at(1)).filePath(TableLayouts::salesFileName(year)), true, 30000) ||
        !table.create()) {
        std::fprintf(stderr, "open: %s\n", qPrintable(file.lastError()));
        return 1;
    }
    SaleRow row;
    row.kod = u"T%1"_s.arg(till);
    row.mj = u"ks"_s;
    row.pocet = 1;
    for (int i = 0; i < count; ++i) {
        row.nazov = u"položka %1 pokladne %2"_s.arg(i).arg(till);
        row.cenaInt = i + 1;
        row.cena = row.cenaInt / 100.0;
        row.jc = row.cena;
        const auto stored = table.storeOpenRow(row);
        if (stored.failure != SalesTable::Failure::None) {
            std::fprintf(stderr, "store: %s\n", qPrintable(table.lastError()));
            return 1;
        }
        std::printf("%d\n", stored.key);
        std::fflush(stdout);
    }
    return 0;
}

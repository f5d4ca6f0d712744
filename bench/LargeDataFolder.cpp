#include "LargeDataFolder.h"

#include "stock/DataFile.h"
#include "stock/StockTable.h"
#include "stock/TableLayouts.h"

#include <QRandomGenerator>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace {

const QStringList &words()
{
    static const QStringList list{
        u"mlieko"_s,    u"čaj"_s,       u"zelený"_s, u"čokoláda"_s, u"rožok"_s,  u"chlieb"_s,  u"syr"_s,
        u"jogurt"_s,    u"šunka"_s,     u"pivo"_s,   u"víno"_s,     u"káva"_s,   u"maslo"_s,   u"ovocný"_s,
        u"jablkový"_s,  u"džús"_s,      u"ľadový"_s, u"múka"_s,     u"cukor"_s,  u"soľ"_s,     u"ryža"_s,
        u"cestoviny"_s, u"paradajky"_s, u"uhorky"_s, u"pečivo"_s,   u"tvaroh"_s, u"smotana"_s, u"klobása"_s,
    };
    return list;
}

QString cardName(QRandomGenerator &random, int i)
{
    const QStringList &list = words();
    QString name = list.at(random.bounded(list.size())).toUpper();
    name += u' ' + list.at(random.bounded(list.size()));
    name += u' ' + QString::number(random.bounded(1, 1000)) + (random.bounded(2) ? u" g"_s : u" ml"_s);
    return name + u' ' + QString::number(i % 97);
}

} // namespace

void LargeDataFolder::generateStock(const QString &path, QStringList *names)
{
    DataFile file;
    file.open(path, true);
    StockTable table(file);
    table.create();
    file.beginWrite();
    QSqlQuery insert(file.database());
    insert.prepare(u"INSERT INTO VX60_SKLAD (KOD, NAZOV, BARCODE, MJ, JC, DPH_IDX, PREF, SKLAD_IDX) "
                   "VALUES (?, ?, ?, 'ks', ?, 0, ?, 0)"_s);
    QRandomGenerator random(7);
    for (int i = 0; i < StockCards; ++i) {
        const QString name = cardName(random, i);
        if (names)
            names->append(name);
        insert.addBindValue(u"%1"_s.arg(i, 6, 10, QChar(u'0')));
        insert.addBindValue(name);
        insert.addBindValue(u"858%1"_s.arg(i, 10, 10, QChar(u'0')));
        insert.addBindValue(random.bounded(1, 5000) / 100.0);
        insert.addBindValue(int(i % 500 == 0));
        insert.exec();
    }
    file.commit();
}

void LargeDataFolder::generateSales(const QString &path, int year)
{
    DataFile file;
    file.open(path, true);
    const QString table = TableLayouts::salesTableName(year);
    for (const QString &statement : TableLayouts::salesTableStatements(table))
        file.exec(statement);
    file.beginWrite();
    // Printed documents of a busy year, then one open document. The statement is put
    // together without QString::arg, whose placeholders would take SQL's "%02d" for its own.
    const QString printed =
        u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "_s +
        QString::number(SalesRows - OpenRows) + u") INSERT INTO "_s + table +
        u" (ID_PRIMARY, KOD, NAZOV, MJ, POCET, JC, DPH, DU, DOKLAD, DATUM, CAS, ID_DOKLAD, "
        "IDX_DPH, CENA, CENA_INT, OBAL, FISK, SKLAD, ZLAVA_INT, ZLAVA_PERC) "
        "SELECT i, printf('%06d', i % 100000), 'POLOŽKA ' || (i % 100000), 'ks', 1, "
        "(i % 500) / 100.0, 20, i / 20000, i / 8, printf('"_s +
        QString::number(year) +
        u"-%02d-%02d', 1 + i % 12, 1 + i % 28), '10:00:00', i / 8, 0, "
        "(i % 500) / 100.0, i % 500, 0, 1, 0, 0, 0 FROM n"_s;
    file.exec(printed);
    file.exec(u"WITH RECURSIVE n(i) AS (SELECT %1 UNION ALL SELECT i + 1 FROM n WHERE i < %2) "
              "INSERT INTO %3 (ID_PRIMARY, NAZOV, CENA_INT, FISK) SELECT i, 'OTVORENÁ', 100, 0 FROM n"_s
                  .arg(SalesRows - OpenRows + 1)
                  .arg(SalesRows)
                  .arg(table));
    file.commit();
}

#pragma once

#include "stock/DataFile.h"
#include "stock/TableLayouts.h"

#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <span>

// A small year of sales for the print and the export of the overview: a discount
// (2 × 1.50 for 2.70), a return, names with Slovak letters and with the
// separators of a CSV file in them, two stock groups.
namespace SalesOverviewFixture {

struct Sale
{
    int closing, document;
    const char16_t *date, *code, *name, *unit;
    double quantity, unitPrice, price;
    int vat, group;
};

inline constexpr int Year = 2026;
inline constexpr const char16_t *FileName = u"predaj_2026.db";

inline constexpr Sale Sales[] = {
    {3, 10, u"2026-03-02", u"100", u"Mlieko 1,5%", u"ks", 2, 1.50, 2.70, 20, 1},
    {3, 10, u"2026-03-02", u"200", u"Čaj zelený; \"sypaný\"", u"bal", 1, 2.10, 2.10, 20, 2},
    {4, 12, u"2026-03-03", u"300", u"ČOKOLÁDA mliečna", u"ks", 3, 1.20, 3.60, 20, 1},
    {4, 13, u"2026-03-03", u"100", u"Mlieko 1,5%", u"ks", -1, 1.50, -1.50, 20, 1},
    {7, 14, u"2026-03-05", u"100", u"Mlieko 1,5%", u"ks", 1, 1.50, 1.50, 20, 1},
};

// Creates the sales file of `year` with the program's own table layout (without
// the overview's indexes, as an earlier version left it) and `sales` in it.
inline void write(const QString &path, std::span<const Sale> sales, int year = Year)
{
    DataFile file;
    if (!file.open(path, true))
        qFatal("sales file not created: %s", qPrintable(file.lastError()));
    const QString table = TableLayouts::salesTableName(year);
    for (const QString &statement : TableLayouts::salesTableStatements(table)) {
        if (!file.exec(statement))
            qFatal("sales table not created: %s", qPrintable(file.lastError()));
    }
    file.beginWrite();
    QSqlQuery insert(file.database());
    insert.prepare(
        QStringLiteral("INSERT INTO %1 (DU, ID_DOKLAD, DOKLAD, DATUM, CAS, KOD, NAZOV, MJ, POCET, JC, "
                       "CENA, CENA_INT, DPH, SKLAD, FISK) "
                       "VALUES (?, ?, ?, ?, '10:15:00', ?, ?, ?, ?, ?, ?, ?, ?, ?, 1)")
            .arg(table));
    for (const Sale &sale : sales) {
        const QVariantList values = {sale.closing,
                                     sale.document,
                                     sale.document,
                                     QString::fromUtf16(sale.date),
                                     QString::fromUtf16(sale.code),
                                     QString::fromUtf16(sale.name),
                                     QString::fromUtf16(sale.unit),
                                     sale.quantity,
                                     sale.unitPrice,
                                     sale.price,
                                     qRound(sale.price * 100),
                                     sale.vat,
                                     sale.group};
        for (const QVariant &value : values)
            insert.addBindValue(value);
        if (!insert.exec())
            qFatal("sale not written: %s", qPrintable(insert.lastError().text()));
    }
    file.commit();
}

} // namespace SalesOverviewFixture

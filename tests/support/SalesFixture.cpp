#include "SalesFixture.h"

#include "stock/DataFile.h"
#include "stock/TableLayouts.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

using namespace Qt::StringLiterals;

void SalesFixture::writeSalesFile(const QString &path, int year, std::span<const SaleRow> rows,
                                  const DataServer &server)
{
    DataFile file;
    file.setServer(server);
    if (!file.open(path, true))
        qFatal("sales file not created: %s", qPrintable(file.lastError()));
    for (const QString &statement :
         TableLayouts::salesTableStatements(TableLayouts::salesTableName(year), server.kind))
        if (!file.exec(statement))
            qFatal("sales table not created: %s", qPrintable(file.lastError()));
    // One transaction: a year of many rows is written at once.
    file.database().transaction();
    QSqlQuery insert(file.database());
    insert.prepare(u"INSERT INTO %1 (ID_PRIMARY, DU, ID_DOKLAD, DOKLAD, DATUM, CAS, KOD, NAZOV, MJ, "
                   "POCET, JC, CENA, CENA_INT, DPH, SKLAD, FISK) "
                   "VALUES (?, ?, ?, ?, ?, '10:15:00', ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s.arg(
                       TableLayouts::salesTableName(year)));
    int key = 0;
    for (const SaleRow &row : rows) {
        const QVariantList values = {++key,
                                     row.closing,
                                     row.document,
                                     row.document,
                                     QString::fromUtf16(row.date),
                                     QString::fromUtf16(row.code),
                                     QString::fromUtf16(row.name),
                                     QString::fromUtf16(row.unit),
                                     row.quantity,
                                     row.unitPrice,
                                     row.price,
                                     qRound(row.price * 100),
                                     row.vat,
                                     row.group,
                                     int(row.printed)};
        for (const QVariant &value : values)
            insert.addBindValue(value);
        if (!insert.exec())
            qFatal("sale not written: %s", qPrintable(insert.lastError().text()));
    }
    if (!file.database().commit())
        qFatal("sales not committed");
}

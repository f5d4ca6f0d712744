#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QTime>

// The rows the sales overview shows, as plain values.
namespace SalesOverviewRows {

// One document of the range (the document grid).
struct Document
{
    int closing = 0;  // DU
    int number = 0;   // DOKLAD
    int document = 0; // ID_DOKLAD
    QDate date;       // DATUM
    double total = 0; // SUM_CENA
};

// One line of a document (the line grid).
struct Line
{
    QString code; // KOD
    QString name; // NAZOV
    double quantity = 0;
    QString unit;
    double unitPrice = 0;
    double price = 0; // CENA
    QTime time;       // CAS
};

// One summed row of the item grid. The closing, document and date are 0 and
// null where the grouping sums them away.
struct Item
{
    int closing = 0;  // DU
    int document = 0; // ID_DOKLAD
    QDate date;       // DATUM
    QString code;
    QString name;
    QString unit;
    double unitPrice = 0; // JC
    int vatRate = 0;      // DPH
    double quantity = 0;  // SUM_POCET
    double total = 0;     // SUM_CENA
    // ZLAVA: what the row sold for below its unit price (negative for a discount).
    double discount() const { return total - quantity * unitPrice; }
};

// What the item rows of the choices come to: how many rows (for paging) and the
// footer total of their SUM_CENA.
struct ItemSummary
{
    qint64 rows = 0;
    double total = 0;
};

struct ClosingRange
{
    int from = 0;
    int to = 0;
};

} // namespace SalesOverviewRows

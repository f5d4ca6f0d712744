#pragma once

#include <QDate>
#include <QString>
#include <QTime>

// One row of a year's sales table: an item of a document. Amounts in cents are
// signed 32-bit; CENA is always CENA_INT / 100.
struct SaleRow
{
    int idPrimary = 0;
    QString kod;
    QString nazov;
    QString nazov1;
    QString nazov2;
    QString mj;
    double pocet = 0;
    double jc = 0;
    int dph = 0;
    int du = 0;
    int doklad = 0;
    QDate datum;
    QTime cas;
    int idDoklad = 0;
    int verDb = 2;
    int idxDph = 0;
    double cena = 0;
    int cenaInt = 0;
    bool obal = false;
    bool fisk = false;
    int sklad = 0;
    int polCount = 1;
    int ucet = 1;
    int zlavaInt = 0;
    int zlavaPerc = 0;
};

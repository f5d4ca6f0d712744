#pragma once

#include <QString>

// One stock card, a row of VX60_SKLAD.
struct StockRow
{
    QString kod;
    int kodIdx = 1;
    QString nazov;
    QString nazov1;
    QString nazov2;
    QString barcode;
    QString mj;
    int mjIdx = 0;
    double pocet = 0;
    double jc = 0;
    double jc1 = 0;
    double jc2 = 0;
    double jcNakup = 0;
    int dphIdx = 0;
    bool pref = false;
    bool obal = false;
    int skladIdx = 0;
    int verDb = 1;

    bool operator==(const StockRow &) const = default;
};

#pragma once

#include <QLocale>
#include <QString>

#include <optional>

// The calculated part of the sales overview's item rows (the data part of
// Query_polozkyCalcFields): each row's discount and, while footer summing is
// on, the running sum shown under the SPOLU column.
class OverviewRowCalc
{
public:
    struct Row
    {
        double sumCena = 0;
        double sumPocet = 0;
        double jc = 0;
        bool firstRecord = false;
    };

    // ZLAVA = SUM_CENA - SUM_POCET * JC: negative for a discounted line.
    static double discount(const Row &row);

    // Adds a row to the footer sum. Returns the footer text when the grid has a
    // SUM_CENA column and summing is on, nothing otherwise.
    std::optional<QString> addToFooter(const Row &row, bool summingOn, bool gridHasSumColumn,
                                       const QLocale &locale);
    float footerSum() const { return m_sum; }

private:
    float m_sum = 0; // single precision, as the footer always summed
};

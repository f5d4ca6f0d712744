#pragma once

#include <QString>
#include <QStringList>

// A busy shop's data folder for the benchmarks: 100,000 stock cards with Slovak names and
// a year's sales table of 1,000,000 rows, the last few of them an open document.
namespace LargeDataFolder {

constexpr int StockCards = 100000;
constexpr int SalesRows = 1000000;
constexpr int OpenRows = 25;

// Writes the price list into the stock file at `path`; `names`, when given, gets the
// card names in key order.
void generateStock(const QString &path, QStringList *names = nullptr);
// Writes the sales table of `year` into the sales file at `path`.
void generateSales(const QString &path, int year);

} // namespace LargeDataFolder

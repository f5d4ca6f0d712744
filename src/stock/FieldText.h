#pragma once

#include <QLocale>
#include <QString>

// A number field shown as text the way the data grids and entry fields show
// it: up to 15 significant digits, the locale's decimal separator, no digit
// grouping ("1,5" for 1.5 in a Slovak locale, "12" for 12.0).
QString numberFieldText(double value, const QLocale &locale);

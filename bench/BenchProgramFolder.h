#pragma once

#include <QByteArray>
#include <QString>

// Lays out a runnable program folder for a benchmark of the whole program: a copy of
// the built program, the shipped language files, a main configuration without the
// start-up pause and `pointOfSaleIni` as cennik/pokladna.ini.
bool prepareBenchProgramFolder(const QString &folder, const QByteArray &pointOfSaleIni);

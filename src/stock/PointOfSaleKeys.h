#pragma once

#include "base/ProfileKey.h"

#include <QString>

// Section and key names of pokladna.ini, the point-of-sale settings file. Every
// reader and writer of that file takes its names from here, so that a key is
// spelled in one place only.
enum class PointOfSaleKey {
    SerialNumber,          // VC
    PrinterModel,          // MODEL
    SaleScreenAtStart,     // POKL_START
    Demo,                  // DEMO
    Lan,                   // LAN
    PrintManagerInput,     // TL_MAN
    InfoTimeout,           // LAN_INFO
    StatusTimeout,         // LAN_DC
    RepeatPeriod,          // LAN_REPEAT
    CashierRequired,       // POKLADNIK
    Qlerk,                 // QLERK
    PrintManagerTitle,     // TM
    TerminatePrintManager, // ENDTM
    DataFolder,            // LAN_PATH
    TillNumber,            // POKLADNA
    PaymentDialog,         // SHOW
    ServiceTelephone,      // TEL
    ServiceName,           // NAZOV
    DatabaseServer,        // DATABAZA SERVER
    DatabaseConnection,    // DATABAZA SPOJENIE
};

namespace PointOfSaleKeys {
ProfileKey key(PointOfSaleKey which);
// Entries are numbered from 0 in memory and from 1 in the file.
ProfileKey paymentMeans(int index); // PLATBA PLAT_<index + 1>
ProfileKey cashier(int index);      // POKLADNIK POKL_<index + 1>

QString fileName();                             // "pokladna.ini"
QString filePath(const QString &programFolder); // always <program>/cennik/pokladna.ini
} // namespace PointOfSaleKeys

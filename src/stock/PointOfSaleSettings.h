#pragma once

#include "base/DataServer.h"

#include "base/Configuration.h"

#include <QString>
#include <QStringList>

#include <array>

class IniFile;

// The settings of pokladna.ini that the price-list maintenance screen edits and
// saves. Integers and switches keep the form the start-up configuration gives
// them, so that applyTo() hands them over unchanged.
struct PointOfSaleSettings
{
    static constexpr int PaymentMeansCount = Configuration::PaymentMeansCount;
    static constexpr int PaymentNameLength = Configuration::PaymentNameLength;
    static constexpr int CashierCount = Configuration::CashierCount;
    static constexpr int CashierNameLength = Configuration::CashierNameLength;

    QString serialNumber;              // VC
    int printerModel = 0;              // MODEL, a position in printerModels()
    int saleScreenAtStart = 1;         // POKL_START
    bool demo = false;                 // DEMO
    QString printManagerInput;         // TL_MAN as written, a "*" pattern included
    int infoTimeout = 15000;           // LAN_INFO, ms
    int statusTimeout = 8000;          // LAN_DC, ms
    int repeatPeriod = 300;            // LAN_REPEAT, ms
    int cashierRequired = 0;           // POKLADNIK
    QString qlerk;                     // QLERK, kept only to be written back
    QString printManagerTitle;         // TM
    bool terminatePrintManager = true; // ENDTM
    QString dataFolder;                // LAN_PATH, ends with a separator
    // POKLADNA, 1 or more. Set by hand where several tills share a data folder; the confirmed
    // save leaves the key as it stands in the file, so that its order of keys stays as it was.
    int tillNumber = 1;
    // [DATABAZA] SERVER (SQLITE, the default, or POSTGRESQL) and SPOJENIE (libpq's
    // connection text); set by hand like POKLADNA, never written by the save.
    DataServer server;
    std::array<QString, PaymentMeansCount> paymentMeans;
    std::array<QString, CashierCount> cashiers;
    int paymentDialog = 1;    // SHOW
    QString serviceTelephone; // TEL
    QString serviceName;      // NAZOV

    // The values of a missing file; the paths are built from the program folder.
    static PointOfSaleSettings defaults(const QString &programFolder);
    // Names longer than their slot are cut to it (payment means 31, cashiers 39).
    static PointOfSaleSettings read(const IniFile &ini, const QString &programFolder);
    // The file <program>/cennik/pokladna.ini; a missing file gives the defaults.
    static PointOfSaleSettings load(const QString &programFolder);

    // Sets every key in the order of the confirmed save; LAN is always 1.
    void write(IniFile &ini) const;
    // Writes the file, keeping its other keys and comments; false when it could
    // not be read or written (then it is unchanged).
    bool save(const QString &programFolder) const;

    // Hands the values that the running program takes from this file at start
    // over to its configuration, exactly as the start-up loader sets them.
    void applyTo(Configuration &config) const;
    // The part that the sale screen takes again each time it is shown (start switch,
    // DEMO, the print manager's title, ENDTM, the payment dialog); the paths and
    // timings stay as the start set them.
    void applyShowingKeysTo(Configuration &config) const;

    bool operator==(const PointOfSaleSettings &) const = default;
};

// The printer models in the order of their MODEL numbers.
QStringList printerModels();
// The model's name, or empty for a number outside the list.
QString printerModelName(int model);

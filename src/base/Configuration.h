#pragma once

#include "base/DataServer.h"
#include "base/Paths.h"

#include <QString>

#include <array>

// Everything the program takes from its two configuration files, the main file
// qd60_cfg.ini and the data folder's pokladna.ini. Filled once at start-up by
// LoadConfiguration() and owned by the application; times are milliseconds.
struct Configuration
{
    static constexpr int CashierCount = 10;
    static constexpr int CashierNameLength = 39;
    static constexpr int PaymentMeansCount = 10;
    static constexpr int PaymentNameLength = 31;
    static constexpr int LanguageCount = 10;

    QString programFolder; // folder of the executable, without a trailing separator
    QString configPath;    // the main configuration file actually read

    // qd60_cfg.ini [CONFIG]
    QString inputFile;  // path_in
    QString outputFile; // path_out
    QString infoFolder; // path_info
    QString errorLogPath;
    QString debugPath;
    bool errorLogOn = true;           // err_file: only 1 switches it on
    bool traceLog = false;            // filelog
    int startupDelay = 2000;          // opozdenie
    int priorityClass = 32;           // apl_priority, a Windows priority class
    bool skipInputAccessTest = false; // folder
    bool accessTests = true;          // prava
    bool repeatDeletion = false;      // mazanie: only 1 switches it on
    bool closingTextDisabled = false; // skoda
    bool databaseOn = true;           // BDE
    bool socketTest = false;          // OMIRASOCKET

    // qd60_cfg.ini [LANGUAGE]
    int languageIndex = 0; // 0..9; anything else falls back to 0
    std::array<QString, LanguageCount> captionFiles;
    std::array<QString, LanguageCount> messageFiles;

    // pokladna.ini [CONFIG]
    QString printManagerInput; // TL_MAN, with a "*" pattern resolved
    QString exchangeFolder;    // folder of TL_MAN with a trailing separator
    int saleScreenAtStart = 1; // POKL_START
    bool demo = false;
    bool lan = true;          // the LAN key is read but the program always works over the shared folder
    int infoTimeout = 15000;  // LAN_INFO
    int statusTimeout = 8000; // LAN_DC
    int repeatPeriod = 300;   // LAN_REPEAT
    int cashierRequired = 0;  // POKLADNIK
    bool terminatePrintManager = true; // ENDTM
    QString printManagerTitle;         // TM
    QString dataFolder;                // LAN_PATH, ends with a separator
    int tillNumber = 1;                // POKLADNA: the UCET of this till's rows in the shared data folder
    DataServer dataServer;             // [DATABAZA] SERVER and SPOJENIE: where the tables live

    // pokladna.ini [POKLADNIK] and [PLATBA]
    std::array<QString, CashierCount> cashiers;
    int paymentDialog = 1; // SHOW
    std::array<QString, PaymentMeansCount> paymentMeans;

    bool loaded = false;

    QString captionFile() const;
    QString messageFile() const;
};

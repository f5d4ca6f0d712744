#pragma once

#include "stock/ServiceEdits.h"

#include <QString>

struct Configuration;
class DataFile;

// The confirmed save of the price-list maintenance screen. The screen checks
// its fields first; this moves the stock cards with their units and groups and
// writes, in this order, the receipt header into the data folder in effect, the
// unit and group names into the new data folder (both while the stock file's
// write lock is held, so that the cards and the names change together), the
// running configuration and pokladna.ini.
class ServiceSettingsSave
{
public:
    struct Result
    {
        bool saved = false; // false: nothing was taken over
        QString problem;    // what the operator must be told, also after a save
    };

    ServiceSettingsSave(QString programFolder, Configuration &config, DataFile &stockFile);

    // The settings in effect: what the running configuration holds, and the keys
    // it does not hold (serial number, model, service, QLERK) from pokladna.ini,
    // which the sale screen also reads them from.
    static PointOfSaleSettings current(const QString &programFolder, const Configuration &config);

    Result save(const ServiceEdits &edits);

private:
    bool writeNamesAndHeader(const ServiceEdits &edits, QString &problem) const;
    Result renumberAndWrite(const ServiceEdits &edits);

    QString m_programFolder;
    Configuration &m_config;
    DataFile &m_stockFile;
};

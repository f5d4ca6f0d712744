#include "stock/PointOfSaleSettings.h"

#include "base/IniFile.h"
#include "base/Paths.h"
#include "base/ProfileAccess.h"
#include "stock/PointOfSaleKeys.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

using Key = PointOfSaleKey;
using PointOfSaleKeys::key;

QString withTrailingSeparator(const QString &folder)
{
    if (folder.isEmpty() || folder.endsWith(u'\\') || folder.endsWith(u'/'))
        return folder;
    return joinPath(folder, QString());
}

void readConfigSection(PointOfSaleSettings &settings, const IniFile &ini, const PointOfSaleSettings &preset)
{
    using namespace ProfileAccess;
    settings.serialNumber = readString(ini, key(Key::SerialNumber), preset.serialNumber);
    settings.printerModel = readInt(ini, key(Key::PrinterModel), preset.printerModel);
    settings.saleScreenAtStart = readInt(ini, key(Key::SaleScreenAtStart), preset.saleScreenAtStart);
    settings.demo = readSwitch(ini, key(Key::Demo), preset.demo);
    settings.printManagerInput = readString(ini, key(Key::PrintManagerInput), preset.printManagerInput);
    settings.infoTimeout = readInt(ini, key(Key::InfoTimeout), preset.infoTimeout);
    settings.statusTimeout = readInt(ini, key(Key::StatusTimeout), preset.statusTimeout);
    settings.repeatPeriod = readInt(ini, key(Key::RepeatPeriod), preset.repeatPeriod);
    settings.cashierRequired = readInt(ini, key(Key::CashierRequired), preset.cashierRequired);
    settings.qlerk = readString(ini, key(Key::Qlerk), preset.qlerk);
    settings.printManagerTitle = readString(ini, key(Key::PrintManagerTitle), preset.printManagerTitle);
    settings.terminatePrintManager =
        readSwitch(ini, key(Key::TerminatePrintManager), preset.terminatePrintManager);
    settings.dataFolder = withTrailingSeparator(readString(ini, key(Key::DataFolder), preset.dataFolder));
    // Rows written before tills were numbered carry 1; a number below that (or no number at
    // all) would give a till whose rows no other setting can name, so it reads as 1.
    settings.tillNumber = std::max(1, readInt(ini, key(Key::TillNumber), preset.tillNumber));
    settings.server = DataServer::fromSettings(readString(ini, key(Key::DatabaseServer), QString()),
                                               readString(ini, key(Key::DatabaseConnection), QString()));
}

void readListsAndService(PointOfSaleSettings &settings, const IniFile &ini, const PointOfSaleSettings &preset)
{
    using namespace ProfileAccess;
    for (int i = 0; i < PointOfSaleSettings::PaymentMeansCount; ++i) {
        const QString name = readString(ini, PointOfSaleKeys::paymentMeans(i), preset.paymentMeans[i]);
        settings.paymentMeans[i] = fitToSlot(name, PointOfSaleSettings::PaymentNameLength);
    }
    for (int i = 0; i < PointOfSaleSettings::CashierCount; ++i) {
        const QString name = readString(ini, PointOfSaleKeys::cashier(i), preset.cashiers[i]);
        settings.cashiers[i] = fitToSlot(name, PointOfSaleSettings::CashierNameLength);
    }
    settings.paymentDialog = readInt(ini, key(Key::PaymentDialog), preset.paymentDialog);
    settings.serviceTelephone = readString(ini, key(Key::ServiceTelephone), preset.serviceTelephone);
    settings.serviceName = readString(ini, key(Key::ServiceName), preset.serviceName);
}

} // namespace

PointOfSaleSettings PointOfSaleSettings::defaults(const QString &programFolder)
{
    PointOfSaleSettings settings;
    settings.printManagerInput = joinPath(programFolder, u"blocek.txt"_s);
    settings.qlerk = u"QLERKQWYN"_s;
    settings.printManagerTitle = u"RL70ZQ"_s;
    settings.dataFolder = joinPath(joinPath(programFolder, u"cennik"_s), QString());
    settings.paymentMeans = {u"Hotovosť:"_s, u"Platobná karta:"_s, u"Stravné lístky:"_s, u"Šeky:"_s,
                             u"Platba faktúr:"_s};
    settings.serviceTelephone = u"+421 2 000 000 00"_s;
    settings.serviceName = u"Servisná organizácia"_s;
    return settings;
}

PointOfSaleSettings PointOfSaleSettings::read(const IniFile &ini, const QString &programFolder)
{
    const PointOfSaleSettings preset = defaults(programFolder);
    PointOfSaleSettings settings;
    readConfigSection(settings, ini, preset);
    readListsAndService(settings, ini, preset);
    return settings;
}

PointOfSaleSettings PointOfSaleSettings::load(const QString &programFolder)
{
    IniFile ini(PointOfSaleKeys::filePath(programFolder));
    ini.load();
    return read(ini, programFolder);
}

void PointOfSaleSettings::write(IniFile &ini) const
{
    using namespace ProfileAccess;
    writeString(ini, key(Key::SerialNumber), serialNumber);
    writeInt(ini, key(Key::PrinterModel), printerModel);
    writeInt(ini, key(Key::SaleScreenAtStart), saleScreenAtStart);
    writeInt(ini, key(Key::Demo), demo ? 1 : 0);
    writeInt(ini, key(Key::Lan), 1);
    writeString(ini, key(Key::PrintManagerInput), printManagerInput);
    writeInt(ini, key(Key::InfoTimeout), infoTimeout);
    writeInt(ini, key(Key::StatusTimeout), statusTimeout);
    writeInt(ini, key(Key::RepeatPeriod), repeatPeriod);
    writeInt(ini, key(Key::CashierRequired), cashierRequired);
    writeString(ini, key(Key::Qlerk), qlerk);
    writeString(ini, key(Key::PrintManagerTitle), printManagerTitle);
    writeInt(ini, key(Key::TerminatePrintManager), terminatePrintManager ? 1 : 0);
    writeString(ini, key(Key::DataFolder), dataFolder);
    // POKLADNA and the [DATABAZA] keys are not keys of the confirmed save: see
    // tillNumber and server.
    for (int i = 0; i < PaymentMeansCount; ++i) {
        writeString(ini, PointOfSaleKeys::paymentMeans(i), fitToSlot(paymentMeans[i], PaymentNameLength));
        writeString(ini, PointOfSaleKeys::cashier(i), fitToSlot(cashiers[i], CashierNameLength));
    }
    writeInt(ini, key(Key::PaymentDialog), paymentDialog);
    writeString(ini, key(Key::ServiceTelephone), serviceTelephone);
    writeString(ini, key(Key::ServiceName), serviceName);
}

bool PointOfSaleSettings::save(const QString &programFolder) const
{
    return ProfileAccess::update(PointOfSaleKeys::filePath(programFolder),
                                 [this](IniFile &ini) { write(ini); });
}

void PointOfSaleSettings::applyTo(Configuration &config) const
{
    config.printManagerInput = resolveInputPattern(printManagerInput);
    config.exchangeFolder = folderOf(config.printManagerInput);
    applyShowingKeysTo(config);
    config.lan = true;
    config.infoTimeout = infoTimeout;
    config.statusTimeout = statusTimeout;
    config.repeatPeriod = repeatPeriod;
    config.cashierRequired = cashierRequired;
    config.dataFolder = dataFolder;
    config.tillNumber = tillNumber;
    config.dataServer = server;
    config.cashiers = cashiers;
    config.paymentMeans = paymentMeans;
}

void PointOfSaleSettings::applyShowingKeysTo(Configuration &config) const
{
    config.saleScreenAtStart = saleScreenAtStart;
    config.demo = demo;
    config.printManagerTitle = printManagerTitle;
    config.terminatePrintManager = terminatePrintManager;
    config.paymentDialog = paymentDialog;
}

QStringList printerModels()
{
    return {u"SRP350"_s, u"SRP350.1"_s, u"SRP350.2"_s, u"TMT20"_s,   u"TMT88"_s,
            u"SRP275"_s, u"TMU220"_s,   u"TMH6000"_s,  u"PP6800"_s,  u"TSP650"_s,
            u"RP300"_s,  u"OK085"_s,    u"TMU950"_s,   u"HSP7000"_s, u"SP500"_s};
}

QString printerModelName(int model)
{
    const QStringList models = printerModels();
    return model >= 0 && model < models.size() ? models[model] : QString();
}

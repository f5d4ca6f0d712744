#include "stock/PointOfSaleKeys.h"

#include "base/Configuration.h"

using namespace Qt::StringLiterals;

namespace {

ProfileKey configKey(const QString &name)
{
    return {u"CONFIG"_s, name};
}

} // namespace

ProfileKey PointOfSaleKeys::key(PointOfSaleKey which)
{
    switch (which) {
    case PointOfSaleKey::SerialNumber:
        return configKey(u"VC"_s);
    case PointOfSaleKey::PrinterModel:
        return configKey(u"MODEL"_s);
    case PointOfSaleKey::SaleScreenAtStart:
        return configKey(u"POKL_START"_s);
    case PointOfSaleKey::Demo:
        return configKey(u"DEMO"_s);
    case PointOfSaleKey::Lan:
        return configKey(u"LAN"_s);
    case PointOfSaleKey::PrintManagerInput:
        return configKey(u"TL_MAN"_s);
    case PointOfSaleKey::InfoTimeout:
        return configKey(u"LAN_INFO"_s);
    case PointOfSaleKey::StatusTimeout:
        return configKey(u"LAN_DC"_s);
    case PointOfSaleKey::RepeatPeriod:
        return configKey(u"LAN_REPEAT"_s);
    case PointOfSaleKey::CashierRequired:
        return configKey(u"POKLADNIK"_s);
    case PointOfSaleKey::Qlerk:
        return configKey(u"QLERK"_s);
    case PointOfSaleKey::PrintManagerTitle:
        return configKey(u"TM"_s);
    case PointOfSaleKey::TerminatePrintManager:
        return configKey(u"ENDTM"_s);
    case PointOfSaleKey::DataFolder:
        return configKey(u"LAN_PATH"_s);
    case PointOfSaleKey::TillNumber:
        return configKey(u"POKLADNA"_s);
    case PointOfSaleKey::PaymentDialog:
        return {u"PLATBA"_s, u"SHOW"_s};
    case PointOfSaleKey::ServiceTelephone:
        return {u"SERVIS"_s, u"TEL"_s};
    case PointOfSaleKey::ServiceName:
        return {u"SERVIS"_s, u"NAZOV"_s};
    case PointOfSaleKey::DatabaseServer:
        return {u"DATABAZA"_s, u"SERVER"_s};
    case PointOfSaleKey::DatabaseConnection:
        return {u"DATABAZA"_s, u"SPOJENIE"_s};
    }
    return {};
}

ProfileKey PointOfSaleKeys::paymentMeans(int index)
{
    return {u"PLATBA"_s, u"PLAT_%1"_s.arg(index + 1)};
}

ProfileKey PointOfSaleKeys::cashier(int index)
{
    return {u"POKLADNIK"_s, u"POKL_%1"_s.arg(index + 1)};
}

QString PointOfSaleKeys::fileName()
{
    return u"pokladna.ini"_s;
}

QString PointOfSaleKeys::filePath(const QString &programFolder)
{
    return joinPath(joinPath(programFolder, u"cennik"_s), fileName());
}

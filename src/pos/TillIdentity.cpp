#include "pos/TillIdentity.h"

#include "base/Configuration.h"

#include <QSysInfo>

TillIdentity TillIdentity::of(const Configuration &config)
{
    return {QSysInfo::machineHostName(), config.printManagerInput, config.tillNumber};
}

QString TillIdentity::linkText() const
{
    return host + u'|' + printManagerInput;
}

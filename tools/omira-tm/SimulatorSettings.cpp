#include "omira-tm/SimulatorSettings.h"

#include <QFileInfo>

QString SimulatorSettings::exchangeFolder() const
{
    return QFileInfo(inputPath).absolutePath();
}

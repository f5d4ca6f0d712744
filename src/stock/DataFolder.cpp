#include "stock/DataFolder.h"

#include "base/Configuration.h"

QString DataFolder::file(const QString &dataFolder, const QString &name)
{
    if (dataFolder.isEmpty())
        return name;
    if (dataFolder.endsWith(u'/') || dataFolder.endsWith(u'\\'))
        return dataFolder + name;
    return joinPath(dataFolder, name);
}

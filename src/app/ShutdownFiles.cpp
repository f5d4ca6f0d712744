#include "app/ShutdownFiles.h"

#include "base/Configuration.h"
#include "platform/FileSystem.h"

bool writeTerminateFile(const Configuration &config, platform::FileSystem &files)
{
    const QString path = config.exchangeFolder + QStringLiteral("terminate");
    return files.createEmptyFile(path.toStdString()).ok();
}

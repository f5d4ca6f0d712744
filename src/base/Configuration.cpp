#include "base/Configuration.h"

QString Configuration::captionFile() const
{
    return joinPath(programFolder, captionFiles[languageIndex]);
}

QString Configuration::messageFile() const
{
    return joinPath(programFolder, messageFiles[languageIndex]);
}

#include "BenchProgramFolder.h"

#include "TestPaths.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

bool prepareBenchProgramFolder(const QString &folder, const QByteArray &pointOfSaleIni)
{
    const QDir dir(folder);
    if (!dir.mkpath(u"cennik"_s) ||
        !QFile::copy(QStringLiteral(OMIRA_PROGRAM_EXE), dir.filePath(u"omira-predaj"_s)))
        return false;
    for (const QString &name : {u"vx60_sk.msg"_s, u"vx60_sk.lng"_s})
        QFile::copy(TestPaths::shippedLanguageFile(name), dir.filePath(name));
    return TestPaths::writeFile(dir.filePath(u"qd60_cfg.ini"_s), "[CONFIG]\r\nopozdenie=0\r\n") &&
           TestPaths::writeFile(dir.filePath(u"cennik/pokladna.ini"_s), pointOfSaleIni);
}

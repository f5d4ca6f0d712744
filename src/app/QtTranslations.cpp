#include "app/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

using namespace Qt::StringLiterals;

namespace {

constexpr int kEnglishIndex = 1;

} // namespace

bool installQtTranslations(QCoreApplication &app, int languageIndex)
{
    if (languageIndex == kEnglishIndex)
        return false;
    auto *translator = new QTranslator(&app);
    if (!translator->load(u"qtbase_sk"_s, QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

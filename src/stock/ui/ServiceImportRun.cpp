#include "stock/ui/ServiceImportRun.h"

#include "stock/PriceListImporting.h"
#include "stock/ui/ImportPreviewDialog.h"
#include "widgets/ProgressDialog.h"

#include <QLocale>

using namespace Qt::StringLiterals;

bool ServiceImportRun::run(QWidget *screen, const QString &dataFolder, DataFile &stock,
                           const MessageTable &messages, UserDialogs &dialogs)
{
    ProgressDialog progress(screen, u"Načítanie položiek"_s, u"Importujem..."_s);
    PriceListImporting importing({dataFolder,
                                  stock,
                                  messages,
                                  dialogs,
                                  progress,
                                  [&progress] { progress.finish(); },
                                  [screen](const QString &path, ImportFile::Options &options) {
                                      return ImportPreviewDialog::review(screen, path, options);
                                  },
                                  QLocale(),
                                  {}});
    return importing.run();
}

#pragma once

#include <QString>

class DataFile;
class MessageTable;
class QWidget;
class UserDialogs;

// "Import" of the maintenance screen on the screen: the import's flow with the
// progress dialog ("Načítanie položiek") and the preview of the chosen file,
// both over `screen`.
class ServiceImportRun
{
public:
    // True when the price list was replaced; the caller refreshes the stock screens then.
    static bool run(QWidget *screen, const QString &dataFolder, DataFile &stock, const MessageTable &messages,
                    UserDialogs &dialogs);
};

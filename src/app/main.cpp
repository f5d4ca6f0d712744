#include "app/CommandLine.h"
#include "app/ConfigurationLoader.h"
#include "app/ErrorLog.h"
#include "app/Version.h"
#include "app/ui/PanelStatusBar.h"
#include "app/ui/QtUserDialogs.h"
#include "lang/MessageTable.h"
#include "lang/ui/CaptionApplier.h"
#include "platform/OsVersionQuery.h"
#include "platform/ProcessPriority.h"

#include <QApplication>
#include <QDir>
#include <QMainWindow>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Omira Predaj"_s);
    const QString programFolder = QCoreApplication::applicationDirPath();
    QDir::setCurrent(programFolder);

    QtUserDialogs dialogs;
    const CommandLine commandLine = CommandLine::parse(QCoreApplication::arguments());
    const Configuration config = LoadConfiguration(
        programFolder, commandLine, [](int priorityClass) {
            platform::createProcessPriority()->setPriorityClass(static_cast<unsigned>(priorityClass));
        });

    MessageTable messages;
    messages.load(config.messageFile(), dialogs);

    QMainWindow mainWindow;
    mainWindow.setObjectName(u"TSQD60"_s);
    mainWindow.setWindowTitle(u"Omira"_s);
    auto *statusBar = new PanelStatusBar(&mainWindow);
    statusBar->setObjectName(u"StatusBar1"_s);
    statusBar->addPanel(70, Qt::AlignCenter, QString::fromUtf16(kVersionText));
    statusBar->addPanel(40, Qt::AlignLeft, u"PRN:"_s);
    statusBar->addPanel(15, Qt::AlignCenter, u"B"_s);
    statusBar->addPanel(0, Qt::AlignCenter, QString::fromStdString(platform::composeOsText(platform::createOsVersionQuery()->query())));
    mainWindow.setStatusBar(statusBar);
    mainWindow.resize(241, 301);
    dialogs.setMainWindow(&mainWindow);
    CaptionApplier::apply_captions(config.captionFile(), {&mainWindow});
    mainWindow.show();
    return QApplication::exec();
}

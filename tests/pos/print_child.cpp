// A till that prints the open document once and can die at a chosen point of the print,
// run as a separate process by the crash suite.
// Usage: pos_print_child <root> <stage to die at> [<shared data folder> <till number>]
#include "ReceiptPrintRig.h"
#include "link/SteadyLinkClock.h"

#include <QCoreApplication>

#include <csignal>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    const QString root = args[1];
    const int dieAt = args[2].toInt();
    const QString dataFolder = args.value(3);
    const int till = args.size() > 4 ? args[4].toInt() : 1;

    SteadyLinkClock clock;
    ReceiptPrintRig rig(clock, root, dataFolder, till);
    rig.config.repeatPeriod = 10;
    rig.config.statusTimeout = 5000;
    rig.config.infoTimeout = 5000;
    // Never wait for a cashier: every question is answered No.
    for (int i = 0; i < 20; ++i)
        rig.dialogs.queueAnswer(UserDialogs::Answer::No);
    rig.print().setStageHook([dieAt](ReceiptPrint::Stage stage) {
        if (int(stage) == dieAt)
            std::raise(SIGKILL);
    });
    return 10 + int(rig.print().print({}));
}

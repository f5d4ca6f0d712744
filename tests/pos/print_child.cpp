// A till that prints the open document once and can die at a chosen point of the print,
// run as a separate process by the crash suites. Given a number of items, it first stores
// those of its own items that the sales table lacks (ReceiptPrintRig::storeTillItems),
// each key on a line of standard output once committed, so that a till killed while
// storing and started again goes on where it stopped. Given a server connection, the
// sales table is in that PostgreSQL database instead of the data folder's file.
// Usage: pos_print_child <root> <stage to die at>
//                        [<shared data folder> <till number> [<items> [<server connection>]]]
// Exit code: 10 + the print's outcome; 1 when the sales table could not be made or written.
#include "ReceiptPrintRig.h"
#include "link/SteadyLinkClock.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>

namespace {

DataServer serverOf(const QStringList &args)
{
    DataServer server;
    if (args.size() > 6) {
        server.kind = DataServer::Kind::PostgreSql;
        server.connection = args[6];
    }
    return server;
}

} // namespace

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
    const int items = args.value(5).toInt();

    SteadyLinkClock clock;
    ReceiptPrintRig rig(clock, root, dataFolder, till, serverOf(args));
    if (items > 0) {
        const bool stored = rig.tableReady && rig.storeTillItems(items, [](int key) {
            std::printf("%d\n", key);
            std::fflush(stdout);
        });
        if (!stored) {
            std::fprintf(stderr, "till %d: %s\n", till, qPrintable(rig.sales->lastError()));
            return 1;
        }
    }
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

// A till that deposits cash once and can die at a chosen point of the voucher's print, run
// as a separate process by the crash suite. Each box it showed goes to standard output as
// one line, "caption: text", its line ends as " / ".
// Usage: pos_voucher_child <root> <stage to die at> <what the cashier does>
//   first    the sale screen is shown, then the deposit entered and OK pressed
//   again    after a restart, OK pressed once more for the same deposit
//   shown    the sale screen is shown, nothing else
//   receipt  the sale screen's open document is printed
// Exit code: 10 + the voucher's outcome, 20 + what the shown sale screen settled, 30 + the
// receipt's outcome; 2 when the dialog did not open or OK found no printer.
#include "ReceiptPrintRig.h"
#include "SampleDeposit.h"
#include "link/SteadyLinkClock.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>

namespace {

int pressOk(ReceiptPrintRig &rig)
{
    if (!rig.cashGate().mayOpen() || rig.voucherPrint().begin() != CashVoucherPrint::Start::Ready)
        return 2;
    return 10 + int(rig.voucherPrint().print(SampleDeposit::voucher()));
}

int act(ReceiptPrintRig &rig, const QString &what)
{
    if (what == u"first"_s) {
        rig.showSaleScreen();
        return pressOk(rig);
    }
    if (what == u"again"_s)
        return pressOk(rig);
    if (what == u"shown"_s)
        return 20 + int(rig.showSaleScreen());
    return 30 + int(rig.print().print({}));
}

void tellBoxes(const ScriptedDialogs &dialogs)
{
    for (const UserDialogs::Message &box : dialogs.shown()) {
        const QString line = box.caption + u": "_s + QString(box.text).replace(u"\r\n"_s, u" / "_s) + u'\n';
        std::fputs(line.toUtf8().constData(), stdout);
    }
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4)
        return 1;
    const int dieAt = args[2].toInt();

    SteadyLinkClock clock;
    ReceiptPrintRig rig(clock, args[1]);
    rig.config.repeatPeriod = 10;
    rig.config.statusTimeout = 5000;
    rig.config.infoTimeout = 5000;
    rig.voucherPrint().setStageHook([dieAt](CashVoucherPrint::Stage stage) {
        if (int(stage) == dieAt)
            std::raise(SIGKILL);
    });
    const int result = act(rig, args[3]);
    tellBoxes(rig.dialogs);
    return result;
}

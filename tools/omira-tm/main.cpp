// omira-tm: a stand-in for the print manager, for training and for tests. It answers
// the point of sale through the exchange folder as a fiscal printer's print manager
// would, and acts out the faults its options ask for.

#include "SimulatorWindow.h"
#include "omira-tm/PrintManagerSimulator.h"
#include "omira-tm/SimulatorOptions.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

bool asksForHeadless(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--headless") == 0)
            return true;
    }
    return false;
}

void printLine(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputs("\n", stream);
}

} // namespace

int main(int argc, char **argv)
{
    // The platform is chosen when the application object is made, before the
    // command line is parsed properly.
    if (asksForHeadless(argc, argv) && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"omira-tm"_s);

    const SimulatorOptions options =
        SimulatorOptions::parse(QApplication::arguments(), QApplication::applicationDirPath());
    if (!options.error.isEmpty()) {
        printLine(stderr, options.error);
        printLine(stderr, SimulatorOptions::helpText());
        return 2;
    }
    if (options.helpRequested) {
        printLine(stdout, SimulatorOptions::helpText());
        return 0;
    }

    PrintManagerSimulator simulator(options.settings);
    SimulatorWindow window(simulator);
    QObject::connect(&simulator, &PrintManagerSimulator::terminated, &app, &QApplication::quit);
    if (!simulator.start()) {
        printLine(stderr, simulator.error());
        return 1;
    }
    // The native window must exist for the program's lookup by title.
    window.winId();
    window.show();
    printLine(stdout,
              u"omira-tm: \"%1\" watches %2"_s.arg(options.settings.title, options.settings.inputPath));
    std::fflush(stdout);
    return QApplication::exec();
}

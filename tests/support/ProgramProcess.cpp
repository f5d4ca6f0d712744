#include "ProgramProcess.h"

#include "platform/WindowFinder.h"

#include "stock/DataFile.h"
#include "stock/StockTable.h"
#include <QGuiApplication>
#include <QWidget>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>

using namespace Qt::StringLiterals;

// An unmapped top-level window with a title, like a program sitting in the tray.
std::unique_ptr<QWidget> makeWindow(const QString &title)
{
    auto window = std::make_unique<QWidget>();
    window->setWindowTitle(title);
    window->winId();
    QGuiApplication::sync();
    return window;
}

// waitForFinished alone says false for a process whose end was already seen while
// the test waited for something else.
bool hasEnded(QProcess &process)
{
    return process.state() == QProcess::NotRunning || process.waitForFinished(kTimeoutMs);
}

bool xdotool(const QStringList &arguments)
{
    // Bounded, so that a box that never appears fails the test instead of hanging it.
    return QProcess::execute(u"timeout"_s, QStringList{u"20"_s, u"xdotool"_s} + arguments) == 0;
}

// Types `keys` into the window titled exactly `title` once it is there; true
// when the window has gone afterwards. xdotool itself may fail once the box
// closes under it, so only the outcome counts; the keys are typed again when a
// box that was still being mapped missed them.
bool answerBox(const platform::WindowFinder &windows, const QString &title, const QString &keys)
{
    const auto exists = [&] { return windows.windowExists(title.toStdString()); };
    if (!QTest::qWaitFor(exists, kTimeoutMs)) {
        qWarning("no window titled \"%s\" appeared", qPrintable(title));
        return false;
    }
    const QString pattern = u'^' + QRegularExpression::escape(title) + u'$';
    for (int attempt = 0; attempt < 5; ++attempt) {
        // The keys go through the server's test extension to the focused window, not to the
        // box by id: keys sent to a box that closes on the press leave their release
        // undelivered, and the server then repeats the key for every later window.
        xdotool({u"search"_s, u"--sync"_s, u"--onlyvisible"_s, u"--name"_s, pattern, u"windowfocus"_s,
                 u"--sync"_s});
        xdotool({u"key"_s, u"--delay"_s, u"50"_s, keys});
        if (QTest::qWaitFor([&] { return !exists(); }, 2000))
            return true;
    }
    qWarning("the window titled \"%s\" did not close", qPrintable(title));
    return false;
}

// What a shutdown or a script does to a program's window: a close request from the
// window system to every top-level window titled `title` that accepts one.
int requestClose(const QString &title)
{
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return 0;
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    Window root = 0;
    Window parent = 0;
    Window *children = nullptr;
    unsigned int count = 0;
    int sent = 0;
    XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
    for (unsigned int i = 0; i < count; ++i) {
        char *name = nullptr;
        Atom *accepted = nullptr;
        int acceptedCount = 0;
        const bool titled = XFetchName(display, children[i], &name) && title == QString::fromLocal8Bit(name);
        if (titled && XGetWMProtocols(display, children[i], &accepted, &acceptedCount) &&
            std::find(accepted, accepted + acceptedCount, deleteWindow) != accepted + acceptedCount) {
            XEvent event{};
            event.xclient.type = ClientMessage;
            event.xclient.window = children[i];
            event.xclient.message_type = protocols;
            event.xclient.format = 32;
            event.xclient.data.l[0] = static_cast<long>(deleteWindow);
            event.xclient.data.l[1] = CurrentTime;
            XSendEvent(display, children[i], False, NoEventMask, &event);
            ++sent;
        }
        XFree(accepted);
        XFree(name);
    }
    XFree(children);
    XCloseDisplay(display);
    return sent;
}

QProcess *StartedPrograms::start(const QString &program, const QStringList &arguments, const QString &folder,
                                 const QProcessEnvironment &environment)
{
    auto *process = new QProcess;
    m_processes.append(process);
    process->setProcessEnvironment(environment);
    process->setWorkingDirectory(folder);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(program, arguments);
    return process;
}

void StartedPrograms::endAll()
{
    for (QProcess *process : std::as_const(m_processes)) {
        process->kill();
        process->waitForFinished();
        delete process;
    }
    m_processes.clear();
}

bool systemTrayOwned()
{
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    const Atom tray = XInternAtom(display, "_NET_SYSTEM_TRAY_S0", False);
    const bool owned = XGetSelectionOwner(display, tray) != 0;
    XCloseDisplay(display);
    return owned;
}

bool ProgramFolder::writeMilkPriceList() const
{
    DataFile stock;
    if (!stock.open(file(QStringLiteral("cennik/vx60_sklad.db")), true))
        return false;
    StockTable table(stock);
    StockRow milk;
    milk.kod = QStringLiteral("100");
    milk.nazov = QStringLiteral("MLIEKO polotučné 1 l");
    milk.mj = QStringLiteral("ks");
    milk.mjIdx = 1;
    milk.jc = 0.89;
    milk.dphIdx = 1;
    return table.create() && table.insert(milk);
}

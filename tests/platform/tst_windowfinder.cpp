#include "platform/WindowFinder.h"
#include "platform/X11WindowFinder.h"

#include <QTest>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace platform;

namespace {

// How a test window carries its title; different toolkits set different properties.
enum class TitleProperty { WmNameLatin1, WmNameUtf8, NetWmNameOnly };

bool haveDisplay()
{
    const char *display = std::getenv("DISPLAY");
    return display && *display;
}

std::string uniqueTitle(const char *stem)
{
    return std::string("Omira test ") + stem + ' ' + std::to_string(::getpid()) + '-' +
           std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
}

// Restores an environment variable when the test ends.
class EnvironmentGuard
{
public:
    explicit EnvironmentGuard(const char *name) : m_name(name)
    {
        if (const char *value = std::getenv(name))
            m_value = value;
        m_wasSet = std::getenv(name) != nullptr;
    }
    ~EnvironmentGuard()
    {
        if (m_wasSet)
            ::setenv(m_name, m_value.c_str(), 1);
        else
            ::unsetenv(m_name);
    }

private:
    const char *m_name;
    std::string m_value;
    bool m_wasSet = false;
};

// Creates and destroys windows as fast as the server allows, in a child process of
// the test that must not outlive it.
[[noreturn]] void churnWindows(pid_t testProcess)
{
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    Display *display = XOpenDisplay(nullptr);
    if (!display || ::getppid() != testProcess)
        ::_exit(1);
    Window windows[20];
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < giveUp) {
        for (Window &window : windows) {
            window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
            XStoreName(display, window, "churn");
        }
        XSync(display, False);
        for (Window window : windows)
            XDestroyWindow(display, window);
        XSync(display, False);
    }
    ::_exit(0);
}

} // namespace

class TestWindowFinder : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void matchesExactTitleOnly_data();
    void matchesExactTitleOnly();
    void readsEveryTitleProperty_data();
    void readsEveryTitleProperty();
    void findsWindowInsideFrame();
    void destroyedWindowIsGone();
    void survivesWindowsVanishingDuringLookup();
    void noDisplayMeansNotFound_data();
    void noDisplayMeansNotFound();

private:
    Window createWindow(Window parent, const std::string &title, TitleProperty property);

    Display *m_display = nullptr;
};

void TestWindowFinder::init()
{
    if (!haveDisplay())
        return;
    m_display = XOpenDisplay(nullptr);
    QVERIFY2(m_display, "DISPLAY is set, but the display cannot be opened");
}

void TestWindowFinder::cleanup()
{
    if (m_display)
        XCloseDisplay(m_display);
    m_display = nullptr;
}

// Unmapped, as a hidden window of another program is.
Window TestWindowFinder::createWindow(Window parent, const std::string &title, TitleProperty property)
{
    const Window window = XCreateSimpleWindow(m_display, parent, 0, 0, 10, 10, 0, 0, 0);
    const auto *bytes = reinterpret_cast<const unsigned char *>(title.data());
    const int length = static_cast<int>(title.size());
    const Atom utf8String = XInternAtom(m_display, "UTF8_STRING", False);
    switch (property) {
    case TitleProperty::WmNameLatin1:
        XChangeProperty(m_display, window, XA_WM_NAME, XA_STRING, 8, PropModeReplace, bytes, length);
        break;
    case TitleProperty::WmNameUtf8:
        XChangeProperty(m_display, window, XA_WM_NAME, utf8String, 8, PropModeReplace, bytes, length);
        break;
    case TitleProperty::NetWmNameOnly:
        XChangeProperty(m_display, window, XInternAtom(m_display, "_NET_WM_NAME", False), utf8String, 8,
                        PropModeReplace, bytes, length);
        break;
    }
    XSync(m_display, False);
    return window;
}

void TestWindowFinder::matchesExactTitleOnly_data()
{
    QTest::addColumn<QByteArray>("suffix");
    QTest::addColumn<int>("cut");
    QTest::addColumn<bool>("upperCase");
    QTest::addColumn<bool>("found");

    QTest::newRow("exact") << QByteArray() << 0 << false << true;
    QTest::newRow("prefix") << QByteArray() << 1 << false << false;
    QTest::newRow("longer") << QByteArray("x") << 0 << false << false;
    QTest::newRow("other case") << QByteArray() << 0 << true << false;
}

void TestWindowFinder::matchesExactTitleOnly()
{
    if (!m_display)
        QSKIP("No X display (DISPLAY is empty)");
    QFETCH(QByteArray, suffix);
    QFETCH(int, cut);
    QFETCH(bool, upperCase);
    QFETCH(bool, found);
    const std::string title = uniqueTitle("exact");
    createWindow(DefaultRootWindow(m_display), title, TitleProperty::WmNameLatin1);

    std::string query = title.substr(0, title.size() - static_cast<std::size_t>(cut)) + suffix.toStdString();
    if (upperCase)
        query = QByteArray::fromStdString(query).toUpper().toStdString();

    QCOMPARE(createWindowFinder()->windowExists(query), found);
}

void TestWindowFinder::readsEveryTitleProperty_data()
{
    QTest::addColumn<TitleProperty>("property");
    QTest::addColumn<QByteArray>("stem");

    // A Latin-1 title must match its UTF-8 spelling.
    QTest::newRow("WM_NAME as Latin-1") << TitleProperty::WmNameLatin1 << QByteArray("caf\xe9");
    QTest::newRow("WM_NAME as UTF-8") << TitleProperty::WmNameUtf8
                                      << QByteArray("Poklad\xc5\x88"
                                                    "a");
    QTest::newRow("_NET_WM_NAME only") << TitleProperty::NetWmNameOnly
                                       << QByteArray("Poklad\xc5\x88"
                                                     "a");
}

void TestWindowFinder::readsEveryTitleProperty()
{
    if (!m_display)
        QSKIP("No X display (DISPLAY is empty)");
    QFETCH(TitleProperty, property);
    QFETCH(QByteArray, stem);
    const std::string title = uniqueTitle(stem.constData());
    createWindow(DefaultRootWindow(m_display), title, property);

    const std::string utf8Title =
        property == TitleProperty::WmNameLatin1 ? QString::fromLatin1(title).toUtf8().toStdString() : title;
    QVERIFY(createWindowFinder()->windowExists(utf8Title));
}

// A reparenting window manager puts each top-level window into a frame of its own.
void TestWindowFinder::findsWindowInsideFrame()
{
    if (!m_display)
        QSKIP("No X display (DISPLAY is empty)");
    const std::string title = uniqueTitle("framed");
    const Window frame =
        createWindow(DefaultRootWindow(m_display), uniqueTitle("frame"), TitleProperty::WmNameUtf8);
    createWindow(frame, title, TitleProperty::NetWmNameOnly);

    QVERIFY(createWindowFinder()->windowExists(title));
}

void TestWindowFinder::destroyedWindowIsGone()
{
    if (!m_display)
        QSKIP("No X display (DISPLAY is empty)");
    const std::string title = uniqueTitle("destroyed");
    const Window window = createWindow(DefaultRootWindow(m_display), title, TitleProperty::WmNameLatin1);
    QVERIFY(createWindowFinder()->windowExists(title));

    XDestroyWindow(m_display, window);
    XSync(m_display, False);

    QVERIFY(!createWindowFinder()->windowExists(title));
}

// Another process creates and destroys windows all the time; a lookup that meets a
// window that is already gone must go on instead of ending the process.
void TestWindowFinder::survivesWindowsVanishingDuringLookup()
{
    if (!m_display)
        QSKIP("No X display (DISPLAY is empty)");
    const pid_t testProcess = ::getpid();
    const pid_t churner = ::fork();
    QVERIFY(churner >= 0);
    if (churner == 0)
        churnWindows(testProcess);
    const auto finder = createWindowFinder();
    const std::string title = uniqueTitle("never there");
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    bool foundAny = false;
    while (std::chrono::steady_clock::now() < end)
        foundAny = finder->windowExists(title) || foundAny;
    ::kill(churner, SIGKILL);
    ::waitpid(churner, nullptr, 0);

    QVERIFY(!foundAny);
}

void TestWindowFinder::noDisplayMeansNotFound_data()
{
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<bool>("setInEnvironment");

    QTest::newRow("DISPLAY not set") << QByteArray() << true;
    QTest::newRow("DISPLAY names no server") << QByteArray(":987") << true;
    QTest::newRow("display given to the finder") << QByteArray(":987") << false;
}

void TestWindowFinder::noDisplayMeansNotFound()
{
    QFETCH(QByteArray, display);
    QFETCH(bool, setInEnvironment);
    const EnvironmentGuard guard("DISPLAY");
    if (setInEnvironment && display.isEmpty())
        ::unsetenv("DISPLAY");
    else if (setInEnvironment)
        ::setenv("DISPLAY", display.constData(), 1);

    const auto finder =
        setInEnvironment ? createWindowFinder() : std::make_unique<X11WindowFinder>(display.toStdString());

    QVERIFY(!finder->windowExists("Omira Predaj"));
}

QTEST_APPLESS_MAIN(TestWindowFinder)
#include "tst_windowfinder.moc"

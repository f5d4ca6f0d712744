#include "platform/X11WindowFinder.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <climits>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace platform {
namespace {

// Windows may vanish while they are walked; the default handler would end the process
// on the BadWindow that follows.
int ignoreXError(Display *, XErrorEvent *)
{
    return 0;
}

struct DisplayCloser
{
    void operator()(Display *display) const { XCloseDisplay(display); }
};
using DisplayConnection = std::unique_ptr<Display, DisplayCloser>;

struct XFreeDeleter
{
    void operator()(void *data) const
    {
        if (data)
            XFree(data);
    }
};

std::string latin1ToUtf8(const unsigned char *text, unsigned long length)
{
    std::string result;
    result.reserve(length);
    for (unsigned long i = 0; i < length; ++i) {
        const unsigned char c = text[i];
        if (c < 0x80) {
            result += static_cast<char>(c);
        } else {
            result += static_cast<char>(0xC0 | (c >> 6));
            result += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return result;
}

class TitleReader
{
public:
    // _NET_WM_NAME is looked up only if some client created it: without the atom no
    // window can carry the property.
    explicit TitleReader(Display *display)
        : m_display(display), m_netWmName(XInternAtom(display, "_NET_WM_NAME", True))
    {}

    bool hasTitle(Window window, const std::string &title) const
    {
        return (m_netWmName != None && readProperty(window, m_netWmName) == title) ||
               readProperty(window, XA_WM_NAME) == title;
    }

private:
    // The property as UTF-8. STRING is Latin-1; other text types (UTF8_STRING, and
    // COMPOUND_TEXT, which is plain ASCII for ASCII titles) are taken as they are.
    std::optional<std::string> readProperty(Window window, Atom property) const
    {
        Atom type = None;
        int format = 0;
        unsigned long length = 0;
        unsigned long remaining = 0;
        unsigned char *data = nullptr;
        if (XGetWindowProperty(m_display, window, property, 0, LONG_MAX / 4, False, AnyPropertyType, &type,
                               &format, &length, &remaining, &data) != Success)
            return std::nullopt;
        std::unique_ptr<unsigned char, XFreeDeleter> owner(data);
        if (!data || type == None || format != 8)
            return std::nullopt;
        if (type == XA_STRING)
            return latin1ToUtf8(data, length);
        return std::string(reinterpret_cast<const char *>(data), length);
    }

    Display *m_display;
    Atom m_netWmName;
};

// Looks at the children of `parent` and, `depth` levels further, at theirs.
bool anyChildHasTitle(Display *display, const TitleReader &reader, Window parent, const std::string &title,
                      int depth)
{
    Window root = None;
    Window parentOfParent = None;
    Window *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, parent, &root, &parentOfParent, &children, &count))
        return false;
    std::unique_ptr<Window, XFreeDeleter> owner(children);
    for (unsigned int i = 0; i < count; ++i) {
        if (reader.hasTitle(children[i], title))
            return true;
    }
    if (depth == 0)
        return false;
    for (unsigned int i = 0; i < count; ++i) {
        if (anyChildHasTitle(display, reader, children[i], title, depth - 1))
            return true;
    }
    return false;
}

// The error handler belongs to the whole process; one lookup at a time installs it.
std::mutex &handlerMutex()
{
    static std::mutex mutex;
    return mutex;
}

} // namespace

X11WindowFinder::X11WindowFinder(std::string displayName) : m_displayName(std::move(displayName)) {}

bool X11WindowFinder::windowExists(const std::string &title) const
{
    DisplayConnection display(XOpenDisplay(m_displayName.empty() ? nullptr : m_displayName.c_str()));
    if (!display)
        return false;
    const std::lock_guard lock(handlerMutex());
    const XErrorHandler previous = XSetErrorHandler(ignoreXError);
    const TitleReader reader(display.get());
    const bool found = anyChildHasTitle(display.get(), reader, DefaultRootWindow(display.get()), title, 1);
    XSync(display.get(), False);
    XSetErrorHandler(previous);
    return found;
}

std::unique_ptr<WindowFinder> createWindowFinder()
{
    return std::make_unique<X11WindowFinder>();
}

} // namespace platform

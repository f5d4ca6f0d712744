#include "app/ui/InstanceWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>

#if defined(Q_OS_LINUX)
#include <X11/Xlib.h>
#include <xcb/xproto.h>
#endif

InstanceWindow::InstanceWindow(const QString &title)
{
    setWindowTitle(title);
    // The native window exists from now on, unmapped, so that the title can be found.
    winId();
#if defined(Q_OS_LINUX)
    if (auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
        if (Display *display = x11->display()) {
            m_protocolsAtom = XInternAtom(display, "WM_PROTOCOLS", False);
            m_deleteWindowAtom = XInternAtom(display, "WM_DELETE_WINDOW", False);
            QCoreApplication::instance()->installNativeEventFilter(this);
        }
    }
#endif
}

InstanceWindow::~InstanceWindow()
{
    if (QCoreApplication *application = QCoreApplication::instance())
        application->removeNativeEventFilter(this);
}

void InstanceWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    QCoreApplication::exit(0);
}

bool InstanceWindow::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (!isCloseRequest(eventType, message))
        return false;
    QCoreApplication::exit(0);
    return true;
}

bool InstanceWindow::isCloseRequest(const QByteArray &eventType, const void *message) const
{
#if defined(Q_OS_LINUX)
    if (eventType != "xcb_generic_event_t" || m_deleteWindowAtom == 0)
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & ~0x80) != XCB_CLIENT_MESSAGE)
        return false;
    const auto *client = static_cast<const xcb_client_message_event_t *>(message);
    return client->format == 32 && client->window == internalWinId() && client->type == m_protocolsAtom &&
           client->data.data32[0] == m_deleteWindowAtom;
#else
    Q_UNUSED(eventType);
    Q_UNUSED(message);
    return false;
#endif
}

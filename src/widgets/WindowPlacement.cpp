#include "widgets/WindowPlacement.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace {

// Shown in the window manager's frame, whose margins are then known.
bool framed(const QWidget *window)
{
    const QWindow *handle = window->windowHandle();
    return handle && window->isVisible() && handle->isExposed();
}

} // namespace

WindowPlacement::WindowPlacement(QWidget *window) : QObject(window), m_window(window)
{
    window->installEventFilter(this);
}

QRect WindowPlacement::fitted(QRect frame, const QRect &available, QSize minimum)
{
    frame.setWidth(std::max(frame.width(), minimum.width()));
    frame.setHeight(std::max(frame.height(), minimum.height()));
    if (!available.isValid())
        return frame;
    if (frame.width() > available.width())
        frame.setWidth(std::max(available.width(), minimum.width()));
    if (frame.height() > available.height())
        frame.setHeight(std::max(available.height(), minimum.height()));
    if (frame.right() > available.right())
        frame.moveRight(available.right());
    if (frame.bottom() > available.bottom())
        frame.moveBottom(available.bottom());
    // A frame larger than the area keeps its title bar and its left edge in view.
    if (frame.left() < available.left())
        frame.moveLeft(available.left());
    if (frame.top() < available.top())
        frame.moveTop(available.top());
    return frame;
}

QMargins WindowPlacement::knownFrame() const
{
    if (framed(m_window)) {
        const QMargins margins = m_window->windowHandle()->frameMargins();
        if (!margins.isNull())
            return margins;
    }
    if (!m_lastFrame.isNull())
        return m_lastFrame;
    // Not framed yet: the window manager frames the program's windows alike.
    const QList<QWidget *> windows = QApplication::topLevelWidgets();
    for (const QWidget *other : windows) {
        if (other != m_window && framed(other) && !other->windowHandle()->frameMargins().isNull())
            return other->windowHandle()->frameMargins();
    }
    return {};
}

void WindowPlacement::place(QPoint frameTopLeft, int frameHeight)
{
    apply([this, frameTopLeft, frameHeight](const QMargins &frame) {
        const int height = frameHeight > 0 ? frameHeight : m_window->height() + frame.top() + frame.bottom();
        return QRect(frameTopLeft, QSize(m_window->width() + frame.left() + frame.right(), height));
    });
}

void WindowPlacement::placeClient(const QRect &client)
{
    apply([client](const QMargins &frame) { return client.marginsAdded(frame); });
}

namespace {

QRect availableAround(const QWidget *window, const QRect &frame)
{
    QScreen *screen = QGuiApplication::screenAt(frame.center());
    if (!screen)
        screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

} // namespace

void WindowPlacement::apply(const WantedFrame &wanted)
{
    const QMargins frame = knownFrame();
    const QRect wantedFrame = wanted(frame);
    const QRect placed =
        fitted(wantedFrame, availableAround(m_window, wantedFrame), m_window->minimumSize().grownBy(frame));
    if (framed(m_window)) {
        // The frame is known: its inside is placed (the widget's own idea of its frame may
        // still be the one from before the window manager framed it).
        m_window->setGeometry(placed.marginsRemoved(frame));
        m_pending = nullptr;
        return;
    }
    m_window->resize(placed.size().shrunkBy(frame));
    if (QWindow *handle = m_window->windowHandle()) {
        // Asks the window manager for the frame's place, not the inside's.
        handle->setFramePosition(placed.topLeft());
        watchExposure();
    } else {
        // Not created yet: the position given before the window exists is the frame's.
        m_window->move(placed.topLeft());
    }
    // Placed again once the window manager has framed it.
    m_pending = wanted;
}

void WindowPlacement::watchExposure()
{
    if (QWindow *handle = m_window->windowHandle()) {
        handle->removeEventFilter(this);
        handle->installEventFilter(this);
    }
}

bool WindowPlacement::eventFilter(QObject *watched, QEvent *event)
{
    if (m_pending && watched == m_window && event->type() == QEvent::Show)
        watchExposure(); // a window placed before it existed
    else if (m_pending && event->type() == QEvent::Expose && watched == m_window->windowHandle())
        settle();
    return QObject::eventFilter(watched, event);
}

void WindowPlacement::settle()
{
    if (!framed(m_window))
        return;
    const QMargins frame = m_window->windowHandle()->frameMargins();
    m_lastFrame = frame;
    const QRect wantedFrame = m_pending(frame);
    m_pending = nullptr;
    const QRect placed =
        fitted(wantedFrame, availableAround(m_window, wantedFrame), m_window->minimumSize().grownBy(frame));
    if (frameRect() != placed)
        m_window->setGeometry(placed.marginsRemoved(frame));
}

QRect WindowPlacement::frameRect() const
{
    const QMargins frame = framed(m_window) ? m_window->windowHandle()->frameMargins() : m_lastFrame;
    return m_window->geometry().marginsAdded(frame);
}

QPoint WindowPlacement::frameTopLeft() const
{
    return frameRect().topLeft();
}

int WindowPlacement::frameHeight() const
{
    return frameRect().height();
}

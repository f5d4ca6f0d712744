#pragma once

// Whether a window's frame stands where the cashier can reach it: its title bar and left
// edge within the screen's available area, and its bottom above the area's end.

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QString>
#include <QWidget>

namespace FrameOnScreen {

// Where an earlier version could keep the sale window: its title bar above the screen and
// its right part beyond it. A screen opened over it must still stand within reach.
inline QRect saleWindowOffTheScreen()
{
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    return QRect(available.right() - 300, -15, 1000, 520);
}

// Empty when the frame of `window` is within reach; else its place, for the failure.
inline QString problem(const QWidget &window)
{
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect frame = window.frameGeometry();
    const bool placed = frame.top() >= available.top() && frame.left() >= available.left() &&
                        (frame.right() <= available.right() || frame.left() == available.left()) &&
                        frame.bottom() <= available.bottom();
    if (placed)
        return {};
    return QStringLiteral("frame %1,%2 %3x%4 outside %5,%6 %7x%8")
        .arg(frame.x())
        .arg(frame.y())
        .arg(frame.width())
        .arg(frame.height())
        .arg(available.x())
        .arg(available.y())
        .arg(available.width())
        .arg(available.height());
}

} // namespace FrameOnScreen

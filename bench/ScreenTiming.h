#pragma once

#include <QElapsedTimer>
#include <QRect>
#include <QTimer>

#include <functional>

// Timings of a modal screen as the cashier sees them.
namespace ScreenTiming {

inline double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// Opens `screen` (a modal screen with open(QRect)), runs `steps` once it is shown and
// closes it; the time from the call to the first paint of the shown screen is returned.
template <typename Screen> double openScreen(Screen &screen, const std::function<void()> &steps)
{
    QElapsedTimer timer;
    double shownAfter = 0;
    QTimer::singleShot(0, &screen, [&] {
        screen.repaint(); // the screen as the cashier first sees it
        shownAfter = msSince(timer);
        steps();
        screen.reject();
    });
    timer.start();
    screen.open(QRect());
    return shownAfter;
}

} // namespace ScreenTiming

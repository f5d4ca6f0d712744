#pragma once

#include <QMargins>
#include <QObject>
#include <QPoint>
#include <QRect>

#include <functional>

class QWidget;

// Where a top-level window stands on the screen. A window is kept by its frame: the
// title bar and the borders the window manager draws around it, so that the place it
// is saved at is the place it comes back to, and the title bar can always be reached.
//
// Before the window manager has framed a window its frame is not known yet; the window
// is placed with the frame it had before (or one another window of the program has)
// and placed once more, wholly on the screen, as soon as it is shown in its frame.
class WindowPlacement : public QObject
{
    Q_OBJECT

public:
    // Watches `window` (a top-level widget) for the moment its frame is known.
    explicit WindowPlacement(QWidget *window);

    // `frame` moved into `available` so that it lies there whole: pulled back from the right
    // and bottom edges first, then from the left and top, and made lower (not below
    // `minimum`) when it is higher than the area.
    static QRect fitted(QRect frame, const QRect &available, QSize minimum = {});

    // Puts the frame's top-left corner at `frameTopLeft` and makes the frame `frameHeight`
    // high (0: the window keeps its height), within the screen's available area.
    void place(QPoint frameTopLeft, int frameHeight);
    // Puts the window's inside (without its frame) over `client`, as another window of
    // the program stands, within the screen's available area.
    void placeClient(const QRect &client);

    // The frame's place as it is now, and its top-left corner and height.
    QRect frameRect() const;
    QPoint frameTopLeft() const;
    int frameHeight() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The frame wanted, for the frame's margins.
    using WantedFrame = std::function<QRect(const QMargins &)>;

    QMargins knownFrame() const;
    void apply(const WantedFrame &wanted);
    void watchExposure();
    void settle();

    QWidget *m_window;
    QMargins m_lastFrame;  // the frame the window had the last time it was framed
    WantedFrame m_pending; // until the window has been shown in its frame
};

#include "app/ui/TrayImages.h"

#include <QPainter>
#include <QPixmap>

namespace {

// A receipt slip on a coloured disc: green with a tick when the print manager
// answers, red with a cross when it does not.
QPixmap drawImage(bool answering)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(answering ? QColor(0x1e, 0x8e, 0x3e) : QColor(0xc6, 0x28, 0x28));
    painter.drawEllipse(1, 1, 30, 30);
    painter.setBrush(Qt::white);
    painter.drawRect(10, 6, 12, 20);
    QPen pen(answering ? QColor(0x1e, 0x8e, 0x3e) : QColor(0xc6, 0x28, 0x28), 2.5);
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    if (answering) {
        painter.drawLine(12, 16, 15, 20);
        painter.drawLine(15, 20, 20, 11);
    } else {
        painter.drawLine(12, 11, 20, 21);
        painter.drawLine(20, 11, 12, 21);
    }
    return pixmap;
}

} // namespace

QIcon TrayImages::image(int index)
{
    return QIcon(drawImage(index == 0));
}

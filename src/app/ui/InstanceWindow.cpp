#include "app/ui/InstanceWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>

InstanceWindow::InstanceWindow(const QString &title)
{
    setWindowTitle(title);
    // The native window exists from now on, unmapped, so that the title can be found.
    winId();
}

void InstanceWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    QCoreApplication::exit(0);
}

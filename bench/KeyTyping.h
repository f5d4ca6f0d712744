#pragma once

#include <QChar>
#include <QTest>
#include <QWidget>

// One key as the cashier types it: letters beyond ASCII come as text of their own.
inline void typeKey(QWidget *widget, QChar c)
{
    if (c.unicode() < 128)
        QTest::keyClick(widget, char(c.unicode()));
    else
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

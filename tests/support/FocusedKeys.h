#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>

// Keys as the cashier presses them: each goes to whatever has the focus now, so a
// key that lands in the wrong widget shows where it happens.
namespace FocusedKeys {

inline void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget *focused = QApplication::focusWidget();
    QVERIFY2(focused, "nothing has the focus");
    QTest::keyClick(focused, Qt::Key(key), modifiers);
}

inline void type(const QString &text)
{
    QWidget *focused = QApplication::focusWidget();
    QVERIFY2(focused, "nothing has the focus");
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, focused, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

} // namespace FocusedKeys

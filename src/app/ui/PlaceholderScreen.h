#pragma once

#include <QWidget>

// A screen that exists from the start, named as the finished screen will be, so
// that the tray menu, the timer and the caption translation already reach it.
class PlaceholderScreen : public QWidget
{
    Q_OBJECT

public:
    PlaceholderScreen(const QString &objectName, const QString &title, QWidget *parent = nullptr);
};

#pragma once

#include <QString>

// The parts of the main window that the start-up sequence writes to.
class StartupView
{
public:
    virtual ~StartupView() = default;

    virtual void setStatusPanel(int panel, const QString &text) = 0;
    virtual void setStatusHint(const QString &hint) = 0;
    virtual void setTrayHint(const QString &hint) = 0;
    virtual void SetTrayImage(int image) = 0;
    virtual void enableTimer() = 0;
};

#pragma once

#include "base/UserDialogs.h"

#include <QPointer>

class QWidget;

// Message boxes on the screen. Boxes "owned by the main window" are parented to
// it; others have no owner, like the program's system-modal boxes.
class QtUserDialogs : public UserDialogs
{
public:
    void setMainWindow(QWidget *mainWindow) { m_mainWindow = mainWindow; }
    Answer show(const Message &message) override;
    // The toolkit's own dialog rather than the desktop's, so that it looks and
    // behaves the same on every machine and speaks the program's language.
    QString chooseFile(const FileRequest &request) override;
    int chooseItem(const ItemRequest &request) override;

private:
    QPointer<QWidget> m_mainWindow;
};

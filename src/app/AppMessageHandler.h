#pragma once

#include <QObject>

class QSocketNotifier;

// Ends the program at once when the system asks it to (SIGTERM, SIGINT, SIGHUP
// on POSIX): no close question and no terminate file, like a close request
// posted from outside. Nothing is lost, sales are stored as they are entered.
class AppMessageHandler : public QObject
{
    Q_OBJECT

public:
    explicit AppMessageHandler(QObject *parent = nullptr);
    ~AppMessageHandler() override;

private:
    void endRequested();

    QSocketNotifier *m_notifier = nullptr;
};

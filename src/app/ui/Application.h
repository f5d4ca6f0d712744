#pragma once

#include <QApplication>

class ErrorReporter;

// The program's application object. An exception that escapes an event handler is
// caught here, where every event passes, and reported; the event counts as not handled
// and the program goes on with the next one.
class Application : public QApplication
{
    Q_OBJECT

public:
    Application(int &argc, char **argv);

    // Until one is set, an escaped exception only goes to the standard error output.
    void setErrorReporter(ErrorReporter *reporter) { m_reporter = reporter; }
    bool notify(QObject *receiver, QEvent *event) override;

private:
    ErrorReporter *m_reporter = nullptr;
};

// The program's entry: single-instance guard, main window and start-up sequence,
// the other screens, the caption translation and the hidden start.
int runApplication(int argc, char *argv[]);

#pragma once

#include <QAbstractNativeEventFilter>
#include <QWidget>

// The invisible top-level window that marks a running program: a second start finds
// it by its title. Nobody can click it, so a close request that reaches it comes from
// another program (a shutdown, an installer, a script): the program then ends at
// once, without the close question and without the terminate file. Sales are stored
// as they are entered, so nothing is lost.
//
// The request is taken from the window system before the toolkit sees it: while a
// modal dialog is open (the payment, a message box) the toolkit drops close requests
// to every other window, and a shutdown must still end the program then.
class InstanceWindow : public QWidget, private QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    explicit InstanceWindow(const QString &title);
    ~InstanceWindow() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;
    bool isCloseRequest(const QByteArray &eventType, const void *message) const;

    unsigned long m_protocolsAtom = 0;
    unsigned long m_deleteWindowAtom = 0;
};

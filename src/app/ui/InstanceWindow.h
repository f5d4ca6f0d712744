#pragma once

#include <QWidget>

// The invisible top-level window that marks a running program: a second start finds
// it by its title. Nobody can click it, so a close request that reaches it comes from
// another program (a shutdown, an installer, a script): the program then ends at
// once, without the close question and without the terminate file. Sales are stored
// as they are entered, so nothing is lost.
class InstanceWindow : public QWidget
{
    Q_OBJECT

public:
    explicit InstanceWindow(const QString &title);

protected:
    void closeEvent(QCloseEvent *event) override;
};

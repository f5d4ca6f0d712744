#pragma once

#include "base/Progress.h"

#include <QElapsedTimer>
#include <QProgressDialog>

class QWidget;

// Progress of a long piece of work as a window-modal progress dialog with a
// "Zrušiť" button. It appears only when the work looks like lasting more than
// about a second, and while it runs the screens behind it are kept painted.
class ProgressDialog : public Progress
{
public:
    static constexpr int ShowAfterMs = 1000;

    ProgressDialog(QWidget *parent, const QString &title, const QString &label);

    bool advance(qint64 done, qint64 total) override;
    // Hides the dialog once the work ended; the next work starts from zero.
    void finish();

    QProgressDialog &dialog() { return m_dialog; }

private:
    static constexpr int Steps = 1000;

    void keepPainted();

    QProgressDialog m_dialog;
    QElapsedTimer m_clock;      // since the first step of the work
    QElapsedTimer m_sincePaint; // since the events were last handled
};

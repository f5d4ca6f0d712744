#include "widgets/ProgressDialog.h"

#include <QCoreApplication>

#include <algorithm>

using namespace Qt::StringLiterals;

ProgressDialog::ProgressDialog(QWidget *parent, const QString &title, const QString &label)
    : m_dialog(label, u"Zrušiť"_s, 0, Steps, parent)
{
    m_dialog.setWindowTitle(title);
    m_dialog.setWindowModality(Qt::WindowModal);
    m_dialog.setMinimumDuration(ShowAfterMs);
    m_dialog.setAutoClose(false);
    m_dialog.setAutoReset(false);
    // The dialog would show itself after the minimum duration even with no work
    // begun; it waits for the first step instead.
    m_dialog.reset();
}

bool ProgressDialog::advance(qint64 done, qint64 total)
{
    if (!m_clock.isValid())
        m_clock.start();
    // Steps of a thousand rather than the work's own count, which may exceed
    // what the dialog's int range holds. Unknown totals show a busy bar.
    if (total <= 0) {
        m_dialog.setRange(0, 0);
        m_dialog.setValue(0);
    } else {
        m_dialog.setRange(0, Steps);
        m_dialog.setValue(int(std::clamp<qint64>(done * Steps / total, 0, Steps)));
    }
    keepPainted();
    return !m_dialog.wasCanceled();
}

// The dialog shows itself when its estimate of the work passes the minimum
// duration, but not while the total is unknown: then it is shown here. Once it
// is on screen the pending events are handled, often enough to repaint the
// screens and take the press of "Zrušiť", rarely enough to cost the work nothing.
void ProgressDialog::keepPainted()
{
    constexpr int PaintEveryMs = 25;
    if (!m_dialog.isVisible()) {
        if (m_clock.elapsed() < ShowAfterMs)
            return;
        m_dialog.show();
    }
    if (m_sincePaint.isValid() && m_sincePaint.elapsed() < PaintEveryMs)
        return;
    QCoreApplication::processEvents();
    m_sincePaint.start();
}

void ProgressDialog::finish()
{
    m_dialog.reset();
    m_dialog.hide();
    m_clock.invalidate();
    m_sincePaint.invalidate();
}

#include "stock/ui/TForm_tlac_cennik.h"

#include "base/UserDialogs.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPrinter>
#include <QProgressDialog>

using namespace Qt::StringLiterals;

namespace {

// Fine enough for any office printer; the preview scales it to the screen.
constexpr int kPrinterResolution = 600;
// A list drawn faster than this shows no progress box at all.
constexpr int kProgressDelayMs = 400;
// The longest the drawing holds the event loop up, so the screen never looks frozen.
constexpr int kEventSliceMs = 30;

} // namespace

TForm_tlac_cennik::TForm_tlac_cennik(PriceListReport report, UserDialogs &dialogs, QWidget *parent)
    : TForm_tlac_cennik(report.table(), parent)
{
    m_dialogs = &dialogs;
    m_progressText = u"Pripravujú sa strany cenníka…"_s;
}

TForm_tlac_cennik::TForm_tlac_cennik(TableReport report, QWidget *parent)
    : QPrintPreviewDialog(parent), m_report(std::move(report)), m_progressText(u"Pripravujú sa strany…"_s)
{
    setObjectName(u"TForm_tlac_cennik"_s);
    setWindowTitle(m_report.title());
    // The dialog's own printer is the system's default one.
    printer()->setResolution(kPrinterResolution);
    printer()->setPageLayout(TableReport::pageLayout());
    printer()->setDocName(m_report.title());
    connect(this, &QPrintPreviewDialog::paintRequested, this, &TForm_tlac_cennik::paintReport);
    nameThePageField();
}

// The toolkit's preview leaves its page-number field without a name for screen readers.
void TForm_tlac_cennik::nameThePageField()
{
    const QList<QLineEdit *> edits = findChildren<QLineEdit *>();
    for (QLineEdit *edit : edits) {
        if (edit->accessibleName().isEmpty() && !qobject_cast<QComboBox *>(edit->parentWidget()))
            edit->setAccessibleName(u"Strana"_s);
    }
}

int TForm_tlac_cennik::exec()
{
    if (m_report.isEmpty()) {
        if (m_dialogs)
            m_dialogs->inform(u"Cenník neobsahuje žiadnu položku, nie je čo tlačiť."_s, windowTitle());
        return QDialog::Rejected;
    }
    const int result = QPrintPreviewDialog::exec();
    setAttribute(Qt::WA_DontShowOnScreen, false);
    return result;
}

void TForm_tlac_cennik::paintReport(QPrinter *printer)
{
    // Owned by the preview once it is on screen; before that by the preview's owner.
    QProgressDialog progress(m_progressText, u"Zrušiť"_s, 0, m_report.rowCount(),
                             isVisible() ? this : parentWidget());
    progress.setObjectName(u"progress_cennik"_s);
    progress.setWindowTitle(windowTitle());
    // Modal to the whole program: while the pages are drawn only its Cancel takes input.
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(kProgressDelayMs);
    progress.setValue(0);
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    const auto keepGoing = [&](int rowsDone, int) { return keepDrawing(progress, sinceEvents, rowsDone); };
    if (m_report.paint(*printer, keepGoing) == TableReport::Outcome::Canceled)
        closeCanceled();
}

bool TForm_tlac_cennik::keepDrawing(QProgressDialog &progress, QElapsedTimer &sinceEvents, int rowsDone)
{
    if (sinceEvents.elapsed() >= kEventSliceMs) {
        sinceEvents.restart();
        // Shows the box once the drawing turns out long; a modal box on screen runs
        // all events itself, its Cancel button's among them.
        progress.setValue(rowsDone);
        // Before that no input may arrive: a second click on the screen's print
        // button would start another report inside this one.
        if (!progress.isVisible())
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    return !progress.wasCanceled();
}

void TForm_tlac_cennik::closeCanceled()
{
    if (isVisible()) {
        reject();
        return;
    }
    // Canceled before the preview first appeared (it draws on being shown): it ends
    // as soon as its own event loop runs, and the half-drawn pages never show.
    setAttribute(Qt::WA_DontShowOnScreen);
    QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
}

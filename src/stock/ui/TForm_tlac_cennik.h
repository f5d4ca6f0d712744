#pragma once

#include "stock/ui/PriceListReport.h"

#include <QPrintPreviewDialog>

class QElapsedTimer;
class QProgressDialog;
class UserDialogs;

// The price list's print preview: the report on the system's default printer, A4,
// with Qt's preview toolbar to page through, change the page set-up and print.
// One form shows one report: the stock-card screen makes a new one for each print.
// A long list takes a while to draw; meanwhile a progress box (after a short delay)
// offers to cancel and the screen keeps painting, since the drawing lets the event
// loop run every few hundredths of a second.
class TForm_tlac_cennik : public QPrintPreviewDialog
{
    Q_OBJECT

public:
    TForm_tlac_cennik(PriceListReport report, UserDialogs &dialogs, QWidget *parent = nullptr);
    // The same preview for another table report (the sales overview's print), titled
    // as the report is. Such a report brings its own closing line, so it is never
    // without content; one that is shows no preview and no box.
    explicit TForm_tlac_cennik(TableReport report, QWidget *parent = nullptr);

    // Shows the preview until it is closed. A list without cards opens no preview:
    // the user is told there is nothing to print and Rejected comes back.
    int exec() override;

private:
    void paintReport(QPrinter *printer);
    void nameThePageField();
    bool keepDrawing(QProgressDialog &progress, QElapsedTimer &sinceEvents, int rowsDone);
    void closeCanceled();

    TableReport m_report;
    UserDialogs *m_dialogs = nullptr; // tells of an empty price list
    QString m_progressText;
};

#pragma once

#include <QString>

// What the printer requests and the detection show on the main window and its tray icon.
// The main window implements it; the link never touches a widget itself.
class PrinterStatusView
{
public:
    enum class TrayImage { Answering = 0, NotAnswering = 1 };

    // The values of the last printed document, ready to be put into their labels.
    struct DocumentTexts
    {
        QString uid;         // EditUID
        QString label;       // L_dokl
        QString date;        // L_datum
        QString time;        // L_cas
        QString higherRate;  // LabelZvyseny
        QString reducedRate; // LabelZnizeny
        QString exempt;      // LabelOslobodeny
        QString packaging;   // LabelObaly
        QString invoices;    // LabelFaktura
        bool operator==(const DocumentTexts &) const = default;
    };

    virtual ~PrinterStatusView() = default;

    virtual void setStateLabel(const QString &text) = 0; // Label_stav
    virtual void setCaption(const QString &text) = 0;    // the main window's title
    // Panel `panel` of StatusBar1, counted from 0.
    virtual void setStatusPanel(int panel, const QString &text) = 0;
    // Panel 3 of StatusBar1 gets back the fixed text it shows while all is well.
    virtual void showIdleStatus() = 0;
    virtual void setTrayHint(const QString &hint) = 0;
    virtual void setTrayImage(TrayImage image) = 0;
    virtual void showLastDocument(const DocumentTexts &texts) = 0;
    // Paints the window and its status bar at once: the link goes on blocking the
    // user-interface thread after these changes.
    virtual void repaintNow() = 0;
};

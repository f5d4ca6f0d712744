#pragma once

#include "link/PrinterStatusView.h"

#include <QMap>
#include <QStringList>

// Keeps what the main window would show and notes every change in order.
class RecordingStatusView : public PrinterStatusView
{
public:
    void setStateLabel(const QString &text) override { note(u"label", text, stateLabel); }
    void setCaption(const QString &text) override { note(u"caption", text, caption); }
    void setStatusPanel(int panel, const QString &text) override
    {
        panels[panel] = text;
        calls.append(QStringLiteral("panel%1=%2").arg(panel).arg(text));
    }
    void showIdleStatus() override
    {
        panels[3] = IdleText;
        calls.append(QStringLiteral("idle"));
    }
    void setTrayHint(const QString &hint) override { note(u"hint", hint, trayHint); }
    void setTrayImage(TrayImage image) override
    {
        trayImage = image;
        calls.append(image == TrayImage::Answering ? QStringLiteral("image=answering")
                                                   : QStringLiteral("image=not answering"));
    }
    void showLastDocument(const DocumentTexts &texts) override
    {
        document = texts;
        calls.append(QStringLiteral("document"));
    }
    void repaintNow() override { calls.append(QStringLiteral("repaint")); }

    static inline const QString IdleText = QStringLiteral("<idle>");

    QString stateLabel;
    QString caption;
    QMap<int, QString> panels;
    QString trayHint;
    TrayImage trayImage = TrayImage::NotAnswering;
    DocumentTexts document;
    QStringList calls;

private:
    void note(QStringView what, const QString &text, QString &field)
    {
        field = text;
        calls.append(what.toString() + u'=' + text);
    }
};

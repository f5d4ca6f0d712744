#pragma once

#include <QList>
#include <QStatusBar>

class QLabel;

// A status bar of fixed, numbered text panels, addressed by number as the
// screens and the caption translation do.
class PanelStatusBar : public QStatusBar
{
    Q_OBJECT

public:
    explicit PanelStatusBar(QWidget *parent = nullptr);

    // Adds a panel of `width` pixels (0: takes the remaining space); returns its number.
    int addPanel(int width, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter,
                 const QString &text = QString());
    void setPanelText(int panel, const QString &text);
    QString panelText(int panel) const;
    int panelCount() const { return int(m_panels.size()); }

private:
    QList<QLabel *> m_panels;
};

#pragma once

#include <QList>
#include <QStatusBar>

class QHBoxLayout;
class QLabel;

// A status bar of numbered text panels, addressed by number as the screens and the
// caption translation do. Every panel is as wide as its text needs; the one panel
// added without a width takes the room the others leave. A panel that may give way
// is cut when the bar has no room for every text.
class PanelStatusBar : public QStatusBar
{
    Q_OBJECT

public:
    explicit PanelStatusBar(QWidget *parent = nullptr);

    // Adds a panel at least `width` pixels wide, wider when its text needs it (0: takes
    // the remaining space, never less than its text needs); returns its number.
    int addPanel(int width, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter,
                 const QString &text = QString());
    // The panel's text is cut at its end (and shown whole as its tool tip) when the
    // bar has no room for it.
    void setPanelMayGiveWay(int panel);
    void setPanelText(int panel, const QString &text);
    QString panelText(int panel) const;
    int panelCount() const { return int(m_panels.size()); }

private:
    struct Panel
    {
        QLabel *label;
        int leastWidth; // 0: the panel that takes the remaining space
        bool mayGiveWay;
    };
    void fitToText(const Panel &panel);

    QHBoxLayout *m_layout;
    QList<Panel> m_panels;
};

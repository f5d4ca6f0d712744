#include "widgets/PanelStatusBar.h"

#include <QLabel>

PanelStatusBar::PanelStatusBar(QWidget *parent) : QStatusBar(parent)
{
    setSizeGripEnabled(false);
}

int PanelStatusBar::addPanel(int width, Qt::Alignment alignment, const QString &text)
{
    auto *panel = new QLabel(text, this);
    panel->setAlignment(alignment);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Sunken);
    if (width > 0)
        panel->setFixedWidth(width);
    addWidget(panel, width > 0 ? 0 : 1);
    m_panels.append(panel);
    return int(m_panels.size()) - 1;
}

void PanelStatusBar::setPanelText(int panel, const QString &text)
{
    if (panel >= 0 && panel < m_panels.size())
        m_panels[panel]->setText(text);
}

QString PanelStatusBar::panelText(int panel) const
{
    return panel >= 0 && panel < m_panels.size() ? m_panels[panel]->text() : QString();
}

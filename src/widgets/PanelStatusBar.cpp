#include "widgets/PanelStatusBar.h"

#include <QHBoxLayout>
#include <QLabel>

#include <algorithm>

PanelStatusBar::PanelStatusBar(QWidget *parent) : QStatusBar(parent)
{
    setSizeGripEnabled(false);
    // The panels stand close together in a row of their own: the bar's own spacing
    // between its items would take the room a text needs.
    auto *row = new QWidget(this);
    row->setObjectName(QStringLiteral("StatusPanels"));
    m_layout = new QHBoxLayout(row);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(2);
    addWidget(row, 1);
}

int PanelStatusBar::addPanel(int width, Qt::Alignment alignment, const QString &text)
{
    auto *label = new QLabel(text);
    label->setAlignment(alignment);
    label->setFrameShape(QFrame::StyledPanel);
    label->setFrameShadow(QFrame::Sunken);
    m_layout->addWidget(label, width > 0 ? 0 : 1);
    m_panels.append({label, std::max(width, 0), false});
    fitToText(m_panels.last());
    return int(m_panels.size()) - 1;
}

void PanelStatusBar::setPanelMayGiveWay(int panel)
{
    if (panel < 0 || panel >= m_panels.size())
        return;
    m_panels[panel].mayGiveWay = true;
    fitToText(m_panels[panel]);
}

void PanelStatusBar::setPanelText(int panel, const QString &text)
{
    if (panel < 0 || panel >= m_panels.size())
        return;
    m_panels[panel].label->setText(text);
    fitToText(m_panels[panel]);
}

QString PanelStatusBar::panelText(int panel) const
{
    return panel >= 0 && panel < m_panels.size() ? m_panels[panel].label->text() : QString();
}

void PanelStatusBar::fitToText(const Panel &panel)
{
    QLabel *label = panel.label;
    // The label's own hint: the text with the frame and the indent before it.
    const int needed = label->text().isEmpty() ? 0 : label->sizeHint().width();
    const int width = std::max(panel.leastWidth, needed);
    if (panel.mayGiveWay) {
        label->setMinimumWidth(std::min(width, panel.leastWidth));
        label->setMaximumWidth(width);
        label->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
        label->setToolTip(label->text());
    } else if (panel.leastWidth == 0) {
        label->setMinimumWidth(needed);
    } else {
        label->setFixedWidth(width);
    }
}

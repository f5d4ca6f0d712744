#include "widgets/StableHeaderView.h"

#include <QStyleOptionHeader>

StableHeaderView::StableHeaderView(Qt::Orientation orientation, QWidget *parent)
    : QHeaderView(orientation, parent)
{
    setSectionsClickable(true);
    setHighlightSections(true);
}

void StableHeaderView::initStyleOptionForIndex(QStyleOptionHeader *option, int logicalIndex) const
{
    QHeaderView::initStyleOptionForIndex(option, logicalIndex);
    // Equal colours, the same palette object: its cache key finds the section's picture again.
    for (qsizetype i = 0; i < m_palettes.size(); ++i) {
        if (m_palettes.at(i) == option->palette) {
            option->palette = m_palettes.at(i);
            m_palettes.move(i, 0);
            return;
        }
    }
    m_palettes.prepend(option->palette);
    if (m_palettes.size() > RememberedPalettes)
        m_palettes.removeLast();
}

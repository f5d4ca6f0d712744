#pragma once

// Whether the texts a screen shows are whole: measured with the fonts of the widgets
// that draw them, against the room their column or panel leaves for text.

#include <QAbstractItemModel>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QStatusBar>
#include <QStringList>
#include <QStyle>
#include <QTableView>

namespace TextFit {

using namespace Qt::StringLiterals;

// The room a label leaves for its text: its inside less the indent a framed label keeps.
inline int labelTextRoom(const QLabel &label)
{
    int indent = label.indent();
    if (indent < 0)
        indent = label.frameWidth() > 0 ? label.fontMetrics().horizontalAdvance(u'x') / 2 : 0;
    return label.contentsRect().width() - 2 * label.margin() - indent;
}

// The texts of `grid` that are cut: a title or a value wider than the room its column
// leaves, or a column not wholly within the grid's visible width. The values of
// `nameColumn` may end in "…" (the names take the room the others leave); its title not.
inline QStringList cutInGrid(const QTableView &grid, int nameColumn = -1)
{
    QStringList cut;
    const QHeaderView *header = grid.horizontalHeader();
    const QAbstractItemModel *model = grid.model();
    const QStyle *style = grid.style();
    const int titleMargin = style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    const int cellMargin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &grid) + 1;
    const int gridLine = grid.showGrid() ? 1 : 0;
    const QString where = grid.objectName() + u' ';
    for (int column = 0; column < header->count(); ++column) {
        if (header->isSectionHidden(column))
            continue;
        const QString title = model->headerData(column, Qt::Horizontal).toString();
        const int width = header->sectionSize(column);
        const int left = header->sectionViewportPosition(column);
        if (left < 0 || left + width > grid.viewport()->width())
            cut << where + u"column \"%1\" at %2..%3 beyond the visible %4"_s.arg(title)
                               .arg(left)
                               .arg(left + width)
                               .arg(grid.viewport()->width());
        if (header->fontMetrics().horizontalAdvance(title) + 2 * titleMargin > width)
            cut << where + u"title \"%1\" in %2 px"_s.arg(title).arg(width);
        if (column == nameColumn)
            continue;
        for (int row = 0; row < model->rowCount(); ++row) {
            const QString text = model->index(row, column).data().toString();
            if (grid.fontMetrics().horizontalAdvance(text) + 2 * cellMargin + gridLine > width)
                cut << where + u"\"%1\" in column \"%2\" of %3 px"_s.arg(text, title).arg(width);
        }
    }
    return cut;
}

// The panels of `bar` (its labels, in order) whose texts are cut: wider than the label's
// room, overlapping the next panel or standing beyond the bar's right edge.
inline QStringList cutInStatusBar(const QStatusBar &bar)
{
    QStringList cut;
    const QList<QLabel *> panels = bar.findChildren<QLabel *>();
    int previousRight = -1;
    for (qsizetype i = 0; i < panels.size(); ++i) {
        const QLabel &panel = *panels.at(i);
        const QRect place(panel.mapTo(&bar, QPoint(0, 0)), panel.size());
        const QString name = u"panel %1 \"%2\""_s.arg(i).arg(panel.text());
        if (!panel.isVisible())
            cut << name + u" hidden"_s;
        if (panel.fontMetrics().horizontalAdvance(panel.text()) > labelTextRoom(panel))
            cut << name + u" in %1 px"_s.arg(panel.width());
        if (place.left() <= previousRight)
            cut << name + u" over the panel before it"_s;
        if (place.right() >= bar.width())
            cut << name + u" beyond the bar's %1 px"_s.arg(bar.width());
        previousRight = place.right();
    }
    return cut;
}

// The labels of `window` whose texts are wider than their room.
inline QStringList cutLabels(const QWidget &window)
{
    QStringList cut;
    const QList<QLabel *> labels = window.findChildren<QLabel *>();
    for (const QLabel *label : labels) {
        if (label->isVisible() &&
            label->fontMetrics().horizontalAdvance(label->text()) > labelTextRoom(*label))
            cut << u"%1 \"%2\" in %3 px"_s.arg(label->objectName(), label->text()).arg(label->width());
    }
    return cut;
}

} // namespace TextFit

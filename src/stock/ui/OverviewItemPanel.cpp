#include "stock/ui/OverviewItemPanel.h"

#include "stock/ui/OverviewItemModel.h"
#include "widgets/GridColumnFitter.h"
#include "widgets/ScreenWidgets.h"

#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

OverviewItemPanel::OverviewItemPanel(SalesOverview &overview, QObject *parent) : QObject(parent)
{
    m_model = new OverviewItemModel(overview, this);
    SMDBGrid_polozky = ScreenWidgets::grid(u"SMDBGrid_polozky"_s);
    SMDBGrid_polozky->setAccessibleName(u"Predané položky"_s);
    SMDBGrid_polozky->setModel(m_model);
    SMDBGrid_polozky->horizontalHeader()->setSectionsClickable(true);
    SMDBGrid_polozky->horizontalHeader()->setSectionsMovable(false);
    // The numbers as wide as they need, the names in the rest; widths as the user leaves them.
    m_columns = new GridColumnFitter(SMDBGrid_polozky);
    m_columns->alwaysFillWithColumn(OverviewItemModel::NAZOV);
    m_columns->setHeldBetweenLimits(false);
    // The viewport's own resize: the grid's comes before the viewport has its new width.
    SMDBGrid_polozky->viewport()->installEventFilter(this);
    Label_spolu = new QLabel;
    Label_spolu->setObjectName(u"Label_spolu"_s);
    Label_spolu->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label_spolu->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QHeaderView *titles = SMDBGrid_polozky->horizontalHeader();
    connect(titles, &QHeaderView::sectionClicked, this, &OverviewItemPanel::titleClicked);
    connect(titles, &QHeaderView::sectionResized, this, &OverviewItemPanel::placeFooter);
    connect(titles, &QHeaderView::geometriesChanged, this, &OverviewItemPanel::placeFooter);
    connect(SMDBGrid_polozky->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            &OverviewItemPanel::placeFooter);
    showTotal();
}

QWidget *OverviewItemPanel::build()
{
    auto *panel = new QWidget;
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(SMDBGrid_polozky, 1);
    // The total stands under the amount column, wherever that column is.
    m_footer = new QWidget;
    m_footer->setObjectName(u"Footer_polozky"_s);
    m_footerCaption = new QLabel(u"SPOLU:"_s, m_footer);
    m_footerCaption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label_spolu->setParent(m_footer);
    m_footer->setFixedHeight(Label_spolu->sizeHint().height() + 4);
    layout->addWidget(m_footer);
    return panel;
}

void OverviewItemPanel::placeFooter()
{
    if (!m_footer)
        return;
    const QHeaderView *titles = SMDBGrid_polozky->horizontalHeader();
    const int column = OverviewItemModel::SUM_CENA;
    const int left = SMDBGrid_polozky->frameWidth() + SMDBGrid_polozky->verticalHeader()->width() +
                     titles->sectionViewportPosition(column);
    const int width = titles->sectionSize(column);
    const int height = m_footer->height();
    Label_spolu->setGeometry(left, 0, width - 3, height);
    const int captionWidth = m_footerCaption->sizeHint().width();
    m_footerCaption->setGeometry(left - captionWidth - 4, 0, captionWidth, height);
}

void OverviewItemPanel::reload(const SalesOverviewChoices &choices)
{
    m_model->reload(choices);
    if (m_model->rowCount() > 0)
        setCurrentRow(0);
    showTotal();
}

void OverviewItemPanel::clear()
{
    m_model->clear();
    showTotal();
}

void OverviewItemPanel::showTotal()
{
    const QString total = QLocale().toString(m_model->total(), 'f', 2);
    Label_spolu->setText(total);
    // Read out with its meaning, not as a bare number.
    Label_spolu->setAccessibleName(u"Spolu "_s + total);
    // The total stands whole under its column (placeFooter() keeps 3 pixels at the right).
    m_columns->setNeededAtLeast(OverviewItemModel::SUM_CENA, Label_spolu->sizeHint().width() + 3);
    placeFooter();
}

void OverviewItemPanel::showColumnsOf(SalesOverviewChoices::Grouping grouping)
{
    using Column = SalesOverviewChoices::Column;
    for (const Column column : {Column::Closing, Column::Document, Column::Date})
        SMDBGrid_polozky->setColumnHidden(int(column), !SalesOverviewChoices::shows(grouping, column));
}

void OverviewItemPanel::setFilterColumn(int column)
{
    m_model->setFilterColumn(column);
}

void OverviewItemPanel::fitNameColumn()
{
    m_columns->fillGrid();
}

QList<int> OverviewItemPanel::widths() const
{
    QList<int> result;
    const QHeaderView *header = SMDBGrid_polozky->horizontalHeader();
    for (int column = 0; column < header->count(); ++column)
        result.append(header->sectionSize(column));
    return result;
}

void OverviewItemPanel::setWidths(const QList<int> &widths)
{
    m_columns->setWidths(widths);
}

int OverviewItemPanel::currentRow() const
{
    return SMDBGrid_polozky->currentIndex().row();
}

void OverviewItemPanel::setCurrentRow(qint64 row)
{
    m_model->fetchUpTo(row);
    if (row < 0 || row >= m_model->rowCount())
        return;
    const QModelIndex index = m_model->index(int(row), OverviewItemModel::NAZOV);
    SMDBGrid_polozky->setCurrentIndex(index);
    SMDBGrid_polozky->scrollTo(index);
}

void OverviewItemPanel::moveRow(int step)
{
    const qint64 target = std::max<qint64>(currentRow() + step, 0);
    m_model->fetchUpTo(target);
    if (m_model->rowCount() == 0)
        return;
    setCurrentRow(std::min<qint64>(target, m_model->rowCount() - 1));
}

void OverviewItemPanel::findOnward(int column, const QString &text)
{
    const qint64 row = currentRow();
    const qint64 from = row < 0 || m_model->isLastRow(row) ? 0 : row + 1;
    const qint64 found = m_model->find(column, text, from);
    if (found >= 0)
        setCurrentRow(found);
}

bool OverviewItemPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == SMDBGrid_polozky->viewport() && event->type() == QEvent::Resize) {
        fitNameColumn();
        placeFooter();
    }
    return false;
}

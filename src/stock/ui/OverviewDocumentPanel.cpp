#include "stock/ui/OverviewDocumentPanel.h"

#include "stock/SalesOverview.h"
#include "stock/ui/OverviewDocumentModel.h"
#include "stock/ui/OverviewLineModel.h"
#include "widgets/GridColumnFitter.h"
#include "widgets/ScreenWidgets.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QTableView>

using namespace Qt::StringLiterals;

OverviewDocumentPanel::OverviewDocumentPanel(SalesOverview &overview, QObject *parent)
    : QObject(parent), m_overview(overview)
{
    m_documents = new OverviewDocumentModel(this);
    m_lines = new OverviewLineModel(this);
    SMDBGrid_sklad = ScreenWidgets::grid(u"SMDBGrid_sklad"_s);
    SMDBGrid_sklad->setAccessibleName(u"Doklady"_s);
    SMDBGrid_sklad->setModel(m_documents);
    SMDBGrid_blocek = ScreenWidgets::grid(u"SMDBGrid_blocek"_s);
    SMDBGrid_blocek->setAccessibleName(u"Položky dokladu"_s);
    SMDBGrid_blocek->setModel(m_lines);
    // The numbers as wide as they need; the last document column and the line names fill
    // the grids; widths as the user leaves them.
    auto *documentColumns = new GridColumnFitter(SMDBGrid_sklad);
    documentColumns->setHeldBetweenLimits(false);
    auto *lineColumns = new GridColumnFitter(SMDBGrid_blocek);
    lineColumns->alwaysFillWithColumn(OverviewLineModel::NAZOV);
    lineColumns->setHeldBetweenLimits(false);
    lineColumns->setWidths({60, 180, 60, 40, 60, 60, 70});
    for (QLabel **label : {&Label_du, &Label_bl, &Label_datum})
        *label = new QLabel;
    Label_du->setObjectName(u"Label_du"_s);
    Label_bl->setObjectName(u"Label_bl"_s);
    Label_datum->setObjectName(u"Label_datum"_s);
    connect(SMDBGrid_sklad->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                showLines();
                readEarlierNear(current.row());
            });
    connect(SMDBGrid_sklad->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { readEarlierNear(SMDBGrid_sklad->rowAt(0)); });
}

QWidget *OverviewDocumentPanel::buildHeading()
{
    auto *heading = new QWidget;
    auto *layout = new QHBoxLayout(heading);
    layout->setContentsMargins(0, 0, 0, 0);
    const QList<std::pair<QString, QLabel *>> parts = {
        {u"DU:"_s, Label_du}, {u"BL:"_s, Label_bl}, {u"Datum:"_s, Label_datum}};
    for (const auto &[caption, value] : parts) {
        layout->addWidget(new QLabel(caption));
        value->setMinimumWidth(60);
        layout->addWidget(value);
    }
    layout->addStretch(1);
    return heading;
}

void OverviewDocumentPanel::reload(const SalesOverviewChoices &choices)
{
    m_choices = choices;
    QList<SalesOverviewRows::Document> last;
    if (m_overview.isOpen())
        last = m_overview.documents(choices, std::nullopt, PageSize);
    const bool earlier = last.size() == PageSize;
    m_documents->setDocuments(std::move(last), earlier);
    if (m_documents->rowCount() > 0) {
        const QModelIndex lastIndex = m_documents->index(m_documents->rowCount() - 1, 0);
        SMDBGrid_sklad->setCurrentIndex(lastIndex);
        SMDBGrid_sklad->scrollTo(lastIndex);
    }
    showLines();
}

void OverviewDocumentPanel::clear()
{
    m_choices.reset();
    m_documents->setDocuments({});
    showLines();
}

// Within a screen of the first document held, the page before it is put in
// front; the documents on view stay where they are.
void OverviewDocumentPanel::readEarlierNear(int row)
{
    constexpr int Margin = 40;
    if (row < 0 || row >= Margin || !m_documents->hasEarlierToRead() || !m_choices || !m_overview.isOpen())
        return;
    const QList<SalesOverviewRows::Document> earlier =
        m_overview.documents(*m_choices, m_documents->document(0), PageSize);
    const int topRow = std::max(SMDBGrid_sklad->rowAt(0), 0);
    m_documents->putInFront(earlier, earlier.size() == PageSize);
    SMDBGrid_sklad->scrollTo(m_documents->index(topRow + int(earlier.size()), 0),
                             QAbstractItemView::PositionAtTop);
}

void OverviewDocumentPanel::showLines()
{
    const int row = SMDBGrid_sklad->currentIndex().row();
    if (row < 0 || row >= m_documents->rowCount() || !m_overview.isOpen()) {
        m_lines->setLines({});
        for (QLabel *label : {Label_du, Label_bl, Label_datum})
            label->clear();
        return;
    }
    const SalesOverviewRows::Document &document = m_documents->document(row);
    m_lines->setLines(m_overview.documentLines(document.closing, document.document, document.date));
    Label_du->setText(QString::number(document.closing));
    Label_bl->setText(QString::number(document.document));
    Label_datum->setText(document.date.toString(u"dd.MM.yyyy"_s));
}

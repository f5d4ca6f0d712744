#include "stock/ui/OverviewDocumentPanel.h"

#include "stock/SalesOverview.h"
#include "stock/ui/OverviewDocumentModel.h"
#include "stock/ui/OverviewLineModel.h"
#include "widgets/ScreenWidgets.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
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
    SMDBGrid_blocek->horizontalHeader()->setStretchLastSection(true);
    const QList<int> lineWidths = {60, 180, 60, 40, 60, 60, 70};
    for (int column = 0; column < lineWidths.size(); ++column)
        SMDBGrid_blocek->horizontalHeader()->resizeSection(column, lineWidths.at(column));
    for (QLabel **label : {&Label_du, &Label_bl, &Label_datum})
        *label = new QLabel;
    Label_du->setObjectName(u"Label_du"_s);
    Label_bl->setObjectName(u"Label_bl"_s);
    Label_datum->setObjectName(u"Label_datum"_s);
    connect(SMDBGrid_sklad->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &OverviewDocumentPanel::showLines);
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
    m_documents->setDocuments(m_overview.isOpen() ? m_overview.documents(choices)
                                                  : QList<SalesOverviewRows::Document>{});
    if (m_documents->rowCount() > 0) {
        const QModelIndex last = m_documents->index(m_documents->rowCount() - 1, 0);
        SMDBGrid_sklad->setCurrentIndex(last);
        SMDBGrid_sklad->scrollTo(last);
    }
    showLines();
}

void OverviewDocumentPanel::clear()
{
    m_documents->setDocuments({});
    showLines();
}

int OverviewDocumentPanel::documentCount() const
{
    return m_documents->rowCount();
}

int OverviewDocumentPanel::lineCount() const
{
    return m_lines->rowCount();
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

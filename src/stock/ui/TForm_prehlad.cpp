#include "stock/ui/TForm_prehlad.h"

#include "base/Configuration.h"
#include "base/IniFile.h"
#include "lang/MessageIds.h"
#include "lang/MessageTable.h"
#include "link/PrinterState.h"
#include "stock/PointOfSaleKeys.h"
#include "stock/SalesFiles.h"
#include "stock/ScreenLayoutSettings.h"
#include "stock/UnitAndGroupNames.h"
#include "stock/ui/OverviewChoicePanel.h"
#include "stock/ui/OverviewDocumentPanel.h"
#include "stock/ui/OverviewItemModel.h"
#include "stock/ui/OverviewItemPanel.h"
#include "stock/ui/OverviewRangePanel.h"
#include "widgets/TypeOverFocus.h"
#include "widgets/WindowPlacement.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>

using namespace Qt::StringLiterals;

namespace {

using Grouping = SalesOverviewChoices::Grouping;

const QList<int> kDefaultItemWidths = {40, 50, 80, 70, 220, 60, 40, 60, 60, 75, 40};
const QList<int> kDefaultDocumentWidths = {40, 50, 80, 80};

QString groupingName(Grouping grouping)
{
    switch (grouping) {
    case Grouping::ByClosing:
        return u"po uzávierkach"_s;
    case Grouping::Summary:
        return u"súhrnne"_s;
    case Grouping::ByDocument:
        break;
    }
    return u"po dokladoch"_s;
}

} // namespace

TForm_prehlad::TForm_prehlad(SalesOverviewScreenContext context, QWidget *parent)
    : QDialog(parent), m_context(std::move(context)), m_export(m_context.dialogs)
{
    setObjectName(u"TForm_prehlad"_s);
    setWindowTitle(u"Prehľad predaja"_s);
    setModal(true);
    m_range = new OverviewRangePanel(m_context.dialogs, this);
    m_choices = new OverviewChoicePanel(this);
    m_documents = new OverviewDocumentPanel(m_overview, this);
    m_items = new OverviewItemPanel(m_overview, this);
    TypeOverFocus::install();
    buildLayout();
    connectPanels();
    installFilters();
    m_items->setWidths(kDefaultItemWidths);
}

TForm_prehlad::~TForm_prehlad() = default;

void TForm_prehlad::connectPanels()
{
    connect(m_range, &OverviewRangePanel::rangeChanged, this, [this] {
        runItems();
        runDocuments();
    });
    connect(m_range, &OverviewRangePanel::tableChosen, this, &TForm_prehlad::chooseTable);
    connect(m_choices, &OverviewChoicePanel::itemsChanged, this, &TForm_prehlad::runItems);
    connect(m_choices, &OverviewChoicePanel::groupingChanged, this, &TForm_prehlad::groupingChanged);
    connect(m_choices, &OverviewChoicePanel::filterColumnChanged, m_items,
            &OverviewItemPanel::setFilterColumn);
    connect(m_choices, &OverviewChoicePanel::moveRequested, m_items, &OverviewItemPanel::moveRow);
    connect(m_choices, &OverviewChoicePanel::findRequested, m_items, &OverviewItemPanel::findOnward);
    connect(m_items, &OverviewItemPanel::titleClicked, m_choices, &OverviewChoicePanel::titleClicked);
}

// ---- Showing and closing ---------------------------------------------------

void TForm_prehlad::open(const QRect &saleScreen)
{
    placeOver(saleScreen);
    prepare();
    exec();
}

void TForm_prehlad::placeOver(const QRect &saleScreen)
{
    if (!saleScreen.isValid())
        return;
    if (!m_placement)
        m_placement = new WindowPlacement(this);
    m_placement->placeClient(saleScreen);
}

// The closing the printer works on now: the next one once it has printed a document.
int TForm_prehlad::startingClosing() const
{
    const PrinterInfo &printer = m_context.printer;
    return printer.documentNumber != 0 ? printer.dailyClosingNumber + 1 : printer.dailyClosingNumber;
}

void TForm_prehlad::prepare()
{
    const QString &dataFolder = m_context.config.dataFolder;
    const QStringList files = SalesFiles::list(dataFolder, m_context.year, m_context.config.dataServer);
    const QString file = SalesFiles::choose(files, m_context.year);
    m_range->setTables(files, file);
    m_choices->setGroups(m_context.messages.text(Msg::AllGroups),
                         UnitAndGroupNames::load(dataFolder).groupList());
    const int closing = startingClosing();
    // A year without a file yet opens nothing: the grids are then empty.
    m_overview.open(dataFolder, file, m_context.config.dataServer);
    const QDate date = m_overview.dateOfClosing(closing).value_or(QDate::currentDate());
    m_range->setRangeMode(SalesOverviewChoices::RangeMode::Closings);
    m_range->setClosingRange(closing, closing);
    m_range->setDateRange(date, date);
    m_choices->resetGrouping(Grouping::ByDocument);
    m_items->showColumnsOf(Grouping::ByDocument);
    m_choices->clearFilter();
    m_choices->setFilterColumn(SalesOverviewChoices::Column::Closing);
    runItems();
    runDocuments();
    restoreColumns();
    m_range->closingFrom()->setFocus(Qt::OtherFocusReason);
}

void TForm_prehlad::restoreColumns()
{
    IniFile ini(PointOfSaleKeys::filePath(m_context.programFolder));
    ini.load();
    using ScreenLayoutSettings::Grid;
    const int itemColumns = OverviewItemModel::ColumnCount;
    m_items->setWidths(ScreenLayoutSettings::hasColumnWidths(ini, Grid::OverviewItems, itemColumns)
                           ? ScreenLayoutSettings::readColumnWidths(ini, Grid::OverviewItems, itemColumns)
                           : kDefaultItemWidths);
    const int documentColumns = OverviewDocumentPanel::ColumnCount;
    const QList<int> documentWidths =
        ScreenLayoutSettings::hasColumnWidths(ini, Grid::OverviewDocuments, documentColumns)
            ? ScreenLayoutSettings::readColumnWidths(ini, Grid::OverviewDocuments, documentColumns)
            : kDefaultDocumentWidths;
    QHeaderView *header = m_documents->documentGrid()->horizontalHeader();
    for (int column = 0; column < documentWidths.size(); ++column)
        header->resizeSection(column, documentWidths.at(column));
    m_items->fitNameColumn();
}

void TForm_prehlad::saveColumns()
{
    IniFile ini(PointOfSaleKeys::filePath(m_context.programFolder));
    ini.load();
    ScreenLayoutSettings::writeColumnWidths(ini, ScreenLayoutSettings::Grid::OverviewItems,
                                            m_items->widths());
    QList<int> documentWidths;
    const QHeaderView *header = m_documents->documentGrid()->horizontalHeader();
    for (int column = 0; column < header->count(); ++column)
        documentWidths.append(header->sectionSize(column));
    ScreenLayoutSettings::writeColumnWidths(ini, ScreenLayoutSettings::Grid::OverviewDocuments,
                                            documentWidths);
    ini.save();
}

void TForm_prehlad::done(int result)
{
    // The next showing starts per document; the widths are kept with every column shown.
    m_choices->resetGrouping(Grouping::ByDocument);
    m_items->showColumnsOf(Grouping::ByDocument);
    m_items->fitNameColumn();
    saveColumns();
    // Hidden, the screen holds no file open: another program may move or replace it meanwhile.
    m_items->clear();
    m_documents->clear();
    m_overview.close();
    QDialog::done(result);
}

void TForm_prehlad::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    m_items->fitNameColumn();
}

// ---- Choices and statements -------------------------------------------------

SalesOverviewChoices TForm_prehlad::choices() const
{
    SalesOverviewChoices choices;
    m_range->fillChoices(choices);
    m_choices->fillChoices(choices);
    return choices;
}

QString TForm_prehlad::selectionLine() const
{
    const SalesOverviewChoices chosen = choices();
    const QString range = chosen.rangeMode == SalesOverviewChoices::RangeMode::Dates
                              ? u"dátum %1 až %2"_s.arg(chosen.dateFrom.toString(u"dd.MM.yyyy"_s),
                                                        chosen.dateTo.toString(u"dd.MM.yyyy"_s))
                              : u"uzávierky %1 až %2"_s.arg(chosen.closingFrom).arg(chosen.closingTo);
    QString line =
        u"Súbor %1, %2, položky %3"_s.arg(m_range->tableName(), range, groupingName(chosen.grouping));
    if (chosen.group)
        line += u", skupina "_s + m_choices->groupFilter()->currentText();
    return line;
}

void TForm_prehlad::chooseTable(const QString &fileName)
{
    int from = 1;
    int to = m_context.printer.dailyClosingNumber + 1;
    m_range->setRangeMode(SalesOverviewChoices::RangeMode::Closings);
    // A name being typed fails to open until it is whole: the grids stay empty meanwhile.
    if (m_overview.open(m_context.config.dataFolder, fileName, m_context.config.dataServer)) {
        const SalesOverviewRows::ClosingRange closings = m_overview.closingRange();
        if (m_overview.lastError().isEmpty()) {
            from = closings.from;
            to = closings.to;
        }
    }
    m_range->setClosingRange(from, to);
    runItems();
    runDocuments();
}

void TForm_prehlad::runItems()
{
    m_items->reload(choices());
}

void TForm_prehlad::runDocuments()
{
    m_documents->reload(choices());
}

void TForm_prehlad::groupingChanged()
{
    m_items->showColumnsOf(m_choices->grouping());
    runItems();
    m_items->fitNameColumn();
}

// The dialog starts in the data folder in effect (a save of the maintenance screen
// may have changed it), or where the last export of this run went.
void TForm_prehlad::exportItems()
{
    const SalesOverviewChoices chosen = choices();
    m_export.run(m_overview, chosen, m_context.config.dataFolder,
                 SalesOverviewExportRequest::proposedName(m_range->tableName(), chosen));
}

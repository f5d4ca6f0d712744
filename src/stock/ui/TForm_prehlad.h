#pragma once

#include "stock/SalesOverview.h"
#include "stock/SalesOverviewChoices.h"
#include "stock/ui/SalesOverviewExportRequest.h"

#include <QDialog>
#include <QRect>
#include <QString>

class MessageTable;
class OverviewChoicePanel;
class OverviewDocumentPanel;
class OverviewItemPanel;
class OverviewRangePanel;
class PanelStatusBar;
class QPushButton;
class UserDialogs;
class WindowPlacement;
struct Configuration;
struct PrinterInfo;

// What the sales overview works with; the application owns all of it.
struct SalesOverviewScreenContext
{
    QString programFolder;       // pokladna.ini lies below it
    const Configuration &config; // the data folder in effect when the screen is shown
    const MessageTable &messages;
    UserDialogs &dialogs;
    const PrinterInfo &printer; // the daily closing and the last document number
    int year;                   // the year of the sales table the sale screen writes
};

// The sales overview "Prehľad predaja": the recorded sales of one yearly file
// by closing numbers or dates, as documents with their lines and as sold items
// summed up per document, per closing or in total. It only reads the sales; "Export"
// writes the selected items to a file the operator chooses. Printing them is left to
// whoever listens to printRequested.
class TForm_prehlad : public QDialog
{
    Q_OBJECT

public:
    explicit TForm_prehlad(SalesOverviewScreenContext context, QWidget *parent = nullptr);
    ~TForm_prehlad() override;

    // Prepares the screen and shows it modally in the place of the sale screen.
    void open(const QRect &saleScreen);
    // Prepares the screen for a showing: the file, the range, the grids.
    void prepare();

    SalesOverview &overview() { return m_overview; }
    SalesOverviewChoices choices() const;
    // One line saying what is shown, for the heading of a printed page.
    QString selectionLine() const;

    OverviewRangePanel &range() const { return *m_range; }
    OverviewChoicePanel &choicePanel() const { return *m_choices; }
    OverviewDocumentPanel &documents() const { return *m_documents; }
    OverviewItemPanel &items() const { return *m_items; }

signals:
    void printRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void done(int result) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildLayout();
    QWidget *buildFilterBox();
    QWidget *buildChoiceBar();
    void connectPanels();
    void installFilters();
    void placeOver(const QRect &saleScreen);
    void restoreColumns();
    void saveColumns();

    void chooseTable(const QString &fileName);
    void runItems();
    void runDocuments();
    void groupingChanged();
    void exportItems();
    int startingClosing() const;

    SalesOverviewScreenContext m_context;
    SalesOverview m_overview;
    SalesOverviewExportRequest m_export; // remembers the folder written to during the run
    OverviewRangePanel *m_range = nullptr;
    OverviewChoicePanel *m_choices = nullptr;
    OverviewDocumentPanel *m_documents = nullptr;
    OverviewItemPanel *m_items = nullptr;
    PanelStatusBar *StatusBar1 = nullptr;
    WindowPlacement *m_placement = nullptr;
    QPushButton *BitBtn_tlac = nullptr;
    QPushButton *BitBtn_export = nullptr;
};

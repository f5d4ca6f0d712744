#pragma once

#include "stock/SalesOverviewChoices.h"

#include <QObject>

#include <optional>

class OverviewDocumentModel;
class OverviewLineModel;
class QLabel;
class QTableView;
class QWidget;
class SalesOverview;

// The documents of the range on the left and, on the right, the lines of the
// document chosen among them with its closing, number and date.
class OverviewDocumentPanel : public QObject
{
    Q_OBJECT

public:
    static constexpr int ColumnCount = 4;
    // Documents read at a time, from the last one of the range backwards.
    static constexpr int PageSize = 200;

    OverviewDocumentPanel(SalesOverview &overview, QObject *parent = nullptr);

    QTableView *documentGrid() const { return SMDBGrid_sklad; }
    QTableView *lineGrid() const { return SMDBGrid_blocek; }
    // "DU:", "BL:" and "Datum:" of the chosen document.
    QWidget *buildHeading();

    // Reads the last documents of the range again and chooses the last one.
    void reload(const SalesOverviewChoices &choices);
    void clear();

private:
    void showLines();
    // Reads the page before the first document held once the grid nears it.
    void readEarlierNear(int row);

    std::optional<SalesOverviewChoices> m_choices;
    SalesOverview &m_overview;
    OverviewDocumentModel *m_documents = nullptr;
    OverviewLineModel *m_lines = nullptr;
    QTableView *SMDBGrid_sklad = nullptr;
    QTableView *SMDBGrid_blocek = nullptr;
    QLabel *Label_du = nullptr;
    QLabel *Label_bl = nullptr;
    QLabel *Label_datum = nullptr;
};

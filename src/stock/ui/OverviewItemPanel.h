#pragma once

#include "stock/SalesOverviewChoices.h"

#include <QList>
#include <QObject>

class GridColumnFitter;
class OverviewItemModel;
class QLabel;
class QTableView;
class QWidget;
class SalesOverview;

// The overview's item grid: the sold items summed up as chosen, their discount
// against the unit price, and under the amount column the total of all rows.
class OverviewItemPanel : public QObject
{
    Q_OBJECT

public:
    OverviewItemPanel(SalesOverview &overview, QObject *parent = nullptr);

    QTableView *grid() const { return SMDBGrid_polozky; }
    QLabel *footer() const { return Label_spolu; }
    OverviewItemModel &model() const { return *m_model; }
    // The grid with its footer line.
    QWidget *build();

    void reload(const SalesOverviewChoices &choices);
    void clear();
    // Hides the columns that `grouping` sums away.
    void showColumnsOf(SalesOverviewChoices::Grouping grouping);
    void setFilterColumn(int column);
    // The NAZOV column takes the room the other columns leave.
    void fitNameColumn();

    QList<int> widths() const;
    void setWidths(const QList<int> &widths);

    int currentRow() const;
    void moveRow(int step);
    // Moves to the next row whose `column` holds `text`, from the top after the last row.
    void findOnward(int column, const QString &text);

signals:
    // A click on a column title.
    void titleClicked(int column);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setCurrentRow(qint64 row);
    void showTotal();
    void placeFooter();

    OverviewItemModel *m_model = nullptr;
    QTableView *SMDBGrid_polozky = nullptr;
    QLabel *Label_spolu = nullptr;
    QWidget *m_footer = nullptr;
    QLabel *m_footerCaption = nullptr;
    GridColumnFitter *m_columns = nullptr;
};

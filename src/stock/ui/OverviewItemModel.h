#pragma once

#include "stock/SalesOverviewChoices.h"
#include "stock/SalesOverviewRows.h"

#include <QAbstractTableModel>
#include <QList>
#include <QLocale>

class SalesOverview;

// The item grid of the sales overview. The rows of the operator's choices are
// chosen once (SalesOverview::chooseItems) and read a page at a time as the
// grid scrolls towards them, so that a year of sales never sits here whole and
// the first rows show before the year is grouped.
class OverviewItemModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int PageSize = 200;
    // The columns in the order of the grid; the first five can carry the filter.
    enum Column { DU, BL, DATUM, KOD, NAZOV, SUM_POCET, MJ, JC, ZLAVA, SUM_CENA, DPH, ColumnCount };

    explicit OverviewItemModel(SalesOverview &overview, QObject *parent = nullptr);

    // Selects the item rows of `choices` anew and shows their first page.
    void reload(const SalesOverviewChoices &choices);
    void clear();
    // The total of SUM_CENA of all selected rows, also those not read yet.
    double total() const { return m_total; }

    const SalesOverviewRows::Item &item(int row) const { return m_rows.at(row); }
    // What the grid shows in `column` for `item`.
    QString cellText(const SalesOverviewRows::Item &item, int column) const;

    // The column whose title is drawn as the filter's column.
    void setFilterColumn(int column);
    int filterColumn() const { return m_filterColumn; }

    // The first row from `from` on whose `column` contains `text` in any case,
    // looking also through rows not read yet; -1 when there is none.
    qint64 find(int column, const QString &text, qint64 from);
    // Reads pages until `row` is in the model.
    void fetchUpTo(qint64 row);
    // Whether `row` is the last selected row; reads the next page to know.
    bool isLastRow(qint64 row);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

private:
    bool matches(const SalesOverviewRows::Item &item, int column, const QString &text) const;

    SalesOverview &m_overview;
    double m_total = 0;
    bool m_more = false; // the last page read was full, so more rows may follow
    QList<SalesOverviewRows::Item> m_rows;
    int m_filterColumn = 0;
    QLocale m_locale;
};

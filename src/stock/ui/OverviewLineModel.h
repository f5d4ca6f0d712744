#pragma once

#include "stock/SalesOverviewRows.h"

#include <QAbstractTableModel>
#include <QList>
#include <QLocale>

// The lines of the document chosen in the overview's document grid.
class OverviewLineModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { KOD, NAZOV, POCET, MJ, JC, CENA, CAS, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    void setLines(QList<SalesOverviewRows::Line> lines);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QList<SalesOverviewRows::Line> m_lines;
    QLocale m_locale;
};

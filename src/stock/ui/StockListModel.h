#pragma once

#include "stock/StockRow.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QLocale>
#include <QStringList>

#include <optional>

class StockTable;

// The sale screen's item list: the result of a search as row ids, with the
// cards read from the stock table a page at a time as the view asks for them,
// so a price list of any size never sits in memory whole.
class StockListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int PageSize = 64;

    explicit StockListModel(StockTable &table, QObject *parent = nullptr);

    // The stock fields shown, one per column ("NAZOV", "KOD", "JC", "MJ", ...).
    void setFields(const QStringList &fields);
    const QStringList &fields() const { return m_fields; }
    static QStringList defaultFields();
    static QString defaultTitle(const QString &field);
    static bool isKnownField(const QString &field);

    void setRowIds(QList<qint64> rowIds);
    // The card of `row`, read when not yet read; empty when it vanished.
    std::optional<StockRow> card(int row) const;
    // The row id of `row`, 0 outside the list; the row of `rowId`, -1 when not listed.
    qint64 rowId(int row) const;
    int rowOf(qint64 rowId) const;

    // The column whose title is drawn as the chosen search column, or -1.
    void setChosenColumn(int column);
    int chosenColumn() const { return m_chosenColumn; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const QList<StockRow> &page(int number) const;
    QVariant fieldValue(const StockRow &row, const QString &field) const;

    StockTable &m_table;
    QStringList m_fields;
    QList<qint64> m_rowIds;
    int m_chosenColumn = 0;
    QLocale m_locale;
    // Pages read so far; dropped whole when it grows, which keeps it small.
    mutable QHash<int, QList<StockRow>> m_pages;
    mutable QHash<int, QList<bool>> m_present;
};

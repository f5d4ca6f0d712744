#pragma once

#include "stock/SalesOverviewRows.h"

#include <QAbstractTableModel>
#include <QList>
#include <QLocale>

// The documents of the chosen range with their totals (the overview's left grid).
class OverviewDocumentModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { DU, BL, DATUM, CELKOM, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    // `earlierToRead`: the range may hold documents before the first of these.
    void setDocuments(QList<SalesOverviewRows::Document> documents, bool earlierToRead = false);
    void putInFront(const QList<SalesOverviewRows::Document> &documents, bool earlierToRead);
    bool hasEarlierToRead() const { return m_earlierToRead; }
    const SalesOverviewRows::Document &document(int row) const { return m_documents.at(row); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QList<SalesOverviewRows::Document> m_documents;
    bool m_earlierToRead = false;
    QLocale m_locale;
};

#include "stock/ui/OverviewDocumentModel.h"

#include <QStringList>

using namespace Qt::StringLiterals;

void OverviewDocumentModel::setDocuments(QList<SalesOverviewRows::Document> documents, bool earlierToRead)
{
    beginResetModel();
    m_documents = std::move(documents);
    m_earlierToRead = earlierToRead;
    endResetModel();
}

void OverviewDocumentModel::putInFront(const QList<SalesOverviewRows::Document> &documents,
                                       bool earlierToRead)
{
    m_earlierToRead = earlierToRead;
    if (documents.isEmpty())
        return;
    beginInsertRows({}, 0, int(documents.size()) - 1);
    m_documents = documents + m_documents;
    endInsertRows();
}

int OverviewDocumentModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_documents.size());
}

int OverviewDocumentModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant OverviewDocumentModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_documents.size())
        return {};
    const SalesOverviewRows::Document &document = m_documents.at(index.row());
    if (role == Qt::TextAlignmentRole) {
        if (index.column() == DATUM)
            return int(Qt::AlignCenter);
        return int(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case DU:
        return document.closing;
    case BL:
        return document.document;
    case DATUM:
        return document.date.toString(u"dd.MM.yyyy"_s);
    case CELKOM:
        return m_locale.toString(document.total, 'f', 2);
    default:
        return {};
    }
}

QVariant OverviewDocumentModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const QStringList titles = {u"DU"_s, u"BL"_s, u"DATUM"_s, u"CELKOM"_s};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < ColumnCount)
        return titles.at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

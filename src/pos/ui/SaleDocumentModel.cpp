#include "pos/ui/SaleDocumentModel.h"

#include "pos/SaleDocument.h"

using namespace Qt::StringLiterals;

SaleDocumentModel::SaleDocumentModel(const SaleDocument &document, QObject *parent)
    : QAbstractTableModel(parent), m_document(document)
{}

void SaleDocumentModel::refresh()
{
    beginResetModel();
    endResetModel();
}

int SaleDocumentModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_document.rows().size());
}

int SaleDocumentModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SaleDocumentModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_document.rows().size())
        return {};
    if (role == Qt::TextAlignmentRole && (index.column() == Pocet || index.column() == Cena))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    const SaleRow &row = m_document.rows().at(index.row());
    switch (index.column()) {
    case Kod:
        return row.kod;
    case Nazov:
        return row.nazov;
    case Pocet:
        return m_locale.toString(row.pocet, 'f', 2);
    case Mj:
        return row.mj;
    case Cena:
        return m_locale.toString(row.cenaInt / 100.0, 'f', 2);
    default:
        return {};
    }
}

QVariant SaleDocumentModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Kod:
        return u"Kód"_s;
    case Nazov:
        return u"Názov"_s;
    case Pocet:
        return u"Počet"_s;
    case Mj:
        return u"MJ"_s;
    case Cena:
        return u"Cena"_s;
    default:
        return {};
    }
}

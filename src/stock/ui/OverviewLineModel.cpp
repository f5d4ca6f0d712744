#include "stock/ui/OverviewLineModel.h"

#include <QStringList>

using namespace Qt::StringLiterals;

void OverviewLineModel::setLines(QList<SalesOverviewRows::Line> lines)
{
    beginResetModel();
    m_lines = std::move(lines);
    endResetModel();
}

int OverviewLineModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_lines.size());
}

int OverviewLineModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant OverviewLineModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_lines.size())
        return {};
    const SalesOverviewRows::Line &line = m_lines.at(index.row());
    if (role == Qt::TextAlignmentRole) {
        const bool text = index.column() == KOD || index.column() == NAZOV || index.column() == MJ;
        return text ? int(Qt::AlignLeft | Qt::AlignVCenter) : int(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case KOD:
        return line.code;
    case NAZOV:
        return line.name;
    case POCET:
        return m_locale.toString(line.quantity, 'f', 2);
    case MJ:
        return line.unit;
    case JC:
        return m_locale.toString(line.unitPrice, 'f', 2);
    case CENA:
        return m_locale.toString(line.price, 'f', 2);
    case CAS:
        return line.time.toString(u"HH:mm:ss"_s);
    default:
        return {};
    }
}

QVariant OverviewLineModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const QStringList titles = {u"KOD"_s, u"NAZOV"_s, u"POCET"_s, u"MJ"_s,
                                       u"JC"_s,  u"CENA"_s,  u"CAS"_s};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < ColumnCount)
        return titles.at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

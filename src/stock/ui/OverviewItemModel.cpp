#include "stock/ui/OverviewItemModel.h"

#include "stock/SalesOverview.h"

#include <QBrush>
#include <QColor>

using namespace Qt::StringLiterals;

namespace {

const QStringList kTitles = {u"DU"_s, u"BL"_s, u"DATUM"_s, u"KOD"_s,   u"NAZOV"_s, u"POCET"_s,
                             u"MJ"_s, u"JC"_s, u"ZLAVA"_s, u"SPOLU"_s, u"DPH"_s};

bool rightAligned(int column)
{
    return column == OverviewItemModel::SUM_POCET || column == OverviewItemModel::JC ||
           column == OverviewItemModel::ZLAVA || column == OverviewItemModel::SUM_CENA ||
           column == OverviewItemModel::DPH || column == OverviewItemModel::DU ||
           column == OverviewItemModel::BL;
}

} // namespace

OverviewItemModel::OverviewItemModel(SalesOverview &overview, QObject *parent)
    : QAbstractTableModel(parent), m_overview(overview)
{}

void OverviewItemModel::reload(const SalesOverviewChoices &choices)
{
    beginResetModel();
    m_rows.clear();
    m_total = 0;
    m_more = false;
    if (m_overview.isOpen()) {
        // The first rows come straight from the table and the total from its prices:
        // neither waits for the whole year to be grouped and counted.
        m_overview.chooseItems(choices);
        m_rows = m_overview.items(0, PageSize);
        m_more = m_rows.size() == PageSize;
        m_total = m_overview.itemTotal();
    }
    endResetModel();
}

void OverviewItemModel::clear()
{
    beginResetModel();
    m_rows.clear();
    m_total = 0;
    m_more = false;
    endResetModel();
}

QString OverviewItemModel::cellText(const SalesOverviewRows::Item &item, int column) const
{
    switch (column) {
    case DU:
        return QString::number(item.closing);
    case BL:
        return QString::number(item.document);
    case DATUM:
        return item.date.toString(u"dd.MM.yyyy"_s);
    case KOD:
        return item.code;
    case NAZOV:
        return item.name;
    case SUM_POCET:
        return m_locale.toString(item.quantity, 'f', 2);
    case MJ:
        return item.unit;
    case JC:
        return m_locale.toString(item.unitPrice, 'f', 2);
    case ZLAVA:
        return m_locale.toString(item.discount(), 'f', 2);
    case SUM_CENA:
        return m_locale.toString(item.total, 'f', 2);
    case DPH:
        return QString::number(item.vatRate);
    default:
        return {};
    }
}

void OverviewItemModel::setFilterColumn(int column)
{
    m_filterColumn = column;
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

bool OverviewItemModel::matches(const SalesOverviewRows::Item &item, int column, const QString &text) const
{
    return cellText(item, column).contains(text, Qt::CaseInsensitive);
}

qint64 OverviewItemModel::find(int column, const QString &text, qint64 from)
{
    for (qint64 row = from; row < m_rows.size(); ++row) {
        if (matches(m_rows.at(row), column, text))
            return row;
    }
    // The rows not read yet are looked through page by page without keeping them.
    if (!m_more)
        return -1;
    for (qint64 offset = std::max<qint64>(from, m_rows.size());; offset += PageSize) {
        const QList<SalesOverviewRows::Item> page = m_overview.items(offset, PageSize);
        for (qsizetype i = 0; i < page.size(); ++i) {
            if (matches(page.at(i), column, text))
                return offset + i;
        }
        if (page.size() < PageSize)
            return -1;
    }
}

bool OverviewItemModel::isLastRow(qint64 row)
{
    fetchUpTo(row + 1);
    return row + 1 >= m_rows.size();
}

void OverviewItemModel::fetchUpTo(qint64 row)
{
    while (row >= m_rows.size() && canFetchMore({}))
        fetchMore({});
}

int OverviewItemModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int OverviewItemModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

bool OverviewItemModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && m_more;
}

void OverviewItemModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    const QList<SalesOverviewRows::Item> page = m_overview.items(m_rows.size(), PageSize);
    // A short page is the last one; an empty one also when the selection changed under
    // the grid (another statement ran).
    m_more = page.size() == PageSize;
    if (page.isEmpty())
        return;
    beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + page.size() - 1));
    m_rows.append(page);
    endInsertRows();
}

QVariant OverviewItemModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return cellText(m_rows.at(index.row()), index.column());
    case Qt::TextAlignmentRole:
        return rightAligned(index.column()) ? int(Qt::AlignRight | Qt::AlignVCenter)
                                            : int(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant OverviewItemModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    const bool chosen = section == m_filterColumn;
    switch (role) {
    case Qt::DisplayRole:
        return kTitles.at(section);
    case Qt::BackgroundRole:
        return chosen ? QVariant(QBrush(QColor(Qt::darkBlue))) : QVariant();
    case Qt::ForegroundRole:
        return QBrush(chosen ? QColor(Qt::white) : QColor(Qt::darkBlue));
    default:
        return QAbstractTableModel::headerData(section, orientation, role);
    }
}

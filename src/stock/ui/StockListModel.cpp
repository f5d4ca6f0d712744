#include "stock/ui/StockListModel.h"

#include "stock/FieldText.h"
#include "stock/StockTable.h"

#include <QBrush>
#include <QColor>

#include <span>

using namespace Qt::StringLiterals;

namespace {

constexpr int kMaxCachedPages = 32;

} // namespace

StockListModel::StockListModel(StockTable &table, QObject *parent)
    : QAbstractTableModel(parent), m_table(table), m_fields(defaultFields())
{}

QStringList StockListModel::defaultFields()
{
    return {u"NAZOV"_s, u"KOD"_s, u"JC"_s, u"MJ"_s};
}

QString StockListModel::defaultTitle(const QString &field)
{
    if (field == u"NAZOV")
        return u"Názov"_s;
    if (field == u"KOD")
        return u"Kód"_s;
    if (field == u"JC")
        return u"Cena"_s;
    if (field == u"POCET")
        return u"Počet"_s;
    return field;
}

bool StockListModel::isKnownField(const QString &field)
{
    static const QStringList known = {u"NAZOV"_s,  u"KOD"_s,     u"JC"_s,    u"MJ"_s,     u"NAZOV1"_s,
                                      u"NAZOV2"_s, u"BARCODE"_s, u"POCET"_s, u"DPH_IDX"_s};
    return known.contains(field);
}

void StockListModel::setFields(const QStringList &fields)
{
    beginResetModel();
    m_fields = fields;
    endResetModel();
}

void StockListModel::setRowIds(QList<qint64> rowIds)
{
    beginResetModel();
    m_rowIds = std::move(rowIds);
    m_pages.clear();
    m_present.clear();
    endResetModel();
}

void StockListModel::setChosenColumn(int column)
{
    m_chosenColumn = column;
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

int StockListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rowIds.size());
}

int StockListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_fields.size());
}

const QList<StockRow> &StockListModel::page(int number) const
{
    auto found = m_pages.constFind(number);
    if (found != m_pages.cend())
        return *found;
    if (m_pages.size() >= kMaxCachedPages) {
        m_pages.clear();
        m_present.clear();
    }
    const qsizetype first = qsizetype(number) * PageSize;
    const qsizetype count = std::min<qsizetype>(PageSize, m_rowIds.size() - first);
    const std::span<const qint64> ids(m_rowIds.constData() + first, size_t(count));
    QList<StockRow> rows;
    QList<bool> present;
    std::optional<QList<StockRow>> read = m_table.cards(ids);
    if (read && read->size() == count) {
        rows = std::move(*read);
        present.fill(true, count);
    } else {
        // A card deleted by another till since the search: read one by one so
        // the others keep their places.
        for (qint64 id : ids) {
            std::optional<QList<StockRow>> one = m_table.cards(std::span<const qint64>(&id, 1));
            const bool readOne = one && !one->isEmpty();
            rows.append(readOne ? one->first() : StockRow{});
            present.append(readOne);
        }
    }
    m_present.insert(number, present);
    return *m_pages.insert(number, rows);
}

std::optional<StockRow> StockListModel::card(int row) const
{
    if (row < 0 || row >= m_rowIds.size())
        return std::nullopt;
    const QList<StockRow> &rows = page(row / PageSize);
    const int offset = row % PageSize;
    if (!m_present.value(row / PageSize).value(offset))
        return std::nullopt;
    return rows.at(offset);
}

qint64 StockListModel::rowId(int row) const
{
    return row >= 0 && row < m_rowIds.size() ? m_rowIds.at(row) : 0;
}

int StockListModel::rowOf(qint64 rowId) const
{
    return int(m_rowIds.indexOf(rowId));
}

QVariant StockListModel::fieldValue(const StockRow &row, const QString &field) const
{
    if (field == u"NAZOV")
        return row.nazov;
    if (field == u"KOD")
        return row.kod;
    if (field == u"JC")
        return m_locale.toString(row.jc, 'f', 2);
    if (field == u"MJ")
        return row.mj;
    if (field == u"NAZOV1")
        return row.nazov1;
    if (field == u"NAZOV2")
        return row.nazov2;
    if (field == u"BARCODE")
        return row.barcode;
    if (field == u"POCET")
        return m_locale.toString(row.pocet, 'f', 3);
    if (field == u"DPH_IDX")
        return row.dphIdx;
    return {};
}

QVariant StockListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.column() >= m_fields.size())
        return {};
    const QString &field = m_fields.at(index.column());
    if (role == Qt::TextAlignmentRole && (field == u"JC" || field == u"POCET"))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    const std::optional<StockRow> row = card(index.row());
    return row ? fieldValue(*row, field) : QVariant();
}

QVariant StockListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_fields.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    const bool chosen = section == m_chosenColumn;
    switch (role) {
    case Qt::DisplayRole:
        return defaultTitle(m_fields.at(section));
    case Qt::BackgroundRole:
        return chosen ? QVariant(QBrush(QColor(Qt::darkBlue))) : QVariant();
    case Qt::ForegroundRole:
        return chosen ? QVariant(QBrush(QColor(Qt::white))) : QVariant();
    default:
        return QAbstractTableModel::headerData(section, orientation, role);
    }
}

#include "stock/StockSearch.h"

#include "stock/CardListQuery.h"
#include "stock/DataFile.h"

#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <numeric>
#include <string_view>

using namespace Qt::StringLiterals;

namespace {

std::vector<int> preferredFirst(std::vector<int> order, const std::vector<bool> &preferred)
{
    std::stable_partition(order.begin(), order.end(), [&](int i) { return preferred[size_t(i)]; });
    return order;
}

} // namespace

StockSearch::StockSearch(DataFile &file) : m_file(file) {}

QString StockSearch::fold(const QString &text)
{
    return text.toUpper();
}

bool StockSearch::readChangeMarks(qint64 &dataVersion, qint64 &totalChanges)
{
    QSqlQuery query(m_file.database());
    query.setForwardOnly(true);
    if (!query.exec(u"PRAGMA data_version"_s) || !query.next()) {
        m_error = DataFile::engineText(query.lastError());
        return false;
    }
    dataVersion = query.value(0).toLongLong();
    if (!query.exec(u"SELECT total_changes()"_s) || !query.next()) {
        m_error = DataFile::engineText(query.lastError());
        return false;
    }
    totalChanges = query.value(0).toLongLong();
    return true;
}

bool StockSearch::refreshIfChanged()
{
    qint64 dataVersion = 0;
    qint64 totalChanges = 0;
    if (!readChangeMarks(dataVersion, totalChanges))
        return false;
    if (m_loaded && dataVersion == m_dataVersion && totalChanges == m_totalChanges)
        return true;
    if (!load())
        return false;
    m_dataVersion = dataVersion;
    m_totalChanges = totalChanges;
    return true;
}

bool StockSearch::load()
{
    m_loaded = false;
    QSqlQuery query(m_file.database());
    query.setForwardOnly(true);
    if (!query.exec(
            u"SELECT rowid, NAZOV, KOD, BARCODE, JC, PREF, SKLAD_IDX FROM VX60_SKLAD ORDER BY NAZOV, rowid"_s)) {
        m_error = DataFile::engineText(query.lastError());
        return false;
    }
    m_rowIds.clear();
    m_codes.clear();
    m_codeKeys.clear();
    m_barcodeKeys.clear();
    m_prices.clear();
    m_preferred.clear();
    m_groups.clear();
    m_names.clear();
    m_nameStarts.clear();
    while (query.next()) {
        m_rowIds.push_back(query.value(0).toLongLong());
        m_nameStarts.push_back(m_names.size());
        m_names += fold(query.value(1).toString()).toUtf8();
        m_names += '\0';
        const QVariant code = query.value(2);
        m_codes.push_back(code.isNull() ? QString() : code.toString());
        m_codeKeys.push_back(code.isNull() ? QString() : fold(code.toString()));
        const QVariant barcode = query.value(3);
        m_barcodeKeys.push_back(barcode.isNull() ? QString() : fold(barcode.toString()));
        m_prices.push_back(query.value(4).toDouble());
        m_preferred.push_back(query.value(5).toInt() != 0);
        m_groups.push_back(query.value(6).toInt());
    }
    if (query.lastError().isValid()) {
        m_error = DataFile::engineText(query.lastError());
        return false;
    }
    m_nameStarts.push_back(m_names.size());
    buildOrders();
    m_loaded = true;
    return true;
}

void StockSearch::buildOrders()
{
    std::vector<int> nameOrder(m_rowIds.size());
    std::iota(nameOrder.begin(), nameOrder.end(), 0);
    m_codeOrder = nameOrder;
    // SQL puts NULL before every text.
    std::stable_sort(m_codeOrder.begin(), m_codeOrder.end(), [this](int a, int b) {
        const QString &left = m_codes[size_t(a)];
        const QString &right = m_codes[size_t(b)];
        if (left.isNull() || right.isNull())
            return left.isNull() && !right.isNull();
        return left < right;
    });
    m_priceOrder = nameOrder;
    std::stable_sort(m_priceOrder.begin(), m_priceOrder.end(),
                     [this](int a, int b) { return m_prices[size_t(a)] < m_prices[size_t(b)]; });
    m_preferredNameOrder = preferredFirst(nameOrder, m_preferred);
    m_preferredCodeOrder = preferredFirst(m_codeOrder, m_preferred);
    m_preferredPriceOrder = preferredFirst(m_priceOrder, m_preferred);
}

QList<qint64> StockSearch::idsOf(const std::vector<int> &order) const
{
    QList<qint64> ids;
    ids.reserve(qsizetype(order.size()));
    for (int i : order)
        ids.append(m_rowIds[size_t(i)]);
    return ids;
}

QList<qint64> StockSearch::byName(const QByteArray &needle) const
{
    QList<qint64> ids;
    if (needle.contains('\0'))
        return ids;
    const std::string_view names(m_names.constData(), size_t(m_names.size()));
    const std::string_view wanted(needle.constData(), size_t(needle.size()));
    // Hits come in name order, so the name that holds one is found by walking
    // on from the previous one: one pass over the starts however many hit.
    size_t entry = 0;
    size_t from = 0;
    while (from < names.size()) {
        const size_t offset = names.find(wanted, from);
        if (offset == std::string_view::npos)
            break;
        while (size_t(m_nameStarts[entry + 1]) <= offset)
            ++entry;
        ids.append(m_rowIds[entry]);
        from = size_t(m_nameStarts[entry + 1]);
    }
    return ids;
}

QList<qint64> StockSearch::byCode(const QString &needle, const std::vector<int> &order) const
{
    QList<qint64> ids;
    for (int i : order) {
        const QString &code = m_codeKeys[size_t(i)];
        const QString &barcode = m_barcodeKeys[size_t(i)];
        if ((!code.isNull() && code.startsWith(needle)) || (!barcode.isNull() && barcode == needle))
            ids.append(m_rowIds[size_t(i)]);
    }
    return ids;
}

std::optional<QList<qint64>> StockSearch::search(Column column, const QString &text)
{
    if (!refreshIfChanged())
        return std::nullopt;
    const QString needle = fold(text);
    switch (column) {
    case Column::Name:
        return needle.isEmpty() ? idsOf(m_preferredNameOrder) : byName(needle.toUtf8());
    case Column::Code:
        return byCode(needle, needle.isEmpty() ? m_preferredCodeOrder : m_codeOrder);
    case Column::Price:
        return idsOf(needle.isEmpty() ? m_preferredPriceOrder : m_priceOrder);
    }
    return std::nullopt;
}

std::optional<QList<qint64>> StockSearch::cardList(const CardListQuery &query)
{
    if (!refreshIfChanged())
        return std::nullopt;
    const QString needle = fold(query.text);
    const QString prefix = fold(query.codePrefix);
    std::vector<int> order(m_rowIds.size());
    std::iota(order.begin(), order.end(), 0);
    if (query.column == Column::Code)
        order = m_codeOrder;
    QList<qint64> ids;
    const QByteArray nameNeedle = needle.toUtf8();
    for (int i : order) {
        const auto at = size_t(i);
        if (!needle.isEmpty()) {
            if (query.column == Column::Code) {
                if (!m_codeKeys[at].contains(needle))
                    continue;
            } else {
                const QByteArrayView name(m_names.constData() + m_nameStarts[at],
                                          m_nameStarts[at + 1] - m_nameStarts[at] - 1);
                if (!name.contains(nameNeedle))
                    continue;
            }
        }
        if (!prefix.isEmpty()) {
            if (!m_codeKeys[at].startsWith(prefix))
                continue;
        } else if (query.group >= 0 && m_groups[at] != query.group) {
            continue;
        }
        ids.append(m_rowIds[at]);
    }
    return ids;
}

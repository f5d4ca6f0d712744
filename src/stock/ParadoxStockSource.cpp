#include "stock/ParadoxStockSource.h"

#include "stock/ParadoxLayout.h"
#include "stock/TableLayouts.h"

#include <QVariant>

ParadoxStockSource::ParadoxStockSource(QString path) : m_path(std::move(path)) {}

bool ParadoxStockSource::ensureOpen()
{
    if (m_table.isOpen())
        return true;
    if (m_table.open(m_path))
        return true;
    m_error = m_table.error();
    return false;
}

bool ParadoxStockSource::checkLayout()
{
    if (!ensureOpen())
        return false;
    m_error = ParadoxLayout::difference(m_table.fields(), TableLayouts::stockFields());
    m_checked = m_error.isEmpty();
    return m_checked;
}

qint64 ParadoxStockSource::rowCount() const
{
    return m_table.isOpen() ? m_table.recordCount() : -1;
}

StockRowSource::Read ParadoxStockSource::next(StockRow &row)
{
    // Values are taken by position: never from a table whose layout was not checked.
    if (!m_checked && !checkLayout())
        return Read::Failed;
    QVariantList values;
    switch (m_table.next(values)) {
    case ParadoxTable::Read::End:
        return Read::End;
    case ParadoxTable::Read::Failed:
        m_error = m_table.error();
        return Read::Failed;
    case ParadoxTable::Read::Record:
        break;
    }
    row = StockRow{};
    int i = 0;
    auto text = [&](QString &field) {
        const QVariant &v = values[i++];
        if (!v.isNull())
            field = v.toString();
    };
    auto integer = [&](int &field) {
        const QVariant &v = values[i++];
        if (!v.isNull())
            field = v.toInt();
    };
    auto number = [&](double &field) {
        const QVariant &v = values[i++];
        if (!v.isNull())
            field = v.toDouble();
    };
    auto logical = [&](bool &field) {
        const QVariant &v = values[i++];
        if (!v.isNull())
            field = v.toBool();
    };
    text(row.kod);
    integer(row.kodIdx);
    text(row.nazov);
    text(row.nazov1);
    text(row.nazov2);
    text(row.barcode);
    text(row.mj);
    integer(row.mjIdx);
    number(row.pocet);
    number(row.jc);
    number(row.jc1);
    number(row.jc2);
    number(row.jcNakup);
    integer(row.dphIdx);
    logical(row.pref);
    logical(row.obal);
    integer(row.skladIdx);
    integer(row.verDb);
    return Read::Row;
}

#include "stock/ParadoxImportSource.h"

#include "stock/ImportCells.h"

#include <QDate>
#include <QDir>
#include <QTime>

using namespace Qt::StringLiterals;

namespace {

void addValue(ImportCells &cells, const QVariant &value)
{
    if (value.isNull()) {
        cells.empty();
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::Double:
        cells.number(value.toDouble());
        break;
    case QMetaType::Bool:
        cells.text(value.toBool() ? u"T"_s : u"F"_s);
        break;
    case QMetaType::QDate:
        cells.date(value.toDate());
        break;
    case QMetaType::QTime:
        cells.text(value.toTime().toString(u"HH:mm:ss"_s));
        break;
    default:
        cells.text(value.toString());
        break;
    }
}

} // namespace

ParadoxImportSource::ParadoxImportSource(QString path) : m_path(std::move(path)) {}

bool ParadoxImportSource::open()
{
    m_read = 0;
    if (m_table.open(m_path))
        return true;
    m_error = u"Súbor %1 sa nedá čítať: %2"_s.arg(QDir::toNativeSeparators(m_path), m_table.error());
    return false;
}

ImportRowSource::Read ParadoxImportSource::next(ImportRow &row)
{
    QVariantList values;
    switch (m_table.next(values)) {
    case ParadoxTable::Read::End:
        return Read::End;
    case ParadoxTable::Read::Failed:
        m_error = u"Súbor %1 sa nedá čítať: %2"_s.arg(QDir::toNativeSeparators(m_path), m_table.error());
        return Read::Failed;
    case ParadoxTable::Read::Record:
        break;
    }
    ImportCells cells(row);
    for (const QVariant &value : values)
        addValue(cells, value);
    row.number = ++m_read;
    return Read::Row;
}

#include "stock/ParadoxTableConversion.h"

#include "base/Progress.h"
#include "stock/DataFile.h"
#include "stock/ParadoxLayout.h"
#include "stock/ParadoxTable.h"
#include "stock/StockTable.h"
#include "stock/TableLayouts.h"

#include <QDate>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTime>
#include <QVariant>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 ProgressStep = 2000;

QVariant nullText()
{
    return QVariant(QMetaType(QMetaType::QString));
}

// The value as our column stores it, or an empty optional with `reason` when it does not fit.
std::optional<QVariant> columnValue(const TableLayouts::Field &field, const QVariant &value, QString &reason)
{
    const QString name = QString::fromUtf16(field.name);
    if (value.isNull()) {
        if (field.required) {
            reason = u"pole %1 je prázdne, musí byť vyplnené"_s.arg(name);
            return std::nullopt;
        }
        return value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QTime ? nullText() : value;
    }
    using enum TableLayouts::FieldType;
    switch (field.type) {
    case Alpha: {
        const QString text = value.toString();
        if (text.size() > field.length) {
            reason = u"hodnota poľa %1 má %2 znakov, pole ich má najviac %3"_s.arg(name)
                         .arg(text.size())
                         .arg(field.length);
            return std::nullopt;
        }
        return text;
    }
    case Logical:
        return int(value.toBool());
    case Date:
        return value.toDate().toString(u"yyyy-MM-dd"_s);
    case Time:
        // Our column holds whole seconds, as the program writes the time of a sale.
        return value.toTime().toString(u"HH:mm:ss"_s);
    case LongInteger:
    case Number:
        return value;
    }
    return value;
}

QString insertStatement(const QString &table, std::span<const TableLayouts::Field> layout)
{
    QStringList names;
    QStringList marks;
    for (const TableLayouts::Field &field : layout) {
        names << QString::fromUtf16(field.name);
        marks << u"?"_s;
    }
    return u"INSERT INTO %1 (%2) VALUES (%3)"_s.arg(table, names.join(u", "_s), marks.join(u", "_s));
}

QString refusalOf(const QSqlError &error, const QString &keyName, const QVariant &key)
{
    const QString text = DataFile::engineText(error);
    if (text.contains(u"UNIQUE"_s, Qt::CaseInsensitive) ||
        text.contains(u"PRIMARY KEY"_s, Qt::CaseInsensitive))
        return u"duplicitný kľúč %1 = %2"_s.arg(keyName, key.toString());
    return u"riadok sa nedá zapísať: "_s + text;
}

} // namespace

ParadoxTableConversion::ParadoxTableConversion(Kind kind, int year) : m_kind(kind), m_year(year) {}

bool ParadoxTableConversion::run(const QString &source, const QString &target, Progress &progress)
{
    m_read = m_written = 0;
    m_refusals.clear();
    m_error.clear();
    if (QFile::exists(target) && !QFile::remove(target)) {
        m_error = u"Dočasný súbor %1 sa nedá odstrániť."_s.arg(target);
        return false;
    }
    bool ok = false;
    {
        DataFile file;
        if (!file.open(target, true))
            m_error = file.lastError();
        else
            ok = convert(source, file, progress);
    }
    // The journal stays truncated beside a closed file; it would outlive the rename.
    QFile::remove(target + u"-journal"_s);
    if (!ok)
        QFile::remove(target);
    return ok;
}

bool ParadoxTableConversion::convert(const QString &source, DataFile &file, Progress &progress)
{
    ParadoxTable table;
    if (!table.open(source)) {
        m_error = table.error();
        return false;
    }
    const bool stock = m_kind == Kind::Stock;
    const std::span<const TableLayouts::Field> layout =
        stock ? TableLayouts::stockFields() : TableLayouts::salesFields();
    // A sales table of an older version lacks the discount fields at its end.
    const std::span<const TableLayouts::Field> older =
        layout.first(layout.size() - TableLayouts::discountFields().size());
    const QString difference = ParadoxLayout::difference(table.fields(), layout);
    if (!difference.isEmpty() && (stock || !ParadoxLayout::difference(table.fields(), older).isEmpty())) {
        m_error = difference;
        return false;
    }
    const QString tableName = stock ? TableLayouts::StockTableName : TableLayouts::salesTableName(m_year);
    QStringList statements = stock ? QStringList() : TableLayouts::salesTableStatements(tableName);
    if (stock && !StockTable(file).create()) {
        m_error = file.lastError();
        return false;
    }
    // Large caches and the indexes built once after the rows: a year's sales table
    // of a million rows is taken over in seconds. The file ends up as the program
    // creates it.
    file.exec(u"PRAGMA cache_size=-65536"_s);
    if (!file.beginWrite()) {
        m_error = file.lastError();
        return false;
    }
    if (!stock && !file.exec(statements.takeFirst())) {
        m_error = file.lastError();
        file.rollback();
        return false;
    }
    QSqlQuery insert(file.database());
    insert.prepare(insertStatement(tableName, layout));
    const qint64 total = table.recordCount();
    const qsizetype present = table.fields().size();
    const QString keyName = QString::fromUtf16(layout[0].name);
    QVariantList values;
    for (;;) {
        const ParadoxTable::Read read = table.next(values);
        if (read == ParadoxTable::Read::End)
            break;
        if (read == ParadoxTable::Read::Failed) {
            m_error = table.error();
            file.rollback();
            return false;
        }
        ++m_read;
        QString reason;
        bool fits = true;
        for (qsizetype i = 0; i < qsizetype(layout.size()) && fits; ++i) {
            const std::optional<QVariant> value =
                i < present ? columnValue(layout[i], values[i], reason) : std::optional<QVariant>(0);
            fits = value.has_value();
            if (fits)
                insert.bindValue(int(i), *value);
        }
        if (!fits)
            m_refusals << Refusal{m_read, reason};
        else if (!insert.exec())
            m_refusals << Refusal{m_read, refusalOf(insert.lastError(), keyName, values.value(0))};
        else
            ++m_written;
        if ((m_read % ProgressStep == 0 || m_read == total) && !progress.advance(m_read, total)) {
            m_error = u"Prevod bol prerušený."_s;
            file.rollback();
            return false;
        }
    }
    for (const QString &statement : std::as_const(statements)) {
        if (!file.exec(statement)) {
            m_error = file.lastError();
            file.rollback();
            return false;
        }
    }
    if (!file.commit()) {
        m_error = file.lastError();
        return false;
    }
    return true;
}

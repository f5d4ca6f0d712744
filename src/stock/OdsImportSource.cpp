#include "stock/OdsImportSource.h"

#include "stock/ImportCellText.h"

#include <QDir>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

const QString TableNs = u"urn:oasis:names:tc:opendocument:xmlns:table:1.0"_s;
const QString OfficeNs = u"urn:oasis:names:tc:opendocument:xmlns:office:1.0"_s;
const QString TextNs = u"urn:oasis:names:tc:opendocument:xmlns:text:1.0"_s;
// The longest sheet that spreadsheets write: a row repeated beyond it is cut off.
constexpr qint64 MostRows = 1048576;

QString failure(const QString &path, const QString &reason)
{
    return u"Súbor %1 sa nedá čítať: %2"_s.arg(QDir::toNativeSeparators(path), reason);
}

qint64 repeatOf(const QXmlStreamAttributes &attributes, QLatin1StringView name)
{
    bool ok = false;
    const qint64 repeat = attributes.value(TableNs, name).toLongLong(&ok);
    return ok && repeat > 0 ? repeat : 1;
}

bool isTable(const QXmlStreamReader &xml)
{
    return xml.isStartElement() && xml.name() == u"table" && xml.namespaceUri() == TableNs;
}

} // namespace

OdsImportSource::OdsImportSource(QString path, QString table, bool titleRow)
    : m_path(std::move(path)), m_table(std::move(table)), m_titleRow(titleRow)
{}

bool OdsImportSource::fail(const QString &reason)
{
    m_error = failure(m_path, reason);
    return false;
}

bool OdsImportSource::openContent()
{
    if (!m_archive.open(m_path))
        return fail(u"nie je to zošit ODS: %1"_s.arg(m_archive.error()));
    m_device = m_archive.stream(u"content.xml"_s);
    if (!m_device)
        return fail(u"nie je to zošit ODS: %1"_s.arg(m_archive.error()));
    m_xml.setDevice(m_device.get());
    return true;
}

std::optional<QStringList> OdsImportSource::tableNames(const QString &path, QString *error)
{
    OdsImportSource source(path, {}, false);
    if (!source.openContent()) {
        *error = source.error();
        return std::nullopt;
    }
    QStringList names;
    QXmlStreamReader &xml = source.m_xml;
    while (!xml.atEnd()) {
        xml.readNext();
        if (isTable(xml)) {
            names << xml.attributes().value(TableNs, "name"_L1).toString();
            xml.skipCurrentElement();
        }
    }
    if (xml.hasError() || source.m_device->failed()) {
        *error = failure(path, u"zošit je poškodený"_s);
        return std::nullopt;
    }
    return names;
}

bool OdsImportSource::open()
{
    return openContent() && findTable();
}

bool OdsImportSource::findTable()
{
    while (!m_xml.atEnd()) {
        m_xml.readNext();
        if (!isTable(m_xml))
            continue;
        if (m_table.isEmpty() || m_xml.attributes().value(TableNs, "name"_L1) == m_table) {
            m_depth = 1;
            return true;
        }
        m_xml.skipCurrentElement();
    }
    if (m_xml.hasError() || m_device->failed())
        return fail(u"zošit je poškodený"_s);
    return fail(m_table.isEmpty() ? u"zošit nemá žiadny hárok"_s : u"zošit nemá hárok „%1“"_s.arg(m_table));
}

qint64 OdsImportSource::position() const
{
    return m_device ? m_device->unpacked() : 0;
}

qint64 OdsImportSource::size() const
{
    return m_device ? std::max<qint64>(m_device->entrySize(), 0) : 0;
}

ImportRowSource::Read OdsImportSource::next(ImportRow &row)
{
    if (!m_error.isEmpty() || !m_device)
        return Read::Failed;
    if (m_repeatsLeft > 0) {
        --m_repeatsLeft;
        ++m_repeated.number;
        row = m_repeated;
        return Read::Row;
    }
    for (;;) {
        qint64 repeat = 1;
        const Step step = readRow(repeat);
        if (step != Step::Row)
            return step == Step::End ? Read::End : Read::Failed;
        const qint64 number = m_nextNumber;
        m_nextNumber += repeat;
        if (!m_cells.hasValue() || number > MostRows)
            continue;
        // A repeated title row: the repeats after the first are rows.
        if (m_titleRow && !std::exchange(m_titleSeen, true) && --repeat == 0)
            continue;
        row.number = m_nextNumber - repeat;
        m_cells.takeInto(row);
        m_repeatsLeft = std::min(repeat - 1, MostRows - row.number);
        if (m_repeatsLeft > 0)
            m_repeated = row;
        return Read::Row;
    }
}

// The next row of the table into m_cells; rows in groups and header sections
// count like the others.
OdsImportSource::Step OdsImportSource::readRow(qint64 &repeat)
{
    while (m_depth > 0 && !m_xml.atEnd()) {
        m_xml.readNext();
        if (m_xml.isEndElement()) {
            --m_depth;
            continue;
        }
        if (!m_xml.isStartElement())
            continue;
        const QStringView name = m_xml.name();
        if (name == u"table-row") {
            repeat = repeatOf(m_xml.attributes(), "number-rows-repeated"_L1);
            m_cells.clear();
            for (m_xml.readNext(); !m_xml.isEndElement() && !m_xml.hasError(); m_xml.readNext()) {
                if (m_xml.isStartElement())
                    readCell();
            }
            if (!m_xml.hasError())
                return Step::Row;
        } else if (name == u"table-header-rows" || name == u"table-rows" || name == u"table-row-group") {
            ++m_depth;
        } else {
            m_xml.skipCurrentElement();
        }
    }
    if (m_xml.hasError() || m_device->failed()) {
        fail(u"zošit je poškodený (riadok %1 jeho XML)"_s.arg(m_xml.lineNumber()));
        return Step::Failed;
    }
    return Step::End;
}

// One cell, or a covered cell of a merged area, which keeps its place empty.
void OdsImportSource::readCell()
{
    const QXmlStreamAttributes attributes = m_xml.attributes();
    const qint64 repeat = repeatOf(attributes, "number-columns-repeated"_L1);
    if (m_xml.name() != u"table-cell") {
        m_xml.skipCurrentElement();
        m_cells.add(QString(), false, repeat);
        return;
    }
    const QStringView type = attributes.value(OfficeNs, "value-type"_L1);
    if (type == u"float" || type == u"percentage" || type == u"currency") {
        bool ok = false;
        const double value = attributes.value(OfficeNs, "value"_L1).toDouble(&ok);
        m_xml.skipCurrentElement();
        m_cells.add(ok ? ImportCellText::number(value) : QString(), ok, repeat);
    } else if (type == u"date") {
        const QString date = ImportCellText::isoDate(attributes.value(OfficeNs, "date-value"_L1).toString());
        m_xml.skipCurrentElement();
        m_cells.add(date, false, repeat);
    } else if (type == u"boolean") {
        const bool value = attributes.value(OfficeNs, "boolean-value"_L1) == u"true";
        m_xml.skipCurrentElement();
        m_cells.add(value ? u"1"_s : u"0"_s, true, repeat);
    } else {
        m_cells.add(cellText(), false, repeat);
    }
}

// The cell's paragraphs, one per line; notes and drawings are no part of it.
QString OdsImportSource::cellText()
{
    QString text;
    bool first = true;
    while (m_xml.readNext() != QXmlStreamReader::Invalid && !m_xml.isEndElement()) {
        if (!m_xml.isStartElement())
            continue;
        if (m_xml.name() == u"p" && m_xml.namespaceUri() == TextNs) {
            if (!std::exchange(first, false))
                text += u'\n';
            paragraphText(text);
        } else {
            m_xml.skipCurrentElement();
        }
    }
    return text;
}

// Spans and links give their text; text:s stands for spaces, text:tab and
// text:line-break for a tab and a line break.
void OdsImportSource::paragraphText(QString &text)
{
    int depth = 1;
    while (depth > 0 && m_xml.readNext() != QXmlStreamReader::Invalid) {
        if (m_xml.isCharacters()) {
            text += m_xml.text();
        } else if (m_xml.isEndElement()) {
            --depth;
        } else if (m_xml.isStartElement()) {
            const QStringView name = m_xml.name();
            if (name == u"s") {
                bool ok = false;
                const int count = m_xml.attributes().value(TextNs, "c"_L1).toInt(&ok);
                text += QString(std::clamp(ok ? count : 1, 1, 1024), u' ');
            } else if (name == u"tab") {
                text += u'\t';
            } else if (name == u"line-break") {
                text += u'\n';
            } else if (name == u"annotation" || name == u"note") {
                m_xml.skipCurrentElement();
                continue;
            }
            ++depth;
        }
    }
}

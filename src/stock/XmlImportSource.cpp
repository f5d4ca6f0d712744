#include "stock/XmlImportSource.h"

#include "stock/ImportRowBuilder.h"

#include <QDir>
#include <QSet>

#include <cmath>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

struct OpenElement
{
    qint64 order = 0;
    QSet<QString> childNames;
};

// A number as XML writes it: digits, a point, an exponent, nothing regional.
bool isXmlNumber(const QString &text)
{
    const QString value = text.trimmed();
    if (value.isEmpty())
        return false;
    for (QChar ch : value)
        if (!ch.isDigit() && ch != u'.' && ch != u'-' && ch != u'+' && ch != u'e' && ch != u'E')
            return false;
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok && std::isfinite(number);
}

void addCell(ImportRowBuilder &cells, const QString &text)
{
    cells.add(text, isXmlNumber(text));
}

} // namespace

XmlImportSource::XmlImportSource(QString path, bool titleRow) : m_path(std::move(path)), m_titleRow(titleRow)
{}

bool XmlImportSource::fail(const QString &reason)
{
    m_error = u"Súbor %1 sa nedá čítať: %2"_s.arg(QDir::toNativeSeparators(m_path), reason);
    return false;
}

bool XmlImportSource::xmlFailed()
{
    if (m_file.error() != QFileDevice::NoError)
        return fail(m_file.errorString());
    return fail(u"nie je to súbor XML alebo je poškodený (riadok %1)"_s.arg(m_xml.lineNumber()));
}

bool XmlImportSource::open()
{
    m_file.setFileName(m_path);
    if (!m_file.open(QIODevice::ReadOnly))
        return fail(m_file.errorString());
    return findRows() && reopenAtRows();
}

// The first pass: which element holds the rows. The earliest element that
// holds repeated children wins, so the pass ends early only when that is the
// root; otherwise an element opened before the one found may still repeat its
// children later in the file.
bool XmlImportSource::findRows()
{
    m_xml.setDevice(&m_file);
    std::vector<OpenElement> open;
    qint64 order = 0;
    std::optional<qint64> found;
    while (!m_xml.atEnd() && !(found && *found == 0)) {
        m_xml.readNext();
        if (m_xml.isEndElement()) {
            open.pop_back();
        } else if (m_xml.isStartElement()) {
            const QString name = m_xml.qualifiedName().toString();
            if (!open.empty()) {
                OpenElement &parent = open.back();
                if (parent.childNames.contains(name) && (!found || parent.order < *found)) {
                    found = parent.order;
                    m_rowName = name;
                }
                parent.childNames.insert(name);
            }
            open.push_back({order++, {}});
        }
    }
    if (m_xml.hasError() && !(found && *found == 0))
        return xmlFailed();
    if (order == 0)
        return fail(u"súbor neobsahuje žiadny prvok"_s);
    m_container = found.value_or(0);
    return true;
}

bool XmlImportSource::reopenAtRows()
{
    m_file.seek(0);
    m_xml.clear();
    m_xml.setDevice(&m_file);
    qint64 order = 0;
    while (!m_xml.atEnd()) {
        m_xml.readNext();
        if (m_xml.isStartElement() && order++ == m_container)
            return true;
    }
    return xmlFailed();
}

ImportRowSource::Read XmlImportSource::next(ImportRow &row)
{
    if (!m_error.isEmpty())
        return Read::Failed;
    while (!m_xml.atEnd()) {
        m_xml.readNext();
        if (m_xml.isEndElement())
            return Read::End; // the container's end
        if (!m_xml.isStartElement())
            continue;
        if (!m_rowName.isEmpty() && m_xml.qualifiedName() != m_rowName) {
            m_xml.skipCurrentElement();
            continue;
        }
        ++m_number;
        readRow(row);
        if (m_xml.hasError())
            break;
        if (row.cells.isEmpty() || (m_titleRow && !std::exchange(m_titleSeen, true)))
            continue;
        return Read::Row;
    }
    if (m_xml.hasError())
        xmlFailed();
    return m_error.isEmpty() ? Read::End : Read::Failed;
}

void XmlImportSource::readRow(ImportRow &row)
{
    const QXmlStreamAttributes attributes = m_xml.attributes();
    ImportRowBuilder cells;
    bool childElements = false;
    QString ownText;
    while (m_xml.readNext() != QXmlStreamReader::Invalid && !m_xml.isEndElement()) {
        if (m_xml.isCharacters()) {
            ownText += m_xml.text();
        } else if (m_xml.isStartElement()) {
            childElements = true;
            addCell(cells, m_xml.readElementText(QXmlStreamReader::IncludeChildElements));
        }
    }
    if (!childElements) {
        for (const QXmlStreamAttribute &attribute : attributes)
            addCell(cells, attribute.value().toString());
        if (attributes.isEmpty())
            addCell(cells, ownText.trimmed());
    }
    row.number = m_number;
    cells.takeInto(row);
}

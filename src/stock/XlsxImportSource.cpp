#include "stock/XlsxImportSource.h"

#include "stock/ImportCellText.h"
#include "stock/XlsxSharedStrings.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace {

// The column of a cell reference: "C7" is 2, "AA1" 26; -1 for none.
qint64 columnOf(QStringView reference)
{
    qint64 column = 0;
    qsizetype letters = 0;
    for (QChar ch : reference) {
        const char16_t upper = ch.toUpper().unicode();
        if (upper < u'A' || upper > u'Z')
            break;
        column = column * 26 + (upper - u'A' + 1);
        if (column > ImportRowBuilder::MostColumns)
            return ImportRowBuilder::MostColumns;
        ++letters;
    }
    return letters == 0 ? -1 : column - 1;
}

QString sheetFailure(const QString &path, const QString &reason)
{
    return u"Súbor %1 sa nedá čítať: %2"_s.arg(QDir::toNativeSeparators(path), reason);
}

} // namespace

XlsxImportSource::XlsxImportSource(QString path, QString sheet, bool titleRow)
    : m_path(std::move(path)), m_sheetName(std::move(sheet)), m_titleRow(titleRow)
{}

bool XlsxImportSource::fail(const QString &reason)
{
    m_error = sheetFailure(m_path, reason);
    return false;
}

std::optional<QStringList> XlsxImportSource::sheetNames(const QString &path, QString *error)
{
    ZipArchive archive;
    XlsxWorkbook workbook;
    if (!archive.open(path) || !workbook.load(archive)) {
        *error = sheetFailure(path, archive.error().isEmpty() ? workbook.error() : archive.error());
        return std::nullopt;
    }
    return workbook.sheetNames();
}

bool XlsxImportSource::open()
{
    if (!m_archive.open(m_path))
        return fail(u"nie je to zošit XLSX: %1"_s.arg(m_archive.error()));
    if (!m_workbook.load(m_archive))
        return fail(m_workbook.error());
    const XlsxWorkbook::Sheet *sheet = m_workbook.sheet(m_sheetName);
    if (!sheet)
        return fail(u"zošit nemá hárok „%1“"_s.arg(m_sheetName));
    if (sheet->path.isEmpty() || !m_archive.contains(sheet->path))
        return fail(u"chýba hárok „%1“"_s.arg(sheet->name));
    if (!m_workbook.loadCellParts(m_archive))
        return fail(m_workbook.error());
    m_device = m_archive.stream(sheet->path);
    if (!m_device)
        return fail(m_archive.error());
    m_xml.setDevice(m_device.get());
    return true;
}

qint64 XlsxImportSource::position() const
{
    return m_device ? m_device->unpacked() : 0;
}

qint64 XlsxImportSource::size() const
{
    return m_device ? std::max<qint64>(m_device->entrySize(), 0) : 0;
}

ImportRowSource::Read XlsxImportSource::next(ImportRow &row)
{
    if (!m_error.isEmpty() || !m_device)
        return Read::Failed;
    for (;;) {
        qint64 number = 0;
        const Step step = readRow(number);
        if (step == Step::End)
            return Read::End;
        if (step == Step::Failed)
            return Read::Failed;
        if (!m_cells.hasValue())
            continue;
        if (m_titleRow && !m_titleSeen) {
            m_titleSeen = true;
            m_cells.clear();
            continue;
        }
        row.number = number;
        m_cells.takeInto(row);
        return Read::Row;
    }
}

// The next <row> of the sheet into m_cells.
XlsxImportSource::Step XlsxImportSource::readRow(qint64 &number)
{
    while (!m_xml.atEnd()) {
        if (m_xml.readNext() != QXmlStreamReader::StartElement || m_xml.name() != u"row")
            continue;
        bool ok = false;
        const qint64 given = m_xml.attributes().value("r"_L1).toLongLong(&ok);
        number = m_lastRow = ok && given > 0 ? given : m_lastRow + 1;
        m_cells.clear();
        while (m_xml.readNext() != QXmlStreamReader::Invalid) {
            if (m_xml.isEndElement() && m_xml.name() == u"row")
                return Step::Row;
            if (m_xml.isStartElement() && m_xml.name() == u"c" && !readCell())
                return Step::Failed;
            if (m_xml.isStartElement() && m_xml.name() != u"c")
                m_xml.skipCurrentElement();
        }
    }
    if (m_device->failed() || m_xml.hasError()) {
        fail(m_device->failed() ? u"súbor je poškodený"_s
                                : u"hárok je poškodený (riadok %1 jeho XML)"_s.arg(m_xml.lineNumber()));
        return Step::Failed;
    }
    return Step::End;
}

bool XlsxImportSource::readCell()
{
    const QXmlStreamAttributes attributes = m_xml.attributes();
    const qint64 column = columnOf(attributes.value("r"_L1));
    if (column >= 0)
        m_cells.moveTo(column);
    const QString type = attributes.value("t"_L1).toString();
    bool styleOk = false;
    const qsizetype style = attributes.value("s"_L1).toLongLong(&styleOk);
    QString value;
    bool inlineString = false;
    while (m_xml.readNext() != QXmlStreamReader::Invalid && !m_xml.isEndElement()) {
        if (!m_xml.isStartElement())
            continue;
        if (m_xml.name() == u"v") {
            value = m_xml.readElementText();
        } else if (m_xml.name() == u"is") {
            value = inlineText();
            inlineString = true;
        } else {
            m_xml.skipCurrentElement();
        }
    }
    if (m_xml.hasError())
        return true; // reported by readRow
    if (inlineString) {
        m_cells.add(XlsxSharedStrings::unescape(value));
        return true;
    }
    return cellValue(type, value, styleOk ? style : 0);
}

// The text of an inline string: its text or its runs' texts, not the phonetic guide.
QString XlsxImportSource::inlineText()
{
    QString text;
    int depth = 1;
    while (depth > 0 && m_xml.readNext() != QXmlStreamReader::Invalid) {
        if (m_xml.isEndElement()) {
            --depth;
        } else if (m_xml.isStartElement()) {
            if (m_xml.name() == u"t")
                text += m_xml.readElementText();
            else if (m_xml.name() == u"rPh" || m_xml.name() == u"phoneticPr")
                m_xml.skipCurrentElement();
            else
                ++depth;
        }
    }
    return text;
}

bool XlsxImportSource::cellValue(const QString &type, const QString &value, qsizetype style)
{
    if (value.isEmpty()) {
        m_cells.add(QString());
    } else if (type == u"s") {
        bool ok = false;
        const qsizetype index = value.toLongLong(&ok);
        if (!ok || index < 0 || index >= m_workbook.sharedStrings().size())
            return fail(u"hárok odkazuje na text %1, ktorý zošit nemá"_s.arg(value));
        m_cells.add(m_workbook.sharedStrings().at(index));
    } else if (type == u"str" || type == u"e") {
        m_cells.add(XlsxSharedStrings::unescape(value));
    } else if (type == u"b") {
        m_cells.add(value == u"1"_s || value == u"true"_s ? u"1"_s : u"0"_s, true);
    } else if (type == u"d") {
        m_cells.add(ImportCellText::isoDate(value));
    } else {
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (!ok)
            m_cells.add(value);
        else if (m_workbook.isDateStyle(style))
            m_cells.add(ImportCellText::serialDate(number, m_workbook.date1904()));
        else
            m_cells.add(ImportCellText::number(number), true);
    }
    return true;
}

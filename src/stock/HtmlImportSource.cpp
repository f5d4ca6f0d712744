#include "stock/HtmlImportSource.h"

#include "stock/ImportRowBuilder.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include <libxml/HTMLparser.h>
#include <libxml/globals.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 MostPageBytes = 256LL * 1024 * 1024;
constexpr int MostColumnSpan = 1000; // HTML's own limits
constexpr int MostRowSpan = 65534;

bool isElement(const xmlNode *node, const char *name)
{
    return node->type == XML_ELEMENT_NODE &&
           std::strcmp(reinterpret_cast<const char *>(node->name), name) == 0;
}

// A page that names its encoding is read in it; one that does not is UTF-8
// when it is valid UTF-8, else code page 1250, which Slovak pages of old
// programs are in (the parser's own guess would be Latin-1).
const char *encodingOf(const QByteArray &page)
{
    const QByteArray start = page.left(4096).toLower();
    if (start.contains("charset") || start.contains("encoding="))
        return nullptr;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(page);
    return utf8.hasError() ? "windows-1250" : "UTF-8";
}

// The text as a browser shows it: runs of white space as one space, <br> a
// line break; blanks around each line dropped.
void appendText(const xmlNode *node, QString &text)
{
    for (const xmlNode *part = node->children; part; part = part->next) {
        if (part->type == XML_TEXT_NODE || part->type == XML_CDATA_SECTION_NODE)
            text += QString::fromUtf8(reinterpret_cast<const char *>(part->content));
        else if (isElement(part, "br"))
            text += u'\n';
        else if (part->type == XML_ELEMENT_NODE && !isElement(part, "script") && !isElement(part, "style"))
            appendText(part, text);
    }
}

QString cellText(const xmlNode *cell)
{
    QString raw;
    appendText(cell, raw);
    QStringList lines = raw.split(u'\n');
    for (QString &line : lines) {
        for (QChar &ch : line)
            if (ch == u'\t' || ch == u'\r' || ch == u'\f')
                ch = u' ';
        line = line.simplified();
    }
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines.join(u'\n');
}

int span(const xmlNode *cell, const char *name, int most)
{
    xmlChar *value = xmlGetProp(cell, reinterpret_cast<const xmlChar *>(name));
    const int number = value ? QByteArray(reinterpret_cast<const char *>(value)).trimmed().toInt() : 1;
    xmlFree(value);
    return std::clamp(number, 1, most);
}

// The rows of a table, in its sections or right in it; not those of tables inside its cells.
void collectRows(xmlNode *parent, std::vector<xmlNode *> &rows)
{
    for (xmlNode *node = parent->children; node; node = node->next) {
        if (isElement(node, "tr"))
            rows.push_back(node);
        else if (isElement(node, "thead") || isElement(node, "tbody") || isElement(node, "tfoot"))
            collectRows(node, rows);
    }
}

void collectTables(xmlNode *node, std::vector<xmlNode *> &tables)
{
    for (; node; node = node->next) {
        if (isElement(node, "table"))
            tables.push_back(node);
        collectTables(node->children, tables);
    }
}

QString captionOf(const xmlNode *table)
{
    for (const xmlNode *node = table->children; node; node = node->next)
        if (isElement(node, "caption"))
            return cellText(node).simplified();
    return {};
}

void quiet(void *, const char *, ...) {}

} // namespace

HtmlImportSource::HtmlImportSource(QString path, QString table, bool titleRow)
    : m_path(std::move(path)), m_table(std::move(table)), m_titleRow(titleRow)
{}

HtmlImportSource::~HtmlImportSource()
{
    if (m_document)
        xmlFreeDoc(m_document);
}

bool HtmlImportSource::fail(const QString &reason)
{
    m_error = u"Súbor %1 sa nedá čítať: %2"_s.arg(QDir::toNativeSeparators(m_path), reason);
    return false;
}

bool HtmlImportSource::load()
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    if (file.size() > MostPageBytes)
        return fail(u"stránka je väčšia, ako sa dá prečítať"_s);
    const QByteArray page = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fail(file.errorString());
    // Bytes that are no characters of the page's encoding are reported by the
    // library through its generic handler, outside the parser's options: the
    // page is read as far as it goes, quietly, and the handler restored.
    const xmlGenericErrorFunc handler = xmlGenericError;
    void *context = xmlGenericErrorContext;
    xmlSetGenericErrorFunc(nullptr, quiet);
    m_document = htmlReadMemory(page.constData(), int(page.size()), nullptr, encodingOf(page),
                                HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET);
    xmlSetGenericErrorFunc(context, handler);
    if (!m_document)
        return fail(u"nie je to stránka HTML"_s);
    return true;
}

std::vector<HtmlImportSource::Table> HtmlImportSource::tables() const
{
    std::vector<xmlNode *> nodes;
    collectTables(xmlDocGetRootElement(m_document), nodes);
    std::vector<Table> tables;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const QString caption = captionOf(nodes[i]);
        tables.push_back({nodes[i], caption.isEmpty() ? u"Tabuľka %1"_s.arg(i + 1) : caption});
    }
    return tables;
}

std::optional<QStringList> HtmlImportSource::tableNames(const QString &path, QString *error)
{
    HtmlImportSource source(path, {}, false);
    if (!source.load()) {
        *error = source.error();
        return std::nullopt;
    }
    QStringList names;
    for (const Table &table : source.tables())
        names << table.name;
    return names;
}

bool HtmlImportSource::open()
{
    if (!load())
        return false;
    const std::vector<Table> all = tables();
    if (all.empty())
        return fail(u"stránka neobsahuje tabuľku"_s);
    const auto chosen = std::find_if(all.begin(), all.end(), [this](const Table &table) {
        return m_table.isEmpty() || table.name == m_table;
    });
    if (chosen == all.end())
        return fail(u"stránka nemá tabuľku „%1“"_s.arg(m_table));
    collectRows(chosen->node, m_rows);
    return true;
}

// The row's cells into `row`; true when all of them are th cells (a title row).
bool HtmlImportSource::readRow(xmlNode *tr, ImportRow &row)
{
    ImportRowBuilder cells;
    qsizetype column = 0;
    bool titles = true;
    auto coveredFromAbove = [&] {
        for (; column < m_spans.size() && m_spans[column] > 0; ++column) {
            --m_spans[column];
            cells.add(QString());
        }
    };
    for (xmlNode *cell = tr->children; cell; cell = cell->next) {
        if (!isElement(cell, "td") && !isElement(cell, "th"))
            continue;
        coveredFromAbove();
        titles = titles && isElement(cell, "th");
        const int columns = span(cell, "colspan", MostColumnSpan);
        const int rows = span(cell, "rowspan", MostRowSpan);
        cells.add(cellText(cell));
        cells.add(QString(), false, columns - 1);
        if (column + columns > ImportRowBuilder::MostColumns)
            break;
        if (m_spans.size() < column + columns)
            m_spans.resize(column + columns);
        for (int i = 0; i < columns; ++i)
            m_spans[column + i] = rows - 1;
        column += columns;
    }
    for (qsizetype rest = column; rest < m_spans.size(); ++rest)
        m_spans[rest] = std::max(m_spans[rest] - 1, 0);
    const bool anyCell = column > 0;
    cells.takeInto(row);
    return titles && anyCell;
}

ImportRowSource::Read HtmlImportSource::next(ImportRow &row)
{
    if (!m_error.isEmpty())
        return Read::Failed;
    while (m_at < qsizetype(m_rows.size())) {
        const qint64 number = ++m_at;
        const bool titles = readRow(m_rows[size_t(number - 1)], row);
        if (titles && !m_dataSeen) {
            m_titleSeen = true; // th titles stand for the title row the user may have named
            continue;
        }
        if (row.cells.isEmpty())
            continue;
        if (m_titleRow && !std::exchange(m_titleSeen, true))
            continue;
        m_dataSeen = true;
        row.number = number;
        return Read::Row;
    }
    return Read::End;
}

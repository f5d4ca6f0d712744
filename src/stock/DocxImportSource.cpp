#include "stock/DocxImportSource.h"

#include "stock/ImportRowBuilder.h"
#include "stock/PugiNames.h"
#include "stock/ZipArchive.h"

#include <QDir>

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace PugiNames;

namespace {

constexpr qint64 MostDocumentBytes = 256LL * 1024 * 1024;

// Content controls and custom XML wrap rows and cells without being either.
bool isWrapper(const pugi::xml_node &node)
{
    return named(node, "sdt") || named(node, "sdtContent") || named(node, "customXml") ||
           named(node, "smartTag");
}

// The children called `local` of `parent`, looking through wrappers.
void collect(const pugi::xml_node &parent, const char *local, std::vector<pugi::xml_node> &found)
{
    for (const pugi::xml_node &node : parent.children()) {
        if (named(node, local))
            found.push_back(node);
        else if (isWrapper(node))
            collect(node, local, found);
    }
}

pugi::xml_node firstTable(const pugi::xml_node &from)
{
    return from.find_node([](const pugi::xml_node &node) { return named(node, "tbl"); });
}

void appendText(const pugi::xml_node &node, QString &text)
{
    for (const pugi::xml_node &part : node.children()) {
        if (part.type() == pugi::node_pcdata || part.type() == pugi::node_cdata) {
            if (named(node, "t"))
                text += QString::fromUtf8(part.value());
            continue;
        }
        if (named(part, "tcPr") || named(part, "pPr") || named(part, "rPr") || named(part, "delText"))
            continue;
        if (named(part, "p") && !text.isEmpty())
            text += u'\n';
        if (named(part, "tab"))
            text += u'\t';
        else if (named(part, "br") || named(part, "cr"))
            text += u'\n';
        appendText(part, text);
    }
}

qint64 valueOf(const pugi::xml_node &property)
{
    return std::clamp<qint64>(attribute(property, "val").toLongLong(), 0, ImportRowBuilder::MostColumns);
}

void readRow(const pugi::xml_node &tr, ImportRowBuilder &cells)
{
    cells.add(QString(), false, valueOf(child(child(tr, "trPr"), "gridBefore")));
    std::vector<pugi::xml_node> tcs;
    collect(tr, "tc", tcs);
    for (const pugi::xml_node &tc : tcs) {
        QString text;
        appendText(tc, text);
        cells.add(text);
        cells.add(QString(), false, valueOf(child(child(tc, "tcPr"), "gridSpan")) - 1);
    }
}

QString documentPath(ZipArchive &archive)
{
    const std::optional<QByteArray> rels = archive.read(u"_rels/.rels"_s, MostDocumentBytes);
    pugi::xml_document document;
    if (rels && document.load_buffer(rels->constData(), size_t(rels->size()))) {
        for (const pugi::xml_node &rel : document.document_element().children())
            if (attribute(rel, "Type").endsWith(u"/officeDocument"_s)) {
                const QString target = attribute(rel, "Target");
                return QDir::cleanPath(target.startsWith(u'/') ? target.mid(1) : target);
            }
    }
    return u"word/document.xml"_s;
}

} // namespace

DocxImportSource::DocxImportSource(QString path, bool titleRow)
    : m_path(std::move(path)), m_titleRow(titleRow)
{}

bool DocxImportSource::fail(const QString &reason)
{
    m_error = u"Súbor %1 sa nedá čítať: %2"_s.arg(QDir::toNativeSeparators(m_path), reason);
    return false;
}

bool DocxImportSource::open()
{
    ZipArchive archive;
    if (!archive.open(m_path))
        return fail(u"nie je to dokument DOCX: %1"_s.arg(archive.error()));
    const std::optional<QByteArray> bytes = archive.read(documentPath(archive), MostDocumentBytes);
    if (!bytes)
        return fail(u"nie je to dokument DOCX: %1"_s.arg(archive.error()));
    if (!m_document.load_buffer(bytes->constData(), size_t(bytes->size()),
                                pugi::parse_default | pugi::parse_ws_pcdata))
        return fail(u"dokument je poškodený"_s);
    const pugi::xml_node table = firstTable(m_document.document_element());
    if (!table)
        return fail(u"dokument neobsahuje tabuľku"_s);
    collect(table, "tr", m_rows);
    return true;
}

ImportRowSource::Read DocxImportSource::next(ImportRow &row)
{
    if (!m_error.isEmpty())
        return Read::Failed;
    ImportRowBuilder cells;
    while (m_at < qsizetype(m_rows.size())) {
        const qint64 number = ++m_at;
        cells.clear();
        readRow(m_rows.at(size_t(number - 1)), cells);
        if (!cells.hasValue())
            continue;
        if (m_titleRow && !std::exchange(m_titleSeen, true))
            continue;
        row.number = number;
        cells.takeInto(row);
        return Read::Row;
    }
    return Read::End;
}

#include "stock/XlsxWorkbook.h"

#include "stock/XlsxDateStyles.h"
#include "stock/XlsxSharedStrings.h"
#include "stock/ZipArchive.h"

#include <QDir>
#include <QHash>

#include "stock/PugiNames.h"

using namespace Qt::StringLiterals;

namespace {

using namespace PugiNames;

// Parts that describe the workbook are small; a larger one is a damaged or hostile file.
constexpr qint64 MostDescriptionBytes = 64LL * 1024 * 1024;
// The shared strings of a sheet of a million rows of distinct names.
constexpr qint64 MostSharedStringBytes = 512LL * 1024 * 1024;

bool loadXml(pugi::xml_document &document, const QByteArray &bytes)
{
    return bool(document.load_buffer(bytes.constData(), size_t(bytes.size())));
}

// A relationship's target relative to the folder of the part that names it,
// or from the archive's root when it starts with "/".
QString resolve(const QString &from, const QString &target)
{
    if (target.startsWith(u'/'))
        return QDir::cleanPath(target.mid(1));
    const qsizetype slash = from.lastIndexOf(u'/');
    return QDir::cleanPath(from.left(slash + 1) + target);
}

QString relationshipsOf(const QString &part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    return part.left(slash + 1) + u"_rels/"_s + part.mid(slash + 1) + u".rels"_s;
}

} // namespace

bool XlsxWorkbook::fail(const QString &reason)
{
    m_error = reason;
    return false;
}

QStringList XlsxWorkbook::sheetNames() const
{
    QStringList names;
    for (const Sheet &sheet : m_sheets)
        names << sheet.name;
    return names;
}

const XlsxWorkbook::Sheet *XlsxWorkbook::sheet(const QString &name) const
{
    for (const Sheet &sheet : m_sheets)
        if (name.isEmpty() || sheet.name == name)
            return &sheet;
    return nullptr;
}

// The package's relationships name the workbook; older writers leave it where
// everyone puts it.
QString XlsxWorkbook::workbookPath(ZipArchive &archive)
{
    const std::optional<QByteArray> rels = archive.read(u"_rels/.rels"_s, MostDescriptionBytes);
    pugi::xml_document document;
    if (rels && loadXml(document, *rels)) {
        for (const pugi::xml_node &rel : document.document_element().children())
            if (attribute(rel, "Type").endsWith(u"/officeDocument"_s))
                return resolve(QString(), attribute(rel, "Target"));
    }
    return u"xl/workbook.xml"_s;
}

bool XlsxWorkbook::readRelationships(ZipArchive &archive, const QString &workbook)
{
    const std::optional<QByteArray> rels = archive.read(relationshipsOf(workbook), MostDescriptionBytes);
    pugi::xml_document document;
    if (!rels || !loadXml(document, *rels))
        return fail(u"zošitu chýba zoznam jeho častí"_s);
    QHash<QString, QString> targets;
    for (const pugi::xml_node &rel : document.document_element().children()) {
        const QString type = attribute(rel, "Type");
        const QString target = resolve(workbook, attribute(rel, "Target"));
        targets.insert(attribute(rel, "Id"), target);
        if (type.endsWith(u"/sharedStrings"_s))
            m_sharedStringsPath = target;
        else if (type.endsWith(u"/styles"_s))
            m_stylesPath = target;
    }
    for (Sheet &sheet : m_sheets)
        sheet.path = targets.value(sheet.path);
    return true;
}

bool XlsxWorkbook::load(ZipArchive &archive)
{
    const QString path = workbookPath(archive);
    const std::optional<QByteArray> bytes = archive.read(path, MostDescriptionBytes);
    pugi::xml_document document;
    if (!bytes || !loadXml(document, *bytes))
        return fail(u"nie je to zošit XLSX alebo je poškodený"_s);
    const pugi::xml_node workbook = document.document_element();
    const QString date1904 = attribute(child(workbook, "workbookPr"), "date1904");
    m_date1904 = date1904 == u"1"_s || date1904 == u"true"_s;
    for (const pugi::xml_node &sheet : child(workbook, "sheets").children())
        if (named(sheet, "sheet"))
            m_sheets << Sheet{attribute(sheet, "name"), attribute(sheet, "id")};
    if (m_sheets.isEmpty())
        return fail(u"zošit nemá žiadny hárok"_s);
    return readRelationships(archive, path);
}

bool XlsxWorkbook::loadCellParts(ZipArchive &archive)
{
    if (!m_sharedStringsPath.isEmpty() && archive.contains(m_sharedStringsPath)) {
        std::optional<QByteArray> bytes = archive.read(m_sharedStringsPath, MostSharedStringBytes);
        if (!bytes)
            return fail(archive.error());
        std::optional<QStringList> strings = XlsxSharedStrings::parse(std::move(*bytes));
        if (!strings)
            return fail(u"texty zošita sú poškodené"_s);
        m_sharedStrings = std::move(*strings);
    }
    if (!m_stylesPath.isEmpty() && archive.contains(m_stylesPath)) {
        if (const std::optional<QByteArray> bytes = archive.read(m_stylesPath, MostDescriptionBytes))
            m_dateStyles = XlsxDateStyles::parse(*bytes);
    }
    return true;
}

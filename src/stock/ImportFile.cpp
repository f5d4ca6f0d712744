#include "stock/ImportFile.h"

#include "stock/AccessImportSource.h"
#include "stock/DbfImportSource.h"
#include "stock/DocxImportSource.h"
#include "stock/HtmlImportSource.h"
#include "stock/OdsImportSource.h"
#include "stock/ParadoxImportSource.h"
#include "stock/ParadoxTable.h"
#include "stock/StockRowSourceFactory.h"
#include "stock/StockTableImportSource.h"
#include "stock/XlsImportSource.h"
#include "stock/XlsxImportSource.h"
#include "stock/XmlImportSource.h"

#include <QFileInfo>
#include <QHash>

using namespace Qt::StringLiterals;

namespace {

QString unsupported()
{
    return u"Tento druh súboru sa nedá importovať."_s;
}

// Hands out a reader that opened, or its error.
template <typename Source>
std::unique_ptr<ImportRowSource> opened(std::unique_ptr<Source> source, QString *error)
{
    if (source->open())
        return source;
    *error = source->error();
    return nullptr;
}

std::unique_ptr<ImportRowSource> openText(const QString &path, const ImportFile::Options &options,
                                          QString *error)
{
    CsvImportSource::Options text;
    text.separator = options.separator;
    text.encoding = options.encoding;
    text.titleRow = options.titleRow;
    return opened(std::make_unique<CsvImportSource>(path, text), error);
}

// A .db file is a Paradox table of any layout, or a stock table of this
// program (SQLite), taken over card by card in the import's columns.
std::unique_ptr<ImportRowSource> openDb(const QString &path, QString *error)
{
    if (ParadoxTable::looksLikeParadox(path))
        return opened(std::make_unique<ParadoxImportSource>(path), error);
    OpenedStockRowSource stock = openStockRowSource(path);
    if (!stock.source) {
        *error = stock.error;
        return nullptr;
    }
    return opened(std::make_unique<StockTableImportSource>(std::move(stock.source)), error);
}

QStringList partsOrError(std::optional<QStringList> names, QString *error, const QString &failure)
{
    if (!names) {
        *error = failure;
        return {};
    }
    return *names;
}

} // namespace

ImportFile::Kind ImportFile::kindOf(const QString &path)
{
    static const QHash<QString, Kind> byExtension{
        {u"csv"_s, Kind::Text},   {u"txt"_s, Kind::Text},     {u"tab"_s, Kind::Text},
        {u"xls"_s, Kind::Xls},    {u"xlsx"_s, Kind::Xlsx},    {u"ods"_s, Kind::Ods},
        {u"docx"_s, Kind::Docx},  {u"dbf"_s, Kind::Dbf},      {u"db"_s, Kind::Paradox},
        {u"mdb"_s, Kind::Access}, {u"accdb"_s, Kind::Access}, {u"htm"_s, Kind::Html},
        {u"html"_s, Kind::Html},  {u"xml"_s, Kind::Xml},
    };
    return byExtension.value(QFileInfo(path).suffix().toLower(), Kind::Unknown);
}

QStringList ImportFile::parts(const QString &path, QString *error)
{
    switch (kindOf(path)) {
    case Kind::Unknown:
        *error = unsupported();
        return {};
    case Kind::Xls:
        return XlsImportSource::sheets(path, error);
    case Kind::Access:
        return AccessImportSource::tables(path, error);
    case Kind::Xlsx: {
        QString failure;
        return partsOrError(XlsxImportSource::sheetNames(path, &failure), error, failure);
    }
    case Kind::Ods: {
        QString failure;
        return partsOrError(OdsImportSource::tableNames(path, &failure), error, failure);
    }
    case Kind::Html: {
        QString failure;
        return partsOrError(HtmlImportSource::tableNames(path, &failure), error, failure);
    }
    default:
        return {};
    }
}

std::unique_ptr<ImportRowSource> ImportFile::open(const QString &path, const Options &options, QString *error)
{
    switch (kindOf(path)) {
    case Kind::Text:
        return openText(path, options, error);
    case Kind::Xls:
        return opened(
            std::make_unique<XlsImportSource>(path, XlsImportSource::Options{options.part, options.titleRow}),
            error);
    case Kind::Dbf:
        return opened(std::make_unique<DbfImportSource>(path), error);
    case Kind::Paradox:
        return openDb(path, error);
    case Kind::Access:
        return opened(std::make_unique<AccessImportSource>(path, options.part), error);
    case Kind::Xlsx:
        return opened(std::make_unique<XlsxImportSource>(path, options.part, options.titleRow), error);
    case Kind::Ods:
        return opened(std::make_unique<OdsImportSource>(path, options.part, options.titleRow), error);
    case Kind::Docx:
        return opened(std::make_unique<DocxImportSource>(path, options.titleRow), error);
    case Kind::Xml:
        return opened(std::make_unique<XmlImportSource>(path, options.titleRow), error);
    case Kind::Html:
        return opened(std::make_unique<HtmlImportSource>(path, options.part, options.titleRow), error);
    default:
        *error = unsupported();
        return nullptr;
    }
}

QString ImportFile::dialogFilter()
{
    return u"Cenníky (*.csv *.txt *.tab *.xls *.xlsx *.ods *.docx *.dbf *.db *.mdb *.accdb *.xml *.htm "
           u"*.html);;"
           "Textové súbory (*.csv *.txt *.tab);;"
           "Zošity (*.xls *.xlsx *.ods);;"
           "Databázy (*.dbf *.db *.mdb *.accdb);;"
           "Dokumenty (*.docx);;"
           "XML (*.xml);;"
           "Stránky HTML (*.htm *.html);;"
           "Všetky súbory (*)"_s;
}

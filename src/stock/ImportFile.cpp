#include "stock/ImportFile.h"

#include <QFileInfo>
#include <QHash>

using namespace Qt::StringLiterals;

namespace {

QString unsupported()
{
    return u"Tento druh súboru sa nedá importovať."_s;
}

std::unique_ptr<ImportRowSource> openText(const QString &path, const ImportFile::Options &options,
                                          QString *error)
{
    CsvImportSource::Options text;
    text.separator = options.separator;
    text.encoding = options.encoding;
    text.titleRow = options.titleRow;
    auto source = std::make_unique<CsvImportSource>(path, text);
    if (!source->open()) {
        *error = source->error();
        return nullptr;
    }
    return source;
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
    default:
        return {};
    }
}

std::unique_ptr<ImportRowSource> ImportFile::open(const QString &path, const Options &options, QString *error)
{
    switch (kindOf(path)) {
    case Kind::Text:
        return openText(path, options, error);
    default:
        *error = unsupported();
        return nullptr;
    }
}

QString ImportFile::dialogFilter()
{
    return u"Cenníky (*.csv *.txt *.tab);;Všetky súbory (*)"_s;
}

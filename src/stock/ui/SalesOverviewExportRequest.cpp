#include "stock/ui/SalesOverviewExportRequest.h"

#include "base/UserDialogs.h"
#include "stock/SalesOverview.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

using Format = SalesOverviewExport::Format;

struct Entry
{
    QString filter;
    Format format;
    QString suffix;
};

QList<Entry> entries()
{
    return {{u"Zošit Excel (*.xlsx)"_s, Format::Xlsx, u"xlsx"_s},
            {u"Text CSV v kódovaní Windows-1250 (*.csv)"_s, Format::CsvCp1250, u"csv"_s},
            {u"Text CSV v kódovaní UTF-8 (*.csv)"_s, Format::CsvUtf8, u"csv"_s}};
}

} // namespace

QString SalesOverviewExportRequest::filter()
{
    QStringList filters;
    for (const Entry &entry : entries())
        filters.append(entry.filter);
    return filters.join(u";;"_s);
}

SalesOverviewExport::Format SalesOverviewExportRequest::formatOf(const QString &chosenFilter, QString &path)
{
    const QList<Entry> all = entries();
    const QString suffix = QFileInfo(path).suffix().toLower();
    // A dialog that does not say which entry was chosen: the extension does.
    Entry chosen = suffix == u"csv" ? all[1] : all[0];
    for (const Entry &entry : all) {
        if (entry.filter == chosenFilter)
            chosen = entry;
    }
    if (suffix != u"xlsx" && suffix != u"csv")
        path += u'.' + chosen.suffix;
    return chosen.format;
}

QString SalesOverviewExportRequest::run(SalesOverview &overview, const SalesOverviewChoices &choices,
                                        const QString &folder, const QString &proposedName)
{
    QString chosenFilter;
    UserDialogs::FileRequest request;
    request.title = QString::fromUtf16(Caption);
    request.filter = filter();
    request.folder = folder;
    request.proposedName = proposedName;
    request.existingOnly = false;
    request.forSaving = true;
    request.chosenFilter = &chosenFilter;
    QString path = m_dialogs.chooseFile(request);
    if (path.isEmpty())
        return {};
    const Format format = formatOf(chosenFilter, path);
    SalesOverviewExport exporter(overview, choices.grouping);
    if (!exporter.write(path, format)) {
        m_dialogs.error(exporter.lastError(), QString::fromUtf16(Caption));
        return {};
    }
    return path;
}

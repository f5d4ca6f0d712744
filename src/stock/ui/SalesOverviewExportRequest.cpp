#include "stock/ui/SalesOverviewExportRequest.h"

#include "base/UserDialogs.h"
#include "stock/SalesFiles.h"
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

QString SalesOverviewExportRequest::proposedName(const QString &salesFile,
                                                 const SalesOverviewChoices &choices)
{
    const int year = SalesFiles::yearOf(salesFile);
    const QString stem = year > 0 ? u"prehlad_%1"_s.arg(year) : u"prehlad"_s;
    if (choices.rangeMode == SalesOverviewChoices::RangeMode::Dates) {
        const QString from = choices.dateFrom.toString(u"yyyy-MM-dd"_s);
        const QString to = choices.dateTo.toString(u"yyyy-MM-dd"_s);
        // The dates hold the year already.
        return from == to ? u"prehlad_"_s + from : u"prehlad_%1_%2"_s.arg(from, to);
    }
    if (choices.closingFrom == choices.closingTo)
        return u"%1_uzavierka_%2"_s.arg(stem).arg(choices.closingFrom);
    return u"%1_uzavierky_%2-%3"_s.arg(stem).arg(choices.closingFrom).arg(choices.closingTo);
}

QString SalesOverviewExportRequest::run(SalesOverview &overview, const SalesOverviewChoices &choices,
                                        const QString &dataFolder, const QString &nameProposed)
{
    QString chosenFilter;
    UserDialogs::FileRequest request;
    request.title = QString::fromUtf16(Caption);
    request.filter = filter();
    request.folder = !m_lastFolder.isEmpty() && QDir(m_lastFolder).exists() ? m_lastFolder : dataFolder;
    request.proposedName = nameProposed;
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
    m_lastFolder = QFileInfo(path).absolutePath();
    m_dialogs.inform(u"Prehľad predaja je zapísaný v súbore\r\n%1"_s.arg(QDir::toNativeSeparators(path)),
                     QString::fromUtf16(Caption));
    return path;
}

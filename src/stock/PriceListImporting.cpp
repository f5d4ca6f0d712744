#include "stock/PriceListImporting.h"

#include "base/UserDialogs.h"
#include "lang/MessageTable.h"
#include "stock/CsvImportSource.h"
#include "stock/DataFile.h"
#include "stock/DataFolder.h"
#include "stock/PriceListImportJob.h"
#include "stock/TableLayouts.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <memory>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

const QString Unchanged = u"\r\nCenník zostal bez zmeny."_s;
const QString FileDialogTitle = u"Import položiek - výber súboru"_s;
constexpr qsizetype FirstNumberColumn = 2; // JC, the third column
constexpr qsizetype LastNumberColumn = 5;  // MJ_IDX

bool isNumber(const ImportRow &row, qsizetype cell, const QLocale &locale)
{
    QString text = row.cells.value(cell).trimmed();
    bool ok = false;
    if (row.isNumber(cell)) {
        QLocale::c().toDouble(text, &ok);
        return ok;
    }
    locale.toDouble(text.remove(u' ').remove(QChar(0x00A0)).remove(QChar(0x202F)), &ok);
    return ok;
}

// The number columns (price, quantity, VAT and unit) that hold a number.
int numbersIn(const ImportRow &row, const QLocale &locale)
{
    int count = 0;
    for (qsizetype cell = FirstNumberColumn; cell < row.cells.size() && cell <= LastNumberColumn; ++cell)
        count += isNumber(row, cell, locale) ? 1 : 0;
    return count;
}

bool isBlank(const ImportRow &row)
{
    return std::all_of(row.cells.cbegin(), row.cells.cend(),
                       [](const QString &cell) { return cell.trimmed().isEmpty(); });
}

// The first two rows that hold anything; fewer when the file has fewer.
QList<ImportRow> firstRows(ImportRowSource &source)
{
    QList<ImportRow> rows;
    ImportRow row;
    while (rows.size() < 2 && source.next(row) == ImportRowSource::Read::Row) {
        if (!isBlank(row))
            rows << row;
    }
    return rows;
}

} // namespace

PriceListImporting::PriceListImporting(PriceListImportingContext context) : m_context(std::move(context)) {}

ImportFile::Options PriceListImporting::detectOptions(const QString &path, const QString &part,
                                                      const QLocale &locale)
{
    ImportFile::Options options;
    options.part = part;
    QString error;
    const std::unique_ptr<ImportRowSource> source = ImportFile::open(path, options, &error);
    if (!source)
        return options;
    if (const auto *text = dynamic_cast<const CsvImportSource *>(source.get())) {
        options.separator = text->separator();
        options.encoding = text->encoding();
    }
    const QList<ImportRow> rows = firstRows(*source);
    options.titleRow = rows.size() == 2 && rows.at(0).cells.size() > FirstNumberColumn &&
                       numbersIn(rows.at(0), locale) == 0 && numbersIn(rows.at(1), locale) > 0;
    return options;
}

QString PriceListImporting::errorList(const QList<PriceListImport::RowError> &errors,
                                      const MessageTable &messages)
{
    // One line each, so that thirty-one of them still fit on the screen.
    QStringList lines;
    for (const PriceListImport::RowError &error : errors)
        lines << error.message(messages).replace(u"\r\n\n"_s, u" "_s);
    return lines.join(u"\r\n"_s);
}

QString PriceListImporting::chooseFile()
{
    UserDialogs::FileRequest request;
    request.title = FileDialogTitle;
    request.filter = ImportFile::dialogFilter();
    request.folder = DataFolder::file(m_context.dataFolder, u"import"_s);
    request.existingOnly = true;
    return m_context.dialogs.chooseFile(request);
}

// A workbook of several sheets, or a database of several tables: the user says
// which one holds the price list.
bool PriceListImporting::choosePart(const QString &path, ImportFile::Options &options)
{
    QString error;
    const QStringList parts =
        m_context.listParts ? m_context.listParts(path, &error) : ImportFile::parts(path, &error);
    if (!error.isEmpty()) {
        m_context.dialogs.warn(error + Unchanged, m_context.messages.text(Msg::ImportFileMissingCaption));
        return false;
    }
    if (parts.size() <= 1) {
        options.part = parts.value(0);
        return true;
    }
    UserDialogs::ItemRequest request;
    request.title = m_context.messages.text(Msg::ReplacePriceListCaption);
    request.label = u"Súbor %1 má viac hárkov alebo tabuliek.\r\nVyberte tú, ktorá obsahuje cenník:"_s.arg(
        QFileInfo(path).fileName());
    request.items = parts;
    const int chosen = m_context.dialogs.chooseItem(request);
    if (chosen < 0 || chosen >= parts.size())
        return false;
    options.part = parts.at(chosen);
    return true;
}

std::optional<bool> PriceListImporting::holdsCards()
{
    DataFile &stock = m_context.stock;
    if (!stock.hasTable(TableLayouts::StockTableName))
        return false;
    QSqlQuery query(stock.database());
    query.setForwardOnly(true);
    if (!query.exec(u"SELECT EXISTS (SELECT 1 FROM %1)"_s.arg(TableLayouts::StockTableName)) ||
        !query.next()) {
        stock.setError(DataFile::engineText(query.lastError()));
        return std::nullopt;
    }
    return query.value(0).toBool();
}

// The question, the file, its sheet or table and its reading options; none when
// the user stopped at one of them.
std::optional<PriceListImportJob> PriceListImporting::prepare(const QDateTime &now)
{
    const MessageTable &messages = m_context.messages;
    UserDialogs &dialogs = m_context.dialogs;
    if (!dialogs.askYesNo(messages.text(Msg::ReplacePriceListQuestion),
                          messages.text(Msg::ReplacePriceListCaption), UserDialogs::Answer::No,
                          UserDialogs::Icon::Question))
        return std::nullopt;
    const QString path = chooseFile();
    if (path.isEmpty())
        return std::nullopt;
    if (!QFileInfo::exists(path)) {
        dialogs.warn(messages.text(Msg::ImportFileMissing), messages.text(Msg::ImportFileMissingCaption));
        return std::nullopt;
    }
    PriceListImportJob job{m_context.stock.path(), m_context.dataFolder, path, {}, m_context.locale, now};
    // The job's own connection goes where the screen's price list is.
    job.server = m_context.stock.server();
    if (!choosePart(path, job.options))
        return std::nullopt;
    job.options = detectOptions(path, job.options.part, m_context.locale);
    if (m_context.preview && !m_context.preview(path, job.options))
        return std::nullopt;
    return job;
}

// The notice comes before the import rather than after the backup, which the
// import takes with its first step under the lock that keeps the other tills
// from writing: a box waiting there would hold them.
bool PriceListImporting::announceBackup()
{
    const std::optional<bool> cards = holdsCards();
    if (!cards) {
        m_context.dialogs.warn(u"Import sa nepodaril: "_s + m_context.stock.lastError() + Unchanged,
                               m_context.messages.text(Msg::MergeErrorCaption));
        return false;
    }
    if (*cards)
        m_context.dialogs.inform(m_context.messages.text(Msg::OldPriceListBackedUp),
                                 m_context.messages.text(Msg::ReplacePriceListCaption));
    return true;
}

bool PriceListImporting::run(const QDateTime &now)
{
    m_result = {};
    const std::optional<PriceListImportJob> job = prepare(now);
    if (!job || !announceBackup())
        return false;
    m_result = job->runOnThread(m_context.progress);
    if (m_context.progressDone)
        m_context.progressDone();
    tell(m_result);
    return m_result.outcome == PriceListImport::Outcome::Imported;
}

void PriceListImporting::tell(const PriceListImport::Result &result)
{
    const MessageTable &messages = m_context.messages;
    UserDialogs &dialogs = m_context.dialogs;
    const QString caption = messages.text(Msg::ReplacePriceListCaption);
    const QString errorCaption = messages.text(Msg::MergeErrorCaption);
    const QString refused =
        u"\r\n\r\nRiadky, ktoré sa nedali importovať (%1):\r\n"_s.arg(result.errors.size()) +
        errorList(result.errors, messages);
    switch (result.outcome) {
    case PriceListImport::Outcome::Cancelled:
        dialogs.inform(u"Import bol zrušený."_s + Unchanged, caption);
        return;
    case PriceListImport::Outcome::TooManyErrors:
        dialogs.warn(u"Viac ako %1 riadkov sa nedalo importovať, import bol zastavený."_s.arg(
                         PriceListImport::MostErrors) +
                         Unchanged + refused,
                     errorCaption);
        return;
    case PriceListImport::Outcome::NothingImported:
        dialogs.warn(u"V súbore nie je ani jedna položka, ktorá by sa dala importovať."_s + Unchanged +
                         (result.errors.isEmpty() ? QString() : refused),
                     errorCaption);
        return;
    case PriceListImport::Outcome::BackupFailed:
        dialogs.warn(u"Zálohu cenníka sa nepodarilo vytvoriť: "_s + result.error + Unchanged, errorCaption);
        return;
    case PriceListImport::Outcome::Failed:
        dialogs.warn(u"Import sa nepodaril: "_s + result.error + Unchanged, errorCaption);
        return;
    case PriceListImport::Outcome::Imported:
        break;
    }
    QString text = u"Importované karty: %1."_s.arg(result.imported);
    if (!result.backupPath.isEmpty())
        text += u"\r\nPôvodný cenník je v zálohe %1."_s.arg(QDir::toNativeSeparators(result.backupPath));
    if (result.errors.isEmpty())
        dialogs.inform(text, caption);
    else
        dialogs.warn(text + refused, caption);
}

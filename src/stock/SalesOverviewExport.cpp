#include "stock/SalesOverviewExport.h"

#include "base/Cp1250.h"
#include "stock/SalesOverview.h"
#include "stock/SalesOverviewColumns.h"

#include <QFile>
#include <QSaveFile>

#include <xlsxwriter.h>

using namespace Qt::StringLiterals;

namespace {

using Columns = SalesOverviewColumns;
using Item = SalesOverviewRows::Item;

// A cell of separated text: quoted where it holds the separator, a quote or a line break.
QString csvCell(const QString &text)
{
    if (!text.contains(u';') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(u"\""_s, u"\"\""_s);
    return u'"' + quoted + u'"';
}

QString csvLine(const QStringList &cells)
{
    QStringList quoted;
    for (const QString &cell : cells)
        quoted.append(csvCell(cell));
    // Windows line ends: the files are opened in the shop's office programs.
    return quoted.join(u';') + u"\r\n"_s;
}

QStringList captions(const QList<Columns::Column> &columns)
{
    QStringList cells;
    for (const Columns::Column &column : columns)
        cells.append(column.caption);
    return cells;
}

QStringList totalCells(const QList<Columns::Column> &columns, double total)
{
    QStringList cells(columns.size());
    cells[0] = u"Spolu"_s;
    cells[Columns::totalColumn(columns)] = Columns::amountText(total);
    return cells;
}

// The workbook's formats, made once: a cell format per kind of column.
struct SheetFormats
{
    lxw_format *amount;
    lxw_format *date;
    lxw_format *bold;
};

void writeCell(lxw_worksheet *sheet, lxw_row_t row, lxw_col_t col, const Columns::Column &column,
               const Item &item, const SheetFormats &formats)
{
    const QVariant value = Columns::value(item, column.field);
    switch (column.kind) {
    case Columns::Kind::Integer:
        worksheet_write_number(sheet, row, col, value.toInt(), nullptr);
        break;
    case Columns::Kind::Amount:
        worksheet_write_number(sheet, row, col, value.toDouble(), formats.amount);
        break;
    case Columns::Kind::Date:
        if (const QDate date = value.toDate(); date.isValid()) {
            lxw_datetime when{date.year(), date.month(), date.day(), 0, 0, 0};
            worksheet_write_datetime(sheet, row, col, &when, formats.date);
        }
        break;
    case Columns::Kind::Text:
        if (const QString text = value.toString(); !text.isEmpty())
            worksheet_write_string(sheet, row, col, text.toUtf8().constData(), nullptr);
        break;
    }
}

// Rows beyond this are written to the sheet's file as they come instead of being
// kept until the workbook closes: a million rows would take a gigabyte. Such a
// sheet keeps its texts in the cells rather than in the shared table.
constexpr qint64 kStreamedRows = 50000;

} // namespace

SalesOverviewExport::SalesOverviewExport(SalesOverview &overview, SalesOverviewChoices::Grouping grouping)
    : m_overview(overview), m_grouping(grouping)
{}

// The rows ran out before the count said they would: the sales could not be read
// (the file went away, the server is no longer reached), and a short file is no export.
QString SalesOverviewExport::unreadText(const QString &path) const
{
    return u"Súbor %1 sa nezapísal: prehľad predaja sa nedá prečítať. %2"_s.arg(path, m_overview.lastError())
        .trimmed();
}

bool SalesOverviewExport::fail(const QString &text)
{
    m_error = text;
    return false;
}

bool SalesOverviewExport::write(const QString &path, Format format)
{
    m_error.clear();
    if (!m_overview.isOpen())
        return fail(u"Prehľad predaja nemá otvorený súbor predaja."_s);
    switch (format) {
    case Format::Xlsx:
        return writeXlsx(path);
    case Format::CsvCp1250:
        return writeCsv(path, false);
    case Format::CsvUtf8:
        break;
    }
    return writeCsv(path, true);
}

bool SalesOverviewExport::writeCsv(const QString &path, bool utf8)
{
    const QList<Columns::Column> columns = Columns::of(m_grouping);
    const SalesOverviewRows::ItemSummary summary = m_overview.itemSummary();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(u"Súbor %1 sa nedá vytvoriť: %2"_s.arg(path, file.errorString()));
    const auto put = [&](const QString &text) {
        return file.write(utf8 ? text.toUtf8() : Cp1250::encode(text)) >= 0;
    };
    bool ok = (!utf8 || file.write("\xEF\xBB\xBF") == 3) && put(csvLine(captions(columns)));
    for (qint64 offset = 0; ok && offset < summary.rows; offset += RowsPerRead) {
        const QList<Item> items = m_overview.items(offset, RowsPerRead);
        if (items.isEmpty())
            return fail(unreadText(path)); // the file is dropped uncommitted
        QString text;
        for (const Item &item : items) {
            QStringList cells;
            for (const Columns::Column &column : columns)
                cells.append(Columns::text(item, column));
            text += csvLine(cells);
        }
        ok = put(text);
    }
    ok = ok && put(csvLine(totalCells(columns, summary.total)));
    if (!ok || !file.commit())
        return fail(u"Súbor %1 sa nedá zapísať: %2"_s.arg(path, file.errorString()));
    return true;
}

bool SalesOverviewExport::writeXlsx(const QString &path)
{
    const QList<Columns::Column> columns = Columns::of(m_grouping);
    const SalesOverviewRows::ItemSummary summary = m_overview.itemSummary();
    if (summary.rows + 2 > SheetRows)
        return fail(u"Prehľad má %1 riadkov, viac ako sa zmestí na hárok zošita. Zúžte výber alebo uložte "
                    "prehľad ako CSV."_s.arg(summary.rows));
    // Written beside the file and put in its place once whole.
    const QString partial = path + u".part"_s;
    lxw_workbook_options options{};
    options.constant_memory = summary.rows > kStreamedRows ? LXW_TRUE : LXW_FALSE;
    lxw_workbook *workbook = workbook_new_opt(QFile::encodeName(partial).constData(), &options);
    if (!workbook)
        return fail(u"Súbor %1 sa nedá vytvoriť."_s.arg(path));
    lxw_worksheet *sheet = workbook_add_worksheet(workbook, "Prehľad predaja");
    SheetFormats formats{workbook_add_format(workbook), workbook_add_format(workbook),
                         workbook_add_format(workbook)};
    format_set_num_format(formats.amount, "0.00");
    format_set_num_format(formats.date, "dd.mm.yyyy");
    format_set_bold(formats.bold);
    for (qsizetype col = 0; col < columns.size(); ++col) {
        worksheet_write_string(sheet, 0, lxw_col_t(col), columns[col].caption.toUtf8().constData(),
                               formats.bold);
        worksheet_set_column(sheet, lxw_col_t(col), lxw_col_t(col), columns[col].widthMm / 2, nullptr);
    }
    lxw_row_t row = 1;
    for (qint64 offset = 0; offset < summary.rows; offset += RowsPerRead) {
        const QList<Item> items = m_overview.items(offset, RowsPerRead);
        if (items.isEmpty()) {
            workbook_close(workbook);
            QFile::remove(partial);
            return fail(unreadText(path));
        }
        for (const Item &item : items) {
            for (qsizetype col = 0; col < columns.size(); ++col)
                writeCell(sheet, row, lxw_col_t(col), columns[col], item, formats);
            ++row;
        }
    }
    worksheet_write_string(sheet, row, 0, "Spolu", formats.bold);
    worksheet_write_number(sheet, row, lxw_col_t(Columns::totalColumn(columns)), summary.total,
                           formats.amount);
    const lxw_error result = workbook_close(workbook);
    if (result != LXW_NO_ERROR) {
        QFile::remove(partial);
        return fail(u"Súbor %1 sa nedá zapísať (%2)."_s.arg(path, QString::fromUtf8(lxw_strerror(result))));
    }
    QFile::remove(path);
    if (!QFile::rename(partial, path)) {
        QFile::remove(partial);
        return fail(u"Súbor %1 sa nedá zapísať."_s.arg(path));
    }
    return true;
}

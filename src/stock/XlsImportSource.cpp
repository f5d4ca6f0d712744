#include "stock/XlsImportSource.h"

#include "stock/ImportCells.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <freexl.h>

#include <utility>

using namespace Qt::StringLiterals;

namespace {

QString openError(int code)
{
    switch (code) {
    case FREEXL_FILE_NOT_FOUND:
        return u"súbor neexistuje alebo sa nedá otvoriť"_s;
    case FREEXL_INSUFFICIENT_MEMORY:
        return u"nedostatok pamäte"_s;
    case FREEXL_INVALID_CFBF_HEADER:
    case FREEXL_CFBF_INVALID_SIGNATURE:
        return u"nie je to zošit Excelu (XLS)"_s;
    default:
        return u"zošit je poškodený alebo v nepodporovanom formáte (chyba %1)"_s.arg(code);
    }
}

// A workbook opened by freexl, closed again on every way out.
struct Workbook
{
    Workbook() = default;
    Workbook(const Workbook &) = delete;
    Workbook &operator=(const Workbook &) = delete;
    ~Workbook()
    {
        if (handle)
            freexl_close(handle);
    }
    const void *release() { return std::exchange(handle, nullptr); }

    const void *handle = nullptr;
};

// freexl needs the handle closed even when opening failed.
int openWorkbook(const QString &path, bool infoOnly, Workbook &book)
{
    const QByteArray name = QFile::encodeName(path);
    return infoOnly ? freexl_open_info(name.constData(), &book.handle)
                    : freexl_open(name.constData(), &book.handle);
}

QString protectedError()
{
    return u"zošit je chránený heslom"_s;
}

bool isProtected(const void *handle)
{
    unsigned int password = 0;
    return freexl_get_info(handle, FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK &&
           password == FREEXL_BIFF_OBFUSCATED;
}

QStringList sheetNames(const void *handle)
{
    unsigned int count = 0;
    if (freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK)
        return {};
    QStringList names;
    for (unsigned int i = 0; i < count && i <= 0xFFFF; ++i) {
        const char *name = nullptr;
        if (freexl_get_worksheet_name(handle, (unsigned short)i, &name) != FREEXL_OK || !name)
            return {};
        names << QString::fromUtf8(name);
    }
    return names;
}

// freexl writes dates as "2026-03-01" and date-times as "2026-03-01 14:30:00".
void addDate(ImportCells &cells, const char *text)
{
    const QString value = QString::fromLatin1(text);
    const QDateTime dateTime = QDateTime::fromString(value, u"yyyy-MM-dd HH:mm:ss"_s);
    if (dateTime.isValid() && dateTime.time() != QTime(0, 0)) {
        cells.text(dateTime.toString(u"dd.MM.yyyy HH:mm:ss"_s));
        return;
    }
    const QDate date = dateTime.isValid() ? dateTime.date() : QDate::fromString(value, u"yyyy-MM-dd"_s);
    if (date.isValid())
        cells.date(date);
    else
        cells.text(value);
}

void addCell(ImportCells &cells, const FreeXL_CellValue &value)
{
    switch (value.type) {
    case FREEXL_CELL_INT:
        cells.number(value.value.int_value);
        break;
    case FREEXL_CELL_DOUBLE:
        cells.number(value.value.double_value);
        break;
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_TIME:
        cells.text(QString::fromUtf8(value.value.text_value));
        break;
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
        addDate(cells, value.value.text_value);
        break;
    default:
        cells.empty();
        break;
    }
}

} // namespace

XlsImportSource::XlsImportSource(QString path, Options options)
    : m_path(std::move(path)), m_options(std::move(options))
{}

XlsImportSource::~XlsImportSource()
{
    if (m_handle)
        freexl_close(m_handle);
}

QStringList XlsImportSource::sheets(const QString &path, QString *error)
{
    const QString shown = QDir::toNativeSeparators(path);
    Workbook book;
    const int opened = openWorkbook(path, true, book);
    if (opened != FREEXL_OK) {
        *error = u"Súbor %1 sa nedá čítať: %2"_s.arg(shown, openError(opened));
        return {};
    }
    if (isProtected(book.handle)) {
        *error = u"Súbor %1 sa nedá čítať: %2"_s.arg(shown, protectedError());
        return {};
    }
    const QStringList names = sheetNames(book.handle);
    if (names.isEmpty())
        *error = u"Súbor %1 sa nedá čítať: zošit nemá žiadny hárok"_s.arg(shown);
    return names;
}

bool XlsImportSource::fail(const QString &reason)
{
    m_error = u"Súbor %1 sa nedá čítať: %2"_s.arg(QDir::toNativeSeparators(m_path), reason);
    return false;
}

bool XlsImportSource::open()
{
    Workbook book;
    const int opened = openWorkbook(m_path, false, book);
    if (opened != FREEXL_OK)
        return fail(openError(opened));
    if (isProtected(book.handle))
        return fail(protectedError());
    m_handle = book.release();
    return selectSheet();
}

bool XlsImportSource::selectSheet()
{
    const QStringList names = sheetNames(m_handle);
    if (names.isEmpty())
        return fail(u"zošit nemá žiadny hárok"_s);
    const qsizetype index = m_options.sheet.isEmpty() ? 0 : names.indexOf(m_options.sheet);
    if (index < 0)
        return fail(u"zošit nemá hárok „%1“"_s.arg(m_options.sheet));
    if (freexl_select_active_worksheet(m_handle, (unsigned short)index) != FREEXL_OK ||
        freexl_worksheet_dimensions(m_handle, &m_rows, &m_columns) != FREEXL_OK)
        return fail(u"hárok „%1“ sa nedá prečítať"_s.arg(names.at(index)));
    m_row = 0;
    return true;
}

bool XlsImportSource::readRow(ImportRow &row)
{
    ImportCells cells(row);
    for (unsigned short column = 0; column < m_columns; ++column) {
        FreeXL_CellValue value{};
        if (freexl_get_cell_value(m_handle, m_row, column, &value) != FREEXL_OK)
            return fail(u"bunka v riadku %1 sa nedá prečítať"_s.arg(m_row + 1));
        addCell(cells, value);
    }
    cells.trimEnd();
    row.number = ++m_row;
    return true;
}

ImportRowSource::Read XlsImportSource::next(ImportRow &row)
{
    if (!m_handle) {
        if (m_error.isEmpty())
            fail(u"zošit nie je otvorený"_s);
        return Read::Failed;
    }
    if (m_row == 0 && m_options.titleRow && m_rows > 0 && !readRow(row))
        return Read::Failed;
    if (m_row >= m_rows)
        return Read::End;
    return readRow(row) ? Read::Row : Read::Failed;
}

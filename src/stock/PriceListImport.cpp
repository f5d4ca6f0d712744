#include "stock/PriceListImport.h"

#include "base/Progress.h"
#include "lang/MessageTable.h"
#include "stock/BulkWriteSettings.h"
#include "stock/DataFile.h"
#include "stock/ImportRowSource.h"
#include "stock/StockBackup.h"
#include "stock/StockRow.h"
#include "stock/StockRowWriter.h"
#include "stock/StockTable.h"
#include "stock/TableLayouts.h"
#include "stock/UnitAndGroupNames.h"
#include "stock/WriteTransaction.h"

#include <QHash>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>
#include <variant>

using namespace Qt::StringLiterals;

namespace {

constexpr int ProgressStep = 256;
constexpr int NameLength = 40;
constexpr int CodeLength = 20;
constexpr int LastVatPosition = 6;
constexpr int LastUnitPosition = UnitAndGroupNames::UnitCount - 1;

enum Column { Nazov = 1, Kod, Jc, Pocet, DphIdx, MjIdx };

const char16_t *columnName(int column)
{
    constexpr const char16_t *Names[] = {u"", u"NAZOV", u"KOD", u"JC", u"POCET", u"DPH_IDX", u"MJ_IDX"};
    return Names[column];
}

using Mapped = std::variant<StockRow, PriceListImport::RowError>;

// Turns the cells of one source row into a card, or tells what keeps it from
// being one. Codes are checked against the other rows elsewhere.
class RowMapper
{
public:
    RowMapper(const QLocale &locale, const UnitAndGroupNames &names) : m_locale(locale), m_units(names.units)
    {}

    Mapped map(const ImportRow &row) const
    {
        if (row.cells.size() < PriceListImport::ColumnCount)
            return error(
                row, 0,
                u"riadok má %1 stĺpcov, treba %2"_s.arg(row.cells.size()).arg(PriceListImport::ColumnCount));
        StockRow card;
        if (auto failure = texts(row, card))
            return *failure;
        if (auto failure = numbers(row, card))
            return *failure;
        card.mj = m_units.at(card.mjIdx);
        return card;
    }

    static PriceListImport::RowError error(const ImportRow &row, int column, const QString &reason)
    {
        const QString where =
            column == 0 ? QString() : u"stĺpec %1 (%2): "_s.arg(column).arg(columnName(column));
        return {row.number, column, u"Riadok %1: %2%3"_s.arg(row.number).arg(where, reason), 0};
    }

private:
    using Failure = std::optional<PriceListImport::RowError>;

    static Failure texts(const ImportRow &row, StockRow &card)
    {
        card.nazov = cell(row, Nazov);
        card.kod = cell(row, Kod);
        if (card.nazov.isEmpty())
            return error(row, Nazov, u"chýba názov"_s);
        if (card.nazov.size() > NameLength)
            return error(row, Nazov, tooLong(card.nazov, NameLength));
        if (card.kod.size() > CodeLength)
            return error(row, Kod, tooLong(card.kod, CodeLength));
        return std::nullopt;
    }

    Failure numbers(const ImportRow &row, StockRow &card) const
    {
        for (auto [column, target] : {std::pair{Jc, &card.jc}, std::pair{Pocet, &card.pocet}}) {
            const std::optional<double> value = number(row, column);
            if (!value)
                return error(row, column, u"„%1“ nie je číslo"_s.arg(cell(row, column)));
            *target = *value;
        }
        for (auto [column, last, target] : {std::tuple{DphIdx, LastVatPosition, &card.dphIdx},
                                            std::tuple{MjIdx, LastUnitPosition, &card.mjIdx}}) {
            const std::optional<int> value = position(row, column, last);
            if (!value)
                return error(row, column,
                             u"„%1“ nie je poradie od 0 do %2"_s.arg(cell(row, column)).arg(last));
            *target = *value;
        }
        return std::nullopt;
    }

    static QString cell(const ImportRow &row, int column) { return row.cells.at(column - 1).trimmed(); }

    static QString tooLong(const QString &text, int most)
    {
        return u"„%1“ má %2 znakov, najviac %3"_s.arg(text).arg(text.size()).arg(most);
    }

    // An empty cell is 0, as an empty number field of a card. Where the
    // regional settings group thousands by a space, any kind of space does:
    // a file written by hand has a plain one, a spreadsheet a non-breaking one.
    std::optional<double> number(const ImportRow &row, int column) const
    {
        QString text = cell(row, column);
        if (text.isEmpty())
            return 0.0;
        if (row.isNumber(column - 1)) {
            bool ok = false;
            const double value = QLocale::c().toDouble(text, &ok);
            return ok && std::isfinite(value) ? std::optional(value) : std::nullopt;
        }
        if (m_locale.groupSeparator().trimmed().isEmpty())
            text.remove(u' ').remove(QChar(0x00A0)).remove(QChar(0x202F));
        bool ok = false;
        const double value = m_locale.toDouble(text, &ok);
        return ok && std::isfinite(value) ? std::optional(value) : std::nullopt;
    }

    std::optional<int> position(const ImportRow &row, int column, int last) const
    {
        const std::optional<double> value = number(row, column);
        if (!value || *value < 0 || *value > last || *value != std::floor(*value))
            return std::nullopt;
        return int(*value);
    }

    QLocale m_locale;
    std::array<QString, UnitAndGroupNames::UnitCount> m_units;
};

// The codes of the rows imported so far: a repeated code is refused, an empty
// one replaced by the next free generated code, and a generated code that a
// later row brings itself is handed to that row.
class CodeKeeper
{
public:
    explicit CodeKeeper(DataFile &stock, StockRowWriter &writer) : m_writer(writer), m_move(stock.database())
    {
        m_move.prepare(u"UPDATE %1 SET KOD = ? WHERE rowid = ?"_s.arg(TableLayouts::StockTableName));
    }

    // The row that first brought `kod`, 0 for none or a generated code.
    qint64 ownerOf(const QString &kod) const { return m_rows.value(kod, 0); }

    // Makes `card` a free code; false with error() when the file failed.
    bool settle(StockRow &card, qint64 row)
    {
        if (card.kod.isEmpty()) {
            card.kod = nextGenerated();
            m_generated.insert(card.kod);
            return true;
        }
        if (m_generated.remove(card.kod) && !moveGenerated(card.kod))
            return false;
        m_rows.insert(card.kod, row);
        return true;
    }

    const QString &error() const { return m_error.isEmpty() ? m_writer.error() : m_error; }

private:
    QString nextGenerated()
    {
        QString kod;
        do
            kod = u"I_%1"_s.arg(++m_counter, 4, 10, QChar(u'0'));
        while (m_rows.contains(kod) || m_generated.contains(kod));
        return kod;
    }

    bool moveGenerated(const QString &kod)
    {
        const auto rowId = m_writer.rowIdOf(kod);
        if (!rowId || !rowId->has_value())
            return false;
        const QString other = nextGenerated();
        m_move.addBindValue(other);
        m_move.addBindValue(**rowId);
        if (!m_move.exec()) {
            m_error = DataFile::engineText(m_move.lastError());
            return false;
        }
        m_generated.insert(other);
        return true;
    }

    StockRowWriter &m_writer;
    QSqlQuery m_move;
    QHash<QString, qint64> m_rows;
    QSet<QString> m_generated;
    int m_counter = 0;
    QString m_error;
};

bool isBlank(const ImportRow &row)
{
    return std::all_of(row.cells.cbegin(), row.cells.cend(),
                       [](const QString &cell) { return cell.trimmed().isEmpty(); });
}

PriceListImport::Result failed(PriceListImport::Result result, PriceListImport::Outcome outcome,
                               const QString &error)
{
    result.outcome = outcome;
    result.error = error;
    result.imported = 0;
    result.backupPath.clear();
    return result;
}

} // namespace

QString PriceListImport::RowError::message(const MessageTable &messages) const
{
    return messages.text(Msg::ImportRowError) + u" "_s + QString::number(rowsDone) + u"\r\n\n<"_s + reason +
           u">"_s;
}

PriceListImport::PriceListImport(DataFile &stock, QString dataFolder, QLocale locale)
    : m_stock(stock), m_dataFolder(std::move(dataFolder)), m_locale(std::move(locale))
{}

PriceListImport::Result PriceListImport::run(ImportRowSource &source, Progress &progress,
                                             const QDateTime &now)
{
    StockTable table(m_stock);
    if ((!table.exists() && !table.create()) || !table.ensureChangeLog())
        return failed({}, Outcome::Failed, m_stock.lastError());
    return replace(source, progress, now);
}

std::optional<bool> PriceListImport::holdsCards()
{
    QSqlQuery query(m_stock.database());
    query.setForwardOnly(true);
    if (!query.exec(u"SELECT EXISTS (SELECT 1 FROM %1)"_s.arg(TableLayouts::StockTableName)) ||
        !query.next()) {
        m_stock.setError(DataFile::engineText(query.lastError()));
        return std::nullopt;
    }
    return query.value(0).toBool();
}

// Taken under the write lock and before the first write: the copy is the table
// as every till sees it now.
bool PriceListImport::backUpAndEmpty(const QDateTime &now, Result &result)
{
    const std::optional<bool> cards = holdsCards();
    if (!cards) {
        result = failed(result, Outcome::Failed, m_stock.lastError());
        return false;
    }
    if (!*cards)
        return true;
    StockBackup backup(m_dataFolder);
    if (!(m_stock.isOnServer() ? backup.takeTable(m_stock, now) : backup.take(m_stock.path(), now))) {
        result = failed(result, Outcome::BackupFailed, backup.lastError());
        return false;
    }
    result.backupPath = backup.path();
    if (!m_stock.exec(u"DELETE FROM "_s + TableLayouts::StockTableName)) {
        result = failed(result, Outcome::Failed, m_stock.lastError());
        return false;
    }
    return true;
}

PriceListImport::Result PriceListImport::replace(ImportRowSource &source, Progress &progress,
                                                 const QDateTime &now)
{
    const BulkWriteSettings settings(m_stock);
    WriteTransaction transaction(m_stock);
    Result result;
    if (!transaction.isOpen())
        return failed(result, Outcome::Failed, m_stock.lastError());
    if (!backUpAndEmpty(now, result))
        return result;
    const RowMapper mapper(m_locale, UnitAndGroupNames::load(m_dataFolder));
    StockRowWriter writer(m_stock);
    CodeKeeper codes(m_stock, writer);
    ImportRow row;
    for (;; ++result.rowsRead) {
        if (result.rowsRead % ProgressStep == 0 && !progress.advance(source.position(), source.size()))
            return failed(result, Outcome::Cancelled, {});
        const ImportRowSource::Read read = source.next(row);
        if (read == ImportRowSource::Read::End)
            break;
        if (read == ImportRowSource::Read::Failed)
            return failed(result, Outcome::Failed, source.error());
        if (isBlank(row))
            continue;
        Mapped mapped = mapper.map(row);
        if (auto *card = std::get_if<StockRow>(&mapped)) {
            if (const qint64 first = codes.ownerOf(card->kod); first != 0) {
                mapped = RowMapper::error(row, Kod, u"kód %1 má už riadok %2"_s.arg(card->kod).arg(first));
            } else if (!codes.settle(*card, row.number)) {
                return failed(result, Outcome::Failed, codes.error());
            } else {
                switch (writer.insert(*card)) {
                case StockRowWriter::Write::Done:
                    ++result.imported;
                    continue;
                case StockRowWriter::Write::Refused:
                    mapped = RowMapper::error(row, 0, writer.error());
                    break;
                case StockRowWriter::Write::Failed:
                    return failed(result, Outcome::Failed, writer.error());
                }
            }
        }
        result.errors << std::get<RowError>(mapped);
        result.errors.last().rowsDone = result.rowsRead;
        if (result.errors.size() > MostErrors)
            return failed(result, Outcome::TooManyErrors, {});
    }
    if (!progress.advance(source.size(), source.size()))
        return failed(result, Outcome::Cancelled, {});
    // A file of no card (empty, all rows refused, read with the wrong settings) would
    // otherwise leave the shop without a price list.
    if (result.imported == 0)
        return failed(result, Outcome::NothingImported, {});
    if (!transaction.commit())
        return failed(result, Outcome::Failed, m_stock.lastError());
    result.outcome = Outcome::Imported;
    return result;
}

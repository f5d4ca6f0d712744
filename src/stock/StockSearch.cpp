#include "stock/StockSearch.h"

#include "stock/CardListQuery.h"
#include "stock/DataFile.h"
#include "stock/StockChangeLog.h"
#include "stock/TableLayouts.h"

#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

#include <algorithm>
#include <numeric>
#include <string_view>

using namespace Qt::StringLiterals;

namespace {

// Row ids bound in one IN list when changed cards are read.
constexpr qsizetype RowIdsPerRead = 500;

const QString SelectedColumns = u"rowid, NAZOV, KOD, BARCODE, JC, PREF, SKLAD_IDX"_s;

// The folded text as UTF-8, sharing `utf8` when folding changes nothing (codes
// of digits, names in capitals): no second copy in memory then.
QByteArray foldedUtf8(const QString &text, const QByteArray &utf8)
{
    const QString folded = StockSearch::fold(text);
    return folded == text ? utf8 : folded.toUtf8();
}

} // namespace

StockSearch::StockSearch(DataFile &file) : m_file(file) {}

QString StockSearch::fold(const QString &text)
{
    return text.toUpper();
}

bool StockSearch::fail(const QSqlQuery &query)
{
    m_error = DataFile::engineText(query.lastError());
    return false;
}

bool StockSearch::readChangeMarks(ChangeMarks &marks)
{
    if (m_file.isOnServer())
        return readServerMarks(marks);
    QSqlQuery query(m_file.database());
    query.setForwardOnly(true);
    if (!query.exec(u"PRAGMA data_version"_s) || !query.next())
        return fail(query);
    marks.dataVersion = query.value(0).toLongLong();
    if (!query.exec(u"SELECT total_changes()"_s) || !query.next())
        return fail(query);
    marks.totalChanges = query.value(0).toLongLong();
    return true;
}

// The server has no counter of a database's changes: the change log's newest
// number tells instead (one look into its key's index), and the tables' files
// tell what the log cannot, a table made anew (an import) or emptied by
// TRUNCATE, which fires no row trigger. The files are read after the number, so
// that a log made anew in between is told by its file. Without a log (never
// made on the server by this program) every search reads the table.
bool StockSearch::readServerMarks(ChangeMarks &marks)
{
    std::optional<qint64> position;
    if (m_logged) {
        position = StockChangeLog(m_file).lastPosition();
        m_logged = position.has_value(); // a log gone: read whole, which looks for it
    }
    QSqlQuery query(m_file.database());
    query.setForwardOnly(true);
    if (!query.exec(
            u"SELECT pg_relation_filenode(to_regclass('%1')), pg_relation_filenode(to_regclass('%2'))"_s.arg(
                TableLayouts::StockTableName, StockChangeLog::TableName)) ||
        !query.next())
        return fail(query);
    marks.schemaVersion = query.value(0).toLongLong();
    const QVariant logFile = query.value(1);
    marks.totalChanges = logFile.isNull() ? -1 : logFile.toLongLong();
    marks.dataVersion = position && !logFile.isNull() ? *position : -2 - m_fullReads; // never the same twice
    return true;
}

// VACUUM may number the rows anew and tells no trigger, but it raises the
// schema version, as does every change of the tables and triggers themselves.
bool StockSearch::readSchemaVersion(qint64 &version)
{
    if (m_file.isOnServer())
        return true; // read with the other marks
    QSqlQuery query(m_file.database());
    query.setForwardOnly(true);
    if (!query.exec(u"PRAGMA schema_version"_s) || !query.next())
        return fail(query);
    version = query.value(0).toLongLong();
    return true;
}

bool StockSearch::refreshIfChanged()
{
    ChangeMarks marks;
    if (!readChangeMarks(marks))
        return false;
    // The server's marks hold the tables' files too, read at once.
    const bool onServer = m_file.isOnServer();
    if (m_loaded && marks.dataVersion == m_marks.dataVersion && marks.totalChanges == m_marks.totalChanges &&
        (!onServer || marks.schemaVersion == m_marks.schemaVersion))
        return true;
    if (!readSchemaVersion(marks.schemaVersion))
        return false;
    // On the server a log made anew (its file in totalChanges) is no log to follow either.
    const bool sameTables = marks.schemaVersion == m_marks.schemaVersion &&
                            (!onServer || marks.totalChanges == m_marks.totalChanges);
    Patch patch = Patch::ReadWhole;
    if (m_loaded && m_logged && sameTables)
        patch = applyLoggedChanges();
    if (patch == Patch::Failed || (patch == Patch::ReadWhole && !load()))
        return false;
    m_marks = marks;
    return true;
}

StockSearch::Card StockSearch::cardFrom(const QSqlQuery &query)
{
    Card card;
    card.rowId = query.value(0).toLongLong();
    const QString name = query.value(1).toString();
    card.name = name.toUtf8();
    card.nameKey = foldedUtf8(name, card.name);
    const QVariant code = query.value(2);
    card.hasCode = !code.isNull();
    if (card.hasCode) {
        const QString text = code.toString();
        card.code = text.toUtf8();
        card.codeKey = foldedUtf8(text, card.code);
    }
    const QVariant barcode = query.value(3);
    card.hasBarcode = !barcode.isNull();
    if (card.hasBarcode)
        card.barcodeKey = fold(barcode.toString()).toUtf8();
    card.price = query.value(4).toDouble();
    card.preferred = query.value(5).toInt() != 0;
    const QVariant group = query.value(6);
    card.group = group.isNull() ? NoGroup : group.toLongLong();
    return card;
}

bool StockSearch::load()
{
    m_loaded = false;
    ++m_fullReads;
    // The log's position is read before the cards: a change committed between
    // the two is applied once more later, never missed.
    StockChangeLog log(m_file);
    const std::optional<bool> logged = log.isInstalled();
    const std::optional<qint64> position = logged && *logged ? log.lastPosition() : std::optional<qint64>(0);
    if (!logged || !position) {
        m_error = m_file.lastError();
        return false;
    }
    QSqlQuery query(m_file.database());
    query.setForwardOnly(true);
    if (!query.exec(u"SELECT %1 FROM VX60_SKLAD ORDER BY NAZOV, rowid"_s.arg(SelectedColumns)))
        return fail(query);
    clear();
    while (query.next())
        m_cards.push_back(cardFrom(query));
    if (query.lastError().isValid())
        return fail(query);
    buildOrders();
    m_logged = *logged;
    m_position = *position;
    m_loaded = true;
    return true;
}

StockSearch::Patch StockSearch::applyLoggedChanges()
{
    const std::optional<StockChangeLog::Changes> changes =
        StockChangeLog(m_file).changesAfter(m_position, MostPatchedChanges);
    if (!changes) {
        m_error = m_file.lastError();
        return Patch::Failed;
    }
    if (!changes->complete)
        return Patch::ReadWhole;
    const std::optional<QHash<qint64, Card>> fresh = readCards(changes->rowIds);
    if (!fresh)
        return Patch::Failed;
    for (qint64 rowId : changes->rowIds) {
        const int slot = m_slotOfRow.value(rowId, -1);
        const auto card = fresh->constFind(rowId);
        if (card == fresh->cend()) {
            if (slot >= 0)
                removeCard(slot);
        } else if (slot >= 0) {
            updateCard(slot, *card);
        } else {
            addCard(*card);
        }
    }
    m_position = changes->last;
    return Patch::Applied;
}

// The cards of `rowIds` as they are now; a deleted card is absent.
std::optional<QHash<qint64, StockSearch::Card>> StockSearch::readCards(const QList<qint64> &rowIds)
{
    QHash<qint64, Card> cards;
    for (qsizetype from = 0; from < rowIds.size(); from += RowIdsPerRead) {
        const QList<qint64> part = rowIds.mid(from, RowIdsPerRead);
        QStringList marks;
        marks.fill(u"?"_s, part.size());
        QSqlQuery query(m_file.database());
        query.setForwardOnly(true);
        query.prepare(
            u"SELECT %1 FROM VX60_SKLAD WHERE rowid IN (%2)"_s.arg(SelectedColumns, marks.join(u',')));
        for (qint64 id : part)
            query.addBindValue(id);
        if (!query.exec()) {
            fail(query);
            return std::nullopt;
        }
        while (query.next()) {
            Card card = cardFrom(query);
            cards.insert(card.rowId, std::move(card));
        }
        if (query.lastError().isValid()) {
            fail(query);
            return std::nullopt;
        }
    }
    return cards;
}

void StockSearch::clear()
{
    m_cards.clear();
    m_freeSlots.clear();
    m_slotOfRow.clear();
    m_slotsOfBarcode.clear();
    m_nameOrder.clear();
    m_codeOrder.clear();
    m_priceOrder.clear();
    m_codeKeyOrder.clear();
    m_names.stale = m_codes.stale = true;
}

void StockSearch::buildOrders()
{
    const int count = int(m_cards.size());
    m_slotOfRow.reserve(count);
    for (int slot = 0; slot < count; ++slot) {
        m_slotOfRow.insert(m_cards[size_t(slot)].rowId, slot);
        linkBarcode(slot);
    }
    auto by = [this](Less less) { return [this, less](int a, int b) { return (this->*less)(a, b); }; };
    // The cards came in name order; sorted only should SQL have seen it otherwise.
    m_nameOrder.resize(size_t(count));
    std::iota(m_nameOrder.begin(), m_nameOrder.end(), 0);
    if (!std::is_sorted(m_nameOrder.begin(), m_nameOrder.end(), by(&StockSearch::nameLess)))
        std::sort(m_nameOrder.begin(), m_nameOrder.end(), by(&StockSearch::nameLess));
    m_codeOrder = m_nameOrder;
    std::sort(m_codeOrder.begin(), m_codeOrder.end(), by(&StockSearch::codeLess));
    // Equal prices keep the name order, which is priceLess's tie-break.
    m_priceOrder = m_nameOrder;
    std::stable_sort(m_priceOrder.begin(), m_priceOrder.end(),
                     [this](int a, int b) { return m_cards[size_t(a)].price < m_cards[size_t(b)].price; });
    // Codes are mostly digits, which folding leaves alone: the folded order is then the
    // code order without the cards that have no code.
    m_codeKeyOrder.clear();
    bool foldingKeepsCodes = true;
    for (int slot : m_codeOrder) {
        const Card &card = m_cards[size_t(slot)];
        if (!card.hasCode)
            continue;
        foldingKeepsCodes = foldingKeepsCodes && card.codeKey == card.code;
        m_codeKeyOrder.push_back(slot);
    }
    if (!foldingKeepsCodes)
        std::sort(m_codeKeyOrder.begin(), m_codeKeyOrder.end(), by(&StockSearch::codeKeyLess));
    m_names.stale = m_codes.stale = true;
}

bool StockSearch::nameLess(int a, int b) const
{
    const Card &left = m_cards[size_t(a)];
    const Card &right = m_cards[size_t(b)];
    const int order = left.name.compare(right.name);
    return order != 0 ? order < 0 : left.rowId < right.rowId;
}

// SQL puts NULL before every text.
bool StockSearch::codeLess(int a, int b) const
{
    const Card &left = m_cards[size_t(a)];
    const Card &right = m_cards[size_t(b)];
    if (left.hasCode != right.hasCode)
        return !left.hasCode;
    const int order = left.code.compare(right.code);
    return order != 0 ? order < 0 : left.rowId < right.rowId;
}

bool StockSearch::codeKeyLess(int a, int b) const
{
    const Card &left = m_cards[size_t(a)];
    const Card &right = m_cards[size_t(b)];
    const int order = left.codeKey.compare(right.codeKey);
    return order != 0 ? order < 0 : left.rowId < right.rowId;
}

bool StockSearch::priceLess(int a, int b) const
{
    const Card &left = m_cards[size_t(a)];
    const Card &right = m_cards[size_t(b)];
    if (left.price != right.price)
        return left.price < right.price;
    return nameLess(a, b);
}

void StockSearch::insertSorted(std::vector<int> &order, int slot, Less less) const
{
    const auto at = std::lower_bound(order.begin(), order.end(), slot,
                                     [this, less](int a, int b) { return (this->*less)(a, b); });
    order.insert(at, slot);
}

// Called while the card still holds the values it was sorted by.
void StockSearch::eraseSorted(std::vector<int> &order, int slot, Less less) const
{
    auto at = std::lower_bound(order.begin(), order.end(), slot,
                               [this, less](int a, int b) { return (this->*less)(a, b); });
    if (at == order.end() || *at != slot)
        at = std::find(order.begin(), order.end(), slot);
    if (at != order.end())
        order.erase(at);
}

void StockSearch::linkBarcode(int slot)
{
    const Card &card = m_cards[size_t(slot)];
    // The empty bar code is left out: it is never looked up, and thousands of
    // cards may share it.
    if (card.hasBarcode && !card.barcodeKey.isEmpty())
        m_slotsOfBarcode.insert(card.barcodeKey, slot);
}

void StockSearch::unlinkBarcode(int slot)
{
    const Card &card = m_cards[size_t(slot)];
    if (card.hasBarcode && !card.barcodeKey.isEmpty())
        m_slotsOfBarcode.remove(card.barcodeKey, slot);
}

void StockSearch::addCard(Card card)
{
    int slot = int(m_cards.size());
    if (m_freeSlots.empty()) {
        m_cards.push_back(std::move(card));
    } else {
        slot = m_freeSlots.back();
        m_freeSlots.pop_back();
        m_cards[size_t(slot)] = std::move(card);
    }
    const Card &added = m_cards[size_t(slot)];
    m_slotOfRow.insert(added.rowId, slot);
    linkBarcode(slot);
    insertSorted(m_nameOrder, slot, &StockSearch::nameLess);
    insertSorted(m_codeOrder, slot, &StockSearch::codeLess);
    insertSorted(m_priceOrder, slot, &StockSearch::priceLess);
    if (added.hasCode)
        insertSorted(m_codeKeyOrder, slot, &StockSearch::codeKeyLess);
    m_names.stale = m_codes.stale = true;
}

void StockSearch::removeCard(int slot)
{
    Card &card = m_cards[size_t(slot)];
    eraseSorted(m_nameOrder, slot, &StockSearch::nameLess);
    eraseSorted(m_codeOrder, slot, &StockSearch::codeLess);
    eraseSorted(m_priceOrder, slot, &StockSearch::priceLess);
    if (card.hasCode)
        eraseSorted(m_codeKeyOrder, slot, &StockSearch::codeKeyLess);
    unlinkBarcode(slot);
    m_slotOfRow.remove(card.rowId);
    card = Card();
    m_freeSlots.push_back(slot);
    m_names.stale = m_codes.stale = true;
}

// Moves the card only in the orders whose key changed: a new price or group,
// the stock-card screen's usual change, leaves the names where they are.
void StockSearch::updateCard(int slot, Card fresh)
{
    Card &card = m_cards[size_t(slot)];
    const bool nameMoves = card.name != fresh.name;
    const bool codeMoves = card.hasCode != fresh.hasCode || card.code != fresh.code;
    const bool priceMoves = nameMoves || card.price != fresh.price;
    if (nameMoves)
        eraseSorted(m_nameOrder, slot, &StockSearch::nameLess);
    if (priceMoves)
        eraseSorted(m_priceOrder, slot, &StockSearch::priceLess);
    if (codeMoves) {
        eraseSorted(m_codeOrder, slot, &StockSearch::codeLess);
        if (card.hasCode)
            eraseSorted(m_codeKeyOrder, slot, &StockSearch::codeKeyLess);
    }
    unlinkBarcode(slot);
    card = std::move(fresh);
    linkBarcode(slot);
    if (nameMoves)
        insertSorted(m_nameOrder, slot, &StockSearch::nameLess);
    if (priceMoves)
        insertSorted(m_priceOrder, slot, &StockSearch::priceLess);
    if (codeMoves) {
        insertSorted(m_codeOrder, slot, &StockSearch::codeLess);
        if (card.hasCode)
            insertSorted(m_codeKeyOrder, slot, &StockSearch::codeKeyLess);
    }
    m_names.stale = m_names.stale || nameMoves;
    m_codes.stale = m_codes.stale || codeMoves;
}

void StockSearch::ensureRun(TextRun &run, const std::vector<int> &order, QByteArray Card::*key) const
{
    if (!run.stale)
        return;
    run.text.clear();
    run.starts.clear();
    run.starts.reserve(order.size() + 1);
    for (int slot : order) {
        run.starts.push_back(run.text.size());
        run.text += m_cards[size_t(slot)].*key;
        run.text += '\0';
    }
    run.starts.push_back(run.text.size());
    run.stale = false;
}

std::vector<int> StockSearch::hitsIn(TextRun &run, const std::vector<int> &order, QByteArray Card::*key,
                                     const QByteArray &needle) const
{
    std::vector<int> hits;
    if (needle.contains('\0'))
        return hits;
    ensureRun(run, order, key);
    const std::string_view text(run.text.constData(), size_t(run.text.size()));
    const std::string_view wanted(needle.constData(), size_t(needle.size()));
    // Hits come in list order, so the entry that holds one is found by walking
    // on from the previous one: one pass over the starts however many hit.
    size_t entry = 0;
    size_t from = 0;
    while (from < text.size()) {
        const size_t offset = text.find(wanted, from);
        if (offset == std::string_view::npos)
            break;
        while (size_t(run.starts[entry + 1]) <= offset)
            ++entry;
        hits.push_back(order[entry]);
        from = size_t(run.starts[entry + 1]);
    }
    return hits;
}

QList<qint64> StockSearch::idsOf(const std::vector<int> &order, bool preferredFirst) const
{
    QList<qint64> ids;
    ids.reserve(qsizetype(order.size()));
    for (int pass = preferredFirst ? 0 : 1; pass < 2; ++pass) {
        for (int slot : order) {
            const Card &card = m_cards[size_t(slot)];
            if (!preferredFirst || card.preferred == (pass == 0))
                ids.append(card.rowId);
        }
    }
    return ids;
}

// The cards whose folded code begins with `needle`: one run of the folded-code
// order, found by two binary searches.
std::vector<int> StockSearch::codePrefixHits(const QByteArray &needle) const
{
    const auto first = std::partition_point(m_codeKeyOrder.begin(), m_codeKeyOrder.end(), [&](int slot) {
        return m_cards[size_t(slot)].codeKey.compare(needle) < 0;
    });
    const auto last = std::partition_point(first, m_codeKeyOrder.end(), [&](int slot) {
        return m_cards[size_t(slot)].codeKey.startsWith(needle);
    });
    return {first, last};
}

// Code begins with the text or bar code equals it, in code order. The empty
// text keeps SQL's answer: every card with a code or with an empty bar code.
QList<qint64> StockSearch::byCode(const QByteArray &needle) const
{
    std::vector<int> hits;
    if (needle.isEmpty()) {
        std::copy_if(m_codeOrder.begin(), m_codeOrder.end(), std::back_inserter(hits), [this](int slot) {
            const Card &card = m_cards[size_t(slot)];
            return card.hasCode || (card.hasBarcode && card.barcodeKey.isEmpty());
        });
        return idsOf(hits, true);
    }
    hits = codePrefixHits(needle);
    for (auto it = m_slotsOfBarcode.constFind(needle); it != m_slotsOfBarcode.cend() && it.key() == needle;
         ++it)
        hits.push_back(it.value());
    if (hits.size() <= m_codeOrder.size() / 8) {
        std::sort(hits.begin(), hits.end(), [this](int a, int b) { return codeLess(a, b); });
        hits.erase(std::unique(hits.begin(), hits.end()), hits.end());
        return idsOf(hits, false);
    }
    // Most cards hit (a short prefix): one walk of the code order.
    std::vector<char> hit(m_cards.size(), 0);
    for (int slot : hits)
        hit[size_t(slot)] = 1;
    std::vector<int> ordered;
    ordered.reserve(hits.size());
    std::copy_if(m_codeOrder.begin(), m_codeOrder.end(), std::back_inserter(ordered),
                 [&hit](int slot) { return hit[size_t(slot)] != 0; });
    return idsOf(ordered, false);
}

std::optional<QList<qint64>> StockSearch::search(Column column, const QString &text)
{
    if (!refreshIfChanged())
        return std::nullopt;
    const QByteArray needle = fold(text).toUtf8();
    switch (column) {
    case Column::Name:
        return needle.isEmpty() ? idsOf(m_nameOrder, true)
                                : idsOf(hitsIn(m_names, m_nameOrder, &Card::nameKey, needle), false);
    case Column::Code:
        return byCode(needle);
    case Column::Price:
        return idsOf(m_priceOrder, needle.isEmpty());
    }
    return std::nullopt;
}

bool StockSearch::inListScope(const Card &card, const CardListQuery &query, const QByteArray &prefix)
{
    if (!prefix.isEmpty())
        return card.hasCode && card.codeKey.startsWith(prefix);
    return query.group < 0 || card.group == query.group;
}

QList<qint64> StockSearch::codeList(const CardListQuery &query, const QByteArray &text,
                                    const QByteArray &prefix)
{
    // A card without a code has an empty entry, which holds no text.
    const std::vector<int> hits =
        text.isEmpty() ? std::vector<int>() : hitsIn(m_codes, m_codeOrder, &Card::codeKey, text);
    const std::vector<int> &order = text.isEmpty() ? m_codeOrder : hits;
    QList<qint64> ids;
    for (int slot : order) {
        const Card &card = m_cards[size_t(slot)];
        if (inListScope(card, query, prefix))
            ids.append(card.rowId);
    }
    return ids;
}

QList<qint64> StockSearch::nameList(const CardListQuery &query, const QByteArray &text,
                                    const QByteArray &prefix)
{
    const std::vector<int> hits =
        text.isEmpty() ? std::vector<int>() : hitsIn(m_names, m_nameOrder, &Card::nameKey, text);
    const std::vector<int> &order = text.isEmpty() ? m_nameOrder : hits;
    QList<qint64> ids;
    for (int slot : order) {
        const Card &card = m_cards[size_t(slot)];
        if (inListScope(card, query, prefix))
            ids.append(card.rowId);
    }
    return ids;
}

std::optional<QList<qint64>> StockSearch::cardList(const CardListQuery &query)
{
    if (!refreshIfChanged())
        return std::nullopt;
    const QByteArray text = fold(query.text).toUtf8();
    const QByteArray prefix = fold(query.codePrefix).toUtf8();
    return query.column == Column::Code ? codeList(query, text, prefix) : nameList(query, text, prefix);
}

#include "stock/CardRenumbering.h"

#include "stock/DataFile.h"
#include "stock/NameListEdits.h"
#include "stock/WriteTransaction.h"

#include <QSqlQuery>
#include <QVariant>

using namespace Qt::StringLiterals;

namespace {

QString positionColumn(CardRenumbering::List list)
{
    return list == CardRenumbering::List::Units ? u"MJ_IDX"_s : u"SKLAD_IDX"_s;
}

struct Move
{
    int from;
    int to;
    QString text;
};

QList<Move> movesOf(const NameListEdits &edits, bool withTexts)
{
    QList<Move> moves;
    for (int now = 0; now < edits.size(); ++now) {
        const int origin = edits.originOf(now);
        if (origin == NameListEdits::NewEntry)
            continue;
        const bool renamed = withTexts && edits.texts()[now] != edits.loaded()[origin];
        if (origin != now || renamed)
            moves.append({origin, now, edits.texts()[now]});
    }
    return moves;
}

// One statement for all moves: SQLite evaluates every CASE on the old values, so
// an entry moving onto a position that another entry leaves never mixes the two
// (the server too). The server prepares the statement before it sees a value
// and cannot tell the type of a CASE's value: there it is named.
QString moveStatement(const QString &column, qsizetype count, bool withTexts, bool onServer)
{
    const QString position = onServer ? u"CAST(? AS INTEGER)"_s : u"?"_s;
    const QString text = onServer ? u"CAST(? AS VARCHAR)"_s : u"?"_s;
    QString cases;
    QString textCases;
    for (qsizetype i = 0; i < count; ++i) {
        cases += u" WHEN %1 THEN %1"_s.arg(position);
        textCases += u" WHEN %1 THEN %2"_s.arg(position, text);
    }
    QString statement = u"UPDATE VX60_SKLAD SET %1 = CASE %1%2 END"_s.arg(column, cases);
    if (withTexts)
        statement += u", MJ = CASE %1%2 END"_s.arg(column, textCases);
    QString marks = u"?"_s;
    for (qsizetype i = 1; i < count; ++i)
        marks += u", ?"_s;
    return statement + u" WHERE %1 IN (%2)"_s.arg(column, marks);
}

} // namespace

CardRenumbering::CardRenumbering(DataFile &file) : m_file(file) {}

std::optional<qint64> CardRenumbering::cardsUsing(List list, int position)
{
    QSqlQuery query(m_file.database());
    query.setForwardOnly(true);
    query.prepare(u"SELECT COUNT(*) FROM VX60_SKLAD WHERE %1 = ?"_s.arg(positionColumn(list)));
    query.addBindValue(position);
    if (!query.exec() || !query.next()) {
        m_file.setError(DataFile::engineText(query.lastError()));
        return std::nullopt;
    }
    return query.value(0).toLongLong();
}

bool CardRenumbering::needed(const NameListEdits &units, const NameListEdits &groups)
{
    return units.changesCards(true) || groups.changesCards(false) || !units.deletedOrigins().isEmpty() ||
           !groups.deletedOrigins().isEmpty();
}

CardRenumbering::Result CardRenumbering::failed(const QString &error)
{
    Result result;
    result.error = error.isEmpty() ? m_file.lastError() : error;
    return result;
}

std::optional<CardRenumbering::Result> CardRenumbering::deletedInUse(List list, const NameListEdits &edits)
{
    for (const int origin : edits.deletedOrigins()) {
        const std::optional<qint64> cards = cardsUsing(list, origin);
        if (!cards)
            return failed({});
        if (*cards > 0)
            return Result{Outcome::EntryInUse, list, edits.loaded()[origin], *cards, {}};
    }
    return std::nullopt;
}

bool CardRenumbering::move(List list, const NameListEdits &edits)
{
    const bool withTexts = list == List::Units;
    const QList<Move> moves = movesOf(edits, withTexts);
    if (moves.isEmpty())
        return true;
    QSqlQuery query(m_file.database());
    query.prepare(moveStatement(positionColumn(list), moves.size(), withTexts, m_file.isOnServer()));
    for (const Move &move : moves) {
        query.addBindValue(move.from);
        query.addBindValue(move.to);
    }
    if (withTexts) {
        for (const Move &move : moves) {
            query.addBindValue(move.from);
            query.addBindValue(move.text);
        }
    }
    for (const Move &move : moves)
        query.addBindValue(move.from);
    if (!query.exec()) {
        m_file.setError(DataFile::engineText(query.lastError()));
        return false;
    }
    return true;
}

CardRenumbering::Result CardRenumbering::apply(const NameListEdits &units, const NameListEdits &groups,
                                               const std::function<bool()> &beforeCommit)
{
    WriteTransaction transaction(m_file);
    if (!transaction.isOpen())
        return failed({});
    for (const auto &[list, edits] : {std::pair{List::Units, &units}, std::pair{List::Groups, &groups}}) {
        if (const std::optional<Result> refused = deletedInUse(list, *edits))
            return *refused;
    }
    if (!move(List::Units, units) || !move(List::Groups, groups))
        return failed({});
    if (beforeCommit && !beforeCommit())
        return {Outcome::Stopped, List::Units, {}, 0, {}};
    if (!transaction.commit())
        return failed({});
    return {Outcome::Done, List::Units, {}, 0, {}};
}

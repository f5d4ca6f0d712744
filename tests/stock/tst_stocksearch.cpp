#include "stock/DataFile.h"
#include "stock/StockSearch.h"
#include "stock/StockTable.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestStockSearch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void finds_data();
    void finds();
    void seesCardsAddedByAnotherTill();
    void fetchesCardsInTheListsOrder();

private:
    QStringList codesOf(const QList<qint64> &ids);

    QTemporaryDir m_dir;
    DataFile m_file;
    std::unique_ptr<StockTable> m_table;
    std::unique_ptr<StockSearch> m_search;
};

void TestStockSearch::initTestCase()
{
    QVERIFY(m_file.open(m_dir.filePath(u"vx60_sklad.db"_s), true));
    m_table = std::make_unique<StockTable>(m_file);
    QVERIFY(m_table->create());
    struct Card
    {
        const char16_t *kod, *nazov, *barcode;
        double jc;
        bool pref;
    };
    const Card cards[] = {
        {u"100", u"MLIEKO 1,5%", u"8580001", 0.89, false}, {u"101", u"Mliečna čokoláda", u"", 1.20, true},
        {u"200", u"ČAJ ZELENÝ", u"12", 2.10, false},       {u"120", u"Jack's whisky", u"777", 25.0, false},
        {u"012", u"Syr 100_g", u"", 1.90, true},           {u"300", u"čajová sušienka", u"3001", 0.50, false},
    };
    for (const Card &card : cards) {
        StockRow row;
        row.kod = QString::fromUtf16(card.kod);
        row.nazov = QString::fromUtf16(card.nazov);
        row.barcode = QString::fromUtf16(card.barcode);
        row.jc = card.jc;
        row.pref = card.pref;
        QVERIFY2(m_table->insert(row), qPrintable(m_table->lastError()));
    }
    m_search = std::make_unique<StockSearch>(m_file);
}

QStringList TestStockSearch::codesOf(const QList<qint64> &ids)
{
    QStringList codes;
    const auto cards = m_table->cards(ids);
    for (const StockRow &card : *cards)
        codes << card.kod;
    return codes;
}

void TestStockSearch::finds_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("codes");
    const int name = int(StockSearch::Column::Name);
    const int code = int(StockSearch::Column::Code);
    const int price = int(StockSearch::Column::Price);
    // Names sort as SQL sorts them: by code point, so Č after every ASCII letter.
    QTest::newRow("part of a name in small letters") << name << u"mlie"_s << QStringList{u"100"_s, u"101"_s};
    QTest::newRow("Slovak letters fold") << name << u"čaj"_s << QStringList{u"200"_s, u"300"_s};
    QTest::newRow("inner part") << name << u"ČOKO"_s << QStringList{u"101"_s};
    QTest::newRow("apostrophe") << name << u"jack's"_s << QStringList{u"120"_s};
    QTest::newRow("percent sign taken literally") << name << u"5%"_s << QStringList{u"100"_s};
    QTest::newRow("underscore taken literally") << name << u"0_g"_s << QStringList{u"012"_s};
    QTest::newRow("no match") << name << u"pivo"_s << QStringList{};
    QTest::newRow("empty text: preferred first")
        << name << QString() << QStringList{u"101"_s, u"012"_s, u"120"_s, u"100"_s, u"200"_s, u"300"_s};
    QTest::newRow("code prefix or whole bar code") << code << u"12"_s << QStringList{u"120"_s, u"200"_s};
    QTest::newRow("bar code only whole") << code << u"858"_s << QStringList{};
    QTest::newRow("code, empty text: preferred first")
        << code << QString() << QStringList{u"012"_s, u"101"_s, u"100"_s, u"120"_s, u"200"_s, u"300"_s};
    QTest::newRow("price order, text ignored")
        << price << u"x"_s << QStringList{u"300"_s, u"100"_s, u"101"_s, u"012"_s, u"200"_s, u"120"_s};
    QTest::newRow("price, empty text: preferred first")
        << price << QString() << QStringList{u"101"_s, u"012"_s, u"300"_s, u"100"_s, u"200"_s, u"120"_s};
}

void TestStockSearch::finds()
{
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(QStringList, codes);
    const auto ids = m_search->search(StockSearch::Column(column), text);
    QVERIFY2(ids, qPrintable(m_search->lastError()));
    QCOMPARE(codesOf(*ids), codes);
}

void TestStockSearch::seesCardsAddedByAnotherTill()
{
    QCOMPARE(m_search->search(StockSearch::Column::Name, u"kefír"_s)->size(), 0);
    {
        DataFile otherTill;
        QVERIFY(otherTill.open(m_file.path(), false));
        StockRow row;
        row.kod = u"400"_s;
        row.nazov = u"KEFÍR"_s;
        QVERIFY(StockTable(otherTill).insert(row));
    }
    QCOMPARE(codesOf(*m_search->search(StockSearch::Column::Name, u"kefír"_s)), QStringList{u"400"_s});
    StockRow own;
    own.kod = u"401"_s;
    own.nazov = u"Kefírové mlieko"_s;
    QVERIFY(m_table->insert(own));
    QCOMPARE(codesOf(*m_search->search(StockSearch::Column::Name, u"kefír"_s)),
             (QStringList{u"400"_s, u"401"_s}));
}

void TestStockSearch::fetchesCardsInTheListsOrder()
{
    const auto ids = *m_search->search(StockSearch::Column::Name, u"mlie"_s);
    QList<qint64> reversed(ids.rbegin(), ids.rend());
    reversed.append(999999); // a card deleted meanwhile is left out
    const auto cards = *m_table->cards(reversed);
    QCOMPARE(cards.size(), ids.size());
    QCOMPARE(cards.first().nazov, m_table->cards(std::span(&ids.last(), 1))->first().nazov);
    std::optional<StockRow> card;
    QVERIFY(m_table->cardByCode(u"120"_s, card));
    QCOMPARE(card->nazov, u"Jack's whisky"_s);
    QVERIFY(m_table->cardByCode(u"' OR '1'='1"_s, card));
    QVERIFY(!card);
}

QTEST_GUILESS_MAIN(TestStockSearch)
#include "tst_stocksearch.moc"

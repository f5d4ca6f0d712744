#include "CancelAfter.h"
#include "base/Cp1250.h"
#include "base/Progress.h"
#include "stock/BinaryPriceList.h"
#include "stock/BinaryPriceListLoader.h"
#include "stock/DataFile.h"
#include "stock/StockChangeLog.h"
#include "stock/StockTable.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <cstring>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

QByteArray slot(QByteArrayView text, int size)
{
    QByteArray bytes(size, '\0');
    std::memcpy(bytes.data(), text.data(), size_t(std::min<qsizetype>(text.size(), size)));
    return bytes;
}

QByteArray littleEndian(double value)
{
    quint64 bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    QByteArray bytes(8, '\0');
    qToLittleEndian(bits, bytes.data());
    return bytes;
}

// One record as the old program wrote it; the unread bytes hold junk, which
// must not matter.
QByteArray record(const QString &name, const QString &code, double price = 1.5, double quantity = 2,
                  qint8 vat = 1)
{
    QByteArray bytes = slot(Cp1250::encode(name), 40) + slot(Cp1250::encode(code), 16) + littleEndian(price) +
                       littleEndian(quantity) + QByteArray(8, '\x5a') + QByteArray(1, char(vat)) +
                       QByteArray(7, '\x5a');
    Q_ASSERT(bytes.size() == BinaryPriceList::RecordSize);
    return bytes;
}

StockRow cardWithCode(const QString &code)
{
    StockRow card;
    card.kod = code;
    card.nazov = u"Stará karta "_s + code;
    return card;
}

} // namespace

class TestBinaryPriceList : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void recordsOfFileSize_data();
    void recordsOfFileSize();
    void texts_data();
    void texts();
    void numbersAndVatEntry();
    void defects_data();
    void defects();

    void loadsCardsWithTheirFields();
    void generatedCodes_data();
    void generatedCodes();
    void skipsRecordsThatCannotBeCards();
    void cancelLeavesThePriceListAsItWas();
    void unreadableFileFails();
    void changesReachTheChangeLog();

private:
    QStringList codes();
    int cardCount();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<DataFile> m_file;
    NoProgress m_noProgress;
};

void TestBinaryPriceList::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_file = std::make_unique<DataFile>();
    QVERIFY(m_file->open(m_dir->filePath(u"vx60_sklad.db"_s), true));
    QVERIFY(StockTable(*m_file).create());
}

void TestBinaryPriceList::cleanup()
{
    m_file.reset();
    m_dir.reset();
}

QStringList TestBinaryPriceList::codes()
{
    QSqlQuery query(m_file->database());
    [&] { QVERIFY(query.exec(u"SELECT KOD FROM VX60_SKLAD ORDER BY rowid"_s)); }();
    QStringList result;
    while (query.next())
        result << query.value(0).toString();
    return result;
}

int TestBinaryPriceList::cardCount()
{
    return int(codes().size());
}

void TestBinaryPriceList::recordsOfFileSize_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("ignored");
    QTest::newRow("empty") << 0 << 0 << 0;
    QTest::newRow("less than one record") << 87 << 0 << 87;
    QTest::newRow("one record") << 88 << 1 << 0;
    QTest::newRow("two records and a tail") << 200 << 2 << 24;
}

void TestBinaryPriceList::recordsOfFileSize()
{
    QFETCH(int, size);
    QFETCH(int, records);
    QFETCH(int, ignored);
    QByteArray content;
    while (content.size() < size)
        content += record(u"Položka"_s, {});
    content.truncate(size);
    QCOMPARE(BinaryPriceList::recordCount(content.size()), records);
    QCOMPARE(BinaryPriceList::ignoredBytes(content.size()), ignored);
    QCOMPARE(BinaryPriceList::parse(content).size(), records);
}

void TestBinaryPriceList::texts_data()
{
    QTest::addColumn<QByteArray>("nameSlot");
    QTest::addColumn<QByteArray>("codeSlot");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("code");
    QTest::newRow("zero-terminated, junk after the zero")
        << QByteArray("Chlieb\0XYZ", 10) + QByteArray(30, 'Q') << QByteArray("A1\0B", 4) + QByteArray(12, 'Q')
        << u"Chlieb"_s << u"A1"_s;
    QTest::newRow("slots filled without a zero")
        << QByteArray(40, 'N') << QByteArray(16, 'K') << QString(40, u'N') << QString(16, u'K');
    QTest::newRow("code page 1250") << slot(Cp1250::encode(u"Šľahačka žltá ťažká"_s), 40)
                                    << slot(Cp1250::encode(u"ČŽ-č"_s), 16) << u"Šľahačka žltá ťažká"_s
                                    << u"ČŽ-č"_s;
    QTest::newRow("empty code") << slot("Sol", 40) << QByteArray(16, '\0') << u"Sol"_s << QString();
}

void TestBinaryPriceList::texts()
{
    QFETCH(QByteArray, nameSlot);
    QFETCH(QByteArray, codeSlot);
    QFETCH(QString, name);
    QFETCH(QString, code);
    const QByteArray bytes = nameSlot + codeSlot + record(u"x"_s, {}).sliced(56);
    const BinaryPriceList::Record parsed = BinaryPriceList::record(bytes, 0);
    QCOMPARE(parsed.nazov, name);
    QCOMPARE(parsed.kod, code);
}

void TestBinaryPriceList::numbersAndVatEntry()
{
    const QByteArray bytes = record(u"Voda"_s, u"7"_s, 12.35, -3.5, 6) + record(u"Soľ"_s, {}, 0, 0, -128);
    const QList<BinaryPriceList::Record> records = BinaryPriceList::parse(bytes);
    QCOMPARE(records.size(), 2);
    QCOMPARE(records[0].jc, 12.35);
    QCOMPARE(records[0].pocet, -3.5);
    QCOMPARE(records[0].dphIdx, 6);
    QCOMPARE(records[1].dphIdx, -128); // a signed byte
}

void TestBinaryPriceList::defects_data()
{
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double infinity = std::numeric_limits<double>::infinity();
    using Defect = BinaryPriceList::Defect;
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Defect>("defect");
    QTest::newRow("a good card") << record(u"Mlieko"_s, u"1"_s, 0.89, 10, 6) << Defect::None;
    QTest::newRow("price 0 and negative quantity") << record(u"Mlieko"_s, {}, 0, -1, 0) << Defect::None;
    QTest::newRow("no name") << record({}, u"1"_s) << Defect::EmptyName;
    QTest::newRow("blank name") << record(u"   "_s, u"1"_s) << Defect::EmptyName;
    QTest::newRow("price NaN") << record(u"Mlieko"_s, {}, nan) << Defect::PriceNotFinite;
    QTest::newRow("price infinite") << record(u"Mlieko"_s, {}, -infinity) << Defect::PriceNotFinite;
    QTest::newRow("quantity infinite") << record(u"Mlieko"_s, {}, 1, infinity) << Defect::QuantityNotFinite;
    QTest::newRow("VAT entry 7") << record(u"Mlieko"_s, {}, 1, 1, 7) << Defect::VatEntryOutOfRange;
    QTest::newRow("VAT entry -1") << record(u"Mlieko"_s, {}, 1, 1, -1) << Defect::VatEntryOutOfRange;
}

void TestBinaryPriceList::defects()
{
    QFETCH(QByteArray, bytes);
    QFETCH(BinaryPriceList::Defect, defect);
    QCOMPARE(BinaryPriceList::defect(BinaryPriceList::record(bytes, 0)), defect);
}

void TestBinaryPriceList::loadsCardsWithTheirFields()
{
    // Two records and a tail of 24 bytes, which is ignored.
    const QByteArray content = record(u"Šľahačka"_s, u"S1"_s, 1.29, 12, 2) +
                               record(u"Žemľa"_s, {}, 0.1, 100, 0) + QByteArray(24, '\x7f');
    QCOMPARE(content.size(), 200);
    const auto result = BinaryPriceListLoader(*m_file).load(content, m_noProgress);
    QCOMPARE(result.outcome, BinaryPriceListLoader::Outcome::Loaded);
    QCOMPARE(result.loaded, 2);
    QCOMPARE(result.skipped, 0);

    std::optional<StockRow> card;
    QVERIFY(StockTable(*m_file).cardByCode(u"S1"_s, card));
    QVERIFY(card);
    StockRow expected;
    expected.kod = u"S1"_s;
    expected.nazov = u"Šľahačka"_s;
    expected.jc = 1.29;
    expected.pocet = 12;
    expected.dphIdx = 2;
    QCOMPARE(*card, expected);
    QVERIFY(StockTable(*m_file).cardByCode(u"I_0001"_s, card));
    QVERIFY(card);
    QCOMPARE(card->nazov, u"Žemľa"_s);
}

void TestBinaryPriceList::generatedCodes_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QStringList>("inFile");
    QTest::addColumn<QStringList>("loaded");
    QTest::newRow("empty codes count from 1")
        << QStringList{} << QStringList{QString(), QString()} << QStringList{u"I_0001"_s, u"I_0002"_s};
    QTest::newRow("I_0001 already a card") << QStringList{u"I_0001"_s} << QStringList{QString(), QString()}
                                           << QStringList{u"I_0002"_s, u"I_0003"_s};
    QTest::newRow("a taken code in the middle")
        << QStringList{u"I_0002"_s} << QStringList{QString(), QString()}
        << QStringList{u"I_0001"_s, u"I_0003"_s};
    QTest::newRow("a free code stays") << QStringList{u"A"_s} << QStringList{u"B"_s} << QStringList{u"B"_s};
    QTest::newRow("a used code is replaced")
        << QStringList{u"A"_s} << QStringList{u"A"_s, QString()} << QStringList{u"I_0001"_s, u"I_0002"_s};
    QTest::newRow("a code twice in the file")
        << QStringList{} << QStringList{u"B"_s, u"B"_s} << QStringList{u"B"_s, u"I_0001"_s};
    QTest::newRow("the file's code taken by a generated one")
        << QStringList{} << QStringList{QString(), u"I_0001"_s} << QStringList{u"I_0001"_s, u"I_0002"_s};
}

void TestBinaryPriceList::generatedCodes()
{
    QFETCH(QStringList, existing);
    QFETCH(QStringList, inFile);
    QFETCH(QStringList, loaded);
    for (const QString &code : existing)
        QVERIFY(StockTable(*m_file).insert(cardWithCode(code)));
    QByteArray content;
    for (const QString &code : inFile)
        content += record(u"Položka"_s, code);
    const auto result = BinaryPriceListLoader(*m_file).load(content, m_noProgress);
    QCOMPARE(result.outcome, BinaryPriceListLoader::Outcome::Loaded);
    QCOMPARE(codes(), existing + loaded);
}

// Decided for records that cannot be cards: they are left out and counted, the
// good records around them load.
void TestBinaryPriceList::skipsRecordsThatCannotBeCards()
{
    const QByteArray content = record(u"Dobrá"_s, u"1"_s) + record({}, u"2"_s) +
                               record(u"Zlá cena"_s, u"3"_s, std::numeric_limits<double>::quiet_NaN()) +
                               record(u"Zlá DPH"_s, u"4"_s, 1, 1, 9) + record(u"Tiež dobrá"_s, {});
    const auto result = BinaryPriceListLoader(*m_file).load(content, m_noProgress);
    QCOMPARE(result.outcome, BinaryPriceListLoader::Outcome::Loaded);
    QCOMPARE(result.loaded, 2);
    QCOMPARE(result.skipped, 3);
    QCOMPARE(codes(), (QStringList{u"1"_s, u"I_0001"_s}));
}

void TestBinaryPriceList::cancelLeavesThePriceListAsItWas()
{
    QVERIFY(StockTable(*m_file).insert(cardWithCode(u"A"_s)));
    QByteArray content;
    for (int i = 0; i < 1500; ++i)
        content += record(u"Položka %1"_s.arg(i), {});
    // Cancelled in the middle, and after the last record but before the commit.
    for (int steps : {2, 3}) {
        CancelAfter progress(steps);
        const auto result = BinaryPriceListLoader(*m_file).load(content, progress);
        QCOMPARE(result.outcome, BinaryPriceListLoader::Outcome::Cancelled);
        QCOMPARE(codes(), QStringList{u"A"_s});
    }
    // The table is usable afterwards: the write lock was given back.
    const auto result = BinaryPriceListLoader(*m_file).load(content, m_noProgress);
    QCOMPARE(result.loaded, 1500);
}

void TestBinaryPriceList::unreadableFileFails()
{
    const auto result = BinaryPriceListLoader(*m_file).loadFile(m_dir->path(), m_noProgress);
    QCOMPARE(result.outcome, BinaryPriceListLoader::Outcome::Failed);
    QVERIFY(!result.error.isEmpty());
    QCOMPARE(cardCount(), 0);
}

// Other tills learn of the new cards from the change log.
void TestBinaryPriceList::changesReachTheChangeLog()
{
    StockChangeLog log(*m_file);
    const std::optional<qint64> before = log.lastPosition();
    QVERIFY(before);
    const QByteArray content = record(u"Jedna"_s, {}) + record(u"Dve"_s, {});
    QCOMPARE(BinaryPriceListLoader(*m_file).load(content, m_noProgress).loaded, 2);
    const auto changes = log.changesAfter(*before, 100);
    QVERIFY(changes);
    QCOMPARE(changes->rowIds.size(), 2);
}

QTEST_GUILESS_MAIN(TestBinaryPriceList)
#include "tst_binarypricelist.moc"

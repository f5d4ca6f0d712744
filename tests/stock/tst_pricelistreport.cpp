// The printed price list, read back from its PDF by a real PDF reader (poppler's
// pdftotext): the text of the pages and the place of every word on them. The
// preview around it is driven as the user sees it.
#include "AccessibleNames.h"
#include "ScriptedDialogs.h"
#include "app/QtTranslations.h"
#include "stock/ui/PriceListReport.h"
#include "stock/ui/TForm_tlac_cennik.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QPdfWriter>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <QWindow>
#include <QXmlStreamReader>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QDate PrintDate(2026, 5, 20);
constexpr double kPointsPerMm = 72 / 25.4;
constexpr double kMargin = 10;
constexpr double kToleranceMm = 2;

StockRow card(const QString &nazov, double jc, const QString &mj, const QString &nazov1 = {},
              const QString &nazov2 = {})
{
    StockRow row;
    row.nazov = nazov;
    row.nazov1 = nazov1;
    row.nazov2 = nazov2;
    row.jc = jc;
    row.mj = mj;
    return row;
}

// A few cards in the list's order, which is not the alphabet's.
QList<StockRow> sampleCards()
{
    return {card(u"Čučoriedky ľadové"_s, 3.49, u"kg"_s, u"mrazené"_s), card(u"Abeceda"_s, 0.5, u"ks"_s),
            card(u"Šťavnaté žemle"_s, 1234.5, u"bal"_s, u"ôsme"_s, u"väčšie"_s),
            card(u"Ďatelinový med"_s, 9.99, u"pohár"_s)};
}

QList<StockRow> numberedCards(int count)
{
    QList<StockRow> cards;
    for (int i = 0; i < count; ++i)
        cards.append(card(u"Tovar %1"_s.arg(i + 1, 4, 10, QChar(u'0')), i + 0.25, u"ks"_s));
    return cards;
}

PriceListReport reportOf(const QList<StockRow> &cards, const QString &group = {})
{
    return PriceListReport(
        int(cards.size()), [cards](int row) { return std::optional<StockRow>(cards.at(row)); }, group,
        PrintDate);
}

QString cardLine(const StockRow &row)
{
    return (row.nazov + u' ' + row.nazov1 + u' ' + row.nazov2).simplified();
}

struct Word
{
    QString text;
    double xMin = 0; // millimetres from the paper's top left corner
    double xMax = 0;
    double yMin = 0;
    double yMax = 0;
};
using Page = QList<Word>;

QString pdftotext()
{
    return QStandardPaths::findExecutable(u"pdftotext"_s);
}

QByteArray runPdftotext(const QStringList &arguments)
{
    QProcess process;
    process.start(pdftotext(), arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return process.readAllStandardOutput();
}

// The pages' text as pdftotext lays it out, one string per page.
QStringList layoutPages(const QString &pdf)
{
    QStringList pages =
        QString::fromUtf8(runPdftotext({u"-layout"_s, u"-enc"_s, u"UTF-8"_s, pdf, u"-"_s})).split(u'\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

Word wordFrom(const QXmlStreamAttributes &attributes, const QString &text)
{
    const auto mm = [&](const QString &name) { return attributes.value(name).toDouble() / kPointsPerMm; };
    return {text, mm(u"xMin"_s), mm(u"xMax"_s), mm(u"yMin"_s), mm(u"yMax"_s)};
}

// Every word of every page with its box.
QList<Page> wordPages(const QString &pdf)
{
    QXmlStreamReader xml(runPdftotext({u"-bbox"_s, u"-enc"_s, u"UTF-8"_s, pdf, u"-"_s}));
    QList<Page> pages;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"page") {
            pages.append(Page{});
        } else if (xml.name() == u"word" && !pages.isEmpty()) {
            const QXmlStreamAttributes attributes = xml.attributes();
            pages.last().append(wordFrom(attributes, xml.readElementText()));
        }
    }
    return pages;
}

const Word *findWord(const Page &page, const QString &text)
{
    for (const Word &word : page) {
        if (word.text == text)
            return &word;
    }
    return nullptr;
}

// The detail lines of a page as pdftotext reads them: name, price, unit.
struct PrintedLine
{
    QString name;
    QString price;
    QString unit;
};

QList<PrintedLine> printedLines(const QString &pageText)
{
    static const QRegularExpression detail(uR"(^\s*(.*?)\s+(\d+,\d\d) EUR\s+(\S+)\s*$)"_s);
    QList<PrintedLine> lines;
    for (const QString &line : pageText.split(u'\n')) {
        const QRegularExpressionMatch match = detail.match(line);
        if (match.hasMatch())
            lines.append({match.captured(1).simplified(), match.captured(2), match.captured(3)});
    }
    return lines;
}

QStringList namesOf(const QList<PrintedLine> &lines)
{
    QStringList names;
    for (const PrintedLine &line : lines)
        names.append(line.name);
    return names;
}

} // namespace

class TestPriceListReport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void cardsInListOrderWithSlovakLetters();
    void everyInputReadsByItsName();
    void vanishedCardTakesNoLine();
    void titleWithGroupLineCentredUnderIt_data();
    void titleWithGroupLineCentredUnderIt();
    void columnsSitAtTheirEdges();
    void longNameStopsBeforeThePrice();
    void longListBreaksIntoFooteredPages();
    void nothingToPrintWritesNoFile_data();
    void nothingToPrintWritesNoFile();
    void unwritableFileFails();
    void cardsAreReadOneByOneAsDrawnAndCancelStops();

    void previewOfEmptyListOnlyTellsTheUser();
    void previewShowsEveryPage();
    void cancelBeforeThePreviewAppearsShowsNothing();
    void standardDialogsFollowTheLanguage_data();
    void standardDialogsFollowTheLanguage();

private:
    QString writePdf(const PriceListReport &report);

    QTemporaryDir m_dir;
    int m_files = 0;
};

void TestPriceListReport::initTestCase()
{
    QVERIFY2(!pdftotext().isEmpty(), "pdftotext is missing: scripts/install-deps.sh installs poppler-utils");
    QVERIFY(m_dir.isValid());
}

void TestPriceListReport::cleanup()
{
    // A translator of the language test must not change the texts of the next one.
    qDeleteAll(qApp->findChildren<QTranslator *>());
}

QString TestPriceListReport::writePdf(const PriceListReport &report)
{
    const QString path = m_dir.filePath(u"cennik%1.pdf"_s.arg(++m_files));
    return report.writePdf(path) ? path : QString();
}

// A screen reader names every field and list of the print preview.
void TestPriceListReport::everyInputReadsByItsName()
{
    ScriptedDialogs dialogs;
    TForm_tlac_cennik form(reportOf(sampleCards()), dialogs);
    const QStringList faults = AccessibleNames::faults(form);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u"; "_s)));
}

void TestPriceListReport::cardsInListOrderWithSlovakLetters()
{
    const QList<StockRow> cards = sampleCards();
    const QString pdf = writePdf(reportOf(cards));
    QVERIFY(!pdf.isEmpty());
    const QStringList pages = layoutPages(pdf);
    QCOMPARE(pages.size(), 1);
    const QList<PrintedLine> lines = printedLines(pages.first());
    QCOMPARE(lines.size(), cards.size());
    for (int i = 0; i < cards.size(); ++i) {
        QCOMPARE(lines[i].name, cardLine(cards[i]));
        QCOMPARE(lines[i].unit, cards[i].mj);
    }
    QCOMPARE(lines[0].price, u"3,49"_s);
    QCOMPARE(lines[1].price, u"0,50"_s);
    QCOMPARE(lines[2].price, u"1234,50"_s);
}

void TestPriceListReport::vanishedCardTakesNoLine()
{
    const QList<StockRow> cards = sampleCards();
    const PriceListReport report(
        int(cards.size()),
        [&cards](int row) { return row == 1 ? std::nullopt : std::optional<StockRow>(cards.at(row)); }, {},
        PrintDate);
    const QString pdf = writePdf(report);
    QVERIFY(!pdf.isEmpty());
    QCOMPARE(namesOf(printedLines(layoutPages(pdf).value(0))),
             (QStringList{cardLine(cards[0]), cardLine(cards[2]), cardLine(cards[3])}));
}

void TestPriceListReport::titleWithGroupLineCentredUnderIt_data()
{
    QTest::addColumn<QString>("group");
    QTest::newRow("group") << u"Ovocie a zelenina"_s;
    QTest::newRow("no group") << QString();
}

void TestPriceListReport::titleWithGroupLineCentredUnderIt()
{
    QFETCH(QString, group);
    const QString pdf = writePdf(reportOf(sampleCards(), group));
    QVERIFY(!pdf.isEmpty());
    const Page page = wordPages(pdf).value(0);
    const Word *title = findWord(page, u"Cenník"_s);
    const Word *columnHeader = findWord(page, u"Názov"_s);
    QVERIFY(title && columnHeader);
    const double pageMiddle = kMargin + 95;
    QVERIFY2(qAbs((title->xMin + title->xMax) / 2 - pageMiddle) < kToleranceMm, "title not centred");

    QStringList between;
    double left = 1e9;
    double right = 0;
    for (const Word &word : page) {
        if (word.yMin > title->yMax && word.yMax < columnHeader->yMin) {
            between.append(word.text);
            left = std::min(left, word.xMin);
            right = std::max(right, word.xMax);
        }
    }
    QCOMPARE(between.join(u' '), group);
    if (!group.isEmpty())
        QVERIFY2(qAbs((left + right) / 2 - pageMiddle) < kToleranceMm, "group line not centred");
}

void TestPriceListReport::columnsSitAtTheirEdges()
{
    // Prices of different widths end at one edge; the other columns start or end at theirs.
    const QList<StockRow> cards = sampleCards();
    const QString pdf = writePdf(reportOf(cards));
    QVERIFY(!pdf.isEmpty());
    const Page page = wordPages(pdf).value(0);
    for (const QString &price : {u"3,49"_s, u"0,50"_s, u"1234,50"_s, u"9,99"_s}) {
        const Word *word = findWord(page, price);
        QVERIFY2(word, qPrintable(price));
        QVERIFY2(qAbs(word->xMax - (kMargin + 165)) < kToleranceMm,
                 qPrintable(u"price %1 ends at %2 mm"_s.arg(price).arg(word->xMax)));
    }
    for (const StockRow &row : cards) {
        const Word *unit = findWord(page, row.mj);
        QVERIFY2(unit && qAbs(unit->xMax - (kMargin + 187)) < kToleranceMm, qPrintable(row.mj));
    }
    const auto startsAt = [&page](const QString &text, double mm) {
        const Word *word = findWord(page, text);
        return word && qAbs(word->xMin - (kMargin + mm)) < kToleranceMm;
    };
    QVERIFY(startsAt(u"Čučoriedky"_s, 2.1));
    QVERIFY(startsAt(u"EUR"_s, 167));
    QVERIFY(startsAt(u"Názov"_s, 1.9));
    QVERIFY(startsAt(u"MJ"_s, 182));
    QVERIFY(startsAt(u"Strana:"_s, 3.2));
    const Word *priceHeader = findWord(page, u"cena"_s);
    QVERIFY(priceHeader && qAbs(priceHeader->xMax - (kMargin + 179)) < kToleranceMm);
    const Word *date = findWord(page, u"20.5.2026"_s);
    QVERIFY(date && qAbs(date->xMax - (kMargin + 185)) < kToleranceMm);
}

void TestPriceListReport::longNameStopsBeforeThePrice()
{
    const QString longName = QString(u"Veľmi dlhý názov tovaru "_s).repeated(8);
    const QString pdf = writePdf(reportOf({card(longName, 2.5, u"ks"_s, u"druhý riadok"_s)}));
    QVERIFY(!pdf.isEmpty());
    const Page page = wordPages(pdf).value(0);
    const Word *price = findWord(page, u"2,50"_s);
    QVERIFY(price);
    double nameEnd = 0;
    for (const Word &word : page) {
        if (qAbs(word.yMin - price->yMin) < 1 && word.xMax < price->xMin)
            nameEnd = std::max(nameEnd, word.xMax);
    }
    QVERIFY2(nameEnd > kMargin + 100, "the name was not printed across its column");
    QVERIFY2(nameEnd <= kMargin + 2.1 + 146 + 0.5, qPrintable(u"the name runs to %1 mm"_s.arg(nameEnd)));
}

void TestPriceListReport::longListBreaksIntoFooteredPages()
{
    const int perPage = PriceListReport::rowsPerPage(297 - 2 * kMargin);
    const QList<StockRow> cards = numberedCards(2 * perPage + 3);
    const QString pdf = writePdf(reportOf(cards, u"Drogéria"_s));
    QVERIFY(!pdf.isEmpty());
    const QStringList pages = layoutPages(pdf);
    QCOMPARE(pages.size(), 3);

    QStringList printed;
    for (int i = 0; i < pages.size(); ++i) {
        const QString &text = pages[i];
        QVERIFY2(text.contains(u"Cenník"_s) && text.contains(u"Drogéria"_s), "no page header");
        QVERIFY2(text.contains(u"Názov položky"_s) && text.contains(u"Jednotková cena"_s),
                 "no column header");
        QVERIFY2(
            QRegularExpression(u"Strana: %1\\s+Dátum:\\s+20\\.5\\.2026"_s.arg(i + 1)).match(text).hasMatch(),
            qPrintable(u"footer of page %1"_s.arg(i + 1)));
        const QList<PrintedLine> lines = printedLines(text);
        QCOMPARE(lines.size(), i < 2 ? perPage : 3);
        printed += namesOf(lines);
    }
    QStringList expected;
    for (const StockRow &row : cards)
        expected.append(cardLine(row));
    QCOMPARE(printed, expected);

    // The footer sits at the bottom margin, below the last line of a full page.
    const Page first = wordPages(pdf).value(0);
    const Word *footer = findWord(first, u"Strana:"_s);
    QVERIFY(footer);
    QVERIFY2(footer->yMax < 297 - kMargin && footer->yMin > 297 - kMargin - PriceListReport::PageFooterHeight,
             qPrintable(u"footer at %1 mm"_s.arg(footer->yMin)));
}

void TestPriceListReport::nothingToPrintWritesNoFile_data()
{
    QTest::addColumn<int>("rows");
    QTest::newRow("empty list") << 0;
    QTest::newRow("every card vanished") << 3;
}

void TestPriceListReport::nothingToPrintWritesNoFile()
{
    QFETCH(int, rows);
    const PriceListReport report(
        rows, [](int) { return std::optional<StockRow>(); }, u"Pečivo"_s, PrintDate);
    const QString path = m_dir.filePath(u"prazdny.pdf"_s);
    QVERIFY(!report.writePdf(path));
    QVERIFY(!QFile::exists(path));
}

void TestPriceListReport::unwritableFileFails()
{
    QVERIFY(!reportOf(sampleCards()).writePdf(m_dir.filePath(u"niet/takej/zlozky.pdf"_s)));
}

void TestPriceListReport::cardsAreReadOneByOneAsDrawnAndCancelStops()
{
    // A list of 100,000 cards is read a page of the grid at a time: the report must
    // ask for each row once, in order, and stop asking when told to stop.
    const QList<StockRow> cards = numberedCards(100);
    QList<int> asked;
    const PriceListReport report(
        int(cards.size()),
        [&](int row) {
            asked.append(row);
            return std::optional<StockRow>(cards.at(row));
        },
        {}, PrintDate);
    QPdfWriter writer(m_dir.filePath(u"zruseny.pdf"_s));
    writer.setPageLayout(PriceListReport::pageLayout());
    const auto outcome = report.paint(writer, [](int done, int count) {
        if (count != 100)
            return false;
        return done < 40;
    });
    QCOMPARE(outcome, PriceListReport::Outcome::Canceled);
    QList<int> expected;
    for (int i = 0; i < 40; ++i)
        expected.append(i);
    QCOMPARE(asked, expected);
}

void TestPriceListReport::previewOfEmptyListOnlyTellsTheUser()
{
    ScriptedDialogs dialogs;
    TForm_tlac_cennik form(reportOf({}), dialogs);
    QCOMPARE(form.exec(), int(QDialog::Rejected));
    QCOMPARE(dialogs.shown().size(), 1);
    QCOMPARE(dialogs.shown().first().icon, UserDialogs::Icon::Information);
    QVERIFY(dialogs.shown().first().text.contains(u"nie je čo tlačiť"_s));
}

void TestPriceListReport::previewShowsEveryPage()
{
    ScriptedDialogs dialogs;
    dialogs.setStrict(true);
    const int perPage = PriceListReport::rowsPerPage(297 - 2 * kMargin);
    TForm_tlac_cennik form(reportOf(numberedCards(2 * perPage + 1)), dialogs);
    QCOMPARE(form.objectName(), u"TForm_tlac_cennik"_s);
    QCOMPARE(form.windowTitle(), u"Cenník"_s);
    int pages = -1;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &form, [&] {
        if (!form.isVisible())
            return;
        pages = form.findChild<QPrintPreviewWidget *>()->pageCount();
        form.reject();
    });
    poll.start(10);
    form.exec();
    QCOMPARE(pages, 3);
    QCOMPARE(form.printer()->pageLayout().pageSize().id(), QPageSize::A4);
}

void TestPriceListReport::cancelBeforeThePreviewAppearsShowsNothing()
{
    ScriptedDialogs dialogs;
    dialogs.setStrict(true);
    const QList<StockRow> cards = numberedCards(500);
    int asked = 0;
    const PriceListReport report(
        int(cards.size()),
        [&](int row) {
            // The user presses Cancel on the progress box while row 10 is read.
            if (++asked == 10) {
                for (QWidget *window : QApplication::topLevelWidgets()) {
                    if (auto *progress = qobject_cast<QProgressDialog *>(window))
                        progress->cancel();
                }
            }
            return std::optional<StockRow>(cards.at(row));
        },
        {}, PrintDate);
    TForm_tlac_cennik form(report, dialogs);
    bool appeared = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &form,
            [&] { appeared = appeared || (form.windowHandle() && form.windowHandle()->isExposed()); });
    poll.start(1);
    // Should the preview stay open after all, the test ends it instead of hanging.
    QTimer::singleShot(5000, &form, &QDialog::accept);
    QCOMPARE(form.exec(), int(QDialog::Rejected));
    QCOMPARE(asked, 10);
    QVERIFY(!appeared);
}

void TestPriceListReport::standardDialogsFollowTheLanguage_data()
{
    QTest::addColumn<int>("languageIndex");
    QTest::addColumn<bool>("slovak");
    QTest::newRow("Slovak") << 0 << true;
    QTest::newRow("English") << 1 << false;
    QTest::newRow("another language") << 4 << true;
}

void TestPriceListReport::standardDialogsFollowTheLanguage()
{
    QFETCH(int, languageIndex);
    QFETCH(bool, slovak);
    const QString catalogue = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + u"/qtbase_sk.qm"_s;
    QVERIFY2(QFile::exists(catalogue),
             "Qt's Slovak catalogue is missing: scripts/install-deps.sh installs it");

    QCOMPARE(installQtTranslations(*qApp, languageIndex), slovak);
    ScriptedDialogs dialogs;
    TForm_tlac_cennik form(reportOf(sampleCards()), dialogs);
    QStringList texts;
    for (const QAction *action : form.findChildren<QAction *>())
        texts.append(action->text());
    QVERIFY2(texts.contains(u"Page setup"_s) != slovak, qPrintable(texts.join(u", "_s)));
    QVERIFY2(texts.contains(u"Nastavenie strany"_s) == slovak, qPrintable(texts.join(u", "_s)));
}

QTEST_MAIN(TestPriceListReport)
#include "tst_pricelistreport.moc"

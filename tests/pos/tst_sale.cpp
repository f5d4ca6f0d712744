#include "AccessibleNames.h"
#include "DataFolderMove.h"
#include "SaleScreenFixture.h"
#include "TestPaths.h"
#include "TextFit.h"
#include "app/ui/TSQD60.h"
#include "base/IniFile.h"
#include "pos/ui/SaleDocumentModel.h"
#include "stock/ui/StockListModel.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QString placeholder(Msg message)
{
    return u"[MSG_%1]"_s.arg(int(message));
}

QList<StockRow> priceList()
{
    return {card(u"1001"_s, u"ČAJ zelený"_s, 2.50, u"8580000000017"_s),
            card(u"1200"_s, u"Chlieb"_s, 1.235),
            card(u"1250"_s, u"Šampón"_s, 0.10, u"12"_s),
            card(u"9000"_s, u"Jack's whisky"_s, 30.0),
            card(u"5000"_s, u"Rožok"_s, 0.08, {}, true),
            card(u"7000"_s, u"Darček"_s, 0.0)};
}

} // namespace

class TestSale : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void searchFindsByEachColumn_data();
    void searchFindsByEachColumn();
    void emptySearchListsPreferredItemsFirst();
    void searchColumnFollowsArrowsAndTitles();
    void itemListFillsTheItemFields();

    void storedItemHasItsAmountInCents_data();
    void storedItemHasItsAmountInCents();
    void notANumberKeepsTheCashierOnTheField_data();
    void notANumberKeepsTheCashierOnTheField();
    void zeroPriceAndShortNameStopTheStore();
    void itemTypedByHandIsStoredAsX0000();
    void documentDiscountRecomputesEveryLine();
    void openDocumentSurvivesANewRun();
    void unitsFollowTheDataFolderMovedByTheMaintenanceScreen();

    void keyRoutesMoveTheFocus_data();
    void keyRoutesMoveTheFocus();
    void characterFiltersKeepNumbersOnly();
    void scannerBurstLosesNoKey();
    void typingReplacesThePresetValue_data();
    void typingReplacesThePresetValue();
    void aClickPlacesTheCaret();
    void everyInputReadsByItsName();

    void buttonsReactOnlyToDeliberateActions();
    void deleteRemovesTheCurrentRow();
    void settingsAreWrittenOnClose();
    void firstStartGivesTheNamesTheRoom();
    void textsAreWholeOnShopScreens_data();
    void textsAreWholeOnShopScreens();

    void deleteAfterAStoreRemovesTheItemJustStored_data();
    void deleteAfterAStoreRemovesTheItemJustStored();
    void unknownCodeLeavesNothingToStore();
    void searchTextOutlivesAReturnToTheWindow_data();
    void searchTextOutlivesAReturnToTheWindow();
    void refusedEndReturnsToTheSearchField();
    void supportProgramMissingIsSaidPlainly();

private:
    TForm_predaj_medic &openWithPriceList();
    template <typename T> T *child(const QString &name) { return m_f->child<T>(name); }
    QStringList listedNames();
    void enterItem(const QString &search, const QString &price, const QString &quantity,
                   const QString &percent);
    void sellByKeys(const QString &search, const QString &quantity);

    std::unique_ptr<SaleScreenFixture> m_f;
};

void TestSale::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Slovak, QLocale::Slovakia));
}

void TestSale::init()
{
    m_f = std::make_unique<SaleScreenFixture>();
    QVERIFY(m_f->dir.isValid());
}

void TestSale::cleanup()
{
    m_f.reset();
}

TForm_predaj_medic &TestSale::openWithPriceList()
{
    if (!m_f->addCards(priceList()))
        qFatal("price list not written");
    TForm_predaj_medic &screen = m_f->open();
    if (!QTest::qWaitForWindowActive(&screen))
        qFatal("sale screen not active");
    return screen;
}

QStringList TestSale::listedNames()
{
    auto *grid = child<QTableView>(u"SMDBGrid_sklad"_s);
    QStringList names;
    for (int row = 0; row < grid->model()->rowCount(); ++row)
        names << grid->model()->index(row, 0).data().toString();
    return names;
}

void TestSale::enterItem(const QString &search, const QString &price, const QString &quantity,
                         const QString &percent)
{
    m_f->enterItem(search, price, quantity, percent);
}

void TestSale::searchFindsByEachColumn_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("name, lower-case Slovak letters") << 0 << u"čaj"_s << QStringList{u"ČAJ zelený"_s};
    QTest::newRow("name with an apostrophe") << 0 << u"jack's"_s << QStringList{u"Jack's whisky"_s};
    QTest::newRow("name, part inside") << 0 << u"AMP"_s << QStringList{u"Šampón"_s};
    QTest::newRow("code prefix and whole bar code") << 1 << u"12"_s << QStringList{u"Chlieb"_s, u"Šampón"_s};
    QTest::newRow("bar code only whole") << 1 << u"858"_s << QStringList{};
    QTest::newRow("price orders all, text ignored")
        << 2 << u"xyz"_s << QStringList{u"Darček"_s, u"Rožok"_s,      u"Šampón"_s,
                                        u"Chlieb"_s, u"ČAJ zelený"_s, u"Jack's whisky"_s};
}

void TestSale::searchFindsByEachColumn()
{
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(QStringList, names);
    openWithPriceList();
    auto *searchField = child<QLineEdit>(u"Edit_predaj"_s);
    searchField->setFocus();
    for (int step = 0; step < column; ++step)
        QTest::keyClick(searchField, Qt::Key_Right);
    typeText(searchField, text);
    QCOMPARE(listedNames(), names);
    QVERIFY2(m_f->dialogs.shown().isEmpty(), qPrintable(m_f->dialogs.shown().value(0).text));
}

void TestSale::emptySearchListsPreferredItemsFirst()
{
    openWithPriceList();
    QCOMPARE(listedNames().value(0), u"Rožok"_s);
    QCOMPARE(child<QLabel>(u"Label_vloz"_s)->text(), placeholder(Msg::SearchByName));
}

void TestSale::searchColumnFollowsArrowsAndTitles()
{
    TForm_predaj_medic &screen = openWithPriceList();
    auto *searchField = child<QLineEdit>(u"Edit_predaj"_s);
    auto *grid = child<QTableView>(u"SMDBGrid_sklad"_s);
    const auto navyTitle = [grid](int column) {
        return grid->model()
                   ->headerData(column, Qt::Horizontal, Qt::BackgroundRole)
                   .value<QBrush>()
                   .color() == QColor(Qt::darkBlue);
    };
    QTest::keyClick(searchField, Qt::Key_Right);
    QCOMPARE(screen.searchColumn(), 1);
    QCOMPARE(child<QLabel>(u"Label_vloz"_s)->text(), placeholder(Msg::SearchByCode));
    QVERIFY(navyTitle(1) && !navyTitle(0));
    QTest::keyClick(searchField, Qt::Key_Right);
    QTest::keyClick(searchField, Qt::Key_Right); // stays on the last searchable column
    QCOMPARE(screen.searchColumn(), 2);
    QCOMPARE(child<QLabel>(u"Label_vloz"_s)->text(), placeholder(Msg::SortByPrice));
    QTest::keyClick(grid, Qt::Key_Left);
    QCOMPARE(screen.searchColumn(), 1);
    emit grid->horizontalHeader()->sectionClicked(3); // the unit column is not searchable
    QCOMPARE(screen.searchColumn(), 1);
    emit grid->horizontalHeader()->sectionClicked(0);
    QCOMPARE(screen.searchColumn(), 0);
    QVERIFY(navyTitle(0));
}

void TestSale::itemListFillsTheItemFields()
{
    openWithPriceList();
    auto *searchField = child<QLineEdit>(u"Edit_predaj"_s);
    typeText(searchField, u"ch"_s);
    QCOMPARE(child<QLineEdit>(u"Edit_nazov"_s)->text(), u"Chlieb"_s);
    QCOMPARE(child<QLineEdit>(u"Edit_jc"_s)->text(), u"1,235"_s);
    QCOMPARE(child<QLineEdit>(u"Edit_kod"_s)->text(), u"1200"_s);
    QCOMPARE(child<QComboBox>(u"CB_dph"_s)->currentText(), u"10"_s);
    QCOMPARE(child<QLineEdit>(u"Edit_pocet"_s)->text(), u"1"_s);
    QVERIFY(!child<QLineEdit>(u"Edit_nazov"_s)->isEnabled());
    typeText(searchField, u"x"_s);
    QVERIFY(listedNames().isEmpty());
    searchField->clear();
    QTest::keyClick(searchField, Qt::Key_Down);
    QCOMPARE(child<QTableView>(u"SMDBGrid_sklad"_s)->currentIndex().row(), 1);
    QCOMPARE(child<QLineEdit>(u"Edit_nazov"_s)->text(), listedNames().at(1));
}

void TestSale::storedItemHasItsAmountInCents_data()
{
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<QString>("percent");
    QTest::addColumn<int>("cenaInt");
    QTest::addColumn<int>("zlavaInt");
    QTest::addColumn<int>("zlavaPerc");

    QTest::newRow("plain") << u"čaj"_s << u"2,50"_s << u"2"_s << u"0"_s << 500 << 0 << 0;
    QTest::newRow("half a cent rounds up") << u"chlieb"_s << u"1,235"_s << u"1"_s << u"0"_s << 124 << 0 << 0;
    QTest::newRow("return rounds away from zero, discount dropped")
        << u"chlieb"_s << u"1,235"_s << u"-2"_s << u"10"_s << -247 << 0 << 0;
    QTest::newRow("discount of the shown amount")
        << u"šampón"_s << u"0,10"_s << u"3"_s << u"10"_s << 27 << 3 << 10;
    QTest::newRow("fractional quantity") << u"chlieb"_s << u"1,235"_s << u"0,5"_s << u"0"_s << 62 << 0 << 0;
    QTest::newRow("big discount") << u"jack"_s << u"30"_s << u"1"_s << u"99"_s << 30 << 2970 << 99;
}

void TestSale::storedItemHasItsAmountInCents()
{
    QFETCH(QString, search);
    QFETCH(QString, price);
    QFETCH(QString, quantity);
    QFETCH(QString, percent);
    QFETCH(int, cenaInt);
    QFETCH(int, zlavaInt);
    QFETCH(int, zlavaPerc);
    TForm_predaj_medic &screen = openWithPriceList();
    enterItem(search, price, quantity, percent);
    QVERIFY2(m_f->dialogs.shown().isEmpty(), qPrintable(m_f->dialogs.shown().value(0).text));

    const QList<SaleRow> rows = m_f->data->openRows().value();
    QCOMPARE(rows.size(), 1);
    const SaleRow &row = rows.first();
    QCOMPARE(row.cenaInt, cenaInt);
    QCOMPARE(row.zlavaInt, zlavaInt);
    QCOMPARE(row.zlavaPerc, zlavaPerc);
    QCOMPARE(row.cena, cenaInt / 100.0);
    QCOMPARE(row.doklad, 42);
    QCOMPARE(row.idDoklad, 42);
    QCOMPARE(row.du, 7);
    QCOMPARE(row.sklad, 3);
    QCOMPARE(row.dph, 10);
    QCOMPARE(row.idxDph, 1);
    QCOMPARE(row.verDb, 2);
    QVERIFY(!row.fisk);
    QCOMPARE(child<QLabel>(u"L_celkom"_s)->text(), QLocale().toString(cenaInt / 100.0, 'f', 2));
    QCOMPARE(screen.document().totalCents(), cenaInt);
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(u"Edit_predaj"_s));
    if (quantity.startsWith(u'-'))
        QCOMPARE(child<QLineEdit>(u"Edit_zlava"_s)->text(), u"0"_s);
}

void TestSale::notANumberKeepsTheCashierOnTheField_data()
{
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<QString>("field");
    QTest::newRow("price") << u","_s << u"1"_s << u"Edit_jc"_s;
    QTest::newRow("empty price") << QString() << u"1"_s << u"Edit_jc"_s;
    QTest::newRow("quantity") << u"1"_s << u"1-"_s << u"Edit_pocet"_s;
}

void TestSale::notANumberKeepsTheCashierOnTheField()
{
    QFETCH(QString, price);
    QFETCH(QString, quantity);
    QFETCH(QString, field);
    openWithPriceList();
    enterItem(u"čaj"_s, price, quantity, u"0"_s);
    QCOMPARE(m_f->dialogs.shown().size(), 1);
    QVERIFY(m_f->dialogs.shown().first().text.contains(u"nie je číslo"_s));
    QCOMPARE(m_f->dialogs.shown().first().caption, placeholder(Msg::SaleWarningCaption));
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(field));
    QVERIFY(m_f->data->openRows().value().isEmpty());
}

void TestSale::zeroPriceAndShortNameStopTheStore()
{
    openWithPriceList();
    m_f->dialogs.queueAnswer(UserDialogs::Answer::No);
    enterItem(u"darček"_s, u"0"_s, u"1"_s, u"0"_s);
    QCOMPARE(m_f->dialogs.shown().size(), 1);
    QCOMPARE(m_f->dialogs.shown().first().text, placeholder(Msg::ZeroPriceQuestion));
    QCOMPARE(m_f->dialogs.shown().first().defaultAnswer, UserDialogs::Answer::No);
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(u"Edit_jc"_s));

    m_f->dialogs.clear();
    auto *name = child<QLineEdit>(u"Edit_nazov"_s);
    name->setText(u"Ab"_s);
    auto *quantity = child<QLineEdit>(u"Edit_pocet"_s);
    child<QLineEdit>(u"Edit_jc"_s)->setText(u"1"_s);
    quantity->setFocus();
    QTest::keyClick(quantity, Qt::Key_Return);
    QCOMPARE(m_f->dialogs.shown().size(), 1);
    QCOMPARE(m_f->dialogs.shown().first().text, placeholder(Msg::NameTooShort));
    QVERIFY(name->isEnabled());
    QCOMPARE(QApplication::focusWidget(), name);
    QVERIFY(m_f->data->openRows().value().isEmpty());
}

void TestSale::itemTypedByHandIsStoredAsX0000()
{
    openWithPriceList();
    auto *searchField = child<QLineEdit>(u"Edit_predaj"_s);
    typeText(searchField, u"rož"_s);
    QTest::keyClick(searchField, Qt::Key_Insert);
    auto *name = child<QLineEdit>(u"Edit_nazov"_s);
    QCOMPARE(QApplication::focusWidget(), name);
    QCOMPARE(child<QLineEdit>(u"Edit_kod"_s)->text(), u"X0000"_s);
    typeText(name, u"Káva do ruky"_s);
    child<QLineEdit>(u"Edit_jc"_s)->setText(u"1,20"_s);
    auto *quantity = child<QLineEdit>(u"Edit_pocet"_s);
    quantity->setFocus();
    QTest::keyClick(quantity, Qt::Key_Return);
    const QList<SaleRow> rows = m_f->data->openRows().value();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().kod, u"X0000"_s);
    QCOMPARE(rows.first().nazov, u"Káva do ruky"_s);
    QCOMPARE(rows.first().cenaInt, 120);
    QCOMPARE(rows.first().dph, 20);
    QCOMPARE(rows.first().sklad, 3); // of the item-list row that was current
    QVERIFY(!name->isEnabled());
}

void TestSale::documentDiscountRecomputesEveryLine()
{
    TForm_predaj_medic &screen = openWithPriceList();
    enterItem(u"čaj"_s, u"2,50"_s, u"3"_s, u"10"_s); // 750 - 75
    enterItem(u"chlieb"_s, u"1,235"_s, u"-1"_s, u"0"_s);
    QCOMPARE(screen.document().totalCents(), 675 - 124);

    QVERIFY(screen.applyDocumentDiscount(10));
    const QList<SaleRow> rows = m_f->data->openRows().value();
    QCOMPARE(rows.at(0).zlavaInt, 75);
    QCOMPARE(rows.at(0).cenaInt, 675);
    // A return gets the discount on its negative amount, 0.005 added as for a sale.
    QCOMPARE(rows.at(1).zlavaInt, -11);
    QCOMPARE(rows.at(1).cenaInt, -123 + 11);
    QCOMPARE(rows.at(1).zlavaPerc, 10);
    QCOMPARE(screen.document().totalCents(), 675 - 112);
    QCOMPARE(screen.document().discount.discountCents, 64);
    QCOMPARE(screen.document().discount.net, 5.63);
    QCOMPARE(child<QLabel>(u"L_celkom"_s)->text(), u"5,63"_s);
}

void TestSale::openDocumentSurvivesANewRun()
{
    openWithPriceList();
    enterItem(u"čaj"_s, u"2,50"_s, u"1"_s, u"0"_s);
    m_f->screen.reset();
    m_f->data.reset();
    TForm_predaj_medic &screen = m_f->open();
    QCOMPARE(screen.document().rows().size(), 1);
    QCOMPARE(child<QLabel>(u"L_celkom"_s)->text(), u"2,50"_s);
    QCOMPARE(child<QTableView>(u"SMDBGrid_doklad"_s)->model()->index(0, 1).data().toString(),
             u"ČAJ zelený"_s);
}

// The maintenance screen moves the till to another data folder and adds a unit:
// the unit list is that of the new folder's vx60_sklad.ini at once, while the
// open document stays in the tables opened at start.
void TestSale::unitsFollowTheDataFolderMovedByTheMaintenanceScreen()
{
    TForm_predaj_medic &screen = openWithPriceList();
    enterItem(u"čaj"_s, u"2,50"_s, u"1"_s, u"0"_s);
    const QString newFolder = m_f->dir.path() + u"/nove/"_s;
    QVERIFY(QDir().mkpath(newFolder));
    DataFolderMove::byMaintenanceScreen({m_f->context.programFolder,
                                         m_f->context.config,
                                         m_f->context.messages,
                                         m_f->dialogs,
                                         m_f->data->stockFile(),
                                         [] { return std::optional<QString>(); },
                                         {},
                                         {},
                                         [&screen] { screen.settingsChanged(); },
                                         [] { return false; },
                                         {}},
                                        m_f->dialogs, newFolder, u"bal"_s);
    QCOMPARE(m_f->context.config.dataFolder, newFolder);
    auto *units = child<QComboBox>(u"CB_mj"_s);
    QStringList shown;
    for (int i = 0; i < units->count(); ++i)
        shown << units->itemText(i);
    QCOMPARE(shown, (QStringList{u"krát"_s, u"ks"_s, u"bal"_s}));
    QCOMPARE(screen.document().rows().size(), 1);
}

void TestSale::keyRoutesMoveTheFocus_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("to");

    QTest::newRow("search Enter, price above 0")
        << u"Edit_predaj"_s << int(Qt::Key_Return) << u"Edit_pocet"_s;
    QTest::newRow("item list Enter") << u"SMDBGrid_sklad"_s << int(Qt::Key_Return) << u"Edit_pocet"_s;
    QTest::newRow("item list other key") << u"SMDBGrid_sklad"_s << int(Qt::Key_A) << u"Edit_predaj"_s;
    QTest::newRow("name 2 Down skips the code") << u"Edit_nazov2"_s << int(Qt::Key_Down) << u"CB_dph"_s;
    QTest::newRow("name 1 Up, name disabled") << u"Edit_nazov1"_s << int(Qt::Key_Up) << u"Edit_nazov1"_s;
    QTest::newRow("VAT Enter") << u"CB_dph"_s << int(Qt::Key_Return) << u"Edit_jc"_s;
    QTest::newRow("price Enter") << u"Edit_jc"_s << int(Qt::Key_Return) << u"Edit_pocet"_s;
    QTest::newRow("price Up") << u"Edit_jc"_s << int(Qt::Key_Up) << u"CB_dph"_s;
    QTest::newRow("quantity Down") << u"Edit_pocet"_s << int(Qt::Key_Down) << u"CB_mj"_s;
    QTest::newRow("unit Enter goes back") << u"CB_mj"_s << int(Qt::Key_Return) << u"Edit_pocet"_s;
    QTest::newRow("unit Down stays") << u"CB_mj"_s << int(Qt::Key_Down) << u"CB_mj"_s;
    QTest::newRow("percent Tab") << u"Edit_zlava"_s << int(Qt::Key_Tab) << u"Edit_pocet"_s;
    QTest::newRow("percent Up") << u"Edit_zlava"_s << int(Qt::Key_Up) << u"CB_mj"_s;
    QTest::newRow("F1") << u"Edit_jc"_s << int(Qt::Key_F1) << u"SMDBGrid_doklad"_s;
    QTest::newRow("F2") << u"Edit_jc"_s << int(Qt::Key_F2) << u"Edit_predaj"_s;
}

void TestSale::keyRoutesMoveTheFocus()
{
    QFETCH(QString, from);
    QFETCH(int, key);
    QFETCH(QString, to);
    openWithPriceList();
    typeText(child<QLineEdit>(u"Edit_predaj"_s), u"čaj"_s);
    auto *start = child<QWidget>(from);
    start->setFocus();
    QTest::keyClick(start, Qt::Key(key));
    QCOMPARE(QApplication::focusWidget()->objectName(), to);
}

void TestSale::characterFiltersKeepNumbersOnly()
{
    openWithPriceList();
    auto *price = child<QLineEdit>(u"Edit_jc"_s);
    price->clear();
    price->setFocus();
    typeText(price, u"1a.5.-2"_s);
    QCOMPARE(price->text(), u"1,52"_s);
    auto *quantity = child<QLineEdit>(u"Edit_pocet"_s);
    quantity->clear();
    quantity->setFocus();
    typeText(quantity, u"-2-x,5"_s);
    QCOMPARE(quantity->text(), u"-2,5"_s);
    quantity->setText(u"3"_s); // a return would hold the percent at 0
    auto *percent = child<QLineEdit>(u"Edit_zlava"_s);
    percent->clear();
    percent->setFocus();
    typeText(percent, u"1,x55"_s);
    QCOMPARE(percent->text(), u"15"_s);
    // The live amount follows; a return forces the percent back to 0.
    price->setText(u"2"_s);
    QCOMPARE(child<QLineEdit>(u"Edit_zlava_eur"_s)->text(), u"0,90"_s);
    quantity->setText(u"-"_s);
    QCOMPARE(percent->text(), u"15"_s);
    quantity->setText(u"-1"_s);
    QCOMPARE(percent->text(), u"0"_s);
}

void TestSale::scannerBurstLosesNoKey()
{
    openWithPriceList();
    auto *searchField = child<QLineEdit>(u"Edit_predaj"_s);
    QTest::keyClick(searchField, Qt::Key_Right);
    typeText(searchField, u"8580000000017"_s);
    QCOMPARE(searchField->text(), u"8580000000017"_s);
    QTest::keyClick(searchField, Qt::Key_Return);
    QCOMPARE(listedNames(), QStringList{u"ČAJ zelený"_s});
    QCOMPARE(child<QLineEdit>(u"Edit_nazov"_s)->text(), u"ČAJ zelený"_s);
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(u"Edit_pocet"_s));
}

void TestSale::buttonsReactOnlyToDeliberateActions()
{
    openWithPriceList();
    // Every print that gets past the guard asks the printer for its status first.
    const int before = m_f->detection.statusQueries;
    const auto prints = [&] { return m_f->detection.statusQueries - before; };
    auto *print = child<QPushButton>(u"BitBtn_tlac"_s);

    print->setFocus();
    QTest::keyClick(print, Qt::Key_Space);
    QTest::keyClick(print, Qt::Key_Return);
    QTest::keyClick(print, Qt::Key_T);
    QCOMPARE(prints(), 0);

    QTest::mouseClick(print, Qt::LeftButton);
    QCOMPARE(prints(), 1);

    auto *price = child<QLineEdit>(u"Edit_jc"_s);
    price->setFocus();
    QTest::keyClick(price, Qt::Key_F12);
    QCOMPARE(prints(), 2);

    QTest::keyClick(price, Qt::Key_T, Qt::AltModifier);
    QTRY_COMPARE(prints(), 3);
    QVERIFY(m_f->dialogs.shown().isEmpty());

    // A placeholder button says so instead of doing nothing.
    QTest::mouseClick(child<QPushButton>(u"BitBtn_vklad"_s), Qt::LeftButton);
    QCOMPARE(m_f->dialogs.shown().size(), 1);
    QVERIFY(m_f->dialogs.shown().first().text.contains(u"Vklad"_s));
}

void TestSale::deleteRemovesTheCurrentRow()
{
    TForm_predaj_medic &screen = openWithPriceList();
    auto *grid = child<QTableView>(u"SMDBGrid_doklad"_s);
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Delete); // empty document: nothing happens
    QVERIFY(m_f->dialogs.shown().isEmpty());

    enterItem(u"čaj"_s, u"2,50"_s, u"1"_s, u"0"_s);
    enterItem(u"chlieb"_s, u"1,235"_s, u"1"_s, u"0"_s);
    enterItem(u"rožok"_s, u"0,08"_s, u"10"_s, u"0"_s);
    QCOMPARE(screen.document().totalCents(), 250 + 124 + 80);
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(1, 0));
    QTest::keyClick(grid, Qt::Key_Delete);
    QCOMPARE(screen.document().totalCents(), 250 + 80);
    QCOMPARE(grid->model()->rowCount(), 2);
    QCOMPARE(grid->currentIndex().row(), 1);
    QCOMPARE(m_f->data->openRows().value().size(), 2);
    QCOMPARE(child<QLabel>(u"L_celkom"_s)->text(), u"3,30"_s);
}

void TestSale::settingsAreWrittenOnClose()
{
    const QString iniPath = m_f->dir.path() + u"/cennik/pokladna.ini"_s;
    IniFile before(iniPath);
    before.setString(u"SKLAD"_s, u"COL_0"_s, u"77"_s);
    before.setString(u"POKL"_s, u"HEIGHT"_s, u"520"_s);
    before.setString(u"POKL"_s, u"TOP"_s, u"30"_s);
    before.setString(u"POKL"_s, u"LEFT"_s, u"40"_s);
    QVERIFY(before.save());

    // The height kept is the frame's, as the place is the frame's.
    TForm_predaj_medic &screen = openWithPriceList();
    QTRY_COMPARE(screen.frameGeometry().height(), 520);
    auto *grid = child<QTableView>(u"SMDBGrid_doklad"_s);
    grid->horizontalHeader()->resizeSection(0, 20); // a user's resize is held at 50 or more
    QCOMPARE(grid->horizontalHeader()->sectionSize(0), 50);
    screen.resize(screen.width(), 600 - (screen.frameGeometry().height() - screen.height()));
    screen.close();
    QVERIFY(!screen.isVisible());

    IniFile after(iniPath);
    QVERIFY(after.load());
    QCOMPARE(after.readInt(u"POKL"_s, u"HEIGHT"_s, 0), 600);
    QCOMPARE(after.readInt(u"POKL"_s, u"COL_D_0"_s, 0), 50);
    QVERIFY(after.hasKey(u"POKL"_s, u"COL_D_4"_s));
    QVERIFY(after.hasKey(u"POKL"_s, u"COL_S_3"_s));
    QCOMPARE(after.readString(u"POKL"_s, u"COL_S_NAME_1"_s, {}), u"KOD"_s);
    QCOMPARE(after.readInt(u"SKLAD"_s, u"COL_0"_s, 0), 77);
}

void TestSale::supportProgramMissingIsSaidPlainly()
{
    TForm_predaj_medic &screen = openWithPriceList();
    QStringList started;
    screen.setProgramStarter([&started](const QString &program) {
        started << program;
        return true;
    });
    auto *support = child<QPushButton>(u"BitBtn3"_s);
    QTest::mouseClick(support, Qt::LeftButton);
    QVERIFY(started.isEmpty());
    QCOMPARE(m_f->dialogs.shown().size(), 1);
    QVERIFY(m_f->dialogs.shown().first().text.contains(u"Brixo_Client.exe"_s));

    QVERIFY(TestPaths::writeFile(m_f->dir.path() + u"/Brixo_Client.exe"_s, "x"));
    QTest::mouseClick(support, Qt::LeftButton);
    QCOMPARE(started, QStringList{QDir(m_f->dir.path()).filePath(u"Brixo_Client.exe"_s)});
    QCOMPARE(m_f->dialogs.shown().size(), 1);
}

namespace {

// A key as the cashier presses it: it goes to whatever has the focus now.
void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget *focused = QApplication::focusWidget();
    QVERIFY2(focused, "nothing has the focus");
    QTest::keyClick(focused, Qt::Key(key), modifiers);
}

void typeIntoFocus(const QString &text)
{
    QWidget *focused = QApplication::focusWidget();
    QVERIFY2(focused, "nothing has the focus");
    typeText(focused, text);
}

QStringList openNames(DataModule &data)
{
    QStringList names;
    const std::optional<QList<SaleRow>> rows = data.openRows();
    for (const SaleRow &row : rows.value())
        names << row.nazov;
    return names;
}

} // namespace

// F2, the search text, Enter to the quantity, the quantity typed over the one proposed, Enter.
void TestSale::sellByKeys(const QString &search, const QString &quantity)
{
    press(Qt::Key_F2);
    typeIntoFocus(search);
    press(Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(u"Edit_pocet"_s));
    typeIntoFocus(quantity);
    press(Qt::Key_Return);
}

// What the cashier types into a field the keys led to replaces the value it was preset with:
// "6" after Enter on an item is six pieces, not sixteen.
void TestSale::typingReplacesThePresetValue_data()
{
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("price"); // typed when Enter leads to the price first
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<double>("storedPrice");
    QTest::addColumn<double>("storedQuantity");

    QTest::newRow("search, Enter, quantity") << u"čaj"_s << QString() << u"6"_s << 2.50 << 6.0;
    QTest::newRow("a decimal quantity") << u"chlieb"_s << QString() << u",5"_s << 1.235 << 0.5;
    QTest::newRow("a return") << u"chlieb"_s << QString() << u"-2"_s << 1.235 << -2.0;
    QTest::newRow("price 0: price, Enter, quantity") << u"darček"_s << u"2,4"_s << u"3"_s << 2.4 << 3.0;
}

void TestSale::typingReplacesThePresetValue()
{
    QFETCH(QString, search);
    QFETCH(QString, price);
    QFETCH(QString, quantity);
    QFETCH(double, storedPrice);
    QFETCH(double, storedQuantity);
    openWithPriceList();
    m_f->dialogs.setStrict(true);
    // Twice: the second item's fields are preset anew after the first is stored.
    for (int item = 1; item <= 2; ++item) {
        press(Qt::Key_F2);
        typeIntoFocus(search);
        press(Qt::Key_Return);
        if (!price.isEmpty()) {
            QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(u"Edit_jc"_s));
            typeIntoFocus(price);
            press(Qt::Key_Return);
        }
        QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(u"Edit_pocet"_s));
        QCOMPARE(child<QLineEdit>(u"Edit_pocet"_s)->text(), u"1"_s);
        typeIntoFocus(quantity);
        press(Qt::Key_Return);
        const QList<SaleRow> rows = m_f->data->openRows().value();
        QCOMPARE(rows.size(), item);
        QCOMPARE(rows.last().jc, storedPrice);
        QCOMPARE(rows.last().pocet, storedQuantity);
    }
}

// A screen reader names every field and grid by its caption; the search field by the column
// it searches, also after Left and Right.
void TestSale::everyInputReadsByItsName()
{
    TForm_predaj_medic &screen = openWithPriceList();
    // The payment dialog is the screen's own: its fields are walked with it.
    QVERIFY(screen.findChild<QDialog *>(u"TForm_platba"_s));
    const QStringList faults = AccessibleNames::faults(screen);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u"; "_s)));
    auto *search = child<QLineEdit>(u"Edit_predaj"_s);
    QCOMPARE(AccessibleNames::nameOf(search), child<QLabel>(u"Label_vloz"_s)->text());
    press(Qt::Key_F2);
    press(Qt::Key_Right);
    QCOMPARE(AccessibleNames::nameOf(search), child<QLabel>(u"Label_vloz"_s)->text());
}

// A click puts the caret where the cashier clicked; nothing is selected to be typed over.
void TestSale::aClickPlacesTheCaret()
{
    openWithPriceList();
    press(Qt::Key_F2);
    typeIntoFocus(u"čaj"_s);
    auto *price = child<QLineEdit>(u"Edit_jc"_s);
    QCOMPARE(price->text(), u"2,5"_s);
    QTest::mouseClick(price, Qt::LeftButton, {}, QPoint(price->width() - 4, price->height() / 2));
    QCOMPARE(QApplication::focusWidget(), price);
    QVERIFY(!price->hasSelectedText());
    typeIntoFocus(u"5"_s);
    QCOMPARE(price->text(), u"2,55"_s);
}

// Without stored widths the name column takes what the others leave; with stored widths too.
void TestSale::firstStartGivesTheNamesTheRoom()
{
    TForm_predaj_medic &screen = openWithPriceList();
    for (const auto &[gridName, nameColumn] :
         {std::pair{u"SMDBGrid_doklad"_s, 1}, std::pair{u"SMDBGrid_sklad"_s, 0}}) {
        auto *grid = child<QTableView>(gridName);
        const QHeaderView *header = grid->horizontalHeader();
        int others = 0;
        for (int column = 0; column < header->count(); ++column) {
            if (column != nameColumn) {
                QVERIFY2(header->sectionSize(column) < header->sectionSize(nameColumn), qPrintable(gridName));
                others += header->sectionSize(column);
            }
        }
        QCOMPARE(header->sectionSize(nameColumn), grid->viewport()->width() - others);
    }
    screen.close();

    IniFile stored(m_f->dir.path() + u"/cennik/pokladna.ini"_s);
    QVERIFY(stored.load());
    stored.setString(u"POKL"_s, u"COL_D_1"_s, u"60"_s);
    stored.setString(u"POKL"_s, u"COL_D_4"_s, u"90"_s);
    QVERIFY(stored.save());
    screen.show();
    QVERIFY(QTest::qWaitForWindowExposed(&screen));
    auto *document = child<QTableView>(u"SMDBGrid_doklad"_s);
    const QHeaderView *header = document->horizontalHeader();
    QCOMPARE(header->sectionSize(4), 90);
    // The names take the rest of the grid, also after stored widths.
    QCOMPARE(header->sectionSize(1), document->viewport()->width() - header->sectionSize(0) -
                                         header->sectionSize(2) - header->sectionSize(3) - 90);
}

// The shop's screens: a window of the least size, and windows as wide as a 1024×768 and a
// 1366×768 screen less the window's borders and a tray panel. Long names, codes of bar codes
// and prices in thousands on the document and in the price list, the Slovak texts of the
// status bar, and column widths kept from a wider window: every title, number and status
// text is whole; only the names may be cut at the end of their column.
void TestSale::textsAreWholeOnShopScreens_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("least window") << QSize(1000, 450);
    QTest::newRow("1024x768") << QSize(1020, 700);
    QTest::newRow("1366x768") << QSize(1362, 700);
}

void TestSale::textsAreWholeOnShopScreens()
{
    QFETCH(QSize, size);
    QCOMPARE(m_f->context.messages.load(TestPaths::shippedLanguageFile(u"vx60_sk.msg"_s)),
             MessageTable::LoadResult::Loaded);
    IniFile stored(m_f->dir.path() + u"/cennik/pokladna.ini"_s);
    const QList<std::pair<QString, int>> widths = {
        {u"COL_D_0"_s, 85},  {u"COL_D_1"_s, 295}, {u"COL_D_2"_s, 70}, {u"COL_D_3"_s, 70}, {u"COL_D_4"_s, 40},
        {u"COL_S_0"_s, 200}, {u"COL_S_1"_s, 50},  {u"COL_S_2"_s, 40}, {u"COL_S_3"_s, 71}};
    for (const auto &[key, width] : widths)
        stored.setString(u"POKL"_s, key, QString::number(width));
    stored.setString(u"CONFIG"_s, u"VC"_s, u"A1234567"_s);
    QVERIFY(stored.save());
    QVERIFY(m_f->addCards({card(u"8586000123457"_s, u"Čokoláda horká s lieskovými orieškami, 7"_s, 1234.99),
                           card(u"1003"_s, u"Rožok biely 40 g"_s, 0.12),
                           card(u"2001"_s, u"Šampón Žihľava & Ľubovník 250 ml"_s, 3.45),
                           card(u"1002"_s, u"Mlieko polotučné 1,5 % 1 l"_s, 0.99)}));
    TForm_predaj_medic &screen = m_f->open();
    QVERIFY(QTest::qWaitForWindowActive(&screen));
    enterItem(u"rožok"_s, u"0,12"_s, u"16"_s, u"0"_s);
    enterItem(u"šampón"_s, u"3,45"_s, u"1"_s, u"0"_s);
    enterItem(u"čokoláda"_s, u"1234,99"_s, u"10"_s, u"0"_s); // 12 349,90
    QCOMPARE(screen.document().totalCents(), 192 + 345 + 1234990);
    typeText(child<QLineEdit>(u"Edit_predaj"_s), u"m"_s); // the closing and document numbers

    screen.resize(size);
    // The window is not made wider than the screen's room by its texts.
    QTRY_COMPARE(screen.size(), size.expandedTo(screen.minimumSize()));
    QCOMPARE(screen.width(), size.width());
    auto *document = child<QTableView>(u"SMDBGrid_doklad"_s);
    auto *items = child<QTableView>(u"SMDBGrid_sklad"_s);
    auto *status = child<QStatusBar>(u"SB_predaj"_s);
    QCOMPARE(status->findChildren<QLabel *>().size(), 8);
    QCOMPARE(status->findChildren<QLabel *>().at(0)->text(), u"Uzávierka č. 7"_s);
    QCOMPARE(status->findChildren<QLabel *>().at(4)->text(), u"Pokladňa 1 | A1234567 / SRP350"_s);
    const auto cut = [&] {
        return TextFit::cutInGrid(*document, SaleDocumentModel::Nazov) + TextFit::cutInGrid(*items, 0) +
               TextFit::cutInStatusBar(*status);
    };
    QTRY_VERIFY2(cut().isEmpty(), qPrintable(cut().join(u"; "_s)));
    QCOMPARE(status->findChildren<QLabel *>().at(5)->text(),
             u"F1 Doklad, F2 Predaj, F12 Tlač, INS Nová položka"_s);
    // The document's names are whole where the window leaves them the room.
    for (int row = 0; row < document->model()->rowCount(); ++row) {
        const QString name = document->model()->index(row, SaleDocumentModel::Nazov).data().toString();
        QVERIFY2(document->fontMetrics().horizontalAdvance(name) <
                     document->horizontalHeader()->sectionSize(SaleDocumentModel::Nazov),
                 qPrintable(name));
    }
}

void TestSale::deleteAfterAStoreRemovesTheItemJustStored_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Alt+V") << u"alt"_s;
    QTest::newRow("F1 then Delete") << u"grid"_s;
    QTest::newRow("click on Vymaž") << u"click"_s;
}

void TestSale::deleteAfterAStoreRemovesTheItemJustStored()
{
    QFETCH(QString, how);
    openWithPriceList();
    m_f->dialogs.setStrict(true);
    sellByKeys(u"čaj"_s, u"1"_s);
    sellByKeys(u"chlieb"_s, u"2"_s);
    QCOMPARE(openNames(*m_f->data), QStringList({u"ČAJ zelený"_s, u"Chlieb"_s}));
    QCOMPARE(child<QTableView>(u"SMDBGrid_doklad"_s)->currentIndex().row(), 1);

    if (how == u"alt") {
        press(Qt::Key_V, Qt::AltModifier);
    } else if (how == u"grid") {
        press(Qt::Key_F1);
        QCOMPARE(QApplication::focusWidget(), child<QTableView>(u"SMDBGrid_doklad"_s));
        press(Qt::Key_Delete);
    } else {
        QTest::mouseClick(child<QPushButton>(u"BitBtn_vymaz"_s), Qt::LeftButton);
    }
    QTRY_COMPARE(openNames(*m_f->data), QStringList{u"ČAJ zelený"_s});
    QCOMPARE(child<QLabel>(u"L_celkom"_s)->text(), u"2,50"_s);
}

// A scanned code that is no card: the item shown before must not be stored again.
void TestSale::unknownCodeLeavesNothingToStore()
{
    openWithPriceList();
    m_f->dialogs.setStrict(true);
    press(Qt::Key_F2);
    press(Qt::Key_Right); // search by code
    typeIntoFocus(u"1001"_s);
    QCOMPARE(child<QLineEdit>(u"Edit_nazov"_s)->text(), u"ČAJ zelený"_s);
    typeIntoFocus(u"999"_s);
    for (const QString &name : {u"Edit_nazov"_s, u"Edit_nazov1"_s, u"Edit_nazov2"_s, u"Edit_kod"_s})
        QVERIFY2(child<QLineEdit>(name)->text().isEmpty(), qPrintable(name));

    press(Qt::Key_Return);
    press(Qt::Key_Return);
    QVERIFY(openNames(*m_f->data).isEmpty());
    QVERIFY(m_f->dialogs.shown().isEmpty());

    // Storing anyway: past the zero-price question the empty name stops it.
    m_f->dialogs.queueAnswer(UserDialogs::Answer::Yes);
    m_f->dialogs.queueAnswer(UserDialogs::Answer::Ok);
    press(Qt::Key_Return);
    QCOMPARE(m_f->dialogs.shown().size(), 2);
    QCOMPARE(m_f->dialogs.shown().at(0).text, placeholder(Msg::ZeroPriceQuestion));
    QCOMPARE(m_f->dialogs.shown().at(1).text, placeholder(Msg::NameTooShort));
    QVERIFY(openNames(*m_f->data).isEmpty());
}

void TestSale::searchTextOutlivesAReturnToTheWindow_data()
{
    QTest::addColumn<bool>("byActivation");
    QTest::addColumn<QString>("textAfter");
    QTest::newRow("another window, then back") << true << u"chl"_s;
    QTest::newRow("the cashier's F2") << false << QString();
}

void TestSale::searchTextOutlivesAReturnToTheWindow()
{
    QFETCH(bool, byActivation);
    QFETCH(QString, textAfter);
    TForm_predaj_medic &screen = openWithPriceList();
    m_f->dialogs.setStrict(true);
    auto *search = child<QLineEdit>(u"Edit_predaj"_s);
    press(Qt::Key_F2);
    typeIntoFocus(u"chl"_s);
    if (byActivation) {
        // A message box or Alt+Tab: another window is active for a while.
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        other.hide();
        screen.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&screen));
    } else {
        child<QLineEdit>(u"Edit_jc"_s)->setFocus();
        press(Qt::Key_F2);
    }
    QTRY_COMPARE(QApplication::focusWidget(), search);
    QCOMPARE(search->text(), textAfter);
}

// "No" to the question whether to end: the cashier goes on in the search field.
void TestSale::refusedEndReturnsToTheSearchField()
{
    TForm_predaj_medic &screen = openWithPriceList();
    m_f->dialogs.setStrict(true);
    TSQD60 mainWindow(m_f->context);
    mainWindow.setSaleScreen(&screen);
    press(Qt::Key_F2);
    typeIntoFocus(u"chl"_s);
    press(Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(u"Edit_pocet"_s));

    m_f->dialogs.queueAnswer(UserDialogs::Answer::No);
    QVERIFY(!mainWindow.close());
    QCOMPARE(m_f->dialogs.shown().size(), 1);
    QVERIFY(screen.isEnabled());
    QTRY_COMPARE(QApplication::focusWidget(), child<QLineEdit>(u"Edit_predaj"_s));
}

QTEST_MAIN(TestSale)
#include "tst_sale.moc"

#include "AccessibleNames.h"
#include "DataFolderMove.h"
#include "FrameOnScreen.h"
#include "ScreenChild.h"
#include "ScriptedDialogs.h"
#include "TestStore.h"
#include "TextFit.h"
#include "base/Configuration.h"
#include "base/IniFile.h"
#include "lang/MessageTable.h"
#include "stock/CardRenumbering.h"
#include "stock/DataFile.h"
#include "stock/NameListEdits.h"
#include "stock/PointOfSaleKeys.h"
#include "stock/StockSearch.h"
#include "stock/StockTable.h"
#include "stock/UnitAndGroupNames.h"
#include "stock/ui/StockGridPanel.h"
#include "stock/ui/TForm_skladm.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSqlQuery>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget *focused = QApplication::focusWidget();
    QVERIFY2(focused, "nothing has the focus");
    QTest::keyClick(focused, Qt::Key(key), modifiers);
}

void type(const QString &text)
{
    QWidget *focused = QApplication::focusWidget();
    QVERIFY2(focused, "nothing has the focus");
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, focused, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// Alt with the underlined letter of a button, as the cashier presses it.
void alt(char letter)
{
    press(Qt::Key_A + (letter - 'a'), Qt::AltModifier);
}

StockRow card(const QString &kod, const QString &nazov, int group, double price = 1.0)
{
    StockRow row;
    row.kod = kod;
    row.nazov = nazov;
    row.skladIdx = group;
    row.jc = price;
    row.pocet = 10;
    row.mj = u"ks"_s;
    row.mjIdx = 1;
    return row;
}

// A data folder with a few cards in three groups and the stock-card screen over it.
struct StockRig
{
    StockRig()
    {
        dataFolder = dir.path() + u"/cennik/"_s;
        config.dataFolder = dataFolder;
        QDir().mkpath(dataFolder);
        UnitAndGroupNames::fromLists({u"krát"_s, u"ks"_s, u"kg"_s},
                                     {u"Potraviny"_s, u"Drogéria"_s, u"Nápoje"_s})
            .save(dataFolder);
        file.setServer(store.server());
        QVERIFY(file.open(dataFolder + u"vx60_sklad.db"_s, true));
        QVERIFY(table.create());
        for (const StockRow &row :
             {card(u"100"_s, u"Mlieko plnotučné"_s, 0), card(u"200"_s, u"POLOMLIEKO"_s, 0),
              card(u"300"_s, u"Chlieb"_s, 0), card(u"400"_s, u"Mydlo"_s, 1), card(u"500"_s, u"Voda"_s, 2),
              card(u"600"_s, u"Šťava"_s, 2)})
            QVERIFY(table.insert(row));
        screen = std::make_unique<TForm_skladm>(
            StockCardsScreenContext{dir.path(), config, messages, dialogs, file, table, search, {}});
    }

    template <typename T> T *child(const QString &name) const { return screenChild<T>(*screen, name); }
    QWidget *focused() const { return QApplication::focusWidget(); }
    QLineEdit *field(const QString &name) const { return child<QLineEdit>(name); }
    QString state() const
    {
        return screen->findChild<QStatusBar *>(u"StatusBar1"_s)->findChildren<QLabel *>().value(0)->text();
    }
    QStringList gridNames() const
    {
        QStringList names;
        auto *grid = child<QTableView>(u"SMDBGrid_sklad"_s);
        for (int row = 0; row < grid->model()->rowCount(); ++row)
            names << grid->model()->index(row, 0).data().toString();
        return names;
    }
    QString currentName() const
    {
        auto *grid = child<QTableView>(u"SMDBGrid_sklad"_s);
        return grid->currentIndex().siblingAtColumn(0).data().toString();
    }
    std::optional<StockRow> stored(const QString &kod)
    {
        std::optional<StockRow> row;
        if (!table.cardByCode(kod, row))
            qFatal("read failed");
        return row;
    }

    // Opens the screen and does `steps` once it is shown; the screen is closed after.
    void run(const std::function<void()> &steps, const QRect &saleWindow = QRect())
    {
        QTimer::singleShot(0, screen.get(), [this, steps] {
            screen->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(screen.get()));
            steps();
            screen->reject();
        });
        screen->open(saleWindow);
    }

    TestStore store;
    QTemporaryDir dir;
    QString dataFolder;
    Configuration config;
    MessageTable messages;
    ScriptedDialogs dialogs;
    DataFile file;
    StockTable table{file};
    StockSearch search{file};
    std::unique_ptr<TForm_skladm> screen;
};

} // namespace

class TestStockCards : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyInputReadsByItsName();
    void searchAndGroupFilter();
    void newCardByKeys();
    void copyIsRefusedUntilTheCodeChanges();
    void editedCardUnderAnotherCodeIsRefusedAndKept();
    void cancelOfANewCard_data();
    void cancelOfANewCard();
    void deleteKeepsTheRowPosition_data();
    void deleteKeepsTheRowPosition();
    void actionGate_data();
    void actionGate();
    void cardChangedOnAnotherTill_data();
    void cardChangedOnAnotherTill();
    void numberTyping_data();
    void numberTyping();
    void columnWidthsAreHeldAndKept();
    void textsAreWholeOnShopScreens_data();
    void textsAreWholeOnShopScreens();
    void placedOverTheSaleWindowOnTheScreen();
    void renumberingKeepsCardsOnTheirEntries_data();
    void renumberingKeepsCardsOnTheirEntries();
    void namesFollowTheDataFolderMovedByTheMaintenanceScreen();
};

void TestStockCards::initTestCase()
{
    OMIRA_REQUIRE_BACKEND();
    QLocale::setDefault(QLocale(QLocale::Slovak, QLocale::Slovakia));
}

// Name or code anywhere, folded, literal; the group filter narrows the list.
// A screen reader names every field, list and grid by its caption.
void TestStockCards::everyInputReadsByItsName()
{
    StockRig rig;
    const QStringList faults = AccessibleNames::faults(*rig.screen);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u"; "_s)));
}

void TestStockCards::searchAndGroupFilter()
{
    StockRig rig;
    QVERIFY(rig.table.insert(card(u"O'1"_s, u"Džús 100% o'range"_s, 2)));
    rig.run([&] {
        QCOMPARE(rig.focused(), rig.field(u"Edit_hladaj"_s));
        QCOMPARE(rig.state(), u"Browse"_s);
        QCOMPARE(rig.gridNames().size(), 7);
        type(u"mlie"_s);
        QCOMPARE(rig.gridNames(), (QStringList{u"Mlieko plnotučné"_s, u"POLOMLIEKO"_s}));
        QCOMPARE(rig.field(u"DBEdit_nazov"_s)->text(), u"Mlieko plnotučné"_s);
        press(Qt::Key_Down);
        QCOMPARE(rig.field(u"DBEdit_nazov"_s)->text(), u"POLOMLIEKO"_s);
        rig.field(u"Edit_hladaj"_s)->clear();
        type(u"0% o'"_s);
        QCOMPARE(rig.gridNames(), QStringList{u"Džús 100% o'range"_s});
        rig.field(u"Edit_hladaj"_s)->clear();
        type(u"ŠŤ"_s);
        QCOMPARE(rig.gridNames(), QStringList{u"Šťava"_s});
        rig.field(u"Edit_hladaj"_s)->clear();
        // Code mode: Right, then the text is looked for in the codes.
        press(Qt::Key_Right);
        QCOMPARE(rig.child<QLabel>(u"Label_filter"_s)->text(), u"[MSG_212]"_s);
        type(u"'"_s);
        QCOMPARE(rig.gridNames(), QStringList{u"Džús 100% o'range"_s});
        rig.field(u"Edit_hladaj"_s)->clear();
        press(Qt::Key_Left);
        QCOMPARE(rig.child<QLabel>(u"Label_filter"_s)->text(), u"[MSG_211]"_s);
        press(Qt::Key_F2);
        QCOMPARE(rig.focused(), rig.child<QComboBox>(u"CB_clenenie_sklad"_s));
        press(Qt::Key_Down);
        press(Qt::Key_Down);
        press(Qt::Key_Down);
        QCOMPARE(rig.gridNames(), (QStringList{u"Džús 100% o'range"_s, u"Voda"_s, u"Šťava"_s}));
        press(Qt::Key_Return);
        QCOMPARE(rig.focused(), rig.child<QTableView>(u"SMDBGrid_sklad"_s));
    });
    QVERIFY(rig.dialogs.shown().isEmpty());
}

// Ins with a group chosen in the filter, the card typed field by field, Enter on the
// save button: the card is stored and is the grid's current row.
void TestStockCards::newCardByKeys()
{
    StockRig rig;
    rig.run([&] {
        type(u"chlieb"_s); // a search that will not hold the new card
        press(Qt::Key_F2);
        press(Qt::Key_Down);
        press(Qt::Key_Down); // Drogéria
        press(Qt::Key_Insert);
        QCOMPARE(rig.state(), u"Insert"_s);
        QCOMPARE(rig.focused(), rig.field(u"DBEdit_kod"_s));
        QCOMPARE(rig.child<QComboBox>(u"CB_clenenie_karta"_s)->currentText(), u"Drogéria"_s);
        QVERIFY(!rig.child<QTableView>(u"SMDBGrid_sklad"_s)->isEnabled());
        type(u"7"_s);
        QCOMPARE(rig.gridNames().size(), 0); // no code begins with 7
        press(Qt::Key_Return);
        type(u"8581234567890"_s);
        press(Qt::Key_Return); // onto the packaging box
        press(Qt::Key_Return);
        QCOMPARE(rig.focused(), rig.field(u"DBEdit_nazov"_s));
        type(u"Prací prášok"_s);
        press(Qt::Key_Return);
        type(u"3 kg"_s);
        press(Qt::Key_Return);
        press(Qt::Key_Return);
        // Price and quantity typed over what the fields propose.
        QCOMPARE(rig.focused(), rig.field(u"DBEdit_cena"_s));
        type(u"12.5"_s);
        press(Qt::Key_Return);
        QCOMPARE(rig.focused(), rig.field(u"DBEdit_mnozstvo"_s));
        type(u"4"_s);
        press(Qt::Key_Return);
        QCOMPARE(rig.focused(), rig.child<QComboBox>(u"CB_mj"_s));
        // Escape on the open unit list closes the list, not the screen with the card.
        press(Qt::Key_Space);
        QTRY_VERIFY(QApplication::activePopupWidget());
        press(Qt::Key_Escape);
        QTRY_VERIFY(!QApplication::activePopupWidget());
        QVERIFY(rig.screen->isVisible());
        QCOMPARE(rig.state(), u"Insert"_s);
        QCOMPARE(rig.focused(), rig.child<QComboBox>(u"CB_mj"_s));
        press(Qt::Key_Return);
        QCOMPARE(rig.focused(), rig.child<QComboBox>(u"ComboBox_hldph"_s));
        press(Qt::Key_Return);
        QCOMPARE(rig.focused(), rig.child<QPushButton>(u"BitBtn_uloz"_s));
        press(Qt::Key_Return);
        QCOMPARE(rig.state(), u"Browse"_s);
        QCOMPARE(rig.focused(), rig.field(u"Edit_hladaj"_s));
        QVERIFY(rig.field(u"Edit_hladaj"_s)->text().isEmpty());
        QCOMPARE(rig.currentName(), u"Prací prášok"_s);
        QCOMPARE(rig.gridNames(), (QStringList{u"Mydlo"_s, u"Prací prášok"_s}));
    });
    const std::optional<StockRow> saved = rig.stored(u"7"_s);
    QVERIFY(saved);
    QCOMPARE(saved->nazov, u"Prací prášok"_s);
    QCOMPARE(saved->nazov1, u"3 kg"_s);
    QCOMPARE(saved->barcode, u"8581234567890"_s);
    QCOMPARE(saved->skladIdx, 1);
    QCOMPARE(saved->jc, 12.5);
    QCOMPARE(saved->pocet, 4.0);
    QCOMPARE(saved->mj, u"krát"_s);
    QCOMPARE(saved->mjIdx, 0);
    QCOMPARE(saved->dphIdx, 0);
    QVERIFY(rig.dialogs.shown().isEmpty());
}

void TestStockCards::copyIsRefusedUntilTheCodeChanges()
{
    StockRig rig;
    rig.run([&] {
        type(u"mydlo"_s);
        press(Qt::Key_Return); // to the grid
        alt('k');
        QCOMPARE(rig.state(), u"Insert"_s);
        QCOMPARE(rig.field(u"DBEdit_kod"_s)->text(), u"400"_s);
        alt('u');
        QCOMPARE(rig.dialogs.shown().size(), 1);
        QCOMPARE(rig.dialogs.shown().first().text, u"[MSG_201]"_s);
        QCOMPARE(rig.state(), u"Insert"_s);
        QCOMPARE(rig.focused(), rig.field(u"DBEdit_kod"_s));
        rig.field(u"DBEdit_kod"_s)->selectAll();
        type(u"401"_s);
        alt('u');
        QCOMPARE(rig.state(), u"Browse"_s);
    });
    const std::optional<StockRow> copy = rig.stored(u"401"_s);
    QVERIFY(copy);
    QCOMPARE(copy->nazov, u"Mydlo"_s);
    QCOMPARE(copy->skladIdx, 1);
    QCOMPARE(copy->jc, 1.0);
    QCOMPARE(copy->pocet, 10.0);
    QVERIFY(rig.stored(u"400"_s));
}

// The database refuses the code of another card; the card stays open as typed.
void TestStockCards::editedCardUnderAnotherCodeIsRefusedAndKept()
{
    StockRig rig;
    rig.run([&] {
        type(u"voda"_s);
        press(Qt::Key_Return);
        press(Qt::Key_Return); // Enter in the grid: edit
        QCOMPARE(rig.state(), u"Edit"_s);
        QCOMPARE(rig.focused(), rig.field(u"DBEdit_kod"_s));
        rig.field(u"DBEdit_kod"_s)->selectAll();
        type(u"600"_s);
        press(Qt::Key_Return);
        press(Qt::Key_Return);
        press(Qt::Key_Return);
        rig.field(u"DBEdit_nazov"_s)->selectAll();
        type(u"Voda sýtená"_s);
        alt('u');
        QCOMPARE(rig.dialogs.shown().size(), 1);
        QCOMPARE(rig.dialogs.shown().first().text, u"[MSG_201]"_s);
        QCOMPARE(rig.state(), u"Edit"_s);
        QCOMPARE(rig.field(u"DBEdit_kod"_s)->text(), u"600"_s);
        QCOMPARE(rig.field(u"DBEdit_nazov"_s)->text(), u"Voda sýtená"_s);
        rig.field(u"DBEdit_kod"_s)->selectAll();
        type(u"501"_s);
        alt('u');
        QCOMPARE(rig.state(), u"Browse"_s);
        QCOMPARE(rig.currentName(), u"Voda sýtená"_s);
    });
    QVERIFY(!rig.stored(u"500"_s));
    QCOMPARE(rig.stored(u"501"_s)->nazov, u"Voda sýtená"_s);
    QCOMPARE(rig.stored(u"600"_s)->nazov, u"Šťava"_s);
}

void TestStockCards::cancelOfANewCard_data()
{
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("codeAfter");
    QTest::newRow("cards listed: the card shown again") << u"chlieb"_s << u"300"_s;
    QTest::newRow("empty list") << u"nič také"_s << u"DELVX60"_s;
}

void TestStockCards::cancelOfANewCard()
{
    QFETCH(QString, search);
    QFETCH(QString, codeAfter);
    StockRig rig;
    rig.run([&] {
        type(search);
        press(Qt::Key_Insert);
        type(u"999"_s);
        alt('z');
        QCOMPARE(rig.state(), u"Browse"_s);
        QCOMPARE(rig.field(u"DBEdit_kod"_s)->text(), codeAfter);
        QCOMPARE(rig.focused(), rig.field(u"Edit_hladaj"_s));
    });
    QVERIFY(!rig.stored(u"999"_s));
}

void TestStockCards::deleteKeepsTheRowPosition_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("deleted");
    QTest::addColumn<QString>("currentAfter");
    // Name order: Chlieb, Mlieko plnotučné, Mydlo, POLOMLIEKO, Voda, Šťava.
    QTest::newRow("middle row") << 2 << u"400"_s << u"POLOMLIEKO"_s;
    QTest::newRow("last row") << 5 << u"600"_s << u"Voda"_s;
}

void TestStockCards::deleteKeepsTheRowPosition()
{
    QFETCH(int, row);
    QFETCH(QString, deleted);
    QFETCH(QString, currentAfter);
    StockRig rig;
    rig.dialogs.queueAnswer(UserDialogs::Answer::Yes);
    rig.run([&] {
        press(Qt::Key_Return);
        for (int i = 0; i < row; ++i)
            press(Qt::Key_Down);
        press(Qt::Key_Delete);
        QCOMPARE(rig.currentName(), currentAfter);
    });
    QCOMPARE(rig.dialogs.shown().size(), 1);
    QVERIFY(rig.dialogs.shown().first().text.startsWith(u"[MSG_215]"_s));
    QCOMPARE(rig.dialogs.shown().first().defaultAnswer, UserDialogs::Answer::No);
    QVERIFY(!rig.stored(deleted));
}

// A bare underlined letter does nothing; Alt with it, F12, Ins and Delete in the grid act.
void TestStockCards::actionGate_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("stateAfter");
    QTest::addColumn<int>("prints");
    QTest::addColumn<int>("boxes");
    QTest::newRow("bare N") << int(Qt::Key_N) << int(Qt::NoModifier) << u"Browse"_s << 0 << 0;
    QTest::newRow("bare T") << int(Qt::Key_T) << int(Qt::NoModifier) << u"Browse"_s << 0 << 0;
    QTest::newRow("bare V") << int(Qt::Key_V) << int(Qt::NoModifier) << u"Browse"_s << 0 << 0;
    QTest::newRow("Alt+N") << int(Qt::Key_N) << int(Qt::AltModifier) << u"Insert"_s << 0 << 0;
    QTest::newRow("Alt+O") << int(Qt::Key_O) << int(Qt::AltModifier) << u"Edit"_s << 0 << 0;
    QTest::newRow("F12") << int(Qt::Key_F12) << int(Qt::NoModifier) << u"Browse"_s << 1 << 0;
    QTest::newRow("Ins") << int(Qt::Key_Insert) << int(Qt::NoModifier) << u"Insert"_s << 0 << 0;
    QTest::newRow("Delete") << int(Qt::Key_Delete) << int(Qt::NoModifier) << u"Browse"_s << 0 << 1;
}

void TestStockCards::actionGate()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, stateAfter);
    QFETCH(int, prints);
    QFETCH(int, boxes);
    StockRig rig;
    int printed = 0;
    rig.screen->setPrintAction([&] { ++printed; });
    rig.dialogs.queueAnswer(UserDialogs::Answer::No);
    rig.run([&] {
        press(Qt::Key_Return); // the grid has the focus: no text field takes the letter
        QCOMPARE(rig.focused(), rig.child<QTableView>(u"SMDBGrid_sklad"_s));
        press(key, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(rig.state(), stateAfter);
    });
    QCOMPARE(printed, prints);
    QCOMPARE(rig.dialogs.shown().size(), boxes);
}

// Another till changes or deletes the card while it is edited here: the save says so
// and overwrites only when the cashier agrees; what was typed stays otherwise.
void TestStockCards::cardChangedOnAnotherTill_data()
{
    QTest::addColumn<QString>("otherTill");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("stateAfter");
    QTest::addColumn<QString>("storedName");
    QTest::newRow("changed, keep editing") << u"UPDATE VX60_SKLAD SET JC = 9 WHERE KOD = '300'"_s
                                           << int(UserDialogs::Answer::No) << u"Edit"_s << u"Chlieb"_s;
    QTest::newRow("changed, overwrite") << u"UPDATE VX60_SKLAD SET JC = 9 WHERE KOD = '300'"_s
                                        << int(UserDialogs::Answer::Yes) << u"Browse"_s << u"Chlieb tmavý"_s;
    QTest::newRow("deleted, saved anew") << u"DELETE FROM VX60_SKLAD WHERE KOD = '300'"_s
                                         << int(UserDialogs::Answer::Yes) << u"Browse"_s << u"Chlieb tmavý"_s;
    QTest::newRow("deleted, keep editing") << u"DELETE FROM VX60_SKLAD WHERE KOD = '300'"_s
                                           << int(UserDialogs::Answer::No) << u"Edit"_s << QString();
}

void TestStockCards::cardChangedOnAnotherTill()
{
    QFETCH(QString, otherTill);
    QFETCH(int, answer);
    QFETCH(QString, stateAfter);
    QFETCH(QString, storedName);
    StockRig rig;
    DataFile other;
    other.setServer(rig.store.server());
    QVERIFY(other.open(rig.dataFolder + u"vx60_sklad.db"_s, false));
    rig.dialogs.queueAnswer(UserDialogs::Answer(answer));
    rig.run([&] {
        type(u"chlieb"_s);
        press(Qt::Key_Return);
        press(Qt::Key_Return);
        QCOMPARE(rig.state(), u"Edit"_s);
        QVERIFY(other.exec(otherTill));
        rig.field(u"DBEdit_nazov"_s)->setFocus();
        press(Qt::Key_End);
        type(u" tmavý"_s);
        alt('u');
        QCOMPARE(rig.state(), stateAfter);
        if (stateAfter == u"Edit")
            QCOMPARE(rig.field(u"DBEdit_nazov"_s)->text(), u"Chlieb tmavý"_s);
    });
    QCOMPARE(rig.dialogs.shown().size(), 1);
    const std::optional<StockRow> stored = rig.stored(u"300"_s);
    QCOMPARE(stored ? stored->nazov : QString(), storedName);
}

void TestStockCards::numberTyping_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("comma") << u"1,5"_s << u"1,5"_s;
    QTest::newRow("point becomes the separator") << u"2.25"_s << u"2,25"_s;
    QTest::newRow("second separator refused") << u"3,5.1"_s << u"3,51"_s;
    QTest::newRow("letters and signs refused") << u"-4a€5"_s << u"45"_s;
}

void TestStockCards::numberTyping()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    StockRig rig;
    rig.run([&] {
        press(Qt::Key_Insert);
        rig.field(u"DBEdit_cena"_s)->setFocus();
        rig.field(u"DBEdit_cena"_s)->clear();
        type(typed);
        QCOMPARE(rig.field(u"DBEdit_cena"_s)->text(), shown);
    });
}

// Columns are held between 50 and 280 pixels and their widths kept in pokladna.ini.
void TestStockCards::columnWidthsAreHeldAndKept()
{
    StockRig rig;
    rig.run([&] {
        QHeaderView *header = rig.child<QTableView>(u"SMDBGrid_sklad"_s)->horizontalHeader();
        header->resizeSection(1, 20);
        QCOMPARE(header->sectionSize(1), 50);
        header->resizeSection(2, 400);
        QCOMPARE(header->sectionSize(2), 280);
    });
    IniFile ini(PointOfSaleKeys::filePath(rig.dir.path()));
    QVERIFY(ini.load());
    QCOMPARE(ini.readString(u"SKLAD"_s, u"COL_1"_s, QString()), u"50"_s);
    QCOMPARE(ini.readString(u"SKLAD"_s, u"COL_2"_s, QString()), u"280"_s);
}

// Over a sale window whose title bar is above the screen and whose right part is beyond it
// (as an earlier version kept it), the screen stands wholly within the screen's room.
void TestStockCards::placedOverTheSaleWindowOnTheScreen()
{
    StockRig rig;
    IniFile ini(PointOfSaleKeys::filePath(rig.dir.path()));
    ini.setString(u"SKLAD"_s, u"HEIGHT"_s, u"520"_s); // the place of the sale window is taken
    QVERIFY(ini.save());
    rig.run(
        [&] {
            QTRY_VERIFY2(FrameOnScreen::problem(*rig.screen).isEmpty(),
                         qPrintable(FrameOnScreen::problem(*rig.screen)));
        },
        FrameOnScreen::saleWindowOffTheScreen());
}

// The price list as the sale window's place gives it on the shop's screens (least sale window,
// 1024×768 and 1366×768 less borders and a tray panel) and at its own size; long names, codes
// of bar codes, prices in thousands and widths kept from a wider window: every title,
// number and status text is whole; only the names may be cut at the end of their column.
void TestStockCards::textsAreWholeOnShopScreens_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("its own size") << QSize(820, 560);
    QTest::newRow("least sale window") << QSize(1000, 450);
    QTest::newRow("1024x768") << QSize(1020, 700);
    QTest::newRow("1366x768") << QSize(1362, 700);
}

void TestStockCards::textsAreWholeOnShopScreens()
{
    QFETCH(QSize, size);
    StockRig rig;
    for (StockRow row : {card(u"8586000123457"_s, u"Čokoláda horká s lieskovými orieškami, 7"_s, 0, 1234.99),
                         card(u"8586000765432"_s, u"Šampón Žihľava & Ľubovník 250 ml"_s, 1, 3.45)}) {
        row.pocet = 12345.5;
        QVERIFY(rig.table.insert(row));
    }
    IniFile ini(PointOfSaleKeys::filePath(rig.dir.path()));
    for (const auto &[key, width] :
         {std::pair{u"COL_0"_s, 275}, std::pair{u"COL_1"_s, 50}, std::pair{u"COL_2"_s, 50},
          std::pair{u"COL_3"_s, 71}, std::pair{u"COL_4"_s, 50}})
        ini.setString(u"SKLAD"_s, key, QString::number(width));
    QVERIFY(ini.save());
    rig.run([&] {
        rig.screen->resize(size);
        QTRY_COMPARE(rig.screen->size(), size.expandedTo(rig.screen->minimumSize()));
        QCOMPARE(rig.screen->width(), size.width());
        auto *grid = rig.child<QTableView>(u"SMDBGrid_sklad"_s);
        auto *status = rig.child<QStatusBar>(u"StatusBar1"_s);
        const auto cut = [&] { return TextFit::cutInGrid(*grid, 0) + TextFit::cutInStatusBar(*status); };
        QTRY_VERIFY2(cut().isEmpty(), qPrintable(cut().join(u"; "_s)));
    });
}

void TestStockCards::renumberingKeepsCardsOnTheirEntries_data()
{
    QTest::addColumn<int>("unitRemoved"); // -1: none
    QTest::addColumn<QString>("unitRenamed");
    QTest::addColumn<int>("groupRemoved");
    QTest::addColumn<bool>("stop");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QStringList>("cards"); // "MJ_IDX MJ SKLAD_IDX" of cards 100 and 500
    using Outcome = CardRenumbering::Outcome;
    const QStringList unchanged{u"1 ks 0"_s, u"1 ks 2"_s};
    QTest::newRow("unused unit deleted: the later ones move")
        << 0 << QString() << -1 << false << int(Outcome::Done) << QStringList{u"0 ks 0"_s, u"0 ks 2"_s};
    QTest::newRow("unit renamed") << -1 << u"kus"_s << -1 << false << int(Outcome::Done)
                                  << QStringList{u"1 kus 0"_s, u"1 kus 2"_s};
    QTest::newRow("unit moved and renamed")
        << 0 << u"kus"_s << -1 << false << int(Outcome::Done) << QStringList{u"0 kus 0"_s, u"0 kus 2"_s};
    QTest::newRow("group with a card deleted")
        << 0 << QString() << 1 << false << int(Outcome::EntryInUse) << unchanged;
    QTest::newRow("stopped before the commit")
        << 0 << u"kus"_s << -1 << true << int(Outcome::Stopped) << unchanged;
}

void TestStockCards::renumberingKeepsCardsOnTheirEntries()
{
    QFETCH(int, unitRemoved);
    QFETCH(QString, unitRenamed);
    QFETCH(int, groupRemoved);
    QFETCH(bool, stop);
    QFETCH(int, outcome);
    QFETCH(QStringList, cards);
    StockRig rig;
    NameListEdits units({u"krát"_s, u"ks"_s, u"kg"_s});
    NameListEdits groups({u"Potraviny"_s, u"Drogéria"_s, u"Nápoje"_s});
    if (unitRemoved >= 0)
        units.remove(unitRemoved);
    if (!unitRenamed.isEmpty())
        units.rename(units.texts().indexOf(u"ks"_s), unitRenamed);
    if (groupRemoved >= 0)
        groups.remove(groupRemoved);
    const CardRenumbering::Result result =
        CardRenumbering(rig.file).apply(units, groups, [stop] { return !stop; });
    QVERIFY2(result.outcome != CardRenumbering::Outcome::Failed, qPrintable(result.error));
    QCOMPARE(int(result.outcome), outcome);
    if (result.outcome == CardRenumbering::Outcome::EntryInUse)
        QCOMPARE(result.cards, 1);
    QStringList stored;
    for (const QString &kod : {u"100"_s, u"500"_s}) {
        const std::optional<StockRow> card = rig.stored(kod);
        QVERIFY(card);
        stored << u"%1 %2 %3"_s.arg(card->mjIdx).arg(card->mj).arg(card->skladIdx);
    }
    QCOMPARE(stored, cards);
}

// "Servis" over the cards moves the till to another data folder and adds a unit:
// the card's unit list is that of the new folder's vx60_sklad.ini at once.
void TestStockCards::namesFollowTheDataFolderMovedByTheMaintenanceScreen()
{
    StockRig rig;
    const QString newFolder = rig.dir.path() + u"/nove/"_s;
    QVERIFY(QDir().mkpath(newFolder));
    rig.screen->setServiceAction([&rig, &newFolder] {
        DataFolderMove::byMaintenanceScreen({rig.dir.path(),
                                             rig.config,
                                             rig.messages,
                                             rig.dialogs,
                                             rig.file,
                                             [] { return std::optional<QString>(); },
                                             {},
                                             [&rig] {
                                                 rig.screen->refillLists();
                                                 rig.screen->runSearch();
                                             },
                                             {},
                                             [] { return false; },
                                             {}},
                                            rig.dialogs, newFolder, u"bal"_s);
    });
    rig.run([&] {
        press(Qt::Key_R, Qt::AltModifier);
        QCOMPARE(rig.config.dataFolder, newFolder);
        auto *units = rig.child<QComboBox>(u"CB_mj"_s);
        QStringList shown;
        for (int i = 0; i < units->count(); ++i)
            shown << units->itemText(i);
        QCOMPARE(shown, (QStringList{u"krát"_s, u"ks"_s, u"kg"_s, u"bal"_s}));
        QCOMPARE(rig.gridNames().size(), 6); // the cards stay those of the tables opened at start
    });
}

QTEST_MAIN(TestStockCards)
#include "tst_stockcards.moc"

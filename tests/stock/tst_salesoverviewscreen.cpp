#include "AccessibleNames.h"
#include "FocusedKeys.h"
#include "FrameOnScreen.h"
#include "SalesFixture.h"
#include "ScreenChild.h"
#include "ScriptedDialogs.h"
#include "TestStore.h"
#include "TextFit.h"
#include "base/Configuration.h"
#include "base/IniFile.h"
#include "lang/MessageTable.h"
#include "link/PrinterState.h"
#include "stock/DataFile.h"
#include "stock/PointOfSaleKeys.h"
#include "stock/UnitAndGroupNames.h"
#include "stock/ui/OverviewDocumentPanel.h"
#include "stock/ui/OverviewItemModel.h"
#include "stock/ui/TForm_prehlad.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <functional>

using namespace Qt::StringLiterals;

using FocusedKeys::press;
using FocusedKeys::type;

namespace {

// A program folder whose data folder holds the fixture year 2026 (closings 3, 4
// and 7) and an empty year 2025, and the overview over it. The printer has
// printed in closing 2, so the overview opens on closing 3.
struct OverviewRig
{
    OverviewRig()
    {
        programFolder = QDir(store.folder()).absolutePath();
        dataFolder = programFolder + u"/cennik/"_s;
        QDir().mkpath(dataFolder);
        config.dataFolder = dataFolder;
        config.dataServer = store.server();
        SalesFixture::writeSalesFile(dataFolder + u"predaj_2026.db"_s, 2026, SalesFixture::FixtureRows,
                                     store.server());
        SalesFixture::writeSalesFile(dataFolder + u"predaj_2025.db"_s, 2025, {}, store.server());
        UnitAndGroupNames::fromLists({u"ks"_s}, {u"Potraviny"_s, u"Drogéria"_s, u"Nápoje"_s})
            .save(dataFolder);
        printer.documentNumber = 5;
        printer.dailyClosingNumber = 2;
        screen = std::make_unique<TForm_prehlad>(
            SalesOverviewScreenContext{programFolder, config, messages, dialogs, printer, 2026});
    }

    // Puts `rows` in place of the year 2026.
    void rewriteYear(std::span<const SalesFixture::SaleRow> rows)
    {
        const QString path = dataFolder + u"predaj_2026.db"_s;
        QFile::remove(path);
        if (store.onServer()) {
            DataFile file;
            file.setServer(store.server());
            QVERIFY(file.open(path, false) && file.exec(u"DROP TABLE PREDAJ_2026"_s));
        }
        SalesFixture::writeSalesFile(path, 2026, rows, store.server());
    }

    template <typename T> T *child(const QString &name) const { return screenChild<T>(*screen, name); }
    QLineEdit *field(const QString &name) const { return child<QLineEdit>(name); }
    QComboBox *list(const QString &name) const { return child<QComboBox>(name); }
    QTableView *grid(const QString &name) const { return child<QTableView>(name); }
    QString footer() const { return child<QLabel>(u"Label_spolu"_s)->text(); }
    int itemRows() const { return grid(u"SMDBGrid_polozky"_s)->model()->rowCount(); }
    int itemRow() const { return grid(u"SMDBGrid_polozky"_s)->currentIndex().row(); }
    QString itemCell(int row, int column) const
    {
        const QAbstractItemModel *model = grid(u"SMDBGrid_polozky"_s)->model();
        return model->data(model->index(row, column)).toString();
    }
    void focus(QWidget *widget)
    {
        widget->setFocus(Qt::OtherFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), widget);
        QCoreApplication::processEvents(); // the field selects its text once entered
    }
    void focus(const QString &name) { focus(child<QWidget>(name)); }
    // Types a closing range into "Od" and "Do" and leaves them with Enter.
    void typeClosings(const QString &from, const QString &to)
    {
        focus(u"Edit_duod"_s);
        type(from);
        press(Qt::Key_Return);
        QCoreApplication::processEvents();
        type(to);
        press(Qt::Key_Return);
    }
    // Chooses entry `index` of a list by keys, from its first entry.
    void choose(const QString &name, int index)
    {
        focus(name);
        press(Qt::Key_Home);
        for (int i = 0; i < index; ++i)
            press(Qt::Key_Down);
        QCOMPARE(list(name)->currentIndex(), index);
    }

    // Shows the screen and does `steps` once it is up; a screen still open after
    // them is closed as by Escape.
    void run(const std::function<void()> &steps, const QRect &saleWindow = QRect())
    {
        QTimer::singleShot(0, screen.get(), [this, steps] {
            screen->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(screen.get()));
            steps();
            if (screen->isVisible())
                screen->reject();
        });
        screen->open(saleWindow);
    }

    TestStore store;
    QString programFolder;
    QString dataFolder;
    Configuration config;
    MessageTable messages;
    ScriptedDialogs dialogs;
    PrinterInfo printer;
    std::unique_ptr<TForm_prehlad> screen;
};

QString money(double amount)
{
    return QLocale().toString(amount, 'f', 2);
}

} // namespace

class TestSalesOverviewScreen : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyInputReadsByItsName();
    void showingOpensTheClosingOfThePrinter();
    void textsAreWholeOnShopScreens_data();
    void textsAreWholeOnShopScreens();
    void placedOverTheSaleWindowOnTheScreen();
    void closingTyping_data();
    void closingTyping();
    void closingWithoutNumberKeepsTheFocus();
    void dateTyping_data();
    void dateTyping();
    void dateRange_data();
    void dateRange();
    void invalidDateKeepsThePreviousOne();
    void tableChoice_data();
    void tableChoice();
    void groupingSwitch_data();
    void groupingSwitch();
    void escapeOnAnOpenListClosesOnlyTheList();
    void directionAndDiscount();
    void filterColumnAndText_data();
    void filterColumnAndText();
    void filterColumnSkipsHiddenColumns();
    void titleClickChoosesTheFilterColumn();
    void downFindsTheNextRow();
    void groupFilter_data();
    void groupFilter();
    void documentShowsItsLines();
    void documentGridReadsFromItsEnd();
    void itemGridReadsPageByPage();
    void openDocumentIsNotSold_data();
    void openDocumentIsNotSold();
    void widthsSavedAndRestored();
    void stateKeptBetweenShowings();
    void printIsASignalAndExportAsksForAFile();
    void exportStartsInTheDataFolderAndNamesTheFile();
};

void TestSalesOverviewScreen::initTestCase()
{
    OMIRA_REQUIRE_BACKEND();
    QLocale::setDefault(QLocale(QLocale::Slovak, QLocale::Slovakia));
}

// A screen reader names every field, list and grid by its caption.
void TestSalesOverviewScreen::everyInputReadsByItsName()
{
    OverviewRig rig;
    const QStringList faults = AccessibleNames::faults(*rig.screen);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u"; "_s)));
}

void TestSalesOverviewScreen::showingOpensTheClosingOfThePrinter()
{
    OverviewRig rig;
    rig.run([&] {
        QCOMPARE(rig.list(u"CB_rok"_s)->currentText(), u"predaj_2026.db"_s);
        QCOMPARE(rig.list(u"CB_rok"_s)->count(), 2);
        QCOMPARE(rig.field(u"Edit_duod"_s)->text(), u"3"_s);
        QCOMPARE(rig.field(u"Edit_dudo"_s)->text(), u"3"_s);
        QCOMPARE(rig.field(u"MaskEdit_datumod"_s)->text(), u"02.03.2026"_s);
        QVERIFY(!rig.field(u"MaskEdit_datumod"_s)->isEnabled());
        QCOMPARE(rig.list(u"CB_sumar"_s)->currentText(), u"po dokladoch"_s);
        QCOMPARE(rig.list(u"CB_clenenie_sklad"_s)->count(), 4);
        QCOMPARE(rig.itemRows(), 3);
        QCOMPARE(rig.footer(), money(6.30));
        QCOMPARE(QApplication::focusWidget(), rig.field(u"Edit_duod"_s));
        QVERIFY(rig.dialogs.shown().isEmpty());
    });
}

void TestSalesOverviewScreen::closingTyping_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("shownFrom");
    QTest::addColumn<QString>("shownTo");
    QTest::addColumn<double>("total");
    QTest::newRow("a range") << u"3"_s << u"7"_s << u"3"_s << u"7"_s << 40.60;
    QTest::newRow("a larger from moves to") << u"4"_s << u""_s << u"4"_s << u"4"_s << 27.10;
    QTest::newRow("a smaller to moves from") << u""_s << u"2"_s << u"2"_s << u"2"_s << 0.0;
    QTest::newRow("only digits are typed") << u"x4."_s << u"-7e"_s << u"4"_s << u"7"_s << 34.30;
}

void TestSalesOverviewScreen::closingTyping()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, shownFrom);
    QFETCH(QString, shownTo);
    QFETCH(double, total);
    OverviewRig rig;
    rig.run([&] {
        rig.typeClosings(from, to);
        QCOMPARE(rig.field(u"Edit_duod"_s)->text(), shownFrom);
        QCOMPARE(rig.field(u"Edit_dudo"_s)->text(), shownTo);
        QCOMPARE(rig.footer(), money(total));
        QCOMPARE(rig.screen->choices().closingFrom, shownFrom.toInt());
        QCOMPARE(rig.screen->choices().closingTo, shownTo.toInt());
    });
}

void TestSalesOverviewScreen::closingWithoutNumberKeepsTheFocus()
{
    OverviewRig rig;
    rig.run([&] {
        rig.focus(u"Edit_duod"_s);
        press(Qt::Key_Backspace);
        press(Qt::Key_Return);
        QTRY_COMPARE(QApplication::focusWidget(), rig.field(u"Edit_duod"_s));
        QCOMPARE(rig.screen->choices().closingFrom, 3);
        QCOMPARE(rig.footer(), money(6.30));
        QVERIFY(rig.dialogs.shown().isEmpty());
    });
}

void TestSalesOverviewScreen::dateTyping_data()
{
    // "<" stands for Home; the field holds `start`, all of it selected, when typing begins.
    QTest::addColumn<QDate>("start");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("shown");
    QTest::newRow("a plain date") << QDate(2026, 3, 2) << u"05032026"_s << u"05.03.2026"_s;
    QTest::newRow("no day above 3x") << QDate(2026, 3, 2) << u"4"_s << u"02.03.2026"_s;
    QTest::newRow("no 32nd day") << QDate(2026, 3, 2) << u"32"_s << u"3_.__.____"_s;
    QTest::newRow("month, century, decade limits")
        << QDate(2026, 3, 2) << u"013132125026"_s << u"01.12.2026"_s;
    QTest::newRow("3 before a high digit makes 30") << QDate(2026, 3, 5) << u"<31"_s << u"31.03.2026"_s;
    QTest::newRow("1 before a high digit makes 10") << QDate(2026, 3, 5) << u"<0511"_s << u"05.11.2026"_s;
}

void TestSalesOverviewScreen::dateTyping()
{
    QFETCH(QDate, start);
    QFETCH(QString, keys);
    QFETCH(QString, shown);
    OverviewRig rig;
    rig.run([&] {
        rig.focus(u"CB_datum"_s);
        press(Qt::Key_Space);
        QTRY_COMPARE(QApplication::focusWidget(), rig.field(u"MaskEdit_datumod"_s));
        if (start != QDate(2026, 3, 2)) {
            rig.field(u"MaskEdit_datumod"_s)->setText(start.toString(u"dd.MM.yyyy"_s));
            rig.focus(u"MaskEdit_datumod"_s);
        }
        QCoreApplication::processEvents();
        for (const QChar key : keys) {
            if (key == u'<')
                press(Qt::Key_Home);
            else
                type(QString(key));
        }
        QCOMPARE(rig.field(u"MaskEdit_datumod"_s)->displayText(), shown);
    });
}

void TestSalesOverviewScreen::dateRange_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QDate>("chosenFrom");
    QTest::addColumn<QDate>("chosenTo");
    QTest::addColumn<double>("total");
    QTest::newRow("a range") << u"02032026"_s << u"05032026"_s << QDate(2026, 3, 2) << QDate(2026, 3, 5)
                             << 40.60;
    QTest::newRow("a later from moves to")
        << u"03032026"_s << u""_s << QDate(2026, 3, 3) << QDate(2026, 3, 3) << 27.10;
    QTest::newRow("an earlier to moves from")
        << u""_s << u"01032026"_s << QDate(2026, 3, 1) << QDate(2026, 3, 1) << 0.0;
}

void TestSalesOverviewScreen::dateRange()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QDate, chosenFrom);
    QFETCH(QDate, chosenTo);
    QFETCH(double, total);
    OverviewRig rig;
    rig.run([&] {
        rig.focus(u"CB_datum"_s);
        press(Qt::Key_Space);
        QTRY_COMPARE(QApplication::focusWidget(), rig.field(u"MaskEdit_datumod"_s));
        QVERIFY(!rig.field(u"Edit_duod"_s)->isEnabled());
        QCoreApplication::processEvents();
        type(from);
        press(Qt::Key_Return);
        QTRY_COMPARE(QApplication::focusWidget(), rig.field(u"MaskEdit_datumdo"_s));
        QCoreApplication::processEvents();
        type(to);
        press(Qt::Key_Return);
        QCOMPARE(rig.screen->choices().rangeMode, SalesOverviewChoices::RangeMode::Dates);
        QCOMPARE(rig.screen->choices().dateFrom, chosenFrom);
        QCOMPARE(rig.screen->choices().dateTo, chosenTo);
        QCOMPARE(rig.field(u"MaskEdit_datumod"_s)->text(), chosenFrom.toString(u"dd.MM.yyyy"_s));
        QCOMPARE(rig.field(u"MaskEdit_datumdo"_s)->text(), chosenTo.toString(u"dd.MM.yyyy"_s));
        QCOMPARE(rig.footer(), money(total));
        QVERIFY(rig.dialogs.shown().isEmpty());
    });
}

void TestSalesOverviewScreen::invalidDateKeepsThePreviousOne()
{
    OverviewRig rig;
    rig.run([&] {
        rig.focus(u"CB_datum"_s);
        press(Qt::Key_Space);
        QTRY_COMPARE(QApplication::focusWidget(), rig.field(u"MaskEdit_datumod"_s));
        QCoreApplication::processEvents();
        type(u"31022026"_s);
        press(Qt::Key_Return);
        QTRY_COMPARE(rig.dialogs.shown().size(), 1);
        QVERIFY2(rig.dialogs.shown().first().text.contains(u"„31.02.2026“ nie je platný"_s),
                 qPrintable(rig.dialogs.shown().first().text));
        QTRY_COMPARE(QApplication::focusWidget(), rig.field(u"MaskEdit_datumod"_s));
        QCOMPARE(rig.field(u"MaskEdit_datumod"_s)->text(), u"02.03.2026"_s);
        QCOMPARE(rig.screen->choices().dateFrom, QDate(2026, 3, 2));
        QCOMPARE(rig.footer(), money(6.30));
    });
}

void TestSalesOverviewScreen::tableChoice_data()
{
    QTest::addColumn<int>("entry");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<int>("documents");
    QTest::addColumn<double>("total");
    QTest::newRow("an empty year") << 0 << u"0"_s << u"0"_s << 0 << 0.0;
    QTest::newRow("the whole year") << 1 << u"3"_s << u"7"_s << 5 << 40.60;
}

void TestSalesOverviewScreen::tableChoice()
{
    QFETCH(int, entry);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(int, documents);
    QFETCH(double, total);
    OverviewRig rig;
    rig.run([&] {
        rig.focus(u"CB_rok"_s);
        // The entry other than the one shown first, then (for the second row) back.
        press(Qt::Key_Up);
        if (entry == 1)
            press(Qt::Key_Down);
        QCOMPARE(rig.list(u"CB_rok"_s)->currentIndex(), entry);
        QCOMPARE(rig.field(u"Edit_duod"_s)->text(), from);
        QCOMPARE(rig.field(u"Edit_dudo"_s)->text(), to);
        QCOMPARE(rig.grid(u"SMDBGrid_sklad"_s)->model()->rowCount(), documents);
        QCOMPARE(rig.footer(), money(total));
        // A name being typed reads nothing until it is whole.
        rig.list(u"CB_rok"_s)->lineEdit()->selectAll();
        type(u"predaj_20"_s);
        QCOMPARE(rig.itemRows(), 0);
        type(u"26.db"_s);
        QCOMPARE(rig.footer(), money(40.60));
    });
}

void TestSalesOverviewScreen::groupingSwitch_data()
{
    QTest::addColumn<int>("grouping");
    QTest::addColumn<QString>("sort");
    QTest::addColumn<int>("filterColumn");
    QTest::addColumn<QList<int>>("hidden");
    QTest::addColumn<int>("rows");
    QTest::newRow("per closing") << 1 << u"Denej uzávierky"_s << 0 << QList<int>{1, 2} << 7;
    QTest::newRow("in total") << 2 << u"Kódu"_s << 3 << QList<int>{0, 1, 2} << 4;
    QTest::newRow("back per document") << 0 << u"Čísla dokladu"_s << 1 << QList<int>{} << 8;
}

void TestSalesOverviewScreen::groupingSwitch()
{
    QFETCH(int, grouping);
    QFETCH(QString, sort);
    QFETCH(int, filterColumn);
    QFETCH(QList<int>, hidden);
    QFETCH(int, rows);
    OverviewRig rig;
    rig.run([&] {
        rig.typeClosings(u"3"_s, u"7"_s);
        rig.choose(u"CB_sumar"_s, 2);
        rig.choose(u"CB_sumar"_s, grouping);
        QCOMPARE(rig.list(u"CB_triedenie"_s)->currentText(), sort);
        QCOMPARE(int(rig.screen->choices().filterColumn), filterColumn);
        QTableView *grid = rig.grid(u"SMDBGrid_polozky"_s);
        for (int column = 0; column < 5; ++column)
            QCOMPARE(grid->isColumnHidden(column), hidden.contains(column));
        QCOMPARE(rig.itemRows(), rows);
        QCOMPARE(rig.footer(), money(40.60));
        // Enter goes on to the filter field.
        press(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), rig.field(u"Edit_filter"_s));
    });
}

// Escape on the open "Sumár položiek" list closes the list; the overview stays, the choice
// made before stands, and a second Escape closes the overview.
void TestSalesOverviewScreen::escapeOnAnOpenListClosesOnlyTheList()
{
    OverviewRig rig;
    rig.run([&] {
        rig.choose(u"CB_sumar"_s, 1);
        press(Qt::Key_Space);
        QTRY_VERIFY(QApplication::activePopupWidget());
        press(Qt::Key_Escape);
        QTRY_VERIFY(!QApplication::activePopupWidget());
        QVERIFY(rig.screen->isVisible());
        QCOMPARE(QApplication::focusWidget(), rig.list(u"CB_sumar"_s));
        QCOMPARE(rig.list(u"CB_sumar"_s)->currentIndex(), 1);
        press(Qt::Key_Escape);
        QTRY_VERIFY(!rig.screen->isVisible());
    });
}

void TestSalesOverviewScreen::directionAndDiscount()
{
    OverviewRig rig;
    rig.run([&] {
        rig.typeClosings(u"3"_s, u"7"_s);
        rig.choose(u"CB_sumar"_s, 1);
        QCOMPARE(rig.itemCell(0, OverviewItemModel::DU), u"3"_s);
        rig.focus(u"Image_smer"_s);
        press(Qt::Key_Space);
        QVERIFY(rig.screen->choices().descending);
        QCOMPARE(rig.itemCell(0, OverviewItemModel::DU), u"7"_s);
        QCOMPARE(rig.itemCell(rig.itemRows() - 1, OverviewItemModel::DU), u"3"_s);
        // 2 × 1.50 sold for 2.70 in closing 3.
        rig.choose(u"CB_sumar"_s, 0);
        rig.typeClosings(u"3"_s, u"3"_s);
        bool found = false;
        for (int row = 0; row < rig.itemRows(); ++row) {
            if (rig.itemCell(row, OverviewItemModel::BL) == u"10"_s &&
                rig.itemCell(row, OverviewItemModel::KOD) == u"100"_s) {
                QCOMPARE(rig.itemCell(row, OverviewItemModel::ZLAVA), money(-0.30));
                QCOMPARE(rig.itemCell(row, OverviewItemModel::SUM_CENA), money(2.70));
                found = true;
            }
        }
        QVERIFY(found);
    });
}

void TestSalesOverviewScreen::filterColumnAndText_data()
{
    QTest::addColumn<int>("rights");
    QTest::addColumn<int>("lefts");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("rows");
    QTest::addColumn<double>("total");
    QTest::newRow("name in any case") << 4 << 0 << u"MLIE"_s << 4 << 5 << 9.30;
    QTest::newRow("name with a Slovak letter") << 4 << 0 << u"čaj"_s << 4 << 2 << 6.30;
    QTest::newRow("closing number") << 0 << 0 << u"7"_s << 0 << 2 << 7.20;
    QTest::newRow("document number") << 1 << 0 << u"12"_s << 1 << 2 << 28.60;
    QTest::newRow("no number for a number column") << 0 << 0 << u"x"_s << 0 << 0 << 0.0;
    QTest::newRow("nothing left of the first column") << 0 << 2 << u""_s << 0 << 8 << 40.60;
    QTest::newRow("nothing right of the name") << 6 << 0 << u""_s << 4 << 8 << 40.60;
    QTest::newRow("back to the left") << 4 << 1 << u"30"_s << 3 << 1 << 3.60;
}

void TestSalesOverviewScreen::filterColumnAndText()
{
    QFETCH(int, rights);
    QFETCH(int, lefts);
    QFETCH(QString, text);
    QFETCH(int, column);
    QFETCH(int, rows);
    QFETCH(double, total);
    OverviewRig rig;
    rig.run([&] {
        rig.typeClosings(u"3"_s, u"7"_s);
        rig.focus(u"Edit_filter"_s);
        type(u"1"_s);
        for (int i = 0; i < rights; ++i)
            press(Qt::Key_Right);
        for (int i = 0; i < lefts; ++i)
            press(Qt::Key_Left);
        // Moving to another column empties the field; at the end nothing moves.
        QCOMPARE(rig.field(u"Edit_filter"_s)->text().isEmpty(), column != 0);
        rig.field(u"Edit_filter"_s)->clear();
        type(text);
        QCOMPARE(int(rig.screen->choices().filterColumn), column);
        const auto *model = rig.grid(u"SMDBGrid_polozky"_s)->model();
        QCOMPARE(model->headerData(column, Qt::Horizontal, Qt::BackgroundRole).value<QBrush>().color(),
                 QColor(Qt::darkBlue));
        QCOMPARE(rig.itemRows(), rows);
        QCOMPARE(rig.footer(), money(total));
        QVERIFY(rig.dialogs.shown().isEmpty());
    });
}

void TestSalesOverviewScreen::filterColumnSkipsHiddenColumns()
{
    OverviewRig rig;
    rig.run([&] {
        rig.typeClosings(u"3"_s, u"7"_s);
        rig.choose(u"CB_sumar"_s, 1); // per closing: no BL nor DATUM
        press(Qt::Key_Right);
        QCOMPARE(QApplication::focusWidget(), rig.field(u"Edit_filter"_s));
        press(Qt::Key_Right);
        QCOMPARE(int(rig.screen->choices().filterColumn), 3);
        press(Qt::Key_Left);
        QCOMPARE(int(rig.screen->choices().filterColumn), 0);
        rig.choose(u"CB_sumar"_s, 2); // in total: KOD is the first shown
        rig.focus(u"Edit_filter"_s);
        press(Qt::Key_Left);
        QCOMPARE(int(rig.screen->choices().filterColumn), 3);
    });
}

void TestSalesOverviewScreen::titleClickChoosesTheFilterColumn()
{
    OverviewRig rig;
    rig.run([&] {
        QHeaderView *titles = rig.grid(u"SMDBGrid_polozky"_s)->horizontalHeader();
        const auto click = [titles](int column) {
            const int x = titles->sectionViewportPosition(column) + titles->sectionSize(column) / 2;
            QTest::mouseClick(titles->viewport(), Qt::LeftButton, {}, QPoint(x, titles->height() / 2));
        };
        click(OverviewItemModel::KOD);
        QCOMPARE(int(rig.screen->choices().filterColumn), 3);
        QCOMPARE(QApplication::focusWidget(), rig.field(u"Edit_filter"_s));
        click(OverviewItemModel::JC); // past the name: no filter column
        QCOMPARE(int(rig.screen->choices().filterColumn), 3);
    });
}

void TestSalesOverviewScreen::downFindsTheNextRow()
{
    OverviewRig rig;
    rig.run([&] {
        rig.typeClosings(u"3"_s, u"7"_s); // ordered by closing: rows 6 and 7 are of 05.03.2026
        rig.focus(u"Edit_filter"_s);
        press(Qt::Key_Down);
        QCOMPARE(rig.itemRow(), 1);
        press(Qt::Key_Up);
        QCOMPARE(rig.itemRow(), 0);
        press(Qt::Key_Right);
        press(Qt::Key_Right);
        QCOMPARE(int(rig.screen->choices().filterColumn), 2);
        type(u"05.03"_s); // the date filters nothing, it is looked for
        QCOMPARE(rig.itemRows(), 8);
        const QList<int> found = {6, 7, 6};
        for (const int row : found) {
            press(Qt::Key_Down);
            QCOMPARE(rig.itemRow(), row);
        }
        rig.field(u"Edit_filter"_s)->clear();
        type(u"06.03"_s);
        press(Qt::Key_Down);
        QCOMPARE(rig.itemRow(), 0); // the reload went to the top; nothing found keeps it there
        QCOMPARE(QApplication::focusWidget(), rig.field(u"Edit_filter"_s));
    });
}

void TestSalesOverviewScreen::groupFilter_data()
{
    QTest::addColumn<int>("entry");
    QTest::addColumn<int>("rows");
    QTest::addColumn<double>("total");
    QTest::newRow("all groups") << 0 << 8 << 40.60;
    QTest::newRow("group 0 sold nothing") << 1 << 0 << 0.0;
    QTest::newRow("group 1") << 2 << 5 << 9.30;
    QTest::newRow("group 2") << 3 << 3 << 31.30;
}

void TestSalesOverviewScreen::groupFilter()
{
    QFETCH(int, entry);
    QFETCH(int, rows);
    QFETCH(double, total);
    OverviewRig rig;
    rig.run([&] {
        rig.typeClosings(u"3"_s, u"7"_s);
        rig.choose(u"CB_clenenie_sklad"_s, entry);
        QCOMPARE(rig.itemRows(), rows);
        QCOMPARE(rig.footer(), money(total));
        // The documents are those of the range, whatever the group.
        QCOMPARE(rig.grid(u"SMDBGrid_sklad"_s)->model()->rowCount(), 5);
    });
}

void TestSalesOverviewScreen::documentShowsItsLines()
{
    OverviewRig rig;
    rig.run([&] {
        rig.typeClosings(u"3"_s, u"7"_s);
        QTableView *documents = rig.grid(u"SMDBGrid_sklad"_s);
        QTableView *lines = rig.grid(u"SMDBGrid_blocek"_s);
        QCOMPARE(documents->currentIndex().row(), 4);
        QCOMPARE(lines->model()->rowCount(), 3);
        QCOMPARE(rig.child<QLabel>(u"Label_bl"_s)->text(), u"14"_s);
        QCOMPARE(rig.child<QLabel>(u"Label_du"_s)->text(), u"7"_s);
        QCOMPARE(rig.child<QLabel>(u"Label_datum"_s)->text(), u"05.03.2026"_s);
        rig.focus(documents);
        press(Qt::Key_Up);
        QCOMPARE(rig.child<QLabel>(u"Label_bl"_s)->text(), u"13"_s);
        QCOMPARE(lines->model()->rowCount(), 1);
        QCOMPARE(lines->model()->data(lines->model()->index(0, 2)).toString(), money(-1));
        press(Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(rig.child<QLabel>(u"Label_bl"_s)->text(), u"10"_s);
        QCOMPARE(lines->model()->rowCount(), 2);
        QCOMPARE(lines->model()->data(lines->model()->index(1, 1)).toString(), u"Čaj zelený"_s);
    });
}

// More documents than a page: the grid holds the last page and reads the pages
// before it as the cashier goes up, keeping the chosen document.
void TestSalesOverviewScreen::documentGridReadsFromItsEnd()
{
    OverviewRig rig;
    const int count = OverviewDocumentPanel::PageSize * 2 + 10;
    QList<SalesFixture::SaleRow> many;
    for (int i = 0; i < count; ++i)
        many.append({9, 100 + i, u"2026-04-01", u"120", u"Rožok", u"ks", 1, 0.10, 0.10, 20, 1});
    rig.rewriteYear(many);
    rig.run([&] {
        rig.typeClosings(u"9"_s, u"9"_s);
        QTableView *documents = rig.grid(u"SMDBGrid_sklad"_s);
        const auto chosen = [&] { return rig.child<QLabel>(u"Label_bl"_s)->text().toInt(); };
        QCOMPARE(documents->model()->rowCount(), int(OverviewDocumentPanel::PageSize));
        QCOMPARE(chosen(), 100 + count - 1);
        rig.focus(documents);
        const int firstHeld = 100 + count - OverviewDocumentPanel::PageSize;
        press(Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(documents->model()->rowCount(), 2 * OverviewDocumentPanel::PageSize);
        QCOMPARE(chosen(), firstHeld);
        QCOMPARE(documents->currentIndex().row(), OverviewDocumentPanel::PageSize);
        press(Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(documents->model()->rowCount(), count);
        press(Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(chosen(), 100);
        QCOMPARE(documents->currentIndex().row(), 0);
        press(Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(chosen(), 100 + count - 1);
    });
}

// A year larger than a page: the grid holds one page, the footer counts all
// rows, and Down finds a row that was not read yet.
void TestSalesOverviewScreen::itemGridReadsPageByPage()
{
    OverviewRig rig;
    QList<SalesFixture::SaleRow> many;
    const int count = OverviewItemModel::PageSize * 2 + 10;
    QList<QString> codes;
    for (int i = 0; i < count; ++i)
        codes << u"K%1"_s.arg(i, 4, 10, QChar(u'0'));
    for (int i = 0; i < count; ++i) {
        const char16_t *date = i == count - 2 ? u"2026-04-02" : u"2026-04-01";
        many.append({9, 100 + i, date, reinterpret_cast<const char16_t *>(codes.at(i).utf16()), u"Rožok",
                     u"ks", 1, 0.10, 0.10, 20, 1});
    }
    rig.rewriteYear(many);
    rig.run([&] {
        rig.typeClosings(u"9"_s, u"9"_s);
        QCOMPARE(rig.itemRows(), OverviewItemModel::PageSize);
        QCOMPARE(rig.footer(), money(count * 0.10));
        rig.choose(u"CB_triedenie"_s, 0); // by code, which also filters on the code
        rig.focus(u"Edit_filter"_s);
        press(Qt::Key_Left);
        type(u"02.04."_s); // the date filters nothing, it is looked for
        press(Qt::Key_Down);
        QCOMPARE(rig.itemRow(), count - 2);
        QCOMPARE(rig.itemCell(count - 2, OverviewItemModel::KOD), codes.at(count - 2));
        press(Qt::Key_Down); // no other row of that day: the grid stays
        QCOMPARE(rig.itemRow(), count - 2);
        press(Qt::Key_Right); // KOD: a filter that selects one late row
        type(u"K0405"_s);
        QCOMPARE(rig.itemRows(), 1);
        QCOMPARE(rig.footer(), money(0.10));
    });
}

// Over a sale window whose title bar is above the screen and whose right part is beyond it
// (as an earlier version kept it), the screen stands wholly within the screen's room.
void TestSalesOverviewScreen::placedOverTheSaleWindowOnTheScreen()
{
    OverviewRig rig;
    rig.run(
        [&] {
            QTRY_VERIFY2(FrameOnScreen::problem(*rig.screen).isEmpty(),
                         qPrintable(FrameOnScreen::problem(*rig.screen)));
        },
        FrameOnScreen::saleWindowOffTheScreen());
}

// The overview in the sale window's place on the shop's screens (least sale window, 1024×768
// and 1366×768 less borders and a tray panel): sales with long names, codes of bar codes and
// amounts in thousands; every title, number, the total and the status text are whole; only
// the names may be cut at the end of their column.
void TestSalesOverviewScreen::textsAreWholeOnShopScreens_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("least sale window") << QSize(1000, 450);
    QTest::newRow("1024x768") << QSize(1020, 700);
    QTest::newRow("1366x768") << QSize(1362, 700);
}

void TestSalesOverviewScreen::textsAreWholeOnShopScreens()
{
    QFETCH(QSize, size);
    OverviewRig rig;
    const SalesFixture::SaleRow rows[] = {
        {3, 10, u"2026-03-02", u"8586000123457", u"Čokoláda horká s lieskovými orieškami, 7", u"krát", 12,
         1234.99, 14819.88, 20, 1},
        {3, 10, u"2026-03-02", u"8586000765432", u"Šampón Žihľava & Ľubovník 250 ml", u"ks", 1000, 3.45,
         3450.0, 20, 2},
        {3, 11, u"2026-03-02", u"1003", u"Rožok biely 40 g", u"ks", -16, 0.12, -1.92, 20, 1}};
    rig.rewriteYear(rows);
    rig.run([&] {
        rig.screen->resize(size);
        QTRY_COMPARE(rig.screen->size(), size.expandedTo(rig.screen->minimumSize()));
        QCOMPARE(rig.screen->width(), size.width());
        QCOMPARE(rig.itemRows(), 3);
        auto *footer = rig.child<QLabel>(u"Label_spolu"_s);
        auto *status = rig.child<QStatusBar>(u"StatusBar1"_s);
        const auto cut = [&] {
            QStringList texts =
                TextFit::cutInGrid(*rig.grid(u"SMDBGrid_polozky"_s), OverviewItemModel::NAZOV) +
                TextFit::cutInGrid(*rig.grid(u"SMDBGrid_sklad"_s)) +
                TextFit::cutInGrid(*rig.grid(u"SMDBGrid_blocek"_s), 1) + TextFit::cutInStatusBar(*status);
            if (footer->fontMetrics().horizontalAdvance(footer->text()) > TextFit::labelTextRoom(*footer))
                texts << u"total \"%1\" in %2 px"_s.arg(footer->text()).arg(footer->width());
            return texts;
        };
        QTRY_VERIFY2(cut().isEmpty(), qPrintable(cut().join(u"; "_s)));
    });
}

void TestSalesOverviewScreen::openDocumentIsNotSold_data()
{
    QTest::addColumn<int>("grouping");
    QTest::addColumn<int>("rows");
    QTest::newRow("po dokladoch") << 0 << 8;
    QTest::newRow("po uzávierkach") << 1 << 7;
    QTest::newRow("súhrnne") << 2 << 4;
}

// The rows of the open document, not printed yet, are no sale: they stay out of
// the items, the footer, the documents, a document's lines and the closing range,
// also where they carry the keys of a printed document or of two documents.
void TestSalesOverviewScreen::openDocumentIsNotSold()
{
    QFETCH(int, grouping);
    QFETCH(int, rows);
    OverviewRig rig;
    QList<SalesFixture::SaleRow> year(std::begin(SalesFixture::FixtureRows),
                                      std::end(SalesFixture::FixtureRows));
    year.append({7, 14, u"2026-03-05", u"300", u"ČOKOLÁDA mliečna", u"ks", 1, 1.20, 1.20, 20, 1, false});
    year.append({7, 15, u"2026-03-05", u"900", u"Otvorená položka", u"ks", 1, 3.00, 3.00, 20, 1, false});
    year.append({8, 16, u"2026-03-06", u"100", u"Mlieko 1,5%", u"ks", 2, 1.50, 3.00, 20, 1, false});
    rig.rewriteYear(year);
    rig.run([&] {
        rig.typeClosings(u"3"_s, u"8"_s);
        rig.choose(u"CB_sumar"_s, grouping);
        QCOMPARE(rig.itemRows(), rows);
        QCOMPARE(rig.footer(), money(40.60));
        for (int row = 0; row < rig.itemRows(); ++row)
            QVERIFY(rig.itemCell(row, OverviewItemModel::KOD) != u"900"_s);
        QCOMPARE(rig.grid(u"SMDBGrid_sklad"_s)->model()->rowCount(), 5);
        QCOMPARE(rig.child<QLabel>(u"Label_bl"_s)->text(), u"14"_s);
        QCOMPARE(rig.grid(u"SMDBGrid_blocek"_s)->model()->rowCount(), 3);
        // The whole year runs to the last closing that printed.
        rig.focus(u"CB_rok"_s);
        press(Qt::Key_Up);
        press(Qt::Key_Down);
        QCOMPARE(rig.field(u"Edit_duod"_s)->text(), u"3"_s);
        QCOMPARE(rig.field(u"Edit_dudo"_s)->text(), u"7"_s);
        QCOMPARE(rig.footer(), money(40.60));
    });
}

void TestSalesOverviewScreen::widthsSavedAndRestored()
{
    OverviewRig rig;
    rig.run([&] {
        rig.grid(u"SMDBGrid_polozky"_s)->horizontalHeader()->resizeSection(OverviewItemModel::JC, 88);
        rig.grid(u"SMDBGrid_sklad"_s)->horizontalHeader()->resizeSection(2, 91);
        rig.choose(u"CB_sumar"_s, 2); // columns hidden while the screen closes keep their widths
        press(Qt::Key_Escape);
        QTRY_VERIFY(!rig.screen->isVisible());
    });
    IniFile ini(PointOfSaleKeys::filePath(rig.programFolder));
    QVERIFY(ini.load());
    QCOMPARE(ini.readString(u"PREHLAD"_s, u"COL_7"_s, {}), u"88"_s);
    QCOMPARE(ini.readString(u"PREHLAD"_s, u"COL_0"_s, {}), u"40"_s);
    QCOMPARE(ini.readString(u"PREHLAD"_s, u"COL_BL_2"_s, {}), u"91"_s);

    OverviewRig again;
    QDir().mkpath(QFileInfo(PointOfSaleKeys::filePath(again.programFolder)).path());
    QVERIFY(QFile::copy(PointOfSaleKeys::filePath(rig.programFolder),
                        PointOfSaleKeys::filePath(again.programFolder)));
    again.run([&] {
        QCOMPARE(again.grid(u"SMDBGrid_polozky"_s)->horizontalHeader()->sectionSize(OverviewItemModel::JC),
                 88);
        QCOMPARE(again.grid(u"SMDBGrid_sklad"_s)->horizontalHeader()->sectionSize(2), 91);
    });
}

void TestSalesOverviewScreen::stateKeptBetweenShowings()
{
    OverviewRig rig;
    rig.run([&] {
        rig.choose(u"CB_sumar"_s, 2);
        rig.choose(u"CB_triedenie"_s, 1);
        rig.focus(u"Image_smer"_s);
        press(Qt::Key_Space);
        rig.choose(u"CB_clenenie_sklad"_s, 2);
        rig.focus(u"Edit_filter"_s);
        type(u"mlie"_s);
        press(Qt::Key_Escape);
        QTRY_VERIFY(!rig.screen->isVisible());
    });
    rig.run([&] {
        const SalesOverviewChoices choices = rig.screen->choices();
        QCOMPARE(choices.grouping, SalesOverviewChoices::Grouping::ByDocument);
        QVERIFY(!rig.grid(u"SMDBGrid_polozky"_s)->isColumnHidden(0));
        QCOMPARE(choices.sort, SalesOverviewChoices::Sort::Name);
        QVERIFY(choices.descending);
        QCOMPARE(choices.group, std::optional<int>(1));
        QCOMPARE(choices.filterText, QString());
        QCOMPARE(rig.itemRows(), 2); // closing 3, group 1: milk in documents 10 and 11
    });
}

void TestSalesOverviewScreen::printIsASignalAndExportAsksForAFile()
{
    OverviewRig rig;
    QSignalSpy prints(rig.screen.get(), &TForm_prehlad::printRequested);
    rig.run([&] {
        press(Qt::Key_F12);
        QCOMPARE(prints.size(), 1);
        press(Qt::Key_E, Qt::AltModifier); // the file dialog is cancelled
        QTRY_COMPARE(rig.dialogs.fileRequests().size(), 1);
        QVERIFY(rig.dialogs.shown().isEmpty());
        QCOMPARE(rig.screen->selectionLine(),
                 u"Súbor predaj_2026.db, uzávierky 3 až 3, položky po dokladoch"_s);
        rig.choose(u"CB_clenenie_sklad"_s, 3);
        rig.choose(u"CB_sumar"_s, 2);
        QCOMPARE(rig.screen->selectionLine(),
                 u"Súbor predaj_2026.db, uzávierky 3 až 3, položky súhrnne, skupina Nápoje"_s);
        QVERIFY(rig.screen->isVisible());
        QVERIFY(rig.screen->overview().isOpen());
    });
}

// The first export of a run starts in the data folder with a name that says the
// range; the next one where the last file went. A written file is named in a box,
// one that cannot be written is told as an error.
void TestSalesOverviewScreen::exportStartsInTheDataFolderAndNamesTheFile()
{
    OverviewRig rig;
    QTemporaryDir elsewhere;
    QVERIFY(elsewhere.isValid());
    const QString written = elsewhere.filePath(u"tyzden.csv"_s);
    rig.run([&] {
        rig.typeClosings(u"3"_s, u"7"_s);
        rig.dialogs.queueFile(written);
        rig.dialogs.queueAnswer(UserDialogs::Answer::Ok);
        press(Qt::Key_E, Qt::AltModifier);
        QTRY_COMPARE(rig.dialogs.fileRequests().size(), 1);
        const UserDialogs::FileRequest first = rig.dialogs.fileRequests().at(0);
        QCOMPARE(QDir(first.folder).absolutePath(), QDir(rig.dataFolder).absolutePath());
        QCOMPARE(first.proposedName, u"prehlad_2026_uzavierky_3-7"_s);
        QVERIFY(QFile::exists(written));
        QCOMPARE(rig.dialogs.shown().size(), 1);
        const UserDialogs::Message told = rig.dialogs.shown().at(0);
        QCOMPARE(told.icon, UserDialogs::Icon::Information);
        QVERIFY2(told.text.contains(QDir::toNativeSeparators(written)), qPrintable(told.text));

        const QString unwritable = elsewhere.filePath(u"niet/tyzden.csv"_s);
        rig.dialogs.queueFile(unwritable);
        rig.dialogs.queueAnswer(UserDialogs::Answer::Ok);
        rig.typeClosings(u"4"_s, u"4"_s);
        press(Qt::Key_E, Qt::AltModifier);
        QTRY_COMPARE(rig.dialogs.fileRequests().size(), 2);
        const UserDialogs::FileRequest second = rig.dialogs.fileRequests().at(1);
        QCOMPARE(QDir(second.folder).absolutePath(), QDir(elsewhere.path()).absolutePath());
        QCOMPARE(second.proposedName, u"prehlad_2026_uzavierka_4"_s);
        QCOMPARE(rig.dialogs.shown().size(), 2);
        QCOMPARE(rig.dialogs.shown().at(1).icon, UserDialogs::Icon::Error);
        QVERIFY(!QFile::exists(unwritable));
        QVERIFY(rig.screen->isVisible());
    });
}

QTEST_MAIN(TestSalesOverviewScreen)
#include "tst_salesoverviewscreen.moc"

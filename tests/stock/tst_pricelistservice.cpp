#include "AccessibleNames.h"
#include "FocusedKeys.h"
#include "ScreenChild.h"
#include "ScriptedDialogs.h"
#include "base/Configuration.h"
#include "base/Cp1250.h"
#include "base/IniFile.h"
#include "lang/MessageTable.h"
#include "stock/DataFile.h"
#include "stock/PointOfSaleKeys.h"
#include "stock/PointOfSaleSettings.h"
#include "stock/ReceiptHeaderFile.h"
#include "stock/StockTable.h"
#include "stock/UnitAndGroupNames.h"
#include "stock/ui/TForm_cennik_servis.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace Qt::StringLiterals;
using Answer = UserDialogs::Answer;

using FocusedKeys::press;
using FocusedKeys::type;

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList numbered(const QString &stem, int count)
{
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << stem + QString::number(i);
    return names;
}

// A program folder with its data folder: pokladna.ini, the unit and group names,
// a receipt header, a few cards, and the maintenance screen over them.
struct ServiceRig
{
    explicit ServiceRig(const QStringList &units = {u"krát"_s, u"ks"_s, u"kg"_s, u"l"_s},
                        const QStringList &groups = {u"Potraviny"_s, u"Drogéria"_s, u"Nápoje"_s})
    {
        programFolder = dir.path();
        dataFolder = programFolder + u"/cennik/"_s;
        QDir().mkpath(dataFolder);
        PointOfSaleSettings settings = PointOfSaleSettings::defaults(programFolder);
        settings.serialNumber = u"SN-1"_s;
        settings.dataFolder = dataFolder;
        settings.printManagerInput = programFolder + u"/blocek.txt"_s;
        settings.paymentMeans[8] = u"Deviate:"_s;
        if (!settings.save(programFolder))
            qFatal("pokladna.ini");
        settings.applyTo(config);
        UnitAndGroupNames::fromLists(units, groups).save(dataFolder);
        ReceiptHeaderFile::save(headerPath(), RichTextDocument::fromPlainLines({u"Predajňa"_s}));
        if (!file.open(dataFolder + u"vx60_sklad.db"_s, true) || !table.create())
            qFatal("stock table");
        configBefore = config;
        screen = std::make_unique<TForm_cennik_servis>(PriceListServiceContext{
            programFolder, config, messages, dialogs, file, [this] { return printerHeader; },
            [this] { ++detections; }, [this] { ++refreshes; }, [this] { ++saleScreenChanges; },
            [] { return false; }, [] {}});
    }

    void addCard(const QString &kod, int unit, int group)
    {
        StockRow row;
        row.kod = kod;
        row.nazov = kod;
        row.mjIdx = unit;
        row.mj = UnitAndGroupNames::load(dataFolder).unitList().value(unit);
        row.skladIdx = group;
        if (!table.insert(row))
            qFatal("card");
    }
    // Code → (MJ_IDX, MJ, SKLAD_IDX) of every card.
    QMap<QString, std::tuple<int, QString, int>> cards()
    {
        QMap<QString, std::tuple<int, QString, int>> all;
        QSqlQuery query(file.database());
        if (!query.exec(u"SELECT KOD, MJ_IDX, MJ, SKLAD_IDX FROM VX60_SKLAD"_s))
            qFatal("cards");
        while (query.next())
            all[query.value(0).toString()] = {query.value(1).toInt(), query.value(2).toString(),
                                              query.value(3).toInt()};
        return all;
    }

    QString headerPath() const { return ReceiptHeaderFile::filePath(dataFolder); }
    QString pokladnaPath() const { return PointOfSaleKeys::filePath(programFolder); }
    QString namesPath() const { return UnitAndGroupNames::filePath(dataFolder); }
    QList<QByteArray> files() const
    {
        return {bytesOf(pokladnaPath()), bytesOf(namesPath()), bytesOf(headerPath())};
    }

    template <typename T> T *child(const QString &name) const { return screenChild<T>(*screen, name); }
    QLineEdit *field(const QString &name) const { return child<QLineEdit>(name); }
    QComboBox *list(const QString &name) const { return child<QComboBox>(name); }
    QStringList entries(const QString &name) const
    {
        QStringList texts;
        for (int i = 0; i < list(name)->count(); ++i)
            texts << list(name)->itemText(i);
        return texts;
    }
    void focus(const QString &name, int tab)
    {
        screen->tabs()->setCurrentIndex(tab);
        QWidget *widget = child<QWidget>(name);
        widget->setFocus(Qt::OtherFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), widget);
    }
    // Clears a field and types `text` into it by keys.
    void retype(const QString &name, int tab, const QString &text)
    {
        focus(name, tab);
        field(name)->selectAll();
        press(Qt::Key_Backspace);
        type(text);
    }
    QString lastMessage() const
    {
        return dialogs.shown().isEmpty() ? QString() : dialogs.shown().last().text;
    }

    // Shows the screen and does `steps` once it is up; a screen still open after
    // them is closed without the closing question.
    void run(const std::function<void()> &steps)
    {
        QTimer::singleShot(0, screen.get(), [this, steps] {
            screen->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(screen.get()));
            steps();
            if (screen->isVisible())
                screen->QDialog::reject();
        });
        screen->open(QRect());
    }

    QTemporaryDir dir;
    QString programFolder;
    QString dataFolder;
    Configuration config;
    Configuration configBefore;
    MessageTable messages;
    ScriptedDialogs dialogs;
    DataFile file;
    StockTable table{file};
    std::optional<QString> printerHeader;
    int detections = 0;
    int refreshes = 0;
    int saleScreenChanges = 0;
    std::unique_ptr<TForm_cennik_servis> screen;
};

bool sameConfiguration(const Configuration &a, const Configuration &b)
{
    return a.dataFolder == b.dataFolder && a.printManagerInput == b.printManagerInput &&
           a.infoTimeout == b.infoTimeout && a.statusTimeout == b.statusTimeout &&
           a.repeatPeriod == b.repeatPeriod && a.printManagerTitle == b.printManagerTitle &&
           a.paymentMeans == b.paymentMeans && a.cashiers == b.cashiers && a.demo == b.demo &&
           a.saleScreenAtStart == b.saleScreenAtStart && a.paymentDialog == b.paymentDialog &&
           a.terminatePrintManager == b.terminatePrintManager && a.cashierRequired == b.cashierRequired;
}

constexpr int kTabSklad = 1;
constexpr int kTabInfo = 2;

} // namespace

class TestPriceListService : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyInputReadsByItsName();
    void showingLoadsMemory();
    void unitLimit_data();
    void unitLimit();
    void deleteSelectsTheNextEntry_data();
    void deleteSelectsTheNextEntry();
    void renameGivesCardsTheNewText();
    void answerNoWritesNothingButRefreshes();
    void refusedSaveChangesNothing_data();
    void refusedSaveChangesNothing();
    void confirmedSaveWritesInOrder();
    void deleteOfAUsedEntryIsRefused_data();
    void deleteOfAUsedEntryIsRefused();
    void cardsFollowTheirEntries();
    void entryUsedMeanwhileRefusesTheSave();
    void headerFromThePrinter();
    void headerWithoutData();
};

void TestPriceListService::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Slovak, QLocale::Slovakia));
}

// A screen reader names every field, list and grid of every tab by its caption.
void TestPriceListService::everyInputReadsByItsName()
{
    ServiceRig rig;
    const QStringList faults = AccessibleNames::faults(*rig.screen);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u"; "_s)));
}

void TestPriceListService::showingLoadsMemory()
{
    ServiceRig rig;
    rig.config.printManagerTitle = u"TM2"_s; // memory wins over the file
    rig.run([&] {
        QCOMPARE(rig.screen->tabs()->currentIndex(), 0);
        QCOMPARE(rig.field(u"EditNameTM"_s)->text(), u"TM2"_s);
        QCOMPARE(rig.entries(u"CB_mj"_s), (QStringList{u"krát"_s, u"ks"_s, u"kg"_s, u"l"_s}));
        QCOMPARE(rig.list(u"CB_mj"_s)->currentIndex(), 0);
        QCOMPARE(rig.list(u"CB_skladskupiny"_s)->currentText(), u"Potraviny"_s);
        QCOMPARE(rig.field(u"Edit_vc"_s)->text(), u"SN-1"_s);
        QCOMPARE(rig.field(u"Edit_timeinfo"_s)->text(), u"15000"_s);
        QCOMPARE(rig.field(u"Edit_lancennik"_s)->text(), rig.dataFolder);
        QCOMPARE(rig.child<QTextEdit>(u"RE_hlavicka"_s)->toPlainText(), u"Predajňa"_s);
        // Time fields take digits only.
        rig.retype(u"Edit_timedc"_s, kTabSklad, u"12a-3"_s);
        QCOMPARE(rig.field(u"Edit_timedc"_s)->text(), u"123"_s);
    });
}

void TestPriceListService::unitLimit_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    QTest::addColumn<bool>("message");
    QTest::newRow("14th to 15th") << 14 << 15 << false;
    QTest::newRow("15 stay 15") << 15 << 15 << true;
}

void TestPriceListService::unitLimit()
{
    QFETCH(int, before);
    QFETCH(int, after);
    QFETCH(bool, message);
    ServiceRig rig(numbered(u"u"_s, before));
    rig.run([&] {
        rig.focus(u"Edit_mj"_s, kTabSklad);
        type(u"nova"_s);
        press(Qt::Key_Return);
        QCOMPARE(rig.list(u"CB_mj"_s)->count(), after);
        QCOMPARE(rig.dialogs.shown().size(), message ? 1 : 0);
        if (message) {
            QCOMPARE(rig.lastMessage(), u"Prekročili ste maximálny možný počet\r\nmerných jednotiek."_s);
            QCOMPARE(rig.dialogs.shown().last().caption, u"[MSG_217]"_s);
        } else {
            QCOMPARE(rig.list(u"CB_mj"_s)->currentText(), u"nova"_s);
            QCOMPARE(rig.field(u"Edit_mj"_s)->text(), QString());
        }
        QVERIFY(rig.screen->isVisible()); // Enter was taken by the field, not the screen
    });
}

void TestPriceListService::deleteSelectsTheNextEntry_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<QString>("selected");
    QTest::newRow("third of five") << 2 << QStringList{u"A"_s, u"B"_s, u"D"_s, u"E"_s} << u"D"_s;
    QTest::newRow("last") << 4 << QStringList{u"A"_s, u"B"_s, u"C"_s, u"D"_s} << u"D"_s;
}

void TestPriceListService::deleteSelectsTheNextEntry()
{
    QFETCH(int, position);
    QFETCH(QStringList, left);
    QFETCH(QString, selected);
    ServiceRig rig({u"ks"_s}, {u"A"_s, u"B"_s, u"C"_s, u"D"_s, u"E"_s});
    rig.run([&] {
        rig.list(u"CB_skladskupiny"_s)->setCurrentIndex(position);
        rig.dialogs.queueAnswer(Answer::Yes);
        rig.child<QPushButton>(u"BitBtn_vymazskupinu"_s)->click();
        QCOMPARE(rig.dialogs.shown().size(), 1);
        QCOMPARE(rig.dialogs.shown()[0].caption, u"Omira servis."_s);
        QCOMPARE(rig.dialogs.shown()[0].defaultAnswer, Answer::No);
        QVERIFY(rig.lastMessage().startsWith(u"Vymazať skladovú skupinu ?\r\n"_s));
        QCOMPARE(rig.entries(u"CB_skladskupiny"_s), left);
        QCOMPARE(rig.list(u"CB_skladskupiny"_s)->currentText(), selected);
    });
}

void TestPriceListService::renameGivesCardsTheNewText()
{
    ServiceRig rig;
    rig.addCard(u"1"_s, 1, 0);
    rig.run([&] {
        rig.list(u"CB_mj"_s)->setCurrentIndex(1);
        rig.focus(u"CB_mj"_s, kTabSklad);
        rig.list(u"CB_mj"_s)->lineEdit()->selectAll();
        type(u"bal"_s);
        press(Qt::Key_Return);
        QCOMPARE(rig.entries(u"CB_mj"_s), (QStringList{u"krát"_s, u"bal"_s, u"kg"_s, u"l"_s}));
        QCOMPARE(rig.list(u"CB_mj"_s)->currentIndex(), 1);
        rig.dialogs.queueAnswer(Answer::Yes);
        press(Qt::Key_Escape);
    });
    QVERIFY(!rig.screen->isVisible());
    QCOMPARE(UnitAndGroupNames::load(rig.dataFolder).units[1], u"bal"_s);
    QCOMPARE(rig.cards()[u"1"_s], std::make_tuple(1, u"bal"_s, 0));
}

void TestPriceListService::answerNoWritesNothingButRefreshes()
{
    ServiceRig rig;
    const QList<QByteArray> before = rig.files();
    rig.run([&] {
        rig.retype(u"EditNameTM"_s, 0, u"INE"_s);
        rig.focus(u"Edit_mj"_s, kTabSklad);
        type(u"bal"_s);
        press(Qt::Key_Return);
        rig.child<QTextEdit>(u"RE_hlavicka"_s)->setPlainText(u"Iná"_s);
        // The one switch that acts at once.
        rig.child<QCheckBox>(u"CB_pokladnik"_s)->click();
        rig.dialogs.queueAnswer(Answer::No);
        press(Qt::Key_Escape);
    });
    QVERIFY(!rig.screen->isVisible());
    QCOMPARE(rig.dialogs.shown().size(), 1);
    QCOMPARE(rig.lastMessage(), u"[MSG_218]"_s);
    QCOMPARE(rig.files(), before);
    QCOMPARE(rig.refreshes, 1);
    QCOMPARE(rig.saleScreenChanges, 0);
    QCOMPARE(rig.detections, 0);
    QCOMPARE(rig.config.cashierRequired, 1);
    rig.config.cashierRequired = 0;
    QVERIFY(sameConfiguration(rig.config, rig.configBefore));
    // The next showing starts again from memory.
    rig.run([&] { QCOMPARE(rig.list(u"CB_mj"_s)->count(), 4); });
}

void TestPriceListService::refusedSaveChangesNothing_data()
{
    QTest::addColumn<QString>("fieldName");
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("serial number empty") << u"Edit_vc"_s << kTabInfo << QString() << u"[MSG_219]"_s;
    QTest::newRow("time info empty") << u"Edit_timeinfo"_s << kTabSklad << QString() << u"„Time info“"_s;
    QTest::newRow("repeat time zero")
        << u"Edit_timerepeat"_s << kTabSklad << u"0"_s << u"„Time repeat DC1“"_s;
}

void TestPriceListService::refusedSaveChangesNothing()
{
    QFETCH(QString, fieldName);
    QFETCH(int, tab);
    QFETCH(QString, text);
    QFETCH(QString, message);
    ServiceRig rig;
    rig.addCard(u"1"_s, 3, 0);
    const QList<QByteArray> before = rig.files();
    const auto cardsBefore = rig.cards();
    rig.run([&] {
        rig.retype(u"EditNameTM"_s, 0, u"INE"_s);
        rig.list(u"CB_mj"_s)->setCurrentIndex(2);
        rig.dialogs.queueAnswer(Answer::Yes); // delete "kg", which moves "l"
        rig.child<QPushButton>(u"BitBtn_mjvymaz"_s)->click();
        rig.retype(fieldName, tab, text);
        rig.focus(u"EditNameTM"_s, 0);
        rig.dialogs.queueAnswer(Answer::Yes);
        press(Qt::Key_Escape);
        QVERIFY(rig.screen->isVisible());
        QVERIFY(rig.lastMessage().contains(message));
        QCOMPARE(rig.screen->tabs()->currentIndex(), tab);
        QCOMPARE(QApplication::focusWidget(), rig.field(fieldName));
    });
    QCOMPARE(rig.files(), before);
    QCOMPARE(rig.cards(), cardsBefore);
    QVERIFY(sameConfiguration(rig.config, rig.configBefore));
    QCOMPARE(rig.saleScreenChanges, 0);
}

void TestPriceListService::confirmedSaveWritesInOrder()
{
    ServiceRig rig;
    // A file with only the serial number: every other key is written anew, in order.
    QFile::remove(rig.pokladnaPath());
    IniFile ini(rig.pokladnaPath());
    ini.setString(u"CONFIG"_s, u"VC"_s, u"SN-1"_s);
    QVERIFY(ini.save());
    const QString newFolder = rig.programFolder + u"/nove/"_s;
    QDir().mkpath(newFolder);
    rig.run([&] {
        rig.retype(u"EditNameTM"_s, 0, u"TM9"_s);
        rig.retype(u"Edit_plat1"_s, 0, u"Karta:"_s);
        rig.retype(u"Edit_timeinfo"_s, kTabSklad, u"2000"_s);
        rig.dialogs.queueFile(newFolder + u"x.db"_s);
        rig.child<QPushButton>(u"BitBtn_lancennik"_s)->click();
        QCOMPARE(rig.field(u"Edit_lancennik"_s)->text(), newFolder);
        rig.focus(u"Edit_mj"_s, kTabSklad);
        type(u"bal"_s);
        press(Qt::Key_Return);
        rig.retype(u"Edit_pokl0"_s, 3, u"Jana"_s);
        rig.retype(u"Edit_servis"_s, kTabInfo, u"Servis s.r.o."_s);
        rig.child<QTextEdit>(u"RE_hlavicka"_s)->setPlainText(u"Obchod\nUlica 1"_s);
        rig.dialogs.queueAnswer(Answer::Yes);
        rig.child<QPushButton>(u"BitBtn_koniec"_s)->click();
    });
    QVERIFY(!rig.screen->isVisible());
    QCOMPARE(rig.dialogs.shown().size(), 1);

    const QString text = Cp1250::decode(bytesOf(rig.pokladnaPath()));
    // Keys stand in the order they were set in; a section stands where its first key was set.
    const QStringList order = {
        u"[CONFIG]"_s,   u"VC="_s,      u"MODEL="_s,    u"POKL_START="_s, u"DEMO="_s,
        u"LAN="_s,       u"TL_MAN="_s,  u"LAN_INFO="_s, u"LAN_DC="_s,     u"LAN_REPEAT="_s,
        u"POKLADNIK="_s, u"QLERK="_s,   u"TM="_s,       u"ENDTM="_s,      u"LAN_PATH="_s,
        u"[PLATBA]"_s,   u"PLAT_1="_s,  u"PLAT_10="_s,  u"SHOW="_s,       u"[POKLADNIK]"_s,
        u"POKL_1="_s,    u"POKL_10="_s, u"[SERVIS]"_s,  u"TEL="_s,        u"NAZOV="_s};
    qsizetype at = -1;
    for (const QString &key : order) {
        const qsizetype found = text.indexOf(key, at + 1);
        QVERIFY2(found > at && (found == 0 || text[found - 1] == u'\n'), qPrintable(key));
        at = found;
    }
    const PointOfSaleSettings saved = PointOfSaleSettings::load(rig.programFolder);
    QCOMPARE(saved.printManagerTitle, u"TM9"_s);
    QCOMPARE(saved.paymentMeans[1], u"Karta:"_s);
    QCOMPARE(saved.paymentMeans[8], u"Deviate:"_s); // no field: kept
    QCOMPARE(saved.infoTimeout, 2000);
    QCOMPARE(saved.dataFolder, newFolder);
    QCOMPARE(saved.cashiers[0], u"Jana"_s);
    QCOMPARE(saved.serviceName, u"Servis s.r.o."_s);
    // The names go to the new data folder, the header to the one in effect before.
    QCOMPARE(UnitAndGroupNames::load(newFolder).unitList(),
             (QStringList{u"krát"_s, u"ks"_s, u"kg"_s, u"l"_s, u"bal"_s}));
    QCOMPARE(ReceiptHeaderFile::load(rig.headerPath()).document.plainLines(),
             (QStringList{u"Obchod"_s, u"Ulica 1"_s}));
    QCOMPARE(rig.config.dataFolder, newFolder);
    QCOMPARE(rig.config.infoTimeout, 2000);
    QCOMPARE(rig.config.printManagerTitle, u"TM9"_s);
    QCOMPARE(rig.saleScreenChanges, 1);
    QCOMPARE(rig.detections, 1);
    QCOMPARE(rig.refreshes, 1);
}

void TestPriceListService::deleteOfAUsedEntryIsRefused_data()
{
    QTest::addColumn<QString>("listName");
    QTest::addColumn<QString>("buttonName");
    QTest::addColumn<QString>("expected");
    QTest::newRow("unit") << u"CB_mj"_s << u"BitBtn_mjvymaz"_s << u"Mernú jednotku 'ks'"_s;
    QTest::newRow("group") << u"CB_skladskupiny"_s << u"BitBtn_vymazskupinu"_s
                           << u"Skladovú skupinu 'Drogéria'"_s;
}

void TestPriceListService::deleteOfAUsedEntryIsRefused()
{
    QFETCH(QString, listName);
    QFETCH(QString, buttonName);
    QFETCH(QString, expected);
    ServiceRig rig;
    for (const QString &kod : {u"1"_s, u"2"_s, u"3"_s})
        rig.addCard(kod, 1, 1);
    rig.run([&] {
        const int count = rig.list(listName)->count();
        rig.list(listName)->setCurrentIndex(1);
        rig.child<QPushButton>(buttonName)->click();
        QCOMPARE(rig.dialogs.shown().size(), 1); // the refusal, no question
        QVERIFY(rig.lastMessage().startsWith(expected));
        QVERIFY(rig.lastMessage().contains(u"počet kariet: 3"_s));
        QCOMPARE(rig.list(listName)->count(), count);
    });
}

void TestPriceListService::cardsFollowTheirEntries()
{
    ServiceRig rig;
    rig.addCard(u"ks"_s, 1, 0);
    rig.addCard(u"l"_s, 3, 2);
    rig.run([&] {
        rig.list(u"CB_mj"_s)->setCurrentIndex(2); // "kg", unused, before "l"
        rig.dialogs.queueAnswer(Answer::Yes);
        rig.child<QPushButton>(u"BitBtn_mjvymaz"_s)->click();
        rig.list(u"CB_skladskupiny"_s)->setCurrentIndex(1); // "Drogéria", unused, before "Nápoje"
        rig.dialogs.queueAnswer(Answer::Yes);
        rig.child<QPushButton>(u"BitBtn_vymazskupinu"_s)->click();
        rig.dialogs.queueAnswer(Answer::Yes);
        press(Qt::Key_Escape);
    });
    QVERIFY(!rig.screen->isVisible());
    const auto cards = rig.cards();
    QCOMPARE(cards[u"ks"_s], std::make_tuple(1, u"ks"_s, 0));
    QCOMPARE(cards[u"l"_s], std::make_tuple(2, u"l"_s, 1));
    const UnitAndGroupNames names = UnitAndGroupNames::load(rig.dataFolder);
    QCOMPARE(names.unitList(), (QStringList{u"krát"_s, u"ks"_s, u"l"_s}));
    QCOMPARE(names.groupList(), (QStringList{u"Potraviny"_s, u"Nápoje"_s}));
}

// Another till gives a card the deleted unit between the deletion and the save.
void TestPriceListService::entryUsedMeanwhileRefusesTheSave()
{
    ServiceRig rig;
    rig.addCard(u"l"_s, 3, 0);
    const QList<QByteArray> before = rig.files();
    rig.run([&] {
        rig.retype(u"EditNameTM"_s, 0, u"INE"_s);
        rig.list(u"CB_mj"_s)->setCurrentIndex(2);
        rig.dialogs.queueAnswer(Answer::Yes);
        rig.child<QPushButton>(u"BitBtn_mjvymaz"_s)->click();
        rig.addCard(u"kg"_s, 2, 0);
        rig.dialogs.queueAnswer(Answer::Yes);
        press(Qt::Key_Escape);
        QVERIFY(rig.screen->isVisible());
        QVERIFY(rig.lastMessage().contains(u"'kg'"_s));
        QVERIFY(rig.lastMessage().contains(u"počet kariet: 1"_s));
    });
    QCOMPARE(rig.files(), before);
    QCOMPARE(rig.cards()[u"l"_s], std::make_tuple(3, u"l"_s, 0));
    QVERIFY(sameConfiguration(rig.config, rig.configBefore));
}

void TestPriceListService::headerFromThePrinter()
{
    ServiceRig rig;
    // The print manager's data reply, one word a line.
    rig.printerHeader = u"Obchod\r\nABC\r\nUlica\r\n1\r\n"_s;
    rig.run([&] {
        rig.focus(u"BitBtn_hlavicka"_s, kTabInfo);
        rig.child<QPushButton>(u"BitBtn_hlavicka"_s)->click();
        QCOMPARE(rig.dialogs.shown().size(), 0);
        QCOMPARE(rig.child<QTextEdit>(u"RE_hlavicka"_s)->toPlainText(), u"Obchod\nABC\nUlica\n1"_s);
        rig.dialogs.queueAnswer(Answer::Yes);
        press(Qt::Key_Escape);
    });
    QCOMPARE(ReceiptHeaderFile::load(rig.headerPath()).document.plainLines(),
             (QStringList{u"Obchod"_s, u"ABC"_s, u"Ulica"_s, u"1"_s}));
}

void TestPriceListService::headerWithoutData()
{
    ServiceRig rig;
    rig.run([&] {
        rig.child<QPushButton>(u"BitBtn_hlavicka"_s)->click();
        QCOMPARE(rig.lastMessage(), u"Hlavičku sa nepodarilo vyčítať"_s);
        QCOMPARE(rig.dialogs.shown().last().caption, u"[MSG_217]"_s);
        QCOMPARE(rig.child<QTextEdit>(u"RE_hlavicka"_s)->toPlainText(), u"Predajňa"_s);
    });
}

QTEST_MAIN(TestPriceListService)
#include "tst_pricelistservice.moc"

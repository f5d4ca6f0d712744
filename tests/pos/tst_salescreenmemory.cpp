// What a day at the till leaves behind on the sale screen: one sale after another, typed
// and printed through the screen, must leave nothing that grows with each sale. The style
// keeps a picture of every header section in the pixmap cache under a key that names the
// section's size, state and palette; a palette that is new at each paint fills the cache
// with pictures that are never found again, and the program's memory grows with every
// search and every print.
#include "SaleScreenFixture.h"
#include "TestPaths.h"
#include "omira-tm/PrintManagerSimulator.h"

#include <QApplication>
#include <QDir>
#include <QProxyStyle>
#include <QSet>
#include <QStyleFactory>
#include <QStyleOptionHeader>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// The Fusion style (the program's on a desktop without a theme of its own), noting the key
// under which it keeps the picture of each header section it draws: a key not seen before
// is one more picture in the pixmap cache.
class HeaderPictureKeys : public QProxyStyle
{
public:
    HeaderPictureKeys() : QProxyStyle(QStyleFactory::create(u"Fusion"_s)) {}

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        if (const auto *header = qstyleoption_cast<const QStyleOptionHeader *>(option);
            header && element == CE_HeaderSection)
            keys.insert(u"%1-%2-%3-%4x%5-%6-%7"_s.arg(int(header->state))
                            .arg(int(header->direction))
                            .arg(header->palette.cacheKey())
                            .arg(header->rect.width())
                            .arg(header->rect.height())
                            .arg(int(header->position))
                            .arg(int(header->orientation)));
        QProxyStyle::drawControl(element, option, painter, widget);
    }

    mutable QSet<QString> keys;
};

void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

} // namespace

class TestSaleScreenMemory : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void salesAddNoPicturesToThePixmapCache();
};

void TestSaleScreenMemory::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Slovak, QLocale::Slovakia));
}

void TestSaleScreenMemory::salesAddNoPicturesToThePixmapCache()
{
    auto *style = new HeaderPictureKeys;
    QApplication::setStyle(style); // the application takes it over
    SaleScreenFixture f;
    // No payment dialog: F12 prints at once, the total paid in cash.
    QVERIFY(TestPaths::writeFile(f.dir.filePath(u"cennik/pokladna.ini"_s), "[PLATBA]\r\nSHOW=0\r\n"));
    QVERIFY(f.addCards({card(u"1200"_s, u"Chlieb"_s, 1.20), card(u"1001"_s, u"ČAJ zelený"_s, 2.50)}));
    const QString state = f.context.config.exchangeFolder + u"omira-tm.ini"_s;
    QVERIFY(TestPaths::writeFile(state, "[PRINTER]\r\nNUMBER=41\r\n"));
    SimulatorSettings settings;
    settings.inputPath = f.context.config.printManagerInput;
    settings.statePath = state;
    settings.journalFolder = f.context.config.exchangeFolder + u"journal"_s;
    PrintManagerSimulator simulator(settings);
    QVERIFY(simulator.start());
    f.clock.setSleepHook([&simulator](qint64) { simulator.poll(); });

    TForm_predaj_medic &screen = f.open();
    QVERIFY(QTest::qWaitForWindowActive(&screen));
    f.windows.titles.insert(f.context.config.printManagerTitle.toStdString());

    // A sale as the cashier makes it, the screen painted after each step: the item found by
    // name, a look at the document (F1) and back (F2), the quantity, F12.
    int sales = 0;
    const auto sell = [&] {
        f.child<QLineEdit>(u"Edit_predaj"_s)->setFocus();
        typeText(QApplication::focusWidget(), u"chlieb"_s);
        screen.grab();
        press(Qt::Key_F1);
        screen.grab();
        press(Qt::Key_F2);
        typeText(QApplication::focusWidget(), u"chl"_s);
        press(Qt::Key_Return);
        press(Qt::Key_A, Qt::ControlModifier);
        typeText(QApplication::focusWidget(), u"2"_s);
        press(Qt::Key_Return);
        screen.grab();
        press(Qt::Key_F12);
        screen.grab();
        ++sales;
    };
    const auto printed = [&] {
        return QDir(settings.journalFolder).entryList({u"*-receipt.txt"_s}, QDir::Files).size();
    };

    // The first sales fill the cache with what the screen always shows.
    sell();
    sell();
    QCOMPARE(printed(), sales);
    const qsizetype pictures = style->keys.size();
    for (int i = 0; i < 10; ++i)
        sell();
    QCOMPARE(printed(), sales);
    QVERIFY(screen.document().isEmpty());
    QVERIFY2(f.dialogs.shown().isEmpty(), qPrintable(f.dialogs.shown().value(0).text));
    QCOMPARE(style->keys.size(), pictures);
}

QTEST_MAIN(TestSaleScreenMemory)
#include "tst_salescreenmemory.moc"

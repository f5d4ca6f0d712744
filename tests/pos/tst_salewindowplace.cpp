#include "SaleScreenFixture.h"
#include "WindowManagerDisplay.h"
#include "base/IniFile.h"
#include "stock/ScreenLayoutSettings.h"

#include <QApplication>
#include <QScreen>
#include <QWindow>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QPoint kFirstPlace(5, 5);

} // namespace

// The sale window on a 1366×768 screen under a window manager that frames it with a title
// bar: where it opens, where it is kept, and where it opens again after each end of the
// program.
class TestSaleWindowPlace : public QObject
{
    Q_OBJECT

public:
    explicit TestSaleWindowPlace(QString skipReason) : m_skipReason(std::move(skipReason)) {}

private slots:
    void init();
    void cleanup();
    void placeStaysPutOverRestarts();
    void placeOffTheScreenIsBroughtBack_data();
    void placeOffTheScreenIsBroughtBack();

private:
    // The window as a new run of the program makes it, shown and framed.
    TForm_predaj_medic &start();
    ScreenLayoutSettings::Placement stored() const;
    QRect available() const { return QGuiApplication::primaryScreen()->availableGeometry(); }

    QString m_skipReason;
    std::unique_ptr<SaleScreenFixture> m_f;
};

void TestSaleWindowPlace::init()
{
    if (!m_skipReason.isEmpty())
        QSKIP(qPrintable(m_skipReason));
    m_f = std::make_unique<SaleScreenFixture>();
    QVERIFY(m_f->addCards({card(u"1003"_s, u"Rožok biely 40 g"_s, 0.12)}));
}

void TestSaleWindowPlace::cleanup()
{
    m_f.reset();
}

TForm_predaj_medic &TestSaleWindowPlace::start()
{
    m_f->screen.reset();
    TForm_predaj_medic &screen = m_f->open();
    if (!QTest::qWaitForWindowExposed(&screen))
        qFatal("the sale window was not shown");
    // The window manager has framed it: the title bar is above its inside.
    if (!QTest::qWaitFor([&] { return screen.windowHandle()->frameMargins().top() > 0; }))
        qFatal("the sale window got no frame");
    return screen;
}

ScreenLayoutSettings::Placement TestSaleWindowPlace::stored() const
{
    IniFile ini(m_f->dir.path() + u"/cennik/pokladna.ini"_s);
    ini.load();
    return ScreenLayoutSettings::readPlacement(ini, ScreenLayoutSettings::Window::Sale);
}

// The first start puts the frame, title bar included, at 5, 5; every end keeps that place
// and every start (a new window, as after a restart from the tray) and every showing of the
// same window puts the frame there again.
void TestSaleWindowPlace::placeStaysPutOverRestarts()
{
    int height = 0;
    for (int run = 0; run < 4; ++run) {
        TForm_predaj_medic &screen = start();
        QTRY_COMPARE(screen.windowHandle()->frameGeometry().topLeft(), kFirstPlace);
        QVERIFY2(available().contains(screen.windowHandle()->frameGeometry()),
                 qPrintable(u"run %1"_s.arg(run)));
        if (run == 0)
            height = screen.windowHandle()->frameGeometry().height();
        QCOMPARE(screen.windowHandle()->frameGeometry().height(), height);
        screen.close();
        QCOMPARE(stored(), (ScreenLayoutSettings::Placement{kFirstPlace.x(), kFirstPlace.y(), height}));
    }
    TForm_predaj_medic &screen = *m_f->screen;
    for (int showing = 0; showing < 3; ++showing) {
        screen.show();
        QVERIFY(QTest::qWaitForWindowExposed(&screen));
        QTRY_COMPARE(screen.windowHandle()->frameGeometry().topLeft(), kFirstPlace);
        screen.close();
        QCOMPARE(stored(), (ScreenLayoutSettings::Placement{kFirstPlace.x(), kFirstPlace.y(), height}));
    }
}

void TestSaleWindowPlace::placeOffTheScreenIsBroughtBack_data()
{
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("height");
    QTest::addColumn<QPoint>("place");

    // -1: against the screen's right or bottom edge.
    QTest::newRow("title bar above the screen") << 4 << -35 << 541 << QPoint(4, 0);
    QTest::newRow("beyond the right and bottom edges") << 900 << 600 << 541 << QPoint(-1, -1);
    QTest::newRow("higher than the screen") << 5 << 5 << 2000 << QPoint(5, 0);
}

// A place kept by an earlier version or on a larger screen: the whole frame comes back
// onto the screen, made lower when it is higher than the screen.
void TestSaleWindowPlace::placeOffTheScreenIsBroughtBack()
{
    QFETCH(int, left);
    QFETCH(int, top);
    QFETCH(int, height);
    QFETCH(QPoint, place);
    IniFile ini(m_f->dir.path() + u"/cennik/pokladna.ini"_s);
    ScreenLayoutSettings::writePlacement(ini, ScreenLayoutSettings::Window::Sale, {left, top, height});
    QVERIFY(ini.save());

    TForm_predaj_medic &screen = start();
    QTRY_VERIFY2(available().contains(screen.windowHandle()->frameGeometry()),
                 qPrintable(u"frame %1,%2 %3x%4"_s.arg(screen.windowHandle()->frameGeometry().x())
                                .arg(screen.windowHandle()->frameGeometry().y())
                                .arg(screen.windowHandle()->frameGeometry().width())
                                .arg(screen.windowHandle()->frameGeometry().height())));
    const QRect frame = screen.windowHandle()->frameGeometry();
    QTRY_COMPARE(screen.windowHandle()->frameGeometry().topLeft(),
                 QPoint(place.x() >= 0 ? place.x() : available().right() + 1 - frame.width(),
                        place.y() >= 0 ? place.y() : available().bottom() + 1 - frame.height()));
    const QRect shown = screen.windowHandle()->frameGeometry();
    screen.close();
    QCOMPARE(stored(), (ScreenLayoutSettings::Placement{shown.x(), shown.y(), shown.height()}));
}

int main(int argc, char *argv[])
{
    // The shop's screen and window manager, before the application takes a display.
    WindowManagerDisplay display;
    const bool framed = display.start("1366x768x24");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Slovak, QLocale::Slovakia));
    TestSaleWindowPlace test(framed ? QString() : QString::fromStdString(display.reason()));
    return QTest::qExec(&test, argc, argv);
}

#include "tst_salewindowplace.moc"

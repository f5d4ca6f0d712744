#include "widgets/GridColumnFitter.h"
#include "widgets/WindowPlacement.h"

#include <QtTest>

// Where a window's frame is placed on the screen and how a grid's columns share its width.
class TestScreenFitting : public QObject
{
    Q_OBJECT

private slots:
    void frameIsPlacedWhollyOnTheScreen_data();
    void frameIsPlacedWhollyOnTheScreen();
    void numbersGetTheirWidthAndNamesTheRest_data();
    void numbersGetTheirWidthAndNamesTheRest();
};

// The shop's screens: 1366×768 and 1024×768 without a panel, and 1366×768 with a
// 30 pixel panel at the bottom. The sale window's frame is 1002 × 475 at least.
void TestScreenFitting::frameIsPlacedWhollyOnTheScreen_data()
{
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QSize>("minimum");
    QTest::addColumn<QRect>("placed");

    const QRect wide(0, 0, 1366, 768);
    const QRect narrow(0, 0, 1024, 768);
    const QRect withPanel(0, 0, 1366, 738);
    const QSize least(1002, 475);
    QTest::newRow("on the screen: stays")
        << QRect(5, 5, 1002, 541) << wide << least << QRect(5, 5, 1002, 541);
    QTest::newRow("title bar above the screen")
        << QRect(5, -15, 1002, 541) << wide << least << QRect(5, 0, 1002, 541);
    QTest::newRow("left of the screen")
        << QRect(-40, 100, 1002, 541) << wide << least << QRect(0, 100, 1002, 541);
    QTest::newRow("beyond the right edge")
        << QRect(500, 100, 1002, 541) << wide << least << QRect(364, 100, 1002, 541);
    QTest::newRow("below the bottom")
        << QRect(5, 400, 1002, 541) << wide << least << QRect(5, 227, 1002, 541);
    QTest::newRow("onto the panel") << QRect(5, 300, 1002, 541) << withPanel << least
                                    << QRect(5, 197, 1002, 541);
    QTest::newRow("higher than the screen: made lower")
        << QRect(5, 5, 1002, 900) << wide << least << QRect(5, 0, 1002, 768);
    QTest::newRow("higher than the room above the panel")
        << QRect(5, -35, 1002, 760) << withPanel << least << QRect(5, 0, 1002, 738);
    QTest::newRow("narrow screen, window pulled to its left")
        << QRect(140, 90, 1002, 541) << narrow << least << QRect(22, 90, 1002, 541);
    QTest::newRow("lower than its least: made higher")
        << QRect(5, 5, 1002, 300) << wide << least << QRect(5, 5, 1002, 475);
    QTest::newRow("least wider than the screen: left edge in view")
        << QRect(100, 5, 1002, 541) << QRect(0, 0, 800, 600) << least << QRect(0, 5, 1002, 541);
    QTest::newRow("second screen to the right")
        << QRect(1300, 50, 1002, 541) << QRect(1366, 0, 1280, 1024) << least << QRect(1366, 50, 1002, 541);
}

void TestScreenFitting::frameIsPlacedWhollyOnTheScreen()
{
    QFETCH(QRect, frame);
    QFETCH(QRect, available);
    QFETCH(QSize, minimum);
    QFETCH(QRect, placed);
    QCOMPARE(WindowPlacement::fitted(frame, available, minimum), placed);
}

void TestScreenFitting::numbersGetTheirWidthAndNamesTheRest_data()
{
    QTest::addColumn<QList<int>>("wanted");
    QTest::addColumn<QList<int>>("needs");
    QTest::addColumn<int>("available");
    QTest::addColumn<int>("nameColumn");
    QTest::addColumn<QList<int>>("shown");

    // Kód, Názov, Počet, MJ, Cena of the document grid; the names need their title only.
    const QList<int> needs = {40, 47, 55, 35, 72};
    QTest::newRow("room enough: names take the rest")
        << QList<int>{50, 70, 60, 50, 80} << needs << 560 << 1 << QList<int>{50, 320, 60, 50, 80};
    QTest::newRow("stored price narrower than its values: widened")
        << QList<int>{85, 295, 70, 70, 40} << needs << 560 << 1 << QList<int>{85, 263, 70, 70, 72};
    QTest::newRow("names kept from a wider window give way")
        << QList<int>{85, 420, 70, 70, 58} << needs << 400 << 1 << QList<int>{85, 103, 70, 70, 72};
    QTest::newRow("no room left: names keep their title")
        << QList<int>{200, 100, 200, 50, 80} << needs << 400 << 1 << QList<int>{200, 47, 200, 50, 80};
    QTest::newRow("no name column: the last one widened")
        << QList<int>{40, 50, 80, 75} << QList<int>{30, 30, 76, 60} << 300 << -1
        << QList<int>{40, 50, 80, 130};
    QTest::newRow("no name column and no room: the last one keeps its values")
        << QList<int>{40, 50, 80, 40} << QList<int>{30, 30, 76, 60} << 150 << -1
        << QList<int>{40, 50, 80, 60};
    QTest::newRow("hidden columns count nothing")
        << QList<int>{0, 0, 60, 50} << QList<int>{0, 0, 47, 76} << 300 << 2 << QList<int>{0, 0, 224, 76};
}

void TestScreenFitting::numbersGetTheirWidthAndNamesTheRest()
{
    QFETCH(QList<int>, wanted);
    QFETCH(QList<int>, needs);
    QFETCH(int, available);
    QFETCH(int, nameColumn);
    QFETCH(QList<int>, shown);
    QCOMPARE(GridColumnFitter::fitted(wanted, needs, available, nameColumn), shown);
}

QTEST_MAIN(TestScreenFitting)
#include "tst_screenfitting.moc"

#include "widgets/ProgressDialog.h"

#include <QApplication>
#include <QPushButton>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestProgressDialog : public QObject
{
    Q_OBJECT

private slots:
    void shortWorkShowsNothing();
    void longWorkShowsAndCancels_data();
    void longWorkShowsAndCancels();
};

void TestProgressDialog::shortWorkShowsNothing()
{
    QWidget screen;
    ProgressDialog progress(&screen, u"Cenník"_s, u"Načítavam cenník…"_s);
    for (int i = 0; i <= 100; ++i)
        QVERIFY(progress.advance(i, 100));
    QTest::qWait(50);
    QVERIFY(!progress.dialog().isVisible());
}

void TestProgressDialog::longWorkShowsAndCancels_data()
{
    QTest::addColumn<qint64>("total");
    QTest::newRow("known total") << qint64(1000);
    QTest::newRow("unknown total") << qint64(0);
}

void TestProgressDialog::longWorkShowsAndCancels()
{
    QFETCH(qint64, total);
    QWidget screen;
    screen.show();
    ProgressDialog progress(&screen, u"Cenník"_s, u"Načítavam cenník…"_s);
    QElapsedTimer clock;
    clock.start();
    qint64 done = 0;
    while (!progress.dialog().isVisible() && clock.elapsed() < 5 * ProgressDialog::ShowAfterMs) {
        QVERIFY(progress.advance(done, total));
        done = std::min<qint64>(done + 1, std::max<qint64>(total - 1, 0));
        QTest::qSleep(20);
    }
    QVERIFY(progress.dialog().isVisible());
    auto *cancel = progress.dialog().findChild<QPushButton *>();
    QVERIFY(cancel);
    QCOMPARE(cancel->text(), u"Zrušiť"_s);
    cancel->click();
    QVERIFY(!progress.advance(done, total));
    progress.finish();
    QVERIFY(!progress.dialog().isVisible());
}

QTEST_MAIN(TestProgressDialog)
#include "tst_progressdialog.moc"

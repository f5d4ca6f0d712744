#include "TestPaths.h"
#include "lang/ui/CaptionApplier.h"
#include "widgets/PanelStatusBar.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Stand-ins for the screens, carrying the element names the translation table uses.
std::unique_ptr<QMainWindow> makeMainWindow()
{
    auto window = std::make_unique<QMainWindow>();
    window->setObjectName(u"TSQD60"_s);
    for (const QString &name : {u"Spusteniecasovaca1"_s, u"pop_pokladna"_s}) {
        auto *action = new QAction(u"design"_s, window.get());
        action->setObjectName(name);
    }
    auto *label = new QLabel(window.get());
    label->setObjectName(u"Label8"_s);
    return window;
}

std::unique_ptr<QWidget> makeSaleScreen()
{
    auto screen = std::make_unique<QWidget>();
    screen->setObjectName(u"TForm_predaj_medic"_s);
    auto *statusBar = new PanelStatusBar(screen.get());
    statusBar->setObjectName(u"SB_predaj"_s);
    for (int i = 0; i < 8; ++i)
        statusBar->addPanel(20);
    auto *grid = new QTableView(screen.get());
    grid->setObjectName(u"SMDBGrid_doklad"_s);
    grid->setModel(new QStandardItemModel(0, 5, grid));
    auto *print = new QPushButton(u"design"_s, screen.get());
    print->setObjectName(u"BitBtn_tlac"_s);
    return screen;
}

std::unique_ptr<QWidget> makeStockScreen()
{
    auto screen = std::make_unique<QWidget>();
    screen->setObjectName(u"TForm_skladm"_s);
    auto *label = new QLabel(screen.get());
    label->setObjectName(u"Label6"_s);
    return screen;
}

} // namespace

class TestCaptionApplier : public QObject
{
    Q_OBJECT

private slots:
    void textsReachTheirElements();
    void missingFileShowsKeyNames();
};

void TestCaptionApplier::textsReachTheirElements()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"test.lng"_s);
    TestPaths::writeFile(path, "[TXT]\r\nTXT67=Pripojenie\r\nTXT104=Panel p\xE4\x9D\r\nTXT153=first\r\n"
                               "TXT161=second\r\nTXT165=K\xF3\x64\r\nTXT166=N\xE1zov\r\n"
                               "[HINT]\r\nHINT60=Tla\xE8 dokladu\r\n[BTN]\r\nBTN13=&Tla\xE8\r\n");
    auto mainWindow = makeMainWindow();
    auto sale = makeSaleScreen();
    auto stock = makeStockScreen();
    CaptionApplier::apply_captions(path, {mainWindow.get(), sale.get(), stock.get()});

    QCOMPARE(mainWindow->findChild<QAction *>(u"Spusteniecasovaca1"_s)->text(), u"Pripojenie"_s);
    QCOMPARE(mainWindow->findChild<QAction *>(u"pop_pokladna"_s)->text(), u"TXT68"_s);
    QCOMPARE(sale->findChild<PanelStatusBar *>(u"SB_predaj"_s)->panelText(5), u"Panel päť"_s);
    auto *print = sale->findChild<QPushButton *>(u"BitBtn_tlac"_s);
    QCOMPARE(print->text(), u"&Tlač"_s);
    QCOMPARE(print->toolTip(), u"Tlač dokladu"_s);
    QAbstractItemModel *model = sale->findChild<QTableView *>(u"SMDBGrid_doklad"_s)->model();
    QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), u"Názov"_s);
    QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), u"Kód"_s);
    QCOMPARE(sale->property("keptText1").toString(), u"Kód"_s);
    QCOMPARE(sale->property("keptText2").toString(), u"Názov"_s);
    // Two entries reach this label; the later one wins.
    QCOMPARE(stock->findChild<QLabel *>(u"Label6"_s)->text(), u"second"_s);
}

void TestCaptionApplier::missingFileShowsKeyNames()
{
    auto mainWindow = makeMainWindow();
    CaptionApplier::apply_captions(u"/nonexistent/vx60_sk.lng"_s, {mainWindow.get()});
    QCOMPARE(mainWindow->findChild<QAction *>(u"Spusteniecasovaca1"_s)->text(), u"TXT67"_s);
    QCOMPARE(mainWindow->findChild<QAction *>(u"pop_pokladna"_s)->text(), u"TXT68"_s);
    QCOMPARE(mainWindow->findChild<QLabel *>(u"Label8"_s)->text(), u"TXT72"_s);
}

QTEST_MAIN(TestCaptionApplier)
#include "tst_captionapplier.moc"

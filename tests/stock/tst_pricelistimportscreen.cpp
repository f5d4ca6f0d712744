#include "AccessibleNames.h"
// "Import" on the maintenance screen's tab "Import/Export", by the keys a cashier presses, with
// the dialogs of the import answered: the question and the file by script, the preview by keys.
#include "FocusedKeys.h"
#include "ScriptedDialogs.h"
#include "base/Configuration.h"
#include "lang/MessageTable.h"
#include "stock/DataFile.h"
#include "stock/PointOfSaleSettings.h"
#include "stock/StockTable.h"
#include "stock/TableLayouts.h"
#include "stock/UnitAndGroupNames.h"
#include "stock/ui/ImportPreviewDialog.h"
#include "stock/ui/ServiceImportRun.h"
#include "stock/ui/TForm_cennik_servis.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;
using Answer = UserDialogs::Answer;
using FocusedKeys::press;

namespace {

constexpr int TabImport = 4;

// The maintenance screen over a data folder with two cards and cennik.csv in its import folder;
// its "Import" runs the program's own import.
struct ImportRig
{
    ImportRig()
    {
        dataFolder = dir.path() + u"/cennik/"_s;
        QDir().mkpath(dataFolder + u"import"_s);
        PointOfSaleSettings settings = PointOfSaleSettings::defaults(dir.path());
        settings.serialNumber = u"SN-1"_s;
        settings.dataFolder = dataFolder;
        settings.applyTo(config);
        UnitAndGroupNames::fromLists({u"krát"_s, u"ks"_s, u"kg"_s, u"l"_s}, {u"Potraviny"_s})
            .save(dataFolder);
        if (!file.open(dataFolder + TableLayouts::StockFileName, true) || !StockTable(file).create())
            qFatal("stock table");
        StockRow row;
        row.kod = u"100"_s;
        row.nazov = u"Mlieko"_s;
        StockTable(file).insert(row);
        importFile = dataFolder + u"import/cennik.csv"_s;
        QFile::copy(QStringLiteral(OMIRA_STOCK_TEST_DATA) + u"/import/cennik.csv"_s, importFile);
        screen = std::make_unique<TForm_cennik_servis>(PriceListServiceContext{
            dir.path(), config, messages, dialogs, file, [] { return std::optional<QString>(); }, [] {},
            [] {}, [] {}, [] { return false; },
            [this] {
                if (ServiceImportRun::run(screen.get(), dataFolder, file, messages, dialogs))
                    ++refreshes;
                ++runs;
            }});
    }

    QStringList codes()
    {
        QStringList all;
        QSqlQuery query(file.database());
        query.exec(u"SELECT KOD FROM VX60_SKLAD ORDER BY rowid"_s);
        while (query.next())
            all << query.value(0).toString();
        return all;
    }

    // Once the preview is up and has the keys: notes what it found and gives it `key`. Looked
    // for now and then rather than waited for, since the preview opens inside the button's click.
    void answerPreview(int key)
    {
        previewWatch.setInterval(20);
        QObject::connect(&previewWatch, &QTimer::timeout, screen.get(), [this, key] {
            auto *preview = qobject_cast<ImportPreviewDialog *>(QApplication::activeModalWidget());
            if (!preview || !preview->isActiveWindow() || !QApplication::focusWidget())
                return;
            previewWatch.stop();
            titleRowFound = preview->findChild<QCheckBox *>(u"ChBox_nazvy"_s)->isChecked();
            previewFaults = AccessibleNames::faults(*preview);
            press(key);
        });
        previewWatch.start();
    }

    // Shows the screen, brings its tab "Import/Export" forward by keys and does `steps`.
    void run(const std::function<void()> &steps)
    {
        QTimer::singleShot(0, screen.get(), [this, steps] {
            screen->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(screen.get()));
            for (int i = 0; i < TabImport; ++i)
                press(Qt::Key_Tab, Qt::ControlModifier);
            QCOMPARE(screen->tabs()->currentIndex(), TabImport);
            steps();
            if (screen->isVisible())
                screen->QDialog::reject();
        });
        screen->open(QRect());
    }

    QTemporaryDir dir;
    QString dataFolder;
    QString importFile;
    Configuration config;
    MessageTable messages;
    ScriptedDialogs dialogs;
    DataFile file;
    int refreshes = 0;
    int runs = 0;
    QTimer previewWatch;
    bool titleRowFound = false;
    // What a screen reader would miss on the preview: fields and grids without a name.
    QStringList previewFaults;
    std::unique_ptr<TForm_cennik_servis> screen;
};

} // namespace

class TestPriceListImportScreen : public QObject
{
    Q_OBJECT

private slots:
    // The fixture writes numbers as a Slovak shop's regional settings do.
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Slovak, QLocale::Slovakia)); }
    void importByKeys_data();
    void importByKeys();
};

void TestPriceListImportScreen::importByKeys_data()
{
    QTest::addColumn<bool>("byEnter"); // Enter on the focused button rather than Alt+I
    QTest::addColumn<int>("previewKey");
    QTest::addColumn<QStringList>("codes");

    const QStringList imported{u"300"_s, u"400"_s, u"500"_s, u"800"_s};
    QTest::newRow("Alt+I, Enter in the preview") << false << int(Qt::Key_Return) << imported;
    QTest::newRow("Enter on the button") << true << int(Qt::Key_Return) << imported;
    QTest::newRow("Escape in the preview") << false << int(Qt::Key_Escape) << QStringList{u"100"_s};
}

void TestPriceListImportScreen::importByKeys()
{
    QFETCH(bool, byEnter);
    QFETCH(int, previewKey);
    QFETCH(QStringList, codes);
    ImportRig rig;
    rig.run([&] {
        rig.dialogs.queueAnswer(Answer::Yes);
        rig.dialogs.queueFile(rig.importFile);
        rig.answerPreview(previewKey);
        if (byEnter) {
            auto *button = rig.screen->findChild<QPushButton *>(u"BitBtn_nacitaj_ostatne"_s);
            button->setFocus(Qt::TabFocusReason);
            QTRY_COMPARE(QApplication::focusWidget(), button);
            press(Qt::Key_Return);
        } else {
            press(Qt::Key_I, Qt::AltModifier);
        }
        // Alt with the letter clicks the button after its short animation.
        QTRY_COMPARE(rig.runs, 1);
        QVERIFY(rig.titleRowFound);
        QVERIFY2(rig.previewFaults.isEmpty(), qPrintable(rig.previewFaults.join(u"; "_s)));
        QVERIFY(rig.screen->isVisible());
    });
    QCOMPARE(rig.codes(), codes);
    QCOMPARE(rig.refreshes, codes.size() > 1 ? 1 : 0);
    QCOMPARE(rig.dialogs.shown().first().text, u"[MSG_231]"_s);
    if (codes.size() > 1)
        QVERIFY(rig.dialogs.shown().last().text.startsWith(u"Importované karty: 4."_s));
}

QTEST_MAIN(TestPriceListImportScreen)
#include "tst_pricelistimportscreen.moc"

#pragma once

#include "FocusedKeys.h"
#include "ScreenChild.h"
#include "ScriptedDialogs.h"
#include "base/Configuration.h"
#include "stock/PointOfSaleSettings.h"
#include "stock/ui/TForm_cennik_servis.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

// The price-list maintenance screen over `context`, driven as the owner moves the
// till to another data folder: a unit `unit` is added on the tab "Sklad", the
// data folder becomes `newFolder` through its "Nalistuj" and the screen is closed
// with Yes to the question whether to save. The save writes the unit and group
// names into the new folder only and calls the callbacks of `context`, as the
// program has them call its screens.
namespace DataFolderMove {

inline void byMaintenanceScreen(PriceListServiceContext context, ScriptedDialogs &dialogs,
                                const QString &newFolder, const QString &unit)
{
    // A save needs the serial number of the till's settings.
    PointOfSaleSettings settings = PointOfSaleSettings::load(context.programFolder);
    if (settings.serialNumber.isEmpty()) {
        settings = PointOfSaleSettings::defaults(context.programFolder);
        settings.serialNumber = QStringLiteral("SN-1");
        settings.dataFolder = context.config.dataFolder;
        settings.printManagerInput = context.config.printManagerInput;
        QVERIFY(settings.save(context.programFolder));
    }
    TForm_cennik_servis service(std::move(context));
    QTimer::singleShot(0, &service, [&] {
        service.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&service));
        service.tabs()->setCurrentIndex(1);
        auto *unitField = screenChild<QLineEdit>(service, QStringLiteral("Edit_mj"));
        unitField->setFocus(Qt::OtherFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), unitField);
        FocusedKeys::type(unit);
        FocusedKeys::press(Qt::Key_Return);
        dialogs.queueFile(newFolder + QStringLiteral("vx60_sklad.db"));
        screenChild<QPushButton>(service, QStringLiteral("BitBtn_lancennik"))->click();
        QCOMPARE(screenChild<QLineEdit>(service, QStringLiteral("Edit_lancennik"))->text(), newFolder);
        dialogs.queueAnswer(UserDialogs::Answer::Yes);
        screenChild<QPushButton>(service, QStringLiteral("BitBtn_koniec"))->click();
        // A refused save keeps the screen open: it must not hang the test.
        if (service.isVisible())
            service.QDialog::reject();
    });
    service.open(QRect());
}

} // namespace DataFolderMove

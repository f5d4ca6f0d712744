// The program's message boxes on a real X display without a window manager: when a box
// closes, the keys go back to the window that had them, so that the cashier's next key
// lands in the field it was meant for.
#include "app/ui/QtUserDialogs.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestUserDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void closedBoxGivesTheKeysBack_data();
    void closedBoxGivesTheKeysBack();
};

void TestUserDialogs::initTestCase()
{
    if (QGuiApplication::platformName() != u"xcb")
        QSKIP("needs an X display");
}

void TestUserDialogs::closedBoxGivesTheKeysBack_data()
{
    QTest::addColumn<bool>("question");
    QTest::newRow("warning") << false;
    QTest::newRow("question") << true;
}

void TestUserDialogs::closedBoxGivesTheKeysBack()
{
    QFETCH(bool, question);
    QWidget window;
    window.setWindowTitle(u"Pokladňa"_s);
    auto *field = new QLineEdit(&window);
    (new QVBoxLayout(&window))->addWidget(field);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    field->setFocus();

    // The box is answered with Enter once it has the keys.
    bool answered = false;
    QTimer::singleShot(0, &window, [&answered] {
        QTRY_VERIFY(qobject_cast<QMessageBox *>(QApplication::activeWindow()));
        QTest::keyClick(QApplication::activeWindow(), Qt::Key_Return);
        answered = true;
    });
    QtUserDialogs dialogs;
    if (question)
        dialogs.askYesNo(u"Pokračovať?"_s, u"Otázka"_s, UserDialogs::Answer::No);
    else
        dialogs.warn(u"Pozor"_s, u"Upozornenie"_s);
    QVERIFY(answered);

    QTRY_COMPARE(QApplication::activeWindow(), &window);
    QCOMPARE(QApplication::focusWidget(), field);
}

QTEST_MAIN(TestUserDialogs)
#include "tst_userdialogs.moc"

// Exceptions that escape an event handler, caught by the program's own application
// object: the error box, the error-log line, and the program going on.
#include "ScriptedDialogs.h"
#include "TestPaths.h"
#include "app/ErrorReporter.h"
#include "app/ui/Application.h"
#include "base/Cp1250.h"
#include "base/ErrorLog.h"

#include <QEventLoop>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <QtTest>

#include <functional>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

// Not a std::exception: carries no text the program could show.
struct ForeignError
{
    int code;
};

// A widget whose key and timer handlers fail once when told to; it counts what reaches it.
class FailingWidget : public QWidget
{
public:
    std::function<void()> failNext;
    int keys = 0;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        ++keys;
        event->accept();
        failOnce();
    }
    void timerEvent(QTimerEvent *event) override
    {
        killTimer(event->timerId());
        failOnce();
    }

private:
    void failOnce()
    {
        if (auto fail = std::exchange(failNext, nullptr))
            fail();
    }
};

// The program's reporter on a log in a temporary folder, installed on the application
// for the fixture's lifetime.
class ReporterFixture
{
public:
    explicit ReporterFixture(UserDialogs &boxes)
        : log(m_dir.filePath(u"fm_err.txt"_s), true, boxes),
          reporter(
              boxes, [this]() -> ErrorLog & { return log; }, u"Omira Predaj"_s)
    {
        application()->setErrorReporter(&reporter);
        widget.show();
        widget.activateWindow();
        widget.setFocus();
    }
    ~ReporterFixture() { application()->setErrorReporter(nullptr); }
    QByteArray logText() const { return TestPaths::readFile(log.path()); }
    static Application *application() { return static_cast<Application *>(QCoreApplication::instance()); }

private:
    QTemporaryDir m_dir;

public:
    ErrorLog log;
    ErrorReporter reporter;
    FailingWidget widget;
};

} // namespace

class TestEventErrors : public QObject
{
    Q_OBJECT

private slots:
    void escapedExceptionIsShownLoggedAndTheProgramGoesOn_data();
    void escapedExceptionIsShownLoggedAndTheProgramGoesOn();
    void errorWhileTheBoxIsOpenIsLoggedWithoutAnotherBox();
    void errorDuringTheStartIsShownAndEndsTheRun();
};

void TestEventErrors::escapedExceptionIsShownLoggedAndTheProgramGoesOn_data()
{
    QTest::addColumn<bool>("fromKey"); // a key typed into the widget, else its timer
    QTest::addColumn<std::function<void()>>("fail");
    QTest::addColumn<QString>("text");
    QTest::newRow("std::runtime_error from a key")
        << true << std::function<void()>([] { throw std::runtime_error("Súbor predaja sa nedá otvoriť"); })
        << u"Súbor predaja sa nedá otvoriť"_s;
    QTest::newRow("std::out_of_range from a timer")
        << false << std::function<void()>([] { throw std::out_of_range("riadok 7 mimo dokladu"); })
        << u"riadok 7 mimo dokladu"_s;
    QTest::newRow("no std::exception, from a key")
        << true << std::function<void()>([] { throw ForeignError{5}; }) << ErrorReporter::UnknownErrorText;
    QTest::newRow("no std::exception, from a timer")
        << false << std::function<void()>([] { throw 42; }) << ErrorReporter::UnknownErrorText;
}

void TestEventErrors::escapedExceptionIsShownLoggedAndTheProgramGoesOn()
{
    QFETCH(bool, fromKey);
    QFETCH(std::function<void()>, fail);
    QFETCH(QString, text);
    ScriptedDialogs boxes;
    ReporterFixture fixture(boxes);
    FailingWidget &widget = fixture.widget;
    QVERIFY(QTest::qWaitForWindowActive(&widget));

    // In the running event loop, as in the program: the failing event, then ordinary work.
    widget.failNext = fail;
    QEventLoop loop;
    bool laterEventHandled = false;
    QTimer::singleShot(0, &widget, [&] {
        if (fromKey)
            QTest::keyClick(widget.windowHandle(), Qt::Key_A);
        else
            widget.startTimer(0);
    });
    QTimer::singleShot(50, &widget, [&] {
        QTest::keyClick(widget.windowHandle(), Qt::Key_B);
        laterEventHandled = true;
        loop.exit(7);
    });
    QCOMPARE(loop.exec(), 7);
    QVERIFY(laterEventHandled);
    QCOMPARE(widget.keys, fromKey ? 2 : 1);

    QCOMPARE(boxes.shown().size(), 1);
    const UserDialogs::Message &box = boxes.shown().first();
    QCOMPARE(box.text, text);
    QCOMPARE(box.caption, u"Omira Predaj"_s);
    QCOMPARE(box.icon, UserDialogs::Icon::Error);
    QCOMPARE(box.buttons, UserDialogs::Buttons::Ok);
    QVERIFY2(fixture.logText().contains(Cp1250::encode(u") Unhandled error: "_s + text + u" \r\n"_s)),
             fixture.logText().constData());
}

// A box that is open while the same handler fails again (each repaint of the window
// behind it, say): the log gets every failure, the screen only the first box.
void TestEventErrors::errorWhileTheBoxIsOpenIsLoggedWithoutAnotherBox()
{
    class FailingAgainDialogs : public ScriptedDialogs
    {
    public:
        FailingWidget *widget = nullptr;
        Answer show(const Message &message) override
        {
            const Answer answer = ScriptedDialogs::show(message);
            widget->failNext = [] { throw std::runtime_error("znova"); };
            QTest::keyClick(widget->windowHandle(), Qt::Key_C);
            return answer;
        }
    };
    FailingAgainDialogs boxes;
    ReporterFixture fixture(boxes);
    boxes.widget = &fixture.widget;
    QVERIFY(QTest::qWaitForWindowActive(&fixture.widget));
    fixture.widget.failNext = [] { throw std::runtime_error("prvá"); };
    QTest::keyClick(fixture.widget.windowHandle(), Qt::Key_A);

    QCOMPARE(boxes.shown().size(), 1);
    QCOMPARE(boxes.shown().first().text, u"prvá"_s);
    const QByteArray log = fixture.logText();
    QCOMPARE(log.count(") Unhandled error: "), 2);
    QVERIFY(log.indexOf("Unhandled error: pr") < log.indexOf("Unhandled error: znova"));
    QCOMPARE(fixture.widget.keys, 2);
}

// Before the event loop runs nothing else catches an error: the start is run guarded, so
// that the error gets the same box and log line and the program ends with a failure code.
void TestEventErrors::errorDuringTheStartIsShownAndEndsTheRun()
{
    ScriptedDialogs boxes;
    ReporterFixture fixture(boxes);
    const int code = fixture.reporter.runGuarded(
        []() -> int { throw std::runtime_error("Tabuľka predaja sa nedá pripraviť"); }, 1);
    QCOMPARE(code, 1);
    QCOMPARE(boxes.shown().size(), 1);
    QCOMPARE(boxes.shown().first().text, u"Tabuľka predaja sa nedá pripraviť"_s);
    QCOMPARE(boxes.shown().first().caption, u"Omira Predaj"_s);
    QCOMPARE(boxes.shown().first().icon, UserDialogs::Icon::Error);
    QVERIFY(fixture.logText().contains(
        Cp1250::encode(u") Unhandled error: Tabuľka predaja sa nedá pripraviť"_s)));

    // A start that ends normally passes its code on without a box.
    QCOMPARE(fixture.reporter.runGuarded([] { return 0; }, 1), 0);
    QCOMPARE(boxes.shown().size(), 1);
}

#if defined(__SANITIZE_ADDRESS__)
// Qt's own frames between a key handler and the application's notify() are built without
// exception cleanups: an exception that passes them leaves the weak-reference count of the
// receiving widget one too high (a QPointer in QApplication::notify() is never destroyed),
// and the 16-byte count block outlives the widget. Accepted for an error this rare; only this
// suite's leak check is told.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:QtSharedPointer::ExternalRefCountData::getAndRef\n";
}
#endif

int main(int argc, char *argv[])
{
    Application application(argc, argv);
    TestEventErrors test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_eventerrors.moc"

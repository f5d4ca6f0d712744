// Cash operations through the built program as a real process on an X display, made as a
// cashier makes them: the sale screen's button clicked, the amount typed and Enter through
// the cash-operations dialog. The widgets are found and read on the accessibility bus.
#include "AccessibilityBus.h"
#include "ProgramProcess.h"
#include "TestPaths.h"
#include "base/IniFile.h"
#include "lang/MessageTable.h"
#include "platform/WindowFinder.h"

#include <QDir>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

const QString CashDialogCaption = u" Hotovostné operácie"_s;

// The field right of the caption `caption` in the caption's row, as the eye pairs them.
std::optional<AccessibleWidget> fieldRightOf(const QList<AccessibleWidget> &widgets, const QString &caption)
{
    const std::optional<AccessibleWidget> label = findWidget(widgets, AccessibleWidget::Label, caption);
    if (!label)
        return std::nullopt;
    const int row = label->extents.center().y();
    std::optional<AccessibleWidget> nearest;
    for (const AccessibleWidget &widget : widgets) {
        const QRect &place = widget.extents;
        if (widget.role == AccessibleWidget::Text && place.left() > label->extents.right() &&
            place.top() <= row && row <= place.bottom() &&
            (!nearest || place.left() < nearest->extents.left()))
            nearest = widget;
    }
    return nearest;
}

// The kinds of the documents the simulator received to print, in the order they came.
QStringList printedKinds(const ProgramFolder &folder)
{
    QStringList printed;
    for (const QString &kind : folder.journal()) {
        if (kind == u"receipt" || kind == u"deposit" || kind == u"withdrawal")
            printed.append(kind);
    }
    return printed;
}

} // namespace

class TestCashProcess : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void depositTypedThroughTheDialogIsPrintedOnceAndShown();

private:
    // The texts of panels 0 and 1.
    QStringList firstStatusPanels(const AccessibleWidget &statusBar) const;

    std::unique_ptr<platform::WindowFinder> m_windows = platform::createWindowFinder();
    MessageTable m_messages;
    AccessibilityBus m_bus;
    StartedPrograms m_programs;
};

void TestCashProcess::initTestCase()
{
    if (QGuiApplication::platformName() != u"xcb")
        QSKIP("needs an X display");
    if (QStandardPaths::findExecutable(u"xdotool"_s).isEmpty())
        QSKIP("needs xdotool to act as the user");
    if (!m_bus.start())
        QSKIP("needs dbus-daemon and the accessibility bus (at-spi2-core) to find and read the widgets");
    QCOMPARE(m_messages.load(TestPaths::shippedLanguageFile(u"vx60_sk.msg"_s)),
             MessageTable::LoadResult::Loaded);
}

void TestCashProcess::cleanup()
{
    m_programs.endAll();
}

QStringList TestCashProcess::firstStatusPanels(const AccessibleWidget &statusBar) const
{
    QStringList panels;
    QList<AccessibleWidget> shown = m_bus.children(statusBar);
    if (shown.size() == 1)
        shown = m_bus.children(shown.first()); // the row the panels stand in
    for (const AccessibleWidget &panel : shown.mid(0, 2))
        panels.append(panel.name);
    return panels;
}

// A deposit of 100.00 in cash: "Vklad" clicked on the sale screen, 100 typed, Enter to the
// cash payment (which takes the amount), Enter to the print button, Enter prints. The
// simulator receives the voucher once, the sale screen shows the printer's new document and
// has the keys back.
void TestCashProcess::depositTypedThroughTheDialogIsPrintedOnceAndShown()
{
    ProgramFolder folder("TM=TM-cash-test\r\nPOKL_START=1\r\n");
    m_programs.start(QStringLiteral(OMIRA_TM_EXE), {u"--program-folder"_s, folder.path()}, folder.path(),
                     QProcessEnvironment::systemEnvironment());
    QTRY_VERIFY_WITH_TIMEOUT(m_windows->windowExists("TM-cash-test"), kTimeoutMs);
    m_programs.start(folder.executable(), {}, folder.path(), m_bus.environment());

    // "Vklad" has no underlined letter: the cashier clicks it.
    const QString saleScreen = m_messages.text(Msg::SaleCaption);
    std::optional<AccessibleWidget> deposit;
    QTRY_VERIFY_WITH_TIMEOUT(
        (deposit = findWidget(m_bus.widgets(saleScreen), AccessibleWidget::PushButton, u"Vklad"_s)) &&
            !deposit->extents.isEmpty(),
        kTimeoutMs);
    const QPoint centre = deposit->extents.center();
    QVERIFY(xdotool(
        {u"mousemove"_s, QString::number(centre.x()), QString::number(centre.y()), u"click"_s, u"1"_s}));

    const QString dialog = u'^' + QRegularExpression::escape(CashDialogCaption) + u'$';
    QTRY_VERIFY_WITH_TIMEOUT(xdotool({u"search"_s, u"--onlyvisible"_s, u"--name"_s, dialog}), kTimeoutMs);
    QVERIFY(xdotool({u"search"_s, u"--onlyvisible"_s, u"--name"_s, dialog, u"windowfocus"_s, u"--sync"_s}));
    const QString amountCaption = m_messages.text(Msg::DepositAmountLabel);
    QTRY_COMPARE_WITH_TIMEOUT(m_bus.focused(CashDialogCaption), QStringList({amountCaption, u"0"_s}),
                              kTimeoutMs);
    // The typed amount replaces the "0" the field opens with.
    QVERIFY(xdotool({u"type"_s, u"--delay"_s, u"50"_s, u"100"_s}));
    QVERIFY(xdotool({u"key"_s, u"Return"_s}));
    // The payment field is captioned by the language file.
    QTRY_COMPARE_WITH_TIMEOUT(m_bus.focused(CashDialogCaption),
                              QStringList({u"Hodnota platidla"_s, u"100"_s}), kTimeoutMs);
    QVERIFY(xdotool({u"key"_s, u"Return"_s}));
    const QString printButton = m_messages.text(Msg::CashPrintButton);
    QTRY_COMPARE_WITH_TIMEOUT(m_bus.focused(CashDialogCaption).value(0), printButton, kTimeoutMs);
    QVERIFY(xdotool({u"key"_s, u"Return"_s}));

    const QByteArray voucher = "\x1bV^t"
                               "\x1bk      100.00\r\n"
                               "\x1bP1      100.00\r\n"
                               "\x1b"
                               "e";
    QTRY_COMPARE_WITH_TIMEOUT(folder.journalFiles(u"deposit"_s), QList<QByteArray>{voucher}, kTimeoutMs);
    // Paid in full without change, the dialog closes on its own after the print.
    QTRY_VERIFY_WITH_TIMEOUT(m_bus.widgets(CashDialogCaption).isEmpty(), kTimeoutMs);

    IniFile printer(folder.file(u"omira-tm.ini"_s));
    QVERIFY(printer.load());
    const QString label = printer.readString(u"PRINTER"_s, u"LABEL"_s, {});
    QCOMPARE(label, u"VK/000001"_s);
    const QList<AccessibleWidget> saleWidgets = m_bus.widgets(saleScreen);
    const std::optional<AccessibleWidget> statusBar =
        findWidget(saleWidgets, AccessibleWidget::StatusBar, {});
    QVERIFY(statusBar);
    QTRY_COMPARE_WITH_TIMEOUT(firstStatusPanels(*statusBar),
                              QStringList({printer.readString(u"PRINTER"_s, u"DATE"_s, {}), label}),
                              kTimeoutMs);
    const std::optional<AccessibleWidget> uidField = fieldRightOf(saleWidgets, u"UID"_s);
    QVERIFY(uidField);
    QCOMPARE(m_bus.text(*uidField), printer.readString(u"PRINTER"_s, u"UID"_s, {}));
    QCOMPARE(printedKinds(folder), QStringList{u"deposit"_s});
    // The keys are back on the sale screen: what the cashier types goes to the search field.
    const QString searchField = m_messages.text(Msg::SearchByName);
    QTRY_COMPARE_WITH_TIMEOUT(m_bus.focused(saleScreen).value(0), searchField, kTimeoutMs);
    QVERIFY(xdotool({u"type"_s, u"--delay"_s, u"50"_s, u"mlieko"_s}));
    QTRY_COMPARE_WITH_TIMEOUT(m_bus.focused(saleScreen), QStringList({searchField, u"mlieko"_s}), kTimeoutMs);
}

QTEST_MAIN(TestCashProcess)
#include "tst_cashprocess.moc"

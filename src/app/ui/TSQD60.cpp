#include "app/ui/TSQD60.h"

#include "app/AppContext.h"
#include "app/ShutdownFiles.h"
#include "app/ui/TrayImages.h"
#include "base/UserDialogs.h"
#include "widgets/PanelStatusBar.h"
#include "widgets/ScreenWidgets.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

QLabel *addLabel(QWidget *parent, QGridLayout *layout, const QString &name, const QString &text, int row,
                 int column)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    layout->addWidget(label, row, column);
    return label;
}

} // namespace

TSQD60::TSQD60(AppContext &context, QWidget *parent)
    : QMainWindow(parent), m_context(context), m_trayImages{TrayImages::image(0), TrayImages::image(1)}
{
    setObjectName(u"TSQD60"_s);
    setWindowTitle(u"Omira"_s);
    setWindowFlags(Qt::Window | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    QFont font(u"Consolas"_s);
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(11);
    setFont(font);

    createPanel();
    createStatusBar();
    createTrayMenu();

    m_timer = new QTimer(this);
    m_timer->setObjectName(u"Timer_tlman"_s);
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &TSQD60::Timer_tlmanTimer);

    m_context.firstTick = true;
    m_context.printer.connected = false;
    setFixedSize(241, 301);
    placeWindow();
}

void TSQD60::createPanel()
{
    auto *panel = new QFrame(this);
    panel->setObjectName(u"Panel1"_s);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setEnabled(false); // display only
    auto *layout = new QGridLayout(panel);
    addLabel(panel, layout, u"Label_titul"_s, u"Posledný doklad"_s, 0, 0);
    QLabel *state = addLabel(panel, layout, u"Label_stav"_s, u"STAV"_s, 0, 1);
    state->setStyleSheet(u"font-weight: bold; color: maroon;"_s);
    auto *uid = new QLineEdit(u"UID dokladu"_s, panel);
    uid->setObjectName(u"EditUID"_s);
    ScreenWidgets::nameForReaders(uid, u"UID posledného dokladu"_s);
    layout->addWidget(uid, 1, 0, 1, 2);
    const QList<std::pair<QString, QString>> rows = {
        {u"Label1"_s, u"L_dokl"_s},       {u"Label2"_s, u"LabelZvyseny"_s},
        {u"Label3"_s, u"LabelZnizeny"_s}, {u"Label4"_s, u"LabelOslobodeny"_s},
        {u"Label8"_s, u"LabelFaktura"_s}, {u"Label10"_s, u"LabelObaly"_s},
        {u"Label11"_s, u"L_datum"_s}};
    const QStringList captions = {u"Císlo"_s,   u"Zvýšený obrat"_s, u"Znížený obrat"_s, u"Oslobodený"_s,
                                  u"Faktúra"_s, u"Vratné obaly"_s,  u"Dátum"_s};
    for (int i = 0; i < rows.size(); ++i) {
        addLabel(panel, layout, rows[i].first, captions[i], i + 2, 0);
        addLabel(panel, layout, rows[i].second, QString(), i + 2, 1);
    }
    addLabel(panel, layout, u"L_cas"_s, QString(), int(rows.size()) + 2, 1);
    setCentralWidget(panel);
}

void TSQD60::createStatusBar()
{
    m_statusBar = new PanelStatusBar(this);
    m_statusBar->setObjectName(u"StatusBar1"_s);
    m_statusBar->setToolTip(u"Stav Posledny doklad"_s);
    m_statusBar->addPanel(70, Qt::AlignCenter, u"Verzia"_s);
    m_statusBar->addPanel(40, Qt::AlignLeft | Qt::AlignVCenter, u"PRN:"_s);
    m_statusBar->addPanel(15, Qt::AlignCenter, u"B"_s);
    m_statusBar->addPanel(0, Qt::AlignCenter);
    m_statusBar->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_statusBar, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { m_popup->popup(m_statusBar->mapToGlobal(at)); });
    setStatusBar(m_statusBar);
}

void TSQD60::createTrayMenu()
{
    m_popup = new QMenu(this);
    m_popup->setObjectName(u"PopupQD20"_s);
    QAction *start = m_popup->addAction(u"Spustenie pokladne"_s, this, &TSQD60::pop_pokladnaClick);
    start->setObjectName(u"pop_pokladna"_s);
    QAction *connectAction =
        m_popup->addAction(u"Pripojenie Omira"_s, this, &TSQD60::Spusteniecasovaca1Click);
    connectAction->setObjectName(u"Spusteniecasovaca1"_s);
    m_popup->addSeparator();
    QAction *end = m_popup->addAction(u"Ukončenie aplikácie"_s, this, &TSQD60::Ukonenieaplikcie1Click);
    end->setObjectName(u"Ukonenieaplikcie1"_s);
    // The actions belong to the window too, so that they are found by name like every element.
    addActions({start, connectAction, end});

    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        // Without a tray the window is the only way to reach the program: it stays visible.
        m_statusBar->addPanel(0, Qt::AlignCenter, u"Bez systémovej lišty"_s);
        return;
    }
    m_trayIcon = new QSystemTrayIcon(m_trayImages[1], this);
    m_trayIcon->setObjectName(u"TrayQD20"_s);
    m_trayIcon->setContextMenu(m_popup);
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::DoubleClick)
            TrayQD20DblClick();
    });
    m_trayIcon->show();
}

void TSQD60::placeWindow()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const int screenHeight = screen ? screen->geometry().height() : 768;
    move(5, screenHeight - frameGeometry().height() - 50);
}

void TSQD60::SetTrayImage(int image)
{
    const QIcon &icon = m_trayImages.at(image == 0 ? 0 : 1);
    if (m_trayIcon)
        m_trayIcon->setIcon(icon);
    setWindowIcon(icon);
}

void TSQD60::setStatusPanel(int panel, const QString &text)
{
    m_statusBar->setPanelText(panel, text);
}

void TSQD60::setStatusHint(const QString &hint)
{
    m_statusBar->setToolTip(hint);
}

QString TSQD60::statusPanel(int panel) const
{
    return m_statusBar->panelText(panel);
}

void TSQD60::setTrayHint(const QString &hint)
{
    if (m_trayIcon)
        m_trayIcon->setToolTip(hint);
}

void TSQD60::setStateLabel(const QString &text)
{
    findChild<QLabel *>(u"Label_stav"_s)->setText(text);
}

void TSQD60::setCaption(const QString &text)
{
    setWindowTitle(text);
}

void TSQD60::showIdleStatus()
{
    setStatusPanel(3, m_context.osText);
}

void TSQD60::setTrayImage(TrayImage image)
{
    SetTrayImage(static_cast<int>(image));
}

void TSQD60::showLastDocument(const DocumentTexts &texts)
{
    findChild<QLineEdit *>(u"EditUID"_s)->setText(texts.uid);
    const std::pair<const char16_t *, const QString *> labels[] = {{u"L_dokl", &texts.label},
                                                                   {u"L_datum", &texts.date},
                                                                   {u"L_cas", &texts.time},
                                                                   {u"LabelZvyseny", &texts.higherRate},
                                                                   {u"LabelZnizeny", &texts.reducedRate},
                                                                   {u"LabelOslobodeny", &texts.exempt},
                                                                   {u"LabelObaly", &texts.packaging},
                                                                   {u"LabelFaktura", &texts.invoices}};
    for (const auto &[name, text] : labels)
        findChild<QLabel *>(QString::fromUtf16(name))->setText(*text);
}

void TSQD60::repaintNow()
{
    repaint();
    m_statusBar->repaint();
}

void TSQD60::enableTimer()
{
    m_timer->start();
}

void TSQD60::disableTimer()
{
    m_timer->stop();
}

void TSQD60::showLastUid(const QString &uid)
{
    findChild<QLineEdit *>(u"EditUID"_s)->setText(uid);
}

void TSQD60::Timer_tlmanTimer()
{
    m_timer->stop();
    if (m_context.firstTick) {
        m_context.firstTick = false;
        if (!m_context.commandLine.noHide && trayAvailable())
            hide();
        if (m_context.config.saleScreenAtStart == 1)
            showSaleScreen();
        m_timer->start();
    }
    // Every later tick: the shared-folder link needs no polling, so the timer stays off.
}

void TSQD60::showSaleScreen()
{
    if (!m_saleScreen)
        return;
    if (m_saleScreen->isVisible()) {
        m_saleScreen->setWindowState(m_saleScreen->windowState() & ~Qt::WindowMinimized);
        m_saleScreen->activateWindow();
        return;
    }
    m_saleScreen->show();
}

void TSQD60::pop_pokladnaClick()
{
    UserDialogs::Message box;
    box.icon = UserDialogs::Icon::Warning;
    if (!m_context.config.databaseOn) {
        box.text =
            u"Skontrolujte nastavenie v subore QD60_cfg.ini\r\nNastavte v sekcii\r\n[CONFIG]\r\nBDE=1"_s;
        box.caption = u"VX60 BDE=0"_s;
        m_context.dialogs.show(box);
    } else if (m_context.databaseReady) {
        showSaleScreen();
    } else {
        box.text = u"An error occurred while attempting to initialize\r\nthe Borland Database Engine"_s;
        box.caption = u"Omira BDE Error"_s;
        m_context.dialogs.show(box);
    }
}

void TSQD60::Spusteniecasovaca1Click()
{
    m_timer->stop();
    if (m_reconnect && m_reconnect())
        SetTrayImage(0);
}

void TSQD60::Ukonenieaplikcie1Click()
{
    close();
}

void TSQD60::TrayQD20DblClick()
{
    if (isVisible()) {
        activateWindow();
        setWindowState(Qt::WindowNoState);
        return;
    }
    setWindowState(Qt::WindowNoState);
    show();
    update();
}

void TSQD60::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // Minimising hides the window; the tray icon brings it back.
    if (event->type() == QEvent::WindowStateChange && isMinimized() && trayAvailable())
        QTimer::singleShot(0, this, &QWidget::hide);
}

void TSQD60::closeEvent(QCloseEvent *event)
{
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
    // exit, not quit: quit asks every window to close once more, and any that
    // refuses would keep the program running after the user said it should end.
    QCoreApplication::exit(0);
}

bool TSQD60::FormCloseQuery()
{
    if (m_saleScreen)
        m_saleScreen->setEnabled(false);
    UserDialogs::Message question;
    question.text = m_context.messages.text(Msg::CloseQuestion);
    question.caption = m_context.messages.text(Msg::CloseCaption);
    question.buttons = UserDialogs::Buttons::YesNo;
    question.defaultAnswer = UserDialogs::Answer::No;
    if (m_context.dialogs.show(question) != UserDialogs::Answer::Yes) {
        if (m_saleScreen) {
            m_saleScreen->setEnabled(true);
            showSaleScreen();
        }
        return false;
    }
    m_context.errorLog->WriteErrLog(u"To end by user"_s);
    if (m_endSteps)
        m_endSteps();
    return true;
}

void TSQD60::FormClose()
{
    if (!m_context.config.loaded)
        return;
    if (m_context.config.terminatePrintManager)
        writeTerminateFile(m_context.config, m_context.files);
}

#pragma once

#include "app/StartupView.h"
#include "link/PrinterStatusView.h"

#include <QIcon>
#include <QMainWindow>

#include <array>
#include <functional>

class AppContext;
class PanelStatusBar;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QSystemTrayIcon;
class QTimer;

// The main window: a small status window showing the last printed document and
// the link state, normally hidden behind its tray icon. Its tray menu starts the
// sale screen, reconnects to the printer and ends the program.
class TSQD60 : public QMainWindow, public StartupView, public PrinterStatusView
{
    Q_OBJECT

public:
    explicit TSQD60(AppContext &context, QWidget *parent = nullptr);

    // The sale screen opened by the first timer tick and the tray menu.
    void setSaleScreen(QWidget *saleScreen) { m_saleScreen = saleScreen; }
    // Reconnects to the printer; installed once the printer link exists.
    void setReconnect(std::function<bool()> reconnect) { m_reconnect = std::move(reconnect); }
    // What a confirmed end does besides this window's own steps: closing the databases and
    // saving the sale screen's window and column settings.
    void setEndSteps(std::function<void()> steps) { m_endSteps = std::move(steps); }

    void SetTrayImage(int image) override;
    void setStatusPanel(int panel, const QString &text) override;
    void setStatusHint(const QString &hint) override;
    void setTrayHint(const QString &hint) override;
    void setStateLabel(const QString &text) override;
    void setCaption(const QString &text) override;
    // The idle text of panel 3 is the operating system's name the start-up put there.
    void showIdleStatus() override;
    void setTrayImage(TrayImage image) override;
    void showLastDocument(const DocumentTexts &texts) override;
    void repaintNow() override;
    // Starts the one-shot timer that hides this window and opens the sale screen.
    void enableTimer() override;
    // A print stops the timer; nothing starts it again.
    void disableTimer();
    // The UID field of the panel: the identifier of the last printed document.
    void showLastUid(const QString &uid);
    QString statusPanel(int panel) const;
    bool trayAvailable() const { return m_trayIcon != nullptr; }

    void Timer_tlmanTimer();
    void pop_pokladnaClick();
    void Spusteniecasovaca1Click();
    void Ukonenieaplikcie1Click();
    void TrayQD20DblClick();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void createPanel();
    void createStatusBar();
    void createTrayMenu();
    void placeWindow();
    bool FormCloseQuery();
    void FormClose();
    void showSaleScreen();

    AppContext &m_context;
    PanelStatusBar *m_statusBar = nullptr;
    QMenu *m_popup = nullptr;
    QSystemTrayIcon *m_trayIcon = nullptr;
    QTimer *m_timer = nullptr;
    QWidget *m_saleScreen = nullptr;
    // Made once: every status query sets one of them, and a picture made anew each time
    // would leave new scaled copies in the pixmap cache at each query.
    std::array<QIcon, 2> m_trayImages;
    std::function<bool()> m_reconnect;
    std::function<void()> m_endSteps;
};

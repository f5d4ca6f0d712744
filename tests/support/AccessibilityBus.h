#pragma once

// The program's widgets as a screen reader sees them. A session bus of the test's own, with
// the accessibility bus behind it: a program started with environment() shows there every
// widget of its windows with its role, name, text, focus and place on the screen, so that a
// test finds a button without an underlined letter to click and reads what a screen shows.
#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>
#include <utility>

// One widget of a window as the accessibility bus shows it.
struct AccessibleWidget
{
    // The roles of the accessibility bus that the tests look for.
    enum Role : uint { CheckBox = 7, ComboBox = 11, Label = 29, PushButton = 43, StatusBar = 54, Text = 61 };

    QString service;
    QString path;
    QString parentPath;
    uint role = 0;
    QString name;  // a label's text, a button's caption, a field's caption
    QRect extents; // on the screen; empty while hidden
};

// The widget of role `role` named `name` among `widgets`.
std::optional<AccessibleWidget> findWidget(const QList<AccessibleWidget> &widgets, uint role,
                                           const QString &name);

class AccessibilityBus
{
public:
    AccessibilityBus();
    ~AccessibilityBus();
    AccessibilityBus(const AccessibilityBus &) = delete;
    AccessibilityBus &operator=(const AccessibilityBus &) = delete;

    // Starts the session bus and has it start the accessibility bus; false when either is
    // missing on this machine.
    bool start();
    // For a program: the session bus, and its widgets shown on the accessibility bus
    // although no screen reader asked for them.
    QProcessEnvironment environment() const;

    // Every widget of the shown window titled exactly `title`, parents before children;
    // empty while there is none. The cells of tables are left out.
    QList<AccessibleWidget> widgets(const QString &title) const;
    // The widgets right under `parent`: cheaper to ask again and again than a whole window.
    QList<AccessibleWidget> children(const AccessibleWidget &parent) const;
    QString text(const AccessibleWidget &widget) const;
    bool hasFocus(const AccessibleWidget &widget) const;
    // The field, box or button of the window titled `title` that has the keyboard focus, as
    // {name, text}; empty when none has. The items of a list are not asked: the current item
    // of a list that is not open says it has the focus too.
    QStringList focused(const QString &title) const;

private:
    void collect(const QString &service, const QString &path, const QString &parentPath,
                 QList<AccessibleWidget> &widgets) const;
    AccessibleWidget describe(const QString &service, const QString &path, const QString &parentPath) const;
    QList<std::pair<QString, QString>> childPaths(const QString &service, const QString &path) const;
    QString name(const QString &service, const QString &path) const;
    bool hasState(const QString &service, const QString &path, uint state) const;

    const QString m_sessionConnection;
    const QString m_accessibilityConnection;
    QTemporaryDir m_runtimeFolder;
    QProcess m_sessionBus;
    QString m_sessionAddress;
};

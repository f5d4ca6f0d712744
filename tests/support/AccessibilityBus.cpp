#include "AccessibilityBus.h"

#include "ProgramProcess.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>

using namespace Qt::StringLiterals;

namespace {

const QString AccessibleInterface = u"org.a11y.atspi.Accessible"_s;
constexpr uint FocusedState = 12;
constexpr uint ShowingState = 25;
constexpr uint ScreenCoordinates = 0;
constexpr int CallTimeoutMs = 2000;

QDBusMessage call(const QString &connection, const QString &service, const QString &path,
                  const QString &interface, const QString &method, const QVariantList &arguments = {})
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    return QDBusConnection(connection).call(message, QDBus::Block, CallTimeoutMs);
}

// The first value of a reply; invalid when the call failed (a widget that went meanwhile).
QVariant firstValue(const QDBusMessage &reply)
{
    return reply.type() == QDBusMessage::ReplyMessage ? reply.arguments().value(0) : QVariant();
}

} // namespace

std::optional<AccessibleWidget> findWidget(const QList<AccessibleWidget> &widgets, uint role,
                                           const QString &name)
{
    for (const AccessibleWidget &widget : widgets) {
        if (widget.role == role && widget.name == name)
            return widget;
    }
    return std::nullopt;
}

AccessibilityBus::AccessibilityBus()
    : m_sessionConnection(u"test-session-%1"_s.arg(quintptr(this))),
      m_accessibilityConnection(u"test-accessibility-%1"_s.arg(quintptr(this)))
{}

AccessibilityBus::~AccessibilityBus()
{
    QDBusConnection::disconnectFromBus(m_accessibilityConnection);
    QDBusConnection::disconnectFromBus(m_sessionConnection);
    // The accessibility bus ends with the session bus that started it.
    m_sessionBus.terminate();
    if (!m_sessionBus.waitForFinished())
        m_sessionBus.kill();
}

bool AccessibilityBus::start()
{
    if (!m_runtimeFolder.isValid())
        return false;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The accessibility bus puts its socket in the runtime folder: a folder of its own keeps it
    // apart from any other session's on the machine.
    environment.insert(u"XDG_RUNTIME_DIR"_s, m_runtimeFolder.path());
    m_sessionBus.setProcessEnvironment(environment);
    m_sessionBus.start(u"dbus-daemon"_s, {u"--session"_s, u"--nofork"_s, u"--print-address=1"_s});
    if (!m_sessionBus.waitForStarted())
        return false;
    while (!m_sessionBus.canReadLine()) {
        if (!m_sessionBus.waitForReadyRead(kTimeoutMs))
            return false;
    }
    m_sessionAddress = QString::fromUtf8(m_sessionBus.readLine()).trimmed();
    if (!QDBusConnection::connectToBus(m_sessionAddress, m_sessionConnection).isConnected())
        return false;
    const QDBusMessage address =
        QDBusConnection(m_sessionConnection)
            .call(QDBusMessage::createMethodCall(u"org.a11y.Bus"_s, u"/org/a11y/bus"_s, u"org.a11y.Bus"_s,
                                                 u"GetAddress"_s),
                  QDBus::Block, kTimeoutMs);
    const QString accessibilityAddress = firstValue(address).toString();
    return !accessibilityAddress.isEmpty() &&
           QDBusConnection::connectToBus(accessibilityAddress, m_accessibilityConnection).isConnected();
}

QProcessEnvironment AccessibilityBus::environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, m_sessionAddress);
    environment.insert(u"QT_LINUX_ACCESSIBILITY_ALWAYS_ON"_s, u"1"_s);
    return environment;
}

QList<AccessibleWidget> AccessibilityBus::widgets(const QString &title) const
{
    // The registry's children are the programs on the bus, theirs their top-level windows.
    QList<AccessibleWidget> widgets;
    const auto programs = childPaths(u"org.a11y.atspi.Registry"_s, u"/org/a11y/atspi/accessible/root"_s);
    for (const auto &[service, path] : programs) {
        for (const auto &window : childPaths(service, path)) {
            // A closed dialog stays among the windows, hidden.
            if (name(window.first, window.second) == title &&
                hasState(window.first, window.second, ShowingState))
                collect(window.first, window.second, path, widgets);
        }
    }
    return widgets;
}

QString AccessibilityBus::text(const AccessibleWidget &widget) const
{
    return firstValue(call(m_accessibilityConnection, widget.service, widget.path, u"org.a11y.atspi.Text"_s,
                           u"GetText"_s, {0, -1}))
        .toString();
}

bool AccessibilityBus::hasFocus(const AccessibleWidget &widget) const
{
    return hasState(widget.service, widget.path, FocusedState);
}

QStringList AccessibilityBus::focused(const QString &title) const
{
    static const QList<uint> takesFocus{AccessibleWidget::Text, AccessibleWidget::PushButton,
                                        AccessibleWidget::CheckBox, AccessibleWidget::ComboBox};
    for (const AccessibleWidget &widget : widgets(title)) {
        if (takesFocus.contains(widget.role) && hasFocus(widget))
            return {widget.name, text(widget)};
    }
    return {};
}

bool AccessibilityBus::hasState(const QString &service, const QString &path, uint state) const
{
    // The states are bits of a list of 32-bit words.
    const QVariant reply =
        firstValue(call(m_accessibilityConnection, service, path, AccessibleInterface, u"GetState"_s));
    const QList<uint> words = qdbus_cast<QList<uint>>(reply);
    const qsizetype word = state / 32;
    return word < words.size() && (words.at(word) & (1u << (state % 32)));
}

QList<AccessibleWidget> AccessibilityBus::children(const AccessibleWidget &parent) const
{
    QList<AccessibleWidget> found;
    for (const auto &[service, path] : childPaths(parent.service, parent.path))
        found.append(describe(service, path, parent.path));
    return found;
}

void AccessibilityBus::collect(const QString &service, const QString &path, const QString &parentPath,
                               QList<AccessibleWidget> &widgets) const
{
    const AccessibleWidget widget = describe(service, path, parentPath);
    widgets.append(widget);
    // A table's cells are many and slow to ask for one by one.
    constexpr uint TableRole = 55;
    if (widget.role == TableRole)
        return;
    for (const auto &[childService, childPath] : childPaths(service, path))
        collect(childService, childPath, path, widgets);
}

AccessibleWidget AccessibilityBus::describe(const QString &service, const QString &path,
                                            const QString &parentPath) const
{
    AccessibleWidget widget;
    widget.service = service;
    widget.path = path;
    widget.parentPath = parentPath;
    widget.role =
        firstValue(call(m_accessibilityConnection, service, path, AccessibleInterface, u"GetRole"_s))
            .toUInt();
    widget.name = name(service, path);
    const QVariant extents =
        firstValue(call(m_accessibilityConnection, service, path, u"org.a11y.atspi.Component"_s,
                        u"GetExtents"_s, {ScreenCoordinates}));
    if (extents.canConvert<QDBusArgument>()) {
        const auto argument = extents.value<QDBusArgument>();
        int x = 0, y = 0, width = 0, height = 0;
        argument.beginStructure();
        argument >> x >> y >> width >> height;
        argument.endStructure();
        widget.extents = QRect(x, y, width, height);
    }
    return widget;
}

QList<std::pair<QString, QString>> AccessibilityBus::childPaths(const QString &service,
                                                                const QString &path) const
{
    QList<std::pair<QString, QString>> found;
    const QVariant reply =
        firstValue(call(m_accessibilityConnection, service, path, AccessibleInterface, u"GetChildren"_s));
    if (!reply.canConvert<QDBusArgument>())
        return found;
    const auto argument = reply.value<QDBusArgument>();
    argument.beginArray();
    while (!argument.atEnd()) {
        QString childService;
        QDBusObjectPath childPath;
        argument.beginStructure();
        argument >> childService >> childPath;
        argument.endStructure();
        found.append({childService, childPath.path()});
    }
    argument.endArray();
    return found;
}

QString AccessibilityBus::name(const QString &service, const QString &path) const
{
    const QVariant value =
        firstValue(call(m_accessibilityConnection, service, path, u"org.freedesktop.DBus.Properties"_s,
                        u"Get"_s, {AccessibleInterface, u"Name"_s}));
    return value.value<QDBusVariant>().variant().toString();
}

#include "StatusNotifierHost.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QStandardPaths>

namespace {

constexpr int kTimeoutMs = 10000;
const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kItemPath = QStringLiteral("/StatusNotifierItem");
const QString kItemInterface = QStringLiteral("org.kde.StatusNotifierItem");
const QString kMenuInterface = QStringLiteral("com.canonical.dbusmenu");
const QString kConnectionName = QStringLiteral("status-notifier-host");

// One node of a menu layout, (id, properties, children), with its children, into labels.
void ReadLayout(const QDBusArgument& node, std::map<QString, int>& labels)
{
    int id = 0;
    QVariantMap properties;
    node.beginStructure();
    node >> id >> properties;
    node.beginArray();
    while (!node.atEnd()) {
        QDBusVariant child;
        node >> child;
        ReadLayout(child.variant().value<QDBusArgument>(), labels);
    }
    node.endArray();
    node.endStructure();
    const QString label = properties.value(QStringLiteral("label")).toString();
    if (!label.isEmpty())
        labels[QString(label).remove(u'_')] = id;
}

} // namespace

CStatusNotifierHost::CStatusNotifierHost() : m_bus(kConnectionName)
{
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (daemon.isEmpty()) {
        m_problem = QStringLiteral("dbus-daemon is not installed (scripts/setup.sh installs it)");
        return;
    }
    m_daemon.start(daemon, {"--session", "--nofork", "--print-address=1"});
    while (m_daemon.waitForReadyRead(kTimeoutMs) && !m_daemon.canReadLine()) {
    }
    m_address = QString::fromLocal8Bit(m_daemon.readLine()).trimmed();
    if (m_address.isEmpty()) {
        m_problem = QStringLiteral("dbus-daemon gave no address");
        return;
    }
    m_bus = QDBusConnection::connectToBus(m_address, kConnectionName);
    if (!m_bus.registerService(kWatcher) ||
        !m_bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), this,
                              QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals |
                                  QDBusConnection::ExportAllProperties))
        m_problem = QStringLiteral("the watcher is not on the bus: ") + m_bus.lastError().message();
}

CStatusNotifierHost::~CStatusNotifierHost()
{
    QDBusConnection::disconnectFromBus(kConnectionName);
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.terminate();
        m_daemon.waitForFinished(kTimeoutMs);
    }
}

// An item names itself by its bus name or, as some do, by its object path only.
void CStatusNotifierHost::RegisterStatusNotifierItem(const QString& service,
                                                     const QDBusMessage& message)
{
    const QString item = service.startsWith(u'/') ? message.service() : service;
    m_items << item;
    emit StatusNotifierItemRegistered(item);
}

void CStatusNotifierHost::RegisterStatusNotifierHost(const QString&) {}

QVariant CStatusNotifierHost::ItemProperty(const QString& item, const QString& name) const
{
    QDBusMessage get = QDBusMessage::createMethodCall(
        item, kItemPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << kItemInterface << name;
    const QDBusMessage reply = m_bus.call(get, QDBus::Block, kTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return reply.arguments().constFirst().value<QDBusVariant>().variant();
}

bool CStatusNotifierHost::Activate(const QString& item) const
{
    QDBusMessage activate =
        QDBusMessage::createMethodCall(item, kItemPath, kItemInterface, QStringLiteral("Activate"));
    activate << 0 << 0;
    return m_bus.call(activate, QDBus::Block, kTimeoutMs).type() == QDBusMessage::ReplyMessage;
}

QString CStatusNotifierHost::MenuPath(const QString& item) const
{
    const QString path = ItemProperty(item, QStringLiteral("Menu")).value<QDBusObjectPath>().path();
    return path == QStringLiteral("/NO_DBUSMENU") ? QString() : path;
}

std::map<QString, int> CStatusNotifierHost::Menu(const QString& item) const
{
    std::map<QString, int> labels;
    const QString path = MenuPath(item);
    if (path.isEmpty())
        return labels;
    QDBusMessage layout =
        QDBusMessage::createMethodCall(item, path, kMenuInterface, QStringLiteral("GetLayout"));
    layout << 0 << -1 << QStringList{QStringLiteral("label")};
    const QDBusMessage reply = m_bus.call(layout, QDBus::Block, kTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage && reply.arguments().size() == 2)
        ReadLayout(reply.arguments().at(1).value<QDBusArgument>(), labels);
    return labels;
}

bool CStatusNotifierHost::ClickMenuItem(const QString& item, int id) const
{
    QDBusMessage event = QDBusMessage::createMethodCall(item, MenuPath(item), kMenuInterface,
                                                        QStringLiteral("Event"));
    event << id << QStringLiteral("clicked") << QVariant::fromValue(QDBusVariant(0)) << 0u;
    return m_bus.call(event, QDBus::Block, kTimeoutMs).type() == QDBusMessage::ReplyMessage;
}

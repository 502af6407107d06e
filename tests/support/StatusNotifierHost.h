// A StatusNotifierItem host such as GNOME's and KDE's notification areas, on a session bus of
// its own (a dbus-daemon it starts and stops): the watcher that items register with, with a
// host registered, and what the host does with an item: activate it, read its properties,
// read its exported menu and click an item of it.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QVariant>

#include <map>

class QDBusMessage;

class CStatusNotifierHost : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ IsStatusNotifierHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ ProtocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ Items)

public:
    CStatusNotifierHost();
    ~CStatusNotifierHost() override;
    CStatusNotifierHost(const CStatusNotifierHost&) = delete;
    CStatusNotifierHost& operator=(const CStatusNotifierHost&) = delete;

    // Empty when the bus and the watcher are ready, else what is missing.
    QString Problem() const { return m_problem; }
    // The bus address for DBUS_SESSION_BUS_ADDRESS.
    QString Address() const { return m_address; }
    // The bus names of the items registered so far.
    QStringList Items() const { return m_items; }

    bool IsStatusNotifierHostRegistered() const { return true; }
    int ProtocolVersion() const { return 0; }

    // A property of the item's org.kde.StatusNotifierItem interface; invalid when unread.
    QVariant ItemProperty(const QString& item, const QString& name) const;
    // A left click on the item; false when the item did not answer.
    bool Activate(const QString& item) const;
    // The labels of the item's exported menu (mnemonic marks removed) with their ids; empty
    // when the item exports none.
    std::map<QString, int> Menu(const QString& item) const;
    // A click on the menu item with that id; false when the item did not answer.
    bool ClickMenuItem(const QString& item, int id) const;

public slots:
    void RegisterStatusNotifierItem(const QString& service, const QDBusMessage& message);
    void RegisterStatusNotifierHost(const QString& service);

signals:
    void StatusNotifierItemRegistered(const QString& service);
    void StatusNotifierHostRegistered();

private:
    QString MenuPath(const QString& item) const;

    QProcess m_daemon;
    QString m_address;
    QString m_problem;
    QDBusConnection m_bus;
    QStringList m_items;
};

// The notification icon service on the session bus, where GNOME and KDE keep the watcher
// of StatusNotifierItems: a watcher that comes or goes is told, and nothing once the watch
// has ended. Run on a private bus (dbus-run-session).
#include "NotificationIconSystemTray.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QGuiApplication>
#include <QTest>

namespace {
const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kDesktop = QStringLiteral("desktop");
} // namespace

class NotificationAreaBusTest : public QObject
{
    Q_OBJECT

private slots:
    void watcherThatComesAndGoesIsToldWhileWatched();
};

void NotificationAreaBusTest::watcherThatComesAndGoesIsToldWhileWatched()
{
    if (!QDBusConnection::sessionBus().isConnected())
        QSKIP("needs a session bus: run through dbus-run-session");
    CNotificationIconSystemTray service;
    QObject receiver;
    int told = 0;
    service.WatchArea(&receiver, [&told] { ++told; });
    QDBusConnection desktop = QDBusConnection::connectToBus(QDBusConnection::SessionBus, kDesktop);
    QVERIFY(desktop.registerService(kWatcher));
    QTRY_COMPARE_WITH_TIMEOUT(told, 1, 5000);
    QVERIFY(desktop.unregisterService(kWatcher));
    QTRY_COMPARE_WITH_TIMEOUT(told, 2, 5000);

    service.WatchArea(nullptr, {});
    QVERIFY(desktop.registerService(kWatcher));
    // The bus announces the new owner before it answers a later question, and this
    // connection takes its messages in order.
    QVERIFY(QDBusConnection::sessionBus().interface()->isServiceRegistered(kWatcher));
    QCoreApplication::processEvents();
    QCOMPARE(told, 2);
    QDBusConnection::disconnectFromBus(kDesktop);
}

QTEST_MAIN(NotificationAreaBusTest)
#include "NotificationAreaBusTest.moc"

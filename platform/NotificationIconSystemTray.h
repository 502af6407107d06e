// The notification icon service on QSystemTrayIcon.
#pragma once

#include "NotificationAreaWatch.h"
#include "NotificationIconService.h"

#include <QPointer>
#include <QSystemTrayIcon>

#include <map>
#include <memory>

class CNotificationIconSystemTray : public CNotificationIconService
{
public:
    bool IsAvailable() const override;
    bool Add(const NotificationIcon& icon) override;
    bool Delete(int id) override;
    void WatchArea(QObject* receiver, std::function<void()> changed) override;
    int TrackPopupMenu(QMenu& menu) override;

    // The mouse message that an activation of a tray icon stands for. A notification area
    // that sends no double clicks activates with a single one, which then stands for the
    // double click.
    static unsigned MouseMessage(QSystemTrayIcon::ActivationReason reason,
                                 bool areaSendsDoubleClicks);
    // Whether the notification area is a StatusNotifierItem host on the session bus (GNOME,
    // KDE), which Qt then puts the icons in, rather than an X notification area.
    static bool IsStatusNotifierHost();

private:
    struct Shown
    {
        std::unique_ptr<QSystemTrayIcon> trayIcon;
        QPointer<QObject> receiver;
        int callbackMessage;
    };

    void Notify(int id, QSystemTrayIcon::ActivationReason reason) const;

    std::map<int, Shown> m_icons;
    std::unique_ptr<CNotificationAreaWatch> m_areaWatch;
};

#pragma once

#include "NotificationIconService.h"

#include <QPointer>
#include <QQueue>
#include <QString>

#include <functional>
#include <map>
#include <vector>

// A notification icon service for tests: a desktop with or without a notification area that
// keeps the icons put there, counts adds and deletes, lets a test click an icon and answers
// pop-up menus from a script. While it lives it is the current service; its destructor puts
// the previous one back.
class CFakeNotificationIcon : public CNotificationIconService
{
public:
    // One item of a pop-up menu as it was shown.
    struct MenuItem
    {
        QString text;
        int commandId = 0;
        bool separator = false;
        // The default item, which the menu draws in bold.
        bool isDefault = false;
    };

    explicit CFakeNotificationIcon(bool available = true);
    ~CFakeNotificationIcon() override;
    CFakeNotificationIcon(const CFakeNotificationIcon&) = delete;
    CFakeNotificationIcon& operator=(const CFakeNotificationIcon&) = delete;

    bool IsAvailable() const override { return m_available; }
    // A notification area that starts or stops while the program runs; a watch is told.
    void SetAvailable(bool available);
    void WatchArea(QObject* receiver, std::function<void()> changed) override;
    bool WatchesArea() const { return !m_areaReceiver.isNull(); }
    bool Add(const NotificationIcon& icon) override;
    bool Delete(int id) override;
    int TrackPopupMenu(QMenu& menu) override;

    // The icon with that id in the notification area, or nullptr.
    const NotificationIcon* Find(int id) const;
    int Adds() const { return m_adds; }
    int Deletes() const { return m_deletes; }
    // Posts mouseMessage on the icon with that id to its receiver, as the desktop does;
    // false when there is no such icon.
    bool Click(int id, unsigned mouseMessage) const;

    // Queues the command chosen in the next menu; 0 dismisses it, as does an empty script.
    void ScriptChoice(int commandId) { m_choices.enqueue(commandId); }
    // The menus shown so far, each with its items in order.
    const std::vector<std::vector<MenuItem>>& Menus() const { return m_menus; }

private:
    CNotificationIconService* m_previous;
    bool m_available;
    std::map<int, NotificationIcon> m_icons;
    int m_adds = 0;
    int m_deletes = 0;
    QPointer<QObject> m_areaReceiver;
    std::function<void()> m_areaChanged;
    QQueue<int> m_choices;
    std::vector<std::vector<MenuItem>> m_menus;
};

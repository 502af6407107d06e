#include "FakeNotificationIcon.h"

#include "NotificationIconEvent.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

CFakeNotificationIcon::CFakeNotificationIcon(bool available)
    : m_previous(&CNotificationIconService::Current()), m_available(available)
{
    Install(this);
}

CFakeNotificationIcon::~CFakeNotificationIcon()
{
    Install(m_previous);
}

void CFakeNotificationIcon::SetAvailable(bool available)
{
    const bool changed = available != m_available;
    m_available = available;
    if (changed && m_areaReceiver)
        QMetaObject::invokeMethod(m_areaReceiver, m_areaChanged, Qt::QueuedConnection);
}

void CFakeNotificationIcon::WatchArea(QObject* receiver, std::function<void()> changed)
{
    m_areaReceiver = receiver;
    m_areaChanged = std::move(changed);
}

bool CFakeNotificationIcon::Add(const NotificationIcon& icon)
{
    if (!m_available || m_icons.count(icon.id) != 0)
        return false;
    m_icons[icon.id] = icon;
    ++m_adds;
    return true;
}

bool CFakeNotificationIcon::Delete(int id)
{
    if (m_icons.erase(id) == 0)
        return false;
    ++m_deletes;
    return true;
}

int CFakeNotificationIcon::TrackPopupMenu(QMenu& menu)
{
    std::vector<MenuItem> items;
    for (const QAction* action : menu.actions()) {
        items.push_back({action->text(), action->data().toInt(), action->isSeparator(),
                         action == menu.defaultAction()});
    }
    m_menus.push_back(items);
    return m_choices.isEmpty() ? 0 : m_choices.dequeue();
}

const NotificationIcon* CFakeNotificationIcon::Find(int id) const
{
    const auto found = m_icons.find(id);
    return found == m_icons.end() ? nullptr : &found->second;
}

bool CFakeNotificationIcon::Click(int id, unsigned mouseMessage) const
{
    const NotificationIcon* icon = Find(id);
    if (!icon || !icon->receiver)
        return false;
    QCoreApplication::postEvent(
        icon->receiver, new CNotificationIconEvent(icon->callbackMessage, id, mouseMessage));
    return true;
}

#include "SystemTray.h"

#include "MenuBuilder.h"
#include "NotificationIconEvent.h"

#include <QAction>
#include <QMenu>

#include <utility>

namespace {

// A notification area that draws the menu itself gets it from Qt as a copy of each item,
// exported over D-Bus; the menu frees those copies as its actions leave it, but not when it
// is deleted with its actions still in it.
void ReleaseAreaMenu(std::unique_ptr<QMenu>& menu)
{
    if (menu)
        menu->clear();
    menu.reset();
}

} // namespace

CSystemTray::CSystemTray(CommandHandler handler) : m_handler(std::move(handler)) {}

CSystemTray::~CSystemTray()
{
    RemoveTrayIcon();
    ReleaseAreaMenu(m_areaMenu);
}

bool CSystemTray::Create(int callbackMessage, const QString& tip, const QIcon& icon, int id)
{
    ReleaseAreaMenu(m_areaMenu);
    // Queued: a command such as Exit may take the menu away, which the notification area is
    // still working with when the choice arrives.
    m_areaMenu.reset(CMenuBuilder::BuildPopup(id, nullptr, [this](int command) {
        QMetaObject::invokeMethod(
            this,
            [this, command] {
                if (m_handler)
                    m_handler(command);
            },
            Qt::QueuedConnection);
    }));
    // The icon's events come to this object, whatever window the program shows.
    m_record = NotificationIcon{id, icon, tip, this, callbackMessage, m_areaMenu.get()};
    CNotificationIconService& service = CNotificationIconService::Current();
    m_bCreated = true;
    m_bHidden = false;
    m_bEnabled = service.IsAvailable() && service.Add(m_record);
    UpdateAreaWatch();
    return m_bEnabled;
}

bool CSystemTray::SetDefaultMenuItem(unsigned item, bool byPosition)
{
    m_nDefaultItem = item;
    m_bDefaultByPosition = byPosition;
    if (m_areaMenu)
        m_areaMenu->setDefaultAction(DefaultAction(*m_areaMenu));
    // The menu is loaded afresh each time it is shown; this only checks the item is there.
    const std::unique_ptr<QMenu> menu = LoadMenu();
    return menu && DefaultAction(*menu);
}

// Without a notification area only the wish is kept, for an area that may come.
void CSystemTray::HideTrayIcon()
{
    if (!m_bCreated || m_bHidden)
        return;
    if (m_bEnabled)
        CNotificationIconService::Current().Delete(m_record.id);
    m_bHidden = true;
    UpdateAreaWatch();
}

// The area was not watched while the icon was hidden: what the desktop has now counts.
void CSystemTray::ShowTrayIcon()
{
    if (!m_bCreated || !m_bHidden)
        return;
    m_bHidden = false;
    CNotificationIconService& service = CNotificationIconService::Current();
    const bool wasEnabled = m_bEnabled;
    m_bEnabled = service.IsAvailable() && service.Add(m_record);
    UpdateAreaWatch();
    if (m_bEnabled != wasEnabled)
        emit NotificationAreaChanged(m_bEnabled);
}

void CSystemTray::RemoveTrayIcon()
{
    // A hidden icon is out of the notification area already.
    if (m_bEnabled && !m_bHidden)
        CNotificationIconService::Current().Delete(m_record.id);
    m_bCreated = false;
    m_bEnabled = false;
    UpdateAreaWatch();
}

void CSystemTray::UpdateAreaWatch()
{
    const bool wanted = m_bCreated && !m_bHidden;
    if (wanted == m_bWatching)
        return;
    m_bWatching = wanted;
    if (wanted)
        CNotificationIconService::Current().WatchArea(this, [this] { CheckNotificationArea(); });
    else
        CNotificationIconService::Current().WatchArea(nullptr, {});
}

void CSystemTray::CheckNotificationArea()
{
    if (!m_bCreated)
        return;
    CNotificationIconService& service = CNotificationIconService::Current();
    const bool available = service.IsAvailable();
    if (available == m_bEnabled)
        return;
    if (available) {
        // A hidden icon waits for ShowTrayIcon; a refused add is tried again next time.
        if (!m_bHidden && !service.Add(m_record))
            return;
    } else if (!m_bHidden) {
        service.Delete(m_record.id);
    }
    m_bEnabled = available;
    emit NotificationAreaChanged(m_bEnabled);
}

int CSystemTray::OnTrayNotify(int iconId, unsigned mouseMessage)
{
    if (iconId != m_record.id)
        return 0;
    if (mouseMessage == TrayMouse::RightButtonUp)
        return OnRightButtonUp();
    if (mouseMessage == TrayMouse::LeftDoubleClick)
        return OnLeftDoubleClick();
    return 1;
}

// The menu opens at the pointer with its default item in bold; the chosen command goes to
// the main window once the menu is closed.
int CSystemTray::OnRightButtonUp()
{
    std::unique_ptr<QMenu> menu = LoadMenu();
    if (!menu)
        return 0;
    menu->setDefaultAction(DefaultAction(*menu));
    const int command = CNotificationIconService::Current().TrackPopupMenu(*menu);
    menu.reset();
    if (command != 0 && m_handler)
        m_handler(command);
    return 1;
}

int CSystemTray::OnLeftDoubleClick()
{
    int command = static_cast<int>(m_nDefaultItem);
    if (m_bDefaultByPosition) {
        const std::unique_ptr<QMenu> menu = LoadMenu();
        const QAction* action = menu ? DefaultAction(*menu) : nullptr;
        if (!action)
            return 0;
        command = action->data().toInt();
    }
    if (m_handler)
        m_handler(command);
    return 1;
}

// The pop-up of the menu resource with the icon's id, or nullptr when there is none.
std::unique_ptr<QMenu> CSystemTray::LoadMenu() const
{
    auto menu = std::unique_ptr<QMenu>(CMenuBuilder::BuildPopup(m_record.id, nullptr, {}));
    if (menu->actions().isEmpty())
        return nullptr;
    return menu;
}

QAction* CSystemTray::DefaultAction(QMenu& menu) const
{
    if (m_bDefaultByPosition)
        return menu.actions().value(static_cast<qsizetype>(m_nDefaultItem));
    return CMenuBuilder::FindCommand(&menu, static_cast<int>(m_nDefaultItem));
}

void CSystemTray::customEvent(QEvent* event)
{
    if (event->type() != CNotificationIconEvent::EventType())
        return;
    const auto* notify = static_cast<CNotificationIconEvent*>(event);
    if (notify->CallbackMessage() == m_record.callbackMessage)
        OnTrayNotify(notify->IconId(), notify->MouseMessage());
}

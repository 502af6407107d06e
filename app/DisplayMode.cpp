#include "DisplayMode.h"

#include "MessageBoxService.h"
#include "Options.h"
#include "ResourceIds.h"
#include "StringTable.h"

#include <QWidget>

namespace {

constexpr int IDS_NO_NOTIFICATION_AREA = 1040;

// The tray icon: its pop-up menu shares its id, its events come as this message, and a
// double click runs the menu's item at this position ("KRV").
constexpr int IDR_TRAY_MENU = 131;
constexpr int WM_TRAYNOTIFY = 0x0400 + 10;
constexpr unsigned kTrayDefaultPosition = 4;

} // namespace

CDisplayMode::CDisplayMode(QWidget& window, const COptions& options,
                           CSystemTray::CommandHandler trayCommands)
    : m_window(window), m_options(options), m_trayIcon(std::move(trayCommands))
{
    connect(&m_trayIcon, &CSystemTray::NotificationAreaChanged, this,
            &CDisplayMode::OnNotificationAreaChanged);
}

// In tray mode on a desktop without a notification area there is no icon to bring the
// window back from, so the window is shown after all.
void CDisplayMode::CreateTrayIcon(const QString& tip)
{
    m_bShowWindow = m_options.GetDisplay() == COptions::DisplayStandard ? 1 : 0;
    m_trayIcon.Create(WM_TRAYNOTIFY, tip, m_window.windowIcon(), IDR_TRAY_MENU);
    m_trayIcon.SetDefaultMenuItem(kTrayDefaultPosition, true);
    if (m_options.GetDisplay() == COptions::DisplayStandard)
        m_trayIcon.HideTrayIcon();
    else if (!m_trayIcon.IsEnabled())
        m_bShowWindow = 1;
}

void CDisplayMode::ApplyTrayChoice(bool trayIcon)
{
    if (!trayIcon) {
        m_trayIcon.HideTrayIcon();
        return;
    }
    m_trayIcon.ShowTrayIcon();
    if (m_trayIcon.IsEnabled()) {
        Minimize();
        return;
    }
    // The choice is kept for a desktop that has a notification area.
    CMessageBoxService::Current().Show(&m_window, CStringTable::Load(IDS_NO_NOTIFICATION_AREA),
                                       CStringTable::Load(IDS_OPTIONS_CAPTION),
                                       Mb::Ok | Mb::IconAsterisk);
}

// In tray mode a minimized window is hidden instead, until the tray menu brings it back. A
// window that the desktop has minimized keeps that state while hidden: clearing it now would
// have the desktop map the window again behind the program's back, as an unpainted frame.
// Restore clears it before showing the window.
void CDisplayMode::Minimize()
{
    if (HidesInTray()) {
        m_bShowWindow = 0;
        m_window.hide();
    } else if (!m_window.isMinimized()) {
        m_window.showMinimized();
    }
}

// A window hidden from its minimized state comes back in its normal size, in front.
void CDisplayMode::Restore()
{
    m_bShowWindow = 1;
    m_window.setWindowState(m_window.windowState() & ~Qt::WindowMinimized);
    m_window.show();
    m_window.raise();
    m_window.activateWindow();
}

// Only where there is an icon to come back from.
bool CDisplayMode::HidesInTray() const
{
    return m_options.GetDisplay() == COptions::DisplayTrayIcon && m_trayIcon.IsEnabled();
}

// The desktop minimizes the window before telling it; in tray mode it is then hidden, once
// the change of state is over.
void CDisplayMode::OnWindowStateChanged()
{
    if (!m_window.isMinimized() || !HidesInTray())
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_window.isMinimized())
                Minimize();
        },
        Qt::QueuedConnection);
}

// While the window is meant to stay hidden, any attempt to show it hides it again (after
// this paint, since a widget cannot hide itself while painting).
void CDisplayMode::OnPaint()
{
    if (m_bShowWindow == 0)
        QMetaObject::invokeMethod(&m_window, &QWidget::hide, Qt::QueuedConnection);
}

// A window hidden behind an icon that has lost its notification area comes back.
void CDisplayMode::OnNotificationAreaChanged(bool present)
{
    if (!present && m_bShowWindow == 0)
        Restore();
}

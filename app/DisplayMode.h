// How the main window is displayed. In standard display it minimizes like any window; in
// tray mode a minimized window hides behind its icon in the notification area until the
// tray menu brings it back. A desktop without a notification area never leaves the user
// without a window: the window is shown after all, and comes back when the area goes away.
#pragma once

#include "SystemTray.h"

#include <QObject>

class COptions;
class QWidget;

class CDisplayMode : public QObject
{
    Q_OBJECT

public:
    // The mode is the options' display; commands chosen on the icon go to trayCommands.
    CDisplayMode(QWidget& window, const COptions& options,
                 CSystemTray::CommandHandler trayCommands);

    // At start-up: the icon, with the window's title as its tip, and whether the window is
    // to be seen at all.
    void CreateTrayIcon(const QString& tip);
    // The tray icon chosen or not in the Options dialog; a window that can hide in the tray
    // does so at once.
    void ApplyTrayChoice(bool trayIcon);

    void Minimize();
    // The window, hidden or minimized, comes back in its normal size, in front.
    void Restore();
    // The desktop has changed the window's state (minimized it, for instance).
    void OnWindowStateChanged();
    // The window is about to be painted.
    void OnPaint();

    const CSystemTray& TrayIcon() const { return m_trayIcon; }

private:
    bool HidesInTray() const;
    void OnNotificationAreaChanged(bool present);

    QWidget& m_window;
    const COptions& m_options;
    // 0 while the window is meant to stay hidden in the tray.
    int m_bShowWindow = 1;
    CSystemTray m_trayIcon;
};

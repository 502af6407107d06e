// The X display that a desktop test runs on, seen and driven from outside the program with
// the display's own tools: where an icon docks in the notification area, whether a window
// is mapped, real clicks and keys, and a notification area started and stopped at will.
#pragma once

#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>

#include <memory>

class CXDesktop
{
public:
    // How long a test waits for the desktop to react.
    static constexpr int TimeoutMs = 10000;

    ~CXDesktop();

    // The standard output of a tool that ran to its end; empty when it did not.
    static QString Run(const QString& program, const QStringList& arguments);
    // Where the icon of the program with that name sits in the notification area, in screen
    // pixels; empty while it is not docked there.
    static QRect DockedIcon(const QString& applicationName);
    // Clicks the mouse button count times at a point of the screen.
    static void Click(const QPoint& at, int button, int count = 1);
    // Presses a key (xdotool's name for it) in the window that has the keyboard focus.
    static void Key(const QString& key);
    // Whether the X window is mapped and shown on the screen, as the X server says.
    static bool IsViewable(quintptr window);
    // Asks the window manager to minimize the window, as its title bar's button does.
    static void Minimize(quintptr window);

    // Starts a notification area, or stops the one this object started.
    void StartNotificationArea();
    void StopNotificationArea();

private:
    std::unique_ptr<QProcess> m_area;
};

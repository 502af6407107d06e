#pragma once

#include <QTimer>

#include <functional>

class QWidget;

// Acts on the next modal window that code under test opens. The act runs from a timer,
// where a failing check fails nothing: it records what it saw for the test to check once
// the window has returned.
class CModalWatcher
{
public:
    // Runs act on the first modal window that opens within ten seconds. A window that act
    // leaves open is closed, so that a failing test ends instead of waiting.
    void WhenModalOpens(std::function<void(QWidget*)> act);
    // Whether a modal window was seen since the last WhenModalOpens.
    bool Seen() const { return m_bSeen; }

private:
    void Poll();

    QTimer m_timer;
    std::function<void(QWidget*)> m_act;
    int m_nTriesLeft = 0;
    bool m_bSeen = false;
};

#include "ModalWatcher.h"

#include <QApplication>
#include <QWidget>

#include <utility>

namespace {
constexpr int kPollMs = 20;
constexpr int kTries = 10000 / kPollMs;
} // namespace

void CModalWatcher::WhenModalOpens(std::function<void(QWidget*)> act)
{
    m_act = std::move(act);
    m_nTriesLeft = kTries;
    m_bSeen = false;
    m_timer.disconnect();
    QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { Poll(); });
    m_timer.start(kPollMs);
}

void CModalWatcher::Poll()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal && --m_nTriesLeft > 0)
        return;
    m_timer.stop();
    if (!modal)
        return;
    m_bSeen = true;
    m_act(modal);
    if (modal->isVisible())
        modal->close();
}

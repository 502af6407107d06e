#include "LoadProgressDlg.h"

#include "DialogBuilder.h"
#include "DialogTemplate.h"
#include "PathElision.h"
#include "SmoothProgressBar.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QScreen>
#include <QThread>
#include <QWindow>

#include <algorithm>
#include <climits>

namespace {

constexpr int IDD_LOAD_PROGRESS = 130;
constexpr int IDC_LEGEND = 1013;
constexpr int IDC_PERCENT = 1015;
constexpr int IDC_PROGRESS = 1018;

// How long the window may take to appear before the load goes on without it.
constexpr int kShowTimeoutMs = 1000;

// Sets a static's text and paints it straight away: no event loop runs during a load.
void SetStaticNow(QWidget* dialog, int id, const QString& text)
{
    if (auto* label = qobject_cast<QLabel*>(CDialogBuilder::GetDlgItem(dialog, id))) {
        label->setText(text);
        label->repaint();
    }
}

// The bar counts in ints: a range past INT_MAX is counted in pairs of bytes.
int ToBarUnits(uint32_t value, uint32_t max)
{
    return static_cast<int>(max > INT_MAX ? value >> 1 : value);
}

} // namespace

CLoadProgressDlg::CLoadProgressDlg(QWidget* owner, QWidget* parent)
    : QDialog(parent), m_pOwner(owner)
{
    CDialogBuilder::Build(this, DialogTemplate::Load(IDD_LOAD_PROGRESS));
    OnInitDialog();
    CenterOnDesktop();
    show();
    WaitUntilOnScreen();
    repaint();
}

// A window's paints reach the screen only after the desktop has shown it, and the load
// that follows handles no events: wait for that here, taking no user input meanwhile.
void CLoadProgressDlg::WaitUntilOnScreen()
{
    const QDeadlineTimer deadline(kShowTimeoutMs);
    const auto onScreen = [this] { return windowHandle() && windowHandle()->isExposed(); };
    while (!onScreen() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (!onScreen())
            QThread::msleep(5);
    }
}

bool CLoadProgressDlg::OnInitDialog()
{
    UpdateData(false);
    SetStaticNow(this, IDC_PERCENT, QString());
    m_progress = CSmoothProgressBar::ReplacePlaceholder(this, IDC_PROGRESS);
    SetRange(0);
    return true;
}

void CLoadProgressDlg::CenterOnDesktop()
{
    if (const QScreen* desktop = screen())
        move(desktop->availableGeometry().center() - rect().center());
}

void CLoadProgressDlg::UpdateData(bool saveFromControls)
{
    // The legend is a static: there is nothing to read back from it.
    if (saveFromControls)
        return;
    // The legend ends in the bank's path, whose file name must stay in sight.
    if (auto* legend = qobject_cast<QLabel*>(CDialogBuilder::GetDlgItem(this, IDC_LEGEND))) {
        CPathElision::Show(legend, m_strLegend);
        legend->repaint();
    }
}

void CLoadProgressDlg::SetLegend(const QString& text)
{
    m_strLegend = text;
    UpdateData(false);
}

void CLoadProgressDlg::SetRange(uint32_t max)
{
    m_nMax = max;
    m_nPos = std::min(m_nPos, max);
    if (!m_progress)
        return;
    // An empty range has nothing left to do: the bar shows it full (Qt would turn a 0..0
    // bar into a busy indicator).
    if (max == 0) {
        m_progress->setRange(0, 1);
        m_progress->setValue(1);
    } else {
        m_progress->setRange(0, ToBarUnits(max, max));
        m_progress->setValue(ToBarUnits(m_nPos, max));
    }
    m_progress->repaint();
}

uint32_t CLoadProgressDlg::SetPos(uint32_t position)
{
    const uint32_t previous = m_nPos;
    m_nPos = std::min(position, m_nMax);
    if (m_progress && m_nMax != 0) {
        m_progress->setValue(ToBarUnits(m_nPos, m_nMax));
        m_progress->repaint();
    }
    UpdatePercent();
    return previous;
}

void CLoadProgressDlg::UpdatePercent()
{
    // Exact integer arithmetic truncates like the eye expects: a full bar is 100 %, never
    // 99 % through a rounding error. An empty range counts as complete.
    const uint64_t percent = m_nMax == 0 ? 100 : uint64_t{m_nPos} * 100 / m_nMax;
    SetStaticNow(this, IDC_PERCENT, QString::number(percent) + QStringLiteral(" %"));
}

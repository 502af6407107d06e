#include "TblVScrollBar.h"

#include "TblCellArea.h"
#include "TblCtrl.h"
#include "TblSheet.h"
#include "TblTipWnd.h"

#include <QCoreApplication>
#include <QWheelEvent>

namespace {

// The tip ends one pixel left of the bar, centred on the box.
constexpr int TipFlags = CTblTipWnd::AlignEnd | CTblTipWnd::AlignVCentre;
constexpr int TipMinWidth = 40;

} // namespace

CTblVScrollBar::CTblVScrollBar(CTblCtrl* grid) : CTblScrollBar(Qt::Vertical, grid) {}

bool CTblVScrollBar::Scaled() const
{
    return m_pSheet->m_nMaxTopRow - m_pSheet->m_nLockedRows > ScaledPositions;
}

int CTblVScrollBar::PositionOf(long topRow) const
{
    const CTblSheet& s = *m_pSheet;
    if (s.m_nVScrollMode == 2)
        return 1;
    if (!Scaled())
        return static_cast<int>(topRow);
    const double span = static_cast<double>(s.m_nMaxTopRow - s.m_nLockedRows);
    return static_cast<int>(
        qRound(static_cast<double>(topRow - s.m_nLockedRows) * ScaledPositions / span));
}

long CTblVScrollBar::RowAt(int position) const
{
    const CTblSheet& s = *m_pSheet;
    if (!Scaled())
        return position;
    const double span = static_cast<double>(s.m_nMaxTopRow - s.m_nLockedRows);
    return s.m_nLockedRows + qRound64(position * span / ScaledPositions);
}

void CTblVScrollBar::Refresh()
{
    if (!m_pSheet)
        return;
    const CTblSheet& s = *m_pSheet;
    if (s.m_nVScrollMode == 2) {
        SetBar(0, 2, 1, 1);
    } else if (Scaled()) {
        SetBar(0, ScaledPositions, 1, PositionOf(s.m_nTopRow));
    } else {
        const int page = s.m_nDefRowHeight > 0 ? s.m_nCellAreaHeight / s.m_nDefRowHeight : 1;
        SetBar(static_cast<int>(s.m_nLockedRows), static_cast<int>(s.m_nMaxTopRow), page,
               static_cast<int>(s.m_nTopRow));
    }
    // Rows to scroll but no room for the bar: the layout makes some.
    if (s.m_nMaxTopRow > s.m_nLockedRows && s.m_rcVScroll.isEmpty())
        m_pGrid->RecalcLayout();
}

void CTblVScrollBar::Step(int kind)
{
    m_pGrid->ScrollRows(kind);
}

void CTblVScrollBar::ThumbPosition(int position)
{
    if (m_pSheet->m_nVScrollMode == 2)
        return;
    if (m_pSheet->m_bVScrollTips && m_pGrid->GetTipWnd())
        m_pGrid->GetTipWnd()->HideTip();
    m_pGrid->ScrollToRow(RowAt(position));
}

void CTblVScrollBar::ThumbTrack(int position)
{
    if (m_pSheet->m_nVScrollMode == 2)
        return;
    const long row = RowAt(position);
    if (m_pSheet->m_nVScrollMode == 1)
        m_pGrid->ScrollToRow(row);
    CTblTipWnd* tip = m_pGrid->GetTipWnd();
    if (!m_pSheet->m_bVScrollTips || !tip)
        return;
    QString text = QString::number(row);
    if (!m_pGrid->OnVScrollTip(row, text))
        return;
    const QRect thumb = ThumbRect();
    tip->ShowTip(text, QPoint(mapTo(m_pGrid, QPoint(0, 0)).x() - 1, thumb.center().y()),
                 TipMinWidth, TipFlags);
}

void CTblVScrollBar::wheelEvent(QWheelEvent* event)
{
    if (CTblCellArea* area = m_pGrid->GetCellArea())
        QCoreApplication::sendEvent(area, event);
}

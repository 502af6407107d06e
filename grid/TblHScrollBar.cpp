#include "TblHScrollBar.h"

#include "TblCtrl.h"
#include "TblSheet.h"
#include "TblTipWnd.h"

namespace {

// The tip stands above the bar, centred on the box.
constexpr int TipFlags = CTblTipWnd::AlignHCentre | CTblTipWnd::AlignBottom;
constexpr int TipMinWidth = 20;

} // namespace

CTblHScrollBar::CTblHScrollBar(CTblCtrl* grid) : CTblScrollBar(Qt::Horizontal, grid) {}

void CTblHScrollBar::Refresh()
{
    if (!m_pSheet)
        return;
    const CTblSheet& s = *m_pSheet;
    const int page = s.m_nDefColWidth > 0 ? s.VisibleWidth() / s.m_nDefColWidth : 1;
    SetBar(0, std::max(s.m_nMaxLeftCol - s.m_nLockedCols, 0), page, s.m_nLeftCol - s.m_nLockedCols);
    // Columns to scroll but no room for the bar: the layout makes some.
    if (s.m_nMaxLeftCol > s.m_nLockedCols && s.m_rcHScroll.isEmpty())
        m_pGrid->RecalcLayout();
}

void CTblHScrollBar::Step(int kind)
{
    m_pGrid->ScrollCols(kind);
}

void CTblHScrollBar::ThumbPosition(int position)
{
    if (m_pSheet->m_bHScrollTips && m_pGrid->GetTipWnd())
        m_pGrid->GetTipWnd()->HideTip();
    m_pGrid->ScrollToCol(position + m_pSheet->m_nLockedCols);
}

void CTblHScrollBar::ThumbTrack(int position)
{
    const int col = position + m_pSheet->m_nLockedCols;
    if (m_pSheet->m_bHLiveTrack)
        m_pGrid->ScrollToCol(col);
    CTblTipWnd* tip = m_pGrid->GetTipWnd();
    if (!m_pSheet->m_bHScrollTips || !tip)
        return;
    QString text = QString::number(col);
    if (!m_pGrid->OnHScrollTip(col, text))
        return;
    const QRect thumb = ThumbRect();
    tip->ShowTip(text, QPoint(thumb.center().x(), mapTo(m_pGrid, QPoint(0, 0)).y()), TipMinWidth,
                 TipFlags);
}

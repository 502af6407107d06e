#include "TblScrollBar.h"

#include "TblCellArea.h"
#include "TblCtrl.h"
#include "TblSheet.h"

#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionSlider>

#include <algorithm>

CTblScrollBar::CTblScrollBar(Qt::Orientation orientation, CTblCtrl* grid)
    : QScrollBar(orientation, grid), m_pGrid(grid)
{
    setFocusPolicy(Qt::NoFocus);
    // The view follows the box only where the grid says so, not through Qt's tracking.
    setTracking(false);
    connect(this, &QAbstractSlider::actionTriggered, this, &CTblScrollBar::OnAction);
    connect(this, &QAbstractSlider::sliderMoved, this, &CTblScrollBar::OnMoved);
    connect(this, &QAbstractSlider::sliderReleased, this, &CTblScrollBar::OnReleased);
}

void CTblScrollBar::SetSheet(CTblSheet* sheet)
{
    m_pSheet = sheet;
    if (sheet)
        Refresh();
}

void CTblScrollBar::SetBar(int minimum, int maximum, int page, int position)
{
    const QSignalBlocker blocker(this);
    setRange(minimum, maximum);
    setPageStep(std::max(page, 1));
    if (!isSliderDown()) {
        setValue(position);
        setSliderPosition(position);
    }
}

QRect CTblScrollBar::ThumbRect() const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect thumb =
        style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
    return thumb.translated(mapTo(m_pGrid, QPoint(0, 0)));
}

void CTblScrollBar::FocusCells()
{
    if (CTblCellArea* area = m_pGrid->GetCellArea())
        area->setFocus(Qt::OtherFocusReason);
}

void CTblScrollBar::OnAction(int action)
{
    if (!m_pSheet)
        return;
    FocusCells();
    switch (action) {
    case SliderSingleStepSub:
        Step(CTblSheet::StepBack);
        break;
    case SliderSingleStepAdd:
        Step(CTblSheet::StepForward);
        break;
    case SliderPageStepSub:
        Step(CTblSheet::PageBack);
        break;
    case SliderPageStepAdd:
        Step(CTblSheet::PageForward);
        break;
    case SliderToMinimum:
        Step(CTblSheet::First);
        break;
    case SliderToMaximum:
        Step(CTblSheet::Last);
        break;
    case SliderMove:
        // Moved without a drag (the wheel, a click that jumps): as if released there.
        if (!isSliderDown())
            ThumbPosition(sliderPosition());
        return;
    default:
        return;
    }
    // The bar ends where the grid put the view, not where Qt would have stepped it.
    Refresh();
}

void CTblScrollBar::OnMoved(int position)
{
    if (!m_pSheet)
        return;
    FocusCells();
    ThumbTrack(position);
}

void CTblScrollBar::OnReleased()
{
    if (!m_pSheet)
        return;
    FocusCells();
    ThumbPosition(sliderPosition());
    Refresh();
}

#include "TblCornerBox.h"

#include "TblCell.h"
#include "TblCellArea.h"
#include "TblCellType.h"
#include "TblCtrl.h"
#include "TblSheet.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

// How near its right or bottom edge the mouse must be to size a heading.
constexpr int EdgeReach = 4;

} // namespace

CTblCornerBox::CTblCornerBox(CTblCtrl* grid) : QWidget(grid), m_pGrid(grid)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void CTblCornerBox::SetSheet(CTblSheet* sheet)
{
    m_pSheet = sheet;
    update();
}

void CTblCornerBox::RepaintAll()
{
    if (m_pGrid->GetRedraw())
        update();
}

void CTblCornerBox::RepaintCell(int, long)
{
    RepaintAll();
}

void CTblCornerBox::paintEvent(QPaintEvent*)
{
    QPainter dc(this);
    dc.fillRect(rect(), palette().color(QPalette::Button));
    if (!m_pSheet)
        return;
    dc.setFont(m_pSheet->m_pDefaultFont ? *m_pSheet->m_pDefaultFont : font());
    // The corner prepares its painting as part of the column heading.
    m_pGrid->OnPrepareDC(&dc, nullptr, CTblCtrl::SectionColHeader);
    CTblCell cell;
    m_pGrid->ComposeCell(-1, -1, cell);
    m_pGrid->TypeOf(cell)->DrawCell(dc, rect(), -1, -1, cell, 0, 0);
}

CTblCornerBox::Sizing CTblCornerBox::SizingAt(const QPoint& point)
{
    if (!m_pSheet || m_pSheet->m_nUserSizing <= 0)
        return Sizing::None;
    if (point.x() > width() - EdgeReach && m_pGrid->AllowRowHeaderResize())
        return Sizing::Width;
    if (point.y() > height() - EdgeReach && m_pGrid->AllowColHeaderResize())
        return Sizing::Height;
    return Sizing::None;
}

void CTblCornerBox::SizeTo(const QPoint& point, bool final)
{
    if (m_sizing == Sizing::Width) {
        int width = std::max(point.x(), 0);
        if (final)
            m_pGrid->OnRowHeaderResized(&width);
        else
            m_pGrid->OnRowHeaderResizing(&width);
        m_pGrid->SetRowHeaderWidth(std::clamp(width, 0, CTblCtrl::MaxSize));
    } else {
        int height = std::max(point.y(), 0);
        if (final)
            m_pGrid->OnColHeaderResized(&height);
        else
            m_pGrid->OnColHeaderResizing(&height);
        m_pGrid->SetColHeaderHeight(std::clamp(height, 0, CTblCtrl::MaxSize));
    }
}

void CTblCornerBox::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pSheet)
        return;
    const QPoint point = event->position().toPoint();
    if (m_sizing != Sizing::None) {
        SizeTo(point, false);
        return;
    }
    if (event->buttons() & Qt::LeftButton)
        return;
    m_armed = SizingAt(point);
    if (m_armed == Sizing::Width)
        setCursor(m_pSheet->m_cursorSizeWE);
    else if (m_armed == Sizing::Height)
        setCursor(m_pSheet->m_cursorSizeNS);
    else
        setCursor(m_pSheet->m_cursorArrow);
}

void CTblCornerBox::mousePressEvent(QMouseEvent* event)
{
    if (!m_pSheet)
        return;
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::RightButton) {
        m_pGrid->OnCornerRightButton(true, rect(), point, 0);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    m_armed = SizingAt(point);
    if (m_armed != Sizing::None) {
        m_sizing = m_armed;
        if (CTblCellArea* area = m_pGrid->GetCellArea())
            area->setFocus(Qt::MouseFocusReason);
        return;
    }
    m_pGrid->OnCornerLeftButton(true, rect(), point, 0);
}

void CTblCornerBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_pSheet)
        return;
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::RightButton) {
        m_pGrid->OnCornerRightButton(false, rect(), point, 0);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    if (m_sizing != Sizing::None) {
        SizeTo(point, true);
        m_sizing = Sizing::None;
        return;
    }
    m_pGrid->OnCornerLeftButton(false, rect(), point, 0);
}

void CTblCornerBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (m_pSheet && event->button() == Qt::LeftButton)
        m_pGrid->OnCornerDoubleClick(rect(), event->position().toPoint(), 0);
}

#include "TblColHeader.h"

#include "TblCtrl.h"
#include "TblSheet.h"

CTblColHeader::CTblColHeader(CTblCtrl* grid)
    : CTblHeader(grid, Qt::Horizontal, CTblCtrl::SectionColHeader)
{
    m_scrollTimer.setSingleShot(true);
    connect(&m_scrollTimer, &QTimer::timeout, this, &CTblColHeader::ScrollStep);
}

void CTblColHeader::SetSheet(CTblSheet* sheet)
{
    m_scrollTimer.stop();
    m_nDragCol = -1;
    m_nDropPos = -1;
    CTblHeader::SetSheet(sheet);
}

bool CTblColHeader::AllowItemResize(long item)
{
    return m_pGrid->AllowColResize(static_cast<int>(item));
}

void CTblColHeader::OnItemResizing(long item, int* size)
{
    m_pGrid->OnColResizing(static_cast<int>(item), size);
}

void CTblColHeader::OnItemResized(long item, int* size)
{
    m_pGrid->OnColResized(static_cast<int>(item), size);
}

void CTblColHeader::ApplyItemSize(long item, int size)
{
    m_pGrid->SetColumnWidth(static_cast<int>(item), size);
}

bool CTblColHeader::AllowHeadingResize()
{
    return m_pGrid->AllowColHeaderResize();
}

void CTblColHeader::OnHeadingResizing(int* total)
{
    m_pGrid->OnColHeaderResizing(total);
}

void CTblColHeader::OnHeadingResized(int* total)
{
    m_pGrid->OnColHeaderResized(total);
}

void CTblColHeader::OnLeftButton(int col, long row, bool down, const QRect& rect,
                                 const QPoint& point, int processed)
{
    m_pGrid->OnColHeaderLeftButton(col, row, down, rect, point, processed);
}

void CTblColHeader::OnRightButton(int col, long row, bool down, const QRect& rect,
                                  const QPoint& point, int processed)
{
    m_pGrid->OnColHeaderRightButton(col, row, down, rect, point, processed);
}

void CTblColHeader::OnDoubleClick(int col, long row, const QRect& rect, const QPoint& point,
                                  int processed)
{
    m_pGrid->OnColHeaderDoubleClick(col, row, rect, point, processed);
}

void CTblColHeader::StartItemDrag(long item)
{
    m_nDropPos = -1;
    m_nDragCol = m_pGrid->AllowColDrag(static_cast<int>(item)) ? static_cast<int>(item) : -1;
}

bool CTblColHeader::IsItemDragged(long item) const
{
    return m_nDragCol >= 0 && m_nDropPos >= 0 && item == m_nDragCol;
}

void CTblColHeader::ItemDragMove(const QPoint& point)
{
    if (!m_pSheet || !m_pSheet->m_bColMoving || m_nDragCol < 0)
        return;
    m_dragPoint = point;
    if (point.x() < 0 || point.x() >= width()) {
        ScrollStep();
        return;
    }
    m_scrollTimer.stop();
    int start = 0;
    const long col = ItemAt(point.x(), start);
    int drop = m_pSheet->m_nColCount;
    if (col >= 0)
        drop = static_cast<int>(point.x() > start + ItemSize(col) / 2 ? col + 1 : col);
    if (drop != m_nDropPos) {
        m_nDropPos = drop;
        update();
    }
    // The marker stands where the column would go: at the left edge of the drop column,
    // or after the last column.
    int edge = 0;
    if (!ItemStart(drop, edge) && ItemStart(drop - 1, edge))
        edge += ItemSize(drop - 1);
    ShowMarker(edge);
}

void CTblColHeader::ScrollStep()
{
    if (m_nDragCol < 0)
        return;
    const bool left = m_dragPoint.x() < 0;
    if (!left && m_dragPoint.x() < width())
        return;
    m_pGrid->ScrollCols(left ? CTblSheet::StepBack : CTblSheet::StepForward);
    m_scrollTimer.start(0);
}

void CTblColHeader::EndItemDrag()
{
    m_scrollTimer.stop();
    const int dragged = m_nDragCol;
    const int drop = m_nDropPos;
    m_nDragCol = -1;
    m_nDropPos = -1;
    HideMarker();
    if (!m_pSheet || !m_pSheet->m_bColMoving || dragged < 0 || drop < 0) {
        update();
        return;
    }
    // The callback hears where the column ends up once it has left its own place.
    if (m_pGrid->AllowColDrop(dragged, drop > dragged ? drop - 1 : drop)) {
        m_pGrid->MoveColumn(dragged, drop, 1);
        m_pGrid->Redraw();
    }
    update();
}

#include "TblRowHeader.h"

#include "TblCtrl.h"

#include <algorithm>

CTblRowHeader::CTblRowHeader(CTblCtrl* grid)
    : CTblHeader(grid, Qt::Vertical, CTblCtrl::SectionRowHeader)
{
}

bool CTblRowHeader::AllowItemResize(long item)
{
    return m_pGrid->AllowRowResize(item);
}

void CTblRowHeader::OnItemResizing(long item, int* size)
{
    m_pGrid->OnRowResizing(item, size);
}

void CTblRowHeader::OnItemResized(long item, int* size)
{
    m_pGrid->OnRowResized(item, size);
}

void CTblRowHeader::ApplyItemSize(long item, int size)
{
    // Uniform rows share one height, which is at least 1.
    m_pGrid->SetRowSize(item, m_pSheet->m_bUniformRows ? std::max(size, 1) : size);
}

bool CTblRowHeader::AllowHeadingResize()
{
    return m_pGrid->AllowRowHeaderResize();
}

void CTblRowHeader::OnHeadingResizing(int* total)
{
    m_pGrid->OnRowHeaderResizing(total);
}

void CTblRowHeader::OnHeadingResized(int* total)
{
    m_pGrid->OnRowHeaderResized(total);
}

void CTblRowHeader::OnLeftButton(int col, long row, bool down, const QRect& rect,
                                 const QPoint& point, int processed)
{
    m_pGrid->OnRowHeaderLeftButton(col, row, down, rect, point, processed);
}

void CTblRowHeader::OnRightButton(int col, long row, bool down, const QRect& rect,
                                  const QPoint& point, int processed)
{
    m_pGrid->OnRowHeaderRightButton(col, row, down, rect, point, processed);
}

void CTblRowHeader::OnDoubleClick(int col, long row, const QRect& rect, const QPoint& point,
                                  int processed)
{
    m_pGrid->OnRowHeaderDoubleClick(col, row, rect, point, processed);
}

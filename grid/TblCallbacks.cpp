#include "TblCallbacks.h"

#include "TblCell.h"

void CTblCallbacks::OnFocusGained(int) {}

void CTblCallbacks::OnGridReady() {}

void CTblCallbacks::OnSheetReady(int) {}

bool CTblCallbacks::AllowCellMove(int, long, int, long)
{
    return true;
}

bool CTblCallbacks::AllowViewMove(int, long, int, long)
{
    return true;
}

void CTblCallbacks::OnBeyondLastRow(long, long, long) {}

void CTblCallbacks::OnBeforeFirstRow(long, long) {}

bool CTblCallbacks::AllowColResize(int)
{
    return true;
}

void CTblCallbacks::OnColResizing(int, int*) {}

void CTblCallbacks::OnColResized(int, int*) {}

bool CTblCallbacks::AllowRowResize(long)
{
    return true;
}

void CTblCallbacks::OnRowResizing(long, int*) {}

void CTblCallbacks::OnRowResized(long, int*) {}

bool CTblCallbacks::AllowColHeaderResize()
{
    return true;
}

bool CTblCallbacks::AllowRowHeaderResize()
{
    return true;
}

void CTblCallbacks::OnColHeaderResizing(int*) {}

void CTblCallbacks::OnRowHeaderResizing(int*) {}

void CTblCallbacks::OnColHeaderResized(int*) {}

void CTblCallbacks::OnRowHeaderResized(int*) {}

void CTblCallbacks::OnCurColChanged(int, int) {}

void CTblCallbacks::OnCurRowChanged(long, long) {}

void CTblCallbacks::OnCurCellChanged(int, int, long, long) {}

void CTblCallbacks::OnScrolledToCol(int, int) {}

void CTblCallbacks::OnScrolledToRow(long, long) {}

void CTblCallbacks::OnCellLeftButton(int, long, bool, const QRect&, const QPoint&, int) {}

void CTblCallbacks::OnCellRightButton(int, long, bool, const QRect&, const QPoint&, int) {}

void CTblCallbacks::OnCellDoubleClick(int, long, const QRect&, const QPoint&, int) {}

void CTblCallbacks::OnCellMouseMove(int, long, const QPoint&, unsigned, int) {}

void CTblCallbacks::OnColHeaderLeftButton(int, long, bool, const QRect&, const QPoint&, int) {}

void CTblCallbacks::OnColHeaderRightButton(int, long, bool, const QRect&, const QPoint&, int) {}

void CTblCallbacks::OnColHeaderDoubleClick(int, long, const QRect&, const QPoint&, int) {}

void CTblCallbacks::OnRowHeaderLeftButton(int, long, bool, const QRect&, const QPoint&, int) {}

void CTblCallbacks::OnRowHeaderRightButton(int, long, bool, const QRect&, const QPoint&, int) {}

void CTblCallbacks::OnRowHeaderDoubleClick(int, long, const QRect&, const QPoint&, int) {}

void CTblCallbacks::OnCornerLeftButton(bool, const QRect&, const QPoint&, int) {}

void CTblCallbacks::OnCornerRightButton(bool, const QRect&, const QPoint&, int) {}

void CTblCallbacks::OnCornerDoubleClick(const QRect&, const QPoint&, int) {}

void CTblCallbacks::OnGridKeyDown(int*, int) {}

void CTblCallbacks::OnGridChar(int*, int) {}

void CTblCallbacks::OnCellFetch(int, long, CTblCell&) {}

void CTblCallbacks::OnCellStore(int, long, CTblCell&) {}

void CTblCallbacks::OnSourceEvent(int, int, intptr_t) {}

bool CTblCallbacks::OnCellTypeEvent(int, int, long, int, intptr_t)
{
    return true;
}

bool CTblCallbacks::OnEditBegin(int, long, QWidget**)
{
    return true;
}

bool CTblCallbacks::OnEditKey(int, long, QWidget*, int*)
{
    return true;
}

bool CTblCallbacks::OnEditEnd(int, long, QWidget*, const QString&, int)
{
    return true;
}

bool CTblCallbacks::OnEditNext(int, long, int*, long*)
{
    return true;
}

void CTblCallbacks::OnPopupCommand(int, long, int, int) {}

bool CTblCallbacks::OnPopupOpen(int, long, int)
{
    return true;
}

bool CTblCallbacks::OnCellTip(int, long, int, QString&)
{
    return true;
}

bool CTblCallbacks::OnVScrollTip(long, QString&)
{
    return true;
}

bool CTblCallbacks::OnHScrollTip(int, QString&)
{
    return true;
}

int CTblCallbacks::CompareCells(const CTblCell* a, const CTblCell* b, int flags)
{
    return CTblCell::Compare(a, b, flags);
}

void CTblCallbacks::OnPrepareDC(QPainter*, QPainter*, int) {}

void CTblCallbacks::OnLayout(QRect*, QRect*, QRect*, QRect*, QRect*, QRect*, QRect*) {}

void CTblCallbacks::OnSheetTabClick(int) {}

void CTblCallbacks::OnFocusLost(int) {}

bool CTblCallbacks::AllowColDrag(int)
{
    return true;
}

bool CTblCallbacks::AllowColDrop(int, int)
{
    return true;
}

void CTblCallbacks::OnTrackerMoved(const QRect&, const QRect&) {}

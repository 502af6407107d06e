// The column heading: the heading cells above the columns. Besides sizing columns and the
// heading height it lets the user drag a column to another place when the sheet's column
// moving is on.
#pragma once

#include "TblHeader.h"

#include <QTimer>

class CTblColHeader : public CTblHeader
{
    Q_OBJECT

public:
    explicit CTblColHeader(CTblCtrl* grid);

    // A drag on one sheet is dropped nowhere when another is shown.
    void SetSheet(CTblSheet* sheet) override;

protected:
    bool AllowItemResize(long item) override;
    void OnItemResizing(long item, int* size) override;
    void OnItemResized(long item, int* size) override;
    void ApplyItemSize(long item, int size) override;
    bool AllowHeadingResize() override;
    void OnHeadingResizing(int* total) override;
    void OnHeadingResized(int* total) override;
    void OnLeftButton(int col, long row, bool down, const QRect& rect, const QPoint& point,
                      int processed) override;
    void OnRightButton(int col, long row, bool down, const QRect& rect, const QPoint& point,
                       int processed) override;
    void OnDoubleClick(int col, long row, const QRect& rect, const QPoint& point,
                       int processed) override;
    void StartItemDrag(long item) override;
    void ItemDragMove(const QPoint& point) override;
    void EndItemDrag() override;
    bool IsItemDragged(long item) const override;

private:
    // Scrolls one column towards the mouse while it rests outside the heading.
    void ScrollStep();

    // The column being dragged (-1: none) and where it would be dropped (-1: nowhere yet).
    int m_nDragCol = -1;
    int m_nDropPos = -1;
    QPoint m_dragPoint;
    QTimer m_scrollTimer;
};
